// The detection dialog's controls, its file list and its enable rules.
#include "gui/auto_cut_dialog.h"

#include <QCheckBox>
#include <algorithm>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/help_page.h"
#include "gui/text_of.h"
#include "media/media_probe.h"

namespace klemora::gui {
namespace {

constexpr int kTypeTexts[] = {345, 346, 994};
constexpr int kSignalTexts[] = {996, 997, 998};
constexpr int kPresetTexts[] = {312, 313, 314, 315, 316};
constexpr int kWeightTexts[] = {317, 318, 319};

QComboBox* comboOf(std::initializer_list<int> texts, int tip) {
    auto* box = new QComboBox;
    for (int text : texts) box->addItem(textOf(text));
    box->setToolTip(textOf(tip));
    return box;
}

QPushButton* buttonOf(const QString& text, int tip) {
    auto* button = new QPushButton(text);
    button->setToolTip(textOf(tip));
    button->setAutoDefault(false);
    return button;
}

void showInternalError(app::UserInterface& ui, const char* code, app::Icon icon = app::Icon::Stop) {
    ui.showMessage(app::stringPrintf("%s\nCode: %s", app::loadString(117).c_str(), code), icon);
}

}  // namespace

AutoCutDialog::AutoCutDialog(const app::SettingsStore& settings, app::PowerControl& power, media::MediaSettings media,
                             const scene::SceneList& selected, app::DebugLog log, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_power(power),
      m_media(std::move(media)),
      m_log(std::move(log)),
      m_ui(this),
      m_detector(m_ui) {
    setWindowTitle(textOf(868));
    setAcceptDrops(true);
    readSettings();
    buildControls();
    layoutControls();
    showValues(m_stored);
    connectControls();
    fillFrom(selected);
    refreshEnableStates();
    m_play->setFocus();
}

AutoCutDialog::~AutoCutDialog() { writeSettings(controlValues()); }

void AutoCutDialog::buildControls() {
    m_type = comboOf({kTypeTexts[0], kTypeTexts[1], kTypeTexts[2]}, 343);
    m_minFrames = new QSpinBox;
    m_minFrames->setRange(1, 99999);
    m_minFrames->setToolTip(textOf(219));
    m_minFramesLabel = new QLabel(textOf(870));
    m_preset = comboOf({kPresetTexts[0], kPresetTexts[1], kPresetTexts[2], kPresetTexts[3], kPresetTexts[4]}, 220);
    m_presetLabel = new QLabel(textOf(871));
    m_weight = comboOf({kWeightTexts[0], kWeightTexts[1], kWeightTexts[2]}, 221);
    m_weightLabel = new QLabel(textOf(872));
    for (int i = 0; i < 3; ++i) {
        m_variants[i] = new QCheckBox(QString::fromStdString(app::stringPrintf(app::loadString(873).c_str(), i + 1)));
        m_variants[i]->setToolTip(textOf(223 + i));
    }
    m_trim = new QComboBox;
    for (int i = 0; i <= detect::kMaxTrimCount; ++i) m_trim->addItem(QString::number(i));
    m_trim->setToolTip(textOf(370));
    m_diff = new QLineEdit;
    m_diff->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), m_diff));
    m_diff->setToolTip(textOf(392));
    m_diffLabel = new QLabel(textOf(875));
    m_signals = comboOf({kSignalTexts[0], kSignalTexts[1], kSignalTexts[2]}, 999);
    m_signalsLabel = new QLabel(textOf(995));
    m_shutdown = new QCheckBox(textOf(876));
    m_shutdown->setToolTip(textOf(227));

    m_files = new QListWidget;
    m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_info = new QLabel;
    m_info->setWordWrap(true);
    m_count = new QLabel;
    m_benchmark = new QLabel;  // filled by no run, kept for its place

    m_start = buttonOf(textOf(104), 215);
    m_stop = buttonOf(textOf(153), 216);
    m_play = buttonOf(textOf(984), 217);
    m_remove = buttonOf(textOf(879), 214);
    m_add = buttonOf(textOf(878), 213);
    m_add->hide();  // files come by dropping; the button stays for its tip
    m_add->setEnabled(false);
    m_ok = buttonOf(textOf(888), 232);
    m_cancel = buttonOf(textOf(887), 231);
}

