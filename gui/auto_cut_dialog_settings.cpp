// The detection dialog's settings: read when it is made, written back when it
// goes (and at once for a fresh settings file), "TrimCount" also on change.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

#include "gui/auto_cut_dialog.h"

namespace klemora::gui {
namespace {

constexpr int kMaxMinFrameCount = 99999;

// A stored index that selects no entry leaves the box without selection (-1).
int listIndex(int value, const QComboBox* box) { return value >= 0 && value < box->count() ? value : -1; }

}  // namespace

void AutoCutDialog::readSettings() {
    Values& v = m_stored;
    v.type = m_settings.readInt("DetectionType", Datestamp);
    v.minFrameCount = m_settings.readInt("MinFrameCount", 75);
    v.preset = m_settings.readInt("DetectionSetting", 2);
    v.weight = m_settings.readInt("WeightMode", 0);
    v.variant[0] = m_settings.readInt("Alg1", 1) != 0;
    v.variant[1] = m_settings.readInt("Alg2", 0) != 0;
    v.variant[2] = m_settings.readInt("Alg3", 0) != 0;
    v.trim = m_settings.readInt("TrimCount", 1);
    v.diff = m_settings.readInt("DatestampDiff", 1);
    v.timecodeSignals = m_settings.readInt("TimecodeSignals", 0);
    if (v.timecodeSignals < 0 || v.timecodeSignals > 2) v.timecodeSignals = 0;  // as the detection reads it
    v.shutdown = m_settings.readInt("AutocutShutdown", 0) == 1;
    // A fresh settings file (no minimum count yet, or the unusable 1) gets every key at once.
    if (m_settings.readInt("MinFrameCount", 1) == 1) writeSettings(v);
}

void AutoCutDialog::writeSettings(const Values& v) const {
    m_settings.writeInt("DetectionType", v.type);
    m_settings.writeInt("MinFrameCount", v.minFrameCount);
    m_settings.writeInt("DetectionSetting", v.preset);
    m_settings.writeInt("WeightMode", v.weight);
    m_settings.writeInt("Alg1", v.variant[0] ? 1 : 0);
    m_settings.writeInt("Alg2", v.variant[1] ? 1 : 0);
    m_settings.writeInt("Alg3", v.variant[2] ? 1 : 0);
    m_settings.writeInt("TrimCount", v.trim);
    m_settings.writeInt("DatestampDiff", v.diff);
    m_settings.writeInt("TimecodeSignals", v.timecodeSignals);
    m_settings.writeInt("AutocutShutdown", v.shutdown ? 1 : 0);
}

void AutoCutDialog::showValues(const Values& v) {
    m_type->setCurrentIndex(listIndex(v.type, m_type));
    m_minFrames->setValue(std::clamp(v.minFrameCount, 1, kMaxMinFrameCount));
    m_preset->setCurrentIndex(listIndex(v.preset, m_preset));
    m_weight->setCurrentIndex(listIndex(v.weight, m_weight));
    for (int i = 0; i < 3; ++i) m_variants[i]->setChecked(v.variant[i]);
    m_trim->setCurrentIndex(listIndex(v.trim, m_trim));
    m_diff->setText(QString::number(v.diff));
    m_signals->setCurrentIndex(v.timecodeSignals);
    m_shutdown->setChecked(v.shutdown);
}

AutoCutDialog::Values AutoCutDialog::controlValues() const {
    Values v;
    v.type = m_type->currentIndex();
    v.minFrameCount = m_minFrames->value();
    v.preset = m_preset->currentIndex();
    v.weight = m_weight->currentIndex();
    for (int i = 0; i < 3; ++i) v.variant[i] = m_variants[i]->isChecked();
    v.trim = m_trim->currentIndex();
    bool number = false;
    v.diff = m_diff->text().toInt(&number);
    if (!number) v.diff = 0;
    v.timecodeSignals = std::max(m_signals->currentIndex(), 0);
    v.shutdown = m_shutdown->isChecked();
    return v;
}

}  // namespace klemora::gui
