#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <unistd.h>

#include "app/general_settings.h"
#include "app/paths.h"
#include "app/string_table.h"
#include "app/user_locale.h"
#include "gui/about_dialog.h"
#include "gui/group_tree_view.h"
#include "gui/help_page.h"
#include "gui/info_dialog.h"
#include "gui/preview_panel.h"
#include "gui/saved_placement.h"
#include "gui/scene_list_view.h"
#include "gui/settings_dialog.h"
#include "gui/text_of.h"
#include "gui/thumbnail_loader.h"
#include "media/media_settings.h"
#include "scene/status_line.h"

namespace klemora::gui {
namespace {

constexpr const char* kPlacement = "Main";  // "MainMax", "MainX1" .. "MainY2"
constexpr const char* kTitle = "Klemora";

}  // namespace

MainWindow::MainWindow(const app::SettingsStore& settings, app::DebugLog log, uint32_t frameworkVersion,
                       QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_log(std::move(log)),
      m_frameworkVersion(frameworkVersion),
      m_ui(this),
      m_probe(m_ui, media::readMediaSettings(settings).fixRatio, m_log),
      m_session(m_tree, settings, m_probe) {
    m_shownGroup = &m_tree.root();
    m_shown.setGroupName(m_tree.root().name());
    m_undo.setUndoLimit(static_cast<int>(scene::EditHistory::kDefaultSteps));
    buildWidgets();
    connectCommands();
    readStoredState();
    connectViews();
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    applyWindowTitle();
    showGroup(&m_tree.root());
}

MainWindow::~MainWindow() { qApp->removeEventFilter(this); }

void MainWindow::buildWidgets() {
    m_actions = new MainActions(this);
    m_actions->fillMenuBar(menuBar());
    addToolBar(m_actions->makeToolBar(this));

    m_groups = new GroupTreeView;
    m_groups->setTree(&m_tree);
    m_list = new SceneListView;
    m_list->tableModel()->setList(&m_shown);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_preview = new PreviewPanel(m_ui, media::readMediaSettings(m_settings));

    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(m_list);
    right->addWidget(m_preview);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->addWidget(m_groups);
    m_splitter->addWidget(buildViews(right));
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 4);
    setCentralWidget(m_splitter);

    m_status = new QLabel;
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(m_status, 1);
    resize(1000, 700);
}

void MainWindow::readStoredState() {
    m_list->readColumnWidths(m_settings);
    m_sliderJump = app::readGeneralSettings(m_settings, app::userDefaultLanguageId()).sliderJump;
    m_preview->setSliderJump(m_sliderJump);
    m_frameCount = std::clamp(m_settings.readInt("FrameCount", 3), 0, 5);
    m_storyboardFrames = std::clamp(m_settings.readInt("SBFrameCount", 3), 0, 9);
    m_sceneWidth = m_settings.readInt("SBSceneWidth", 9);
    m_borderWidth = m_settings.readInt("SBBorderWidth", 5);
    if (m_settings.readText("ScnPath", "").empty()) {
        std::string documents = app::documentsFolder();
        if (!documents.empty()) m_settings.writeText("ScnPath", documents + "/");
    }
    m_lastListView = m_settings.readInt("LastView", ListView) == ListView ? ListView : FilmStripView;
    setView(View(m_lastListView));
}

void MainWindow::openAtStart(const QString& commandLineProject) {
    scene::openAtStartup(m_session, commandLineProject.toStdString(), m_ui);
    projectReplaced(m_session.unsavedChanges);
    startAutobackup();
    gui::restorePlacement(*this, m_settings, kPlacement);
}

void MainWindow::storeStateOnExit() {
    storePlacement(*this, m_settings, kPlacement);
    m_settings.writeInt("SBFrameCount", m_storyboardFrames);
    m_settings.writeInt("SBSceneWidth", m_sceneWidth);
    m_settings.writeInt("SBBorderWidth", m_borderWidth);
    m_settings.writeInt("LastView", m_lastListView);
    m_list->writeColumnWidths(m_settings);
}

void MainWindow::applyWindowTitle() {
    setWindowTitle(QString::fromUtf8(kTitle) + QStringLiteral(" (Portable)"));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_running || !askSaveBeforeLeaving()) return event->ignore();
    m_autobackup.stop();
    ::unlink(scene::autobackupPath(m_settings).c_str());
    storeStateOnExit();
    event->accept();
}

bool MainWindow::askSaveBeforeLeaving() {
    if (!m_session.unsavedChanges) return true;
    if (m_ui.ask(app::loadString(128), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes) return true;
    return saveProjectAs();
}

QString MainWindow::statusText() const { return m_status->text(); }

void MainWindow::refreshStatusLine() {
    std::vector<int> rows = m_list->selectedRows();
    m_status->setText(QString::fromStdString(scene::statusLineText(m_shown, rows, m_tree, m_shownGroup)));
}

void MainWindow::refreshSelection() {
    std::vector<int> rows = m_list->selectedRows();
    // The storyboard covers the preview: no source opened for it there.
    if (rows.size() == 1 && m_view != StoryboardView) m_preview->showScene(m_shown, rows.front());
    else m_preview->clearScene();
    refreshViews(rows);
    refreshStatusLine();
    refreshCommandStates();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_running && !localFilesOf(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList files = localFilesOf(event->mimeData());
    if (files.isEmpty() || m_running) return;
    event->acceptProposedAction();
    addFiles(files);
}

void MainWindow::showSettings() {
    SettingsDialog dialog(m_settings, app::userDefaultLanguageId(), this);
    dialog.exec();
}

void MainWindow::showAbout() {
    bool german = app::readGeneralSettings(m_settings, app::userDefaultLanguageId()).language ==
                  app::UiLanguage::German;
    AboutDialog about(german ? QStringLiteral("Deutsch") : QStringLiteral("English"), m_frameworkVersion, this);
    about.exec();
}

void MainWindow::showReadme() {
    InfoDialog info(m_settings.readText("Lang", ""), app::programFolder(), this);
    info.exec();
}

void MainWindow::showHelp() { openHelpPage(this, QStringLiteral("index.htm"), m_settings); }

}  // namespace klemora::gui
