#include "gui/write_scenes_dialog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <new>

#include "app/string_table.h"
#include "gui/help_page.h"
#include "gui/qt_user_interface.h"
#include "gui/text_of.h"
#include "gui/worker_run.h"
#include "output/name_check.h"

namespace klemora::gui {
namespace {

QLabel* wrappedLabel(int text) {
    auto* label = new QLabel(textOf(text));
    label->setWordWrap(true);
    return label;
}

QPushButton* button(const QString& text, int tip) {
    auto* made = new QPushButton(text);
    made->setToolTip(textOf(tip));
    made->setAutoDefault(false);
    return made;
}

QCheckBox* checkBox(int text, int tip = 0) {
    auto* box = new QCheckBox(textOf(text));
    if (tip) box->setToolTip(textOf(tip));
    return box;
}

}  // namespace

WriteScenesDialog::WriteScenesDialog(const app::SettingsStore& settings, scene::GroupTree& tree,
                                     scene::SceneList* mainList, QWidget* parent, std::unique_ptr<QtUserInterface> ui)
    : QDialog(parent), m_settings(settings), m_tree(tree), m_mainList(mainList), m_ui(std::move(ui)) {
    if (!m_ui) m_ui = std::make_unique<QtUserInterface>(this);
    setWindowTitle(textOf(952));
    buildWidgets();
    showSettings(output::readWriteRunSettings(m_settings));
    connectWidgets();
    m_timing->clear();
    checkTemplate();
    m_pickFolder->setFocus();
}

WriteScenesDialog::~WriteScenesDialog() { output::writeWriteRunSettings(m_settings, fieldSettings()); }

void WriteScenesDialog::buildWidgets() {
    m_folder = new QLineEdit;
    m_folder->setReadOnly(true);
    m_folder->setToolTip(textOf(288));
    m_pickFolder = button(QStringLiteral("..."), 285);
    m_clearFolder = button(QStringLiteral("X"), 289);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_pickFolder);
    folderRow->addWidget(m_clearFolder);

    m_template = new QLineEdit;
    m_template->setToolTip(textOf(407));
    m_template->setMaxLength(static_cast<int>(output::kMaxDestinationPath));
    m_preview = new QLineEdit;
    m_preview->setReadOnly(true);
    m_preview->setFocusPolicy(Qt::NoFocus);
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(m_template, 1);
    templateRow->addWidget(new QLabel(QStringLiteral("=>")));
    templateRow->addWidget(m_preview, 1);

    m_shutdown = checkBox(953, 298);
    m_selectedOnly = checkBox(954, 340);
    m_okOnly = checkBox(955);
    m_setDates = checkBox(956);
    m_deleteSources = checkBox(957, 442);
    m_signal = checkBox(958);

    m_startPerScene = button(textOf(104), 286);
    m_startOneFile = button(textOf(104), 290);
    auto* starts = new QGridLayout;
    starts->addWidget(m_startPerScene, 0, 0);
    starts->addWidget(wrappedLabel(286), 0, 1);
    starts->addWidget(m_startOneFile, 1, 0);
    starts->addWidget(wrappedLabel(290), 1, 1);
    starts->setColumnStretch(1, 1);

    m_timing = new QLabel;
    m_stop = button(textOf(153), 216);
    m_close = button(textOf(824), 262);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_timing);
    bottom->addStretch(1);
    bottom->addWidget(m_stop);
    bottom->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wrappedLabel(288));
    layout->addLayout(folderRow);
    layout->addWidget(wrappedLabel(407));
    layout->addLayout(templateRow);
    for (QCheckBox* box : {m_shutdown, m_selectedOnly, m_okOnly, m_setDates, m_deleteSources, m_signal})
        layout->addWidget(box);
    layout->addLayout(starts);
    layout->addLayout(bottom);
    setMinimumWidth(520);
}

void WriteScenesDialog::connectWidgets() {
    connect(m_pickFolder, &QPushButton::clicked, this, &WriteScenesDialog::chooseDestination);
    connect(m_clearFolder, &QPushButton::clicked, this, [this] { m_folder->clear(); });
    connect(m_template, &QLineEdit::textEdited, this, [this] { checkTemplate(); });
    connect(m_startPerScene, &QPushButton::clicked, this, &WriteScenesDialog::startPerScene);
    connect(m_startOneFile, &QPushButton::clicked, this, &WriteScenesDialog::startOneFile);
    connect(m_stop, &QPushButton::clicked, this, &WriteScenesDialog::stop);
    connect(m_close, &QPushButton::clicked, this, &WriteScenesDialog::accept);
}

void WriteScenesDialog::showSettings(const output::WriteRunSettings& settings) {
    m_folder->setText(QString::fromStdString(settings.destinationPath));
    m_template->setText(QString::fromStdString(settings.formatString));
    m_shutdown->setChecked(settings.shutdown);
    m_selectedOnly->setChecked(settings.selectedOnly);
    m_okOnly->setChecked(settings.okOnly);
    m_setDates->setChecked(settings.setDatestamp);
    m_deleteSources->setChecked(settings.deleteSourceFiles);
    m_signal->setChecked(settings.signal);
}

