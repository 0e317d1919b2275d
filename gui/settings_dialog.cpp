#include "gui/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/text_format.h"
#include "gui/help_page.h"
#include "gui/text_of.h"

namespace klemora::gui {
namespace {

// Digits only; the range is checked on OK, as the user may type on.
QLineEdit* numberEdit(int value, QWidget* parent) {
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,6}")), edit));
    edit->setMaximumWidth(80);
    return edit;
}

QCheckBox* checkBox(int textId, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(textOf(textId), parent);
    box->setChecked(checked);
    return box;
}

}  // namespace

SettingsDialog::SettingsDialog(const app::SettingsStore& store, int userLanguageId, QWidget* parent)
    : QDialog(parent),
      m_store(store),
      m_opened(app::readGeneralSettings(store, userLanguageId)),
      m_language(new QComboBox(this)),
      m_sliderJump(numberEdit(m_opened.sliderJump, this)),
      m_backup(checkBox(934, m_opened.backup, this)),
      m_interval(new QComboBox(this)),
      m_format(new QComboBox(this)),
      m_qualityLabel(new QLabel(textOf(937), this)),
      m_quality(numberEdit(90, this)),
      m_clipping(numberEdit(m_opened.pictureClipping, this)),
      m_aspect(checkBox(939, m_opened.respectAspect, this)),
      m_datestamp(checkBox(940, m_opened.appendDatestamp, this)) {
    setWindowTitle(textOf(931));
    setModal(true);
    m_language->addItems({QStringLiteral("Deutsch"), QStringLiteral("English")});
    m_language->setCurrentIndex(m_opened.language == app::UiLanguage::German ? 0 : 1);
    for (int minutes = app::kMinBackupInterval; minutes <= app::kMaxBackupInterval; ++minutes)
        m_interval->addItem(QString::number(minutes));
    m_interval->setCurrentIndex(m_opened.backupInterval - 1);
    m_interval->setEnabled(m_opened.backup);
    connect(m_backup, &QCheckBox::toggled, m_interval, &QWidget::setEnabled);
    // BMP is the only format and has no quality.
    m_format->addItem(QStringLiteral("BMP"));
    m_qualityLabel->hide();
    m_quality->hide();
    m_quality->setEnabled(false);

    auto* form = new QFormLayout;
    form->addRow(textOf(932), m_language);
    form->addRow(textOf(933), m_sliderJump);
    form->addRow(m_backup);
    form->addRow(textOf(935), m_interval);
    form->addRow(textOf(936), m_format);
    form->addRow(m_qualityLabel, m_quality);
    form->addRow(textOf(938), m_clipping);
    form->addRow(m_aspect);
    form->addRow(m_datestamp);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* hint = new QLabel(textOf(941), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addWidget(buttons);
}

bool SettingsDialog::readNumber(QLineEdit* edit, int min, int max, int& value) {
    bool ok = false;
    value = edit->text().toInt(&ok);
    if (ok && value >= min && value <= max) return true;
    QMessageBox::warning(this, QStringLiteral("Klemora"),
                         QString::fromStdString(app::stringPrintf(app::loadString(942).c_str(), min, max)));
    edit->setFocus();
    edit->selectAll();
    return false;
}

app::GeneralSettings SettingsDialog::shownSettings() const {
    app::GeneralSettings s = m_opened;
    s.language = m_language->currentIndex() == 0 ? app::UiLanguage::German : app::UiLanguage::English;
    s.backup = m_backup->isChecked();
    s.backupInterval = m_interval->currentIndex() + 1;
    s.respectAspect = m_aspect->isChecked();
    s.appendDatestamp = m_datestamp->isChecked();
    return s;
}

void SettingsDialog::accept() {
    app::GeneralSettings now = shownSettings();
    if (!readNumber(m_sliderJump, app::kMinSliderJump, app::kMaxSliderJump, now.sliderJump)) return;
    if (!readNumber(m_clipping, app::kMinPictureClipping, app::kMaxPictureClipping, now.pictureClipping)) return;
    if (app::writeGeneralSettings(m_store, now, m_opened))
        QMessageBox::critical(this, QStringLiteral("Klemora"), QString::fromStdString(app::restartNoticeText()));
    QDialog::accept();
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
    if (!openHelpOnF1(this, event, QStringLiteral("page02.htm"), m_store)) QDialog::keyPressEvent(event);
}

}  // namespace klemora::gui