void AutoCutDialog::layoutControls() {
    auto* settings = new QGridLayout;
    int row = 0;
    auto addRow = [&](QWidget* label, QWidget* control) {
        settings->addWidget(label, row, 0);
        settings->addWidget(control, row++, 1);
    };
    addRow(new QLabel(textOf(869)), m_type);
    addRow(m_minFramesLabel, m_minFrames);
    addRow(m_presetLabel, m_preset);
    addRow(m_weightLabel, m_weight);
    for (QCheckBox* variant : m_variants) settings->addWidget(variant, row++, 0, 1, 2);
    addRow(new QLabel(textOf(874)), m_trim);
    addRow(m_diffLabel, m_diff);
    addRow(m_signalsLabel, m_signals);
    settings->addWidget(m_shutdown, row++, 0, 1, 2);

    auto* listButtons = new QHBoxLayout;
    for (QPushButton* button : {m_add, m_remove, m_play}) listButtons->addWidget(button);
    listButtons->addStretch(1);

    auto* count = new QHBoxLayout;
    count->addWidget(new QLabel(textOf(877)));
    count->addWidget(m_count, 1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_start, m_stop}) buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(m_files, 1);
    layout->addLayout(listButtons);
    layout->addWidget(m_info);
    layout->addLayout(count);
    layout->addWidget(m_benchmark);
    layout->addLayout(buttons);
}

void AutoCutDialog::connectControls() {
    connect(m_type, &QComboBox::currentIndexChanged, this, [this] { refreshEnableStates(); });
    for (QCheckBox* variant : m_variants) connect(variant, &QCheckBox::toggled, this, [this] { refreshEnableStates(); });
    connect(m_trim, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.writeInt("TrimCount", index); });
    connect(m_files, &QListWidget::itemSelectionChanged, this, [this] { refreshInfo(); });
    connect(m_start, &QPushButton::clicked, this, &AutoCutDialog::start);
    connect(m_stop, &QPushButton::clicked, this, &AutoCutDialog::stop);
    connect(m_play, &QPushButton::clicked, this, &AutoCutDialog::playSelectedFiles);
    connect(m_remove, &QPushButton::clicked, this, &AutoCutDialog::removeSelectedFiles);
    connect(m_ok, &QPushButton::clicked, this, &AutoCutDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &AutoCutDialog::reject);
}

void AutoCutDialog::fillFrom(const scene::SceneList& selected) {
    for (int i = 0; i < selected.count(); ++i) {
        if (!appendFile(std::string(selected.sourceFile(i)), selected.startFrame(i), selected.stopFrame(i),
                        "KLM-AC-1001"))
            break;
    }
    m_found.clear();
    m_found.setModified(false);
    if (!m_sources.empty()) selectOnly(static_cast<int>(m_sources.size()) - 1);
}

bool AutoCutDialog::appendFile(const std::string& path, int32_t first, int32_t last, const char* refusedCode) {
    media::MediaInfo info(m_media.fixRatio, m_log);
    int rc = media::ProbeMedia(path, info, m_ui);
    if (rc != 1) {
        m_ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(108).c_str(), path.c_str(), rc),
                         app::Icon::Stop);
        return true;  // left out; the others still come
    }
    const int extra = media::GetExtraData(info, true, m_ui);
    if (static_cast<int>(m_sources.size()) >= kMaxFiles) {
        showInternalError(m_ui, refusedCode);
        return false;
    }
    if (last < 0) last = info.frameCount - 1;
    m_sources.push_back({path, first, last});
    m_infoTexts.push_back(autoCutFileInfo(info, extra, m_sources.back()));
    m_files->addItem(QString::fromStdString(path));
    return true;
}