output::WriteRunSettings WriteScenesDialog::fieldSettings() const {
    output::WriteRunSettings settings;
    settings.destinationPath = m_folder->text().toStdString();
    settings.formatString = m_template->text().toStdString();
    settings.shutdown = m_shutdown->isChecked();
    settings.selectedOnly = m_selectedOnly->isChecked();
    settings.okOnly = m_okOnly->isChecked();
    settings.setDatestamp = m_setDates->isChecked();
    settings.deleteSourceFiles = m_deleteSources->isChecked();
    settings.signal = m_signal->isChecked();
    return settings;
}

void WriteScenesDialog::chooseDestination() {
    if (m_running) return;
    const QString start = m_folder->text();
    QString chosen = chooseFolder
                         ? chooseFolder(start)
                         : QString::fromStdString(m_ui->chooseDirectory("Directory selection", start.toStdString()));
    if (chosen.isEmpty()) return;
    if (!chosen.endsWith(QLatin1Char('/'))) chosen += QLatin1Char('/');
    m_folder->setText(chosen);
}

// The preview names the example scene; a character not allowed in file
// names (409) shows "ERROR", blocks the per-scene start and OK, and is
// selected in the template.
void WriteScenesDialog::checkTemplate() {
    const std::string text = m_template->text().toStdString();
    const output::TemplatePreview preview = output::previewTemplate(m_previewList, text, *m_ui);
    m_templateValid = preview.valid;
    m_preview->setText(QString::fromStdString(preview.text));
    refreshControls();
    if (preview.valid) return;
    m_template->setFocus();
    if (preview.invalidCharInTemplate) {
        const int at = static_cast<int>(QString::fromStdString(text.substr(0, preview.invalidCharAt)).size());
        m_template->setSelection(at, 1);
    }
}

int WriteScenesDialog::sceneCount() const {
    int count = 0;
    for (const scene::Group* group : std::as_const(m_tree).depthFirst()) count += group->list().count();
    return count;
}

void WriteScenesDialog::refreshControls() {
    const bool idle = !m_running;
    const bool scenes = sceneCount() > 0;
    for (QWidget* control : std::initializer_list<QWidget*>{m_folder, m_pickFolder, m_clearFolder, m_template,
                                                            m_shutdown, m_selectedOnly, m_okOnly, m_setDates,
                                                            m_deleteSources, m_signal})
        control->setEnabled(idle);
    m_startPerScene->setEnabled(idle && scenes && m_templateValid);
    m_startOneFile->setEnabled(idle && scenes);
    m_close->setEnabled(idle && m_templateValid);
    m_stop->setEnabled(m_running);
}

void WriteScenesDialog::startPerScene() {
    if (m_templateValid) run(false);
}

void WriteScenesDialog::startOneFile() { run(true); }

void WriteScenesDialog::stop() {
    if (m_running) m_ui->requestCancel();
}

void WriteScenesDialog::setRunning(bool running) {
    m_running = running;
    refreshControls();
    if (running) m_stop->setFocus();
    if (runningChanged) runningChanged(running);
}

void WriteScenesDialog::run(bool oneFile) {
    if (m_running || sceneCount() == 0) return;  // a click queued before the buttons were locked
    output::WriteRunRequest request(m_tree, *m_ui);
    request.settings = fieldSettings();
    request.writerOptions = writerOptions;
    // A Stop drops the scene in progress: no part of it stands under its name.
    request.keepStoppedPart = false;
    request.mainList = m_mainList;
    request.power = m_power;
    m_timing->clear();
    QElapsedTimer clock;
    clock.start();
    setRunning(true);
    m_ui->resetCancel();
    try {
        runOnWorker([&] { m_outcome = oneFile ? output::WriteScenes1File(request) : output::OnBtWritestart(request); });
    } catch (const std::bad_alloc&) {
        m_ui->showMessage(app::loadString(109), app::Icon::Stop);
    } catch (const std::exception& failure) {
        m_ui->showMessage(app::loadString(117) + "\nCode: KLM-WS-1003\n" + failure.what(), app::Icon::Stop);
    }
    m_ui->resetCancel();
    // An empty template was replaced by the default (405 said so).
    if (!oneFile && m_template->text().isEmpty())
        m_template->setText(QString::fromStdString(output::runNameTemplate(request.settings)));
    m_timing->setText(QStringLiteral("%1 s").arg(static_cast<double>(clock.elapsed()) / 1000.0, 0, 'f', 1));
    setRunning(false);
    checkTemplate();
}

// OK and Cancel close only an idle dialog with a valid template; with an
// invalid one they check it again. During a run Cancel (Esc, closing the
// window) is its Stop, and the dialog stays until the run has ended.
void WriteScenesDialog::accept() {
    if (m_running) return;
    if (!m_templateValid) return checkTemplate();
    QDialog::accept();
}

void WriteScenesDialog::reject() {
    if (m_running) return stop();
    if (!m_templateValid) return checkTemplate();
    QDialog::reject();
}

void WriteScenesDialog::keyPressEvent(QKeyEvent* event) {
    if (openHelpOnF1(this, event, QStringLiteral("page10.htm"), m_settings)) return;
    QDialog::keyPressEvent(event);
}

}  // namespace klemora::gui