void AutoCutDialog::addFiles(const std::vector<std::string>& paths, const char* refusedCode) {
    if (m_running || paths.empty()) return;
    setCursor(Qt::WaitCursor);
    for (const std::string& path : paths)
        if (!appendFile(path, 0, -1, refusedCode)) break;
    unsetCursor();
    if (!m_sources.empty()) selectOnly(static_cast<int>(m_sources.size()) - 1);
    refreshEnableStates();
}

void AutoCutDialog::selectOnly(int row) {
    if (row < 0 || row >= m_files->count()) return;
    m_files->clearSelection();
    m_files->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    refreshInfo();
}

void AutoCutDialog::refreshInfo() {
    const QList<QListWidgetItem*> items = m_files->selectedItems();
    if (items.isEmpty()) return m_info->setText(textOf(119));
    if (items.size() > 1) return m_info->setText(textOf(120));
    m_info->setText(QString::fromStdString(m_infoTexts[static_cast<size_t>(m_files->row(items.front()))]));
}

void AutoCutDialog::removeSelectedFiles() {
    if (m_running) return;
    std::vector<int> rows;
    for (QListWidgetItem* item : m_files->selectedItems()) rows.push_back(m_files->row(item));
    if (rows.empty()) return;
    if (m_ui.ask(app::loadString(110), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes) return;
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) {
        delete m_files->takeItem(row);
        m_sources.erase(m_sources.begin() + row);  // the ranges behind it move forward with their files
        m_infoTexts.erase(m_infoTexts.begin() + row);
    }
    m_info->clear();
    refreshEnableStates();
}

void AutoCutDialog::refreshEnableStates() {
    const bool idle = !m_running;
    const int type = m_type->currentIndex();
    const bool picture = type != Datestamp && type != Timecode;
    const bool blocks = m_variants[1]->isChecked() || m_variants[2]->isChecked();
    m_stop->setEnabled(m_detecting);
    for (QWidget* always : std::initializer_list<QWidget*>{m_ok, m_cancel, m_remove, m_files, m_play, m_type, m_trim,
                                                           m_shutdown, m_signals})
        always->setEnabled(idle);
    m_start->setEnabled(idle && !m_sources.empty());
    for (QWidget* pictureOnly :
         std::initializer_list<QWidget*>{m_minFrames, m_minFramesLabel, m_preset, m_presetLabel, m_variants[0],
                                         m_variants[1], m_variants[2]})
        pictureOnly->setEnabled(idle && picture);
    m_weight->setEnabled(idle && picture && blocks);
    m_weightLabel->setEnabled(idle && picture && blocks);
    m_diff->setEnabled(idle && type == Datestamp);
    m_diffLabel->setEnabled(idle && type == Datestamp);
    m_signals->setVisible(type == Timecode);
    m_signalsLabel->setVisible(type == Timecode);
}

void AutoCutDialog::setBusy(bool busy) {
    m_running = busy;
    refreshEnableStates();
    if (busyChanged) busyChanged(busy);
}

void AutoCutDialog::stop() {
    if (m_detecting) m_ui.requestCancel();
}

void AutoCutDialog::accept() {
    if (!m_running) QDialog::accept();
}

void AutoCutDialog::reject() {
    if (m_running) return stop();  // Esc while a run goes on is its Stop
    if (hasFoundScenes() && m_found.count() > 0) {
        if (m_ui.ask(app::loadString(105), app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes)
            return QDialog::accept();
    }
    QDialog::reject();
}

void AutoCutDialog::keyPressEvent(QKeyEvent* event) {
    if (!m_running && openHelpOnF1(this, event, QStringLiteral("page04.htm"), m_settings)) return;
    QDialog::keyPressEvent(event);
}

void AutoCutDialog::closeEvent(QCloseEvent* event) {
    if (m_running) {
        stop();
        return event->ignore();
    }
    QDialog::closeEvent(event);
}

}  // namespace klemora::gui
