// The main window's three views: the list with the information panel (1),
// the list with the film strip (2), and the storyboard (3) in place of the
// list and the preview. The list view's selection stays the one selection:
// the storyboard shows it as its marked stripes and writes its marks back.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/film_strip_view.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/scene_list_view.h"
#include "gui/storyboard_text.h"
#include "gui/storyboard_view.h"
#include "gui/text_of.h"
#include "gui/thumbnail_loader.h"

namespace klemora::gui {
namespace {

constexpr int kWholeWidthSetting = 9;
constexpr int kWidthStep = 100;

QSpinBox* addSetting(QHBoxLayout* row, const QString& label, const char* name, int minimum, int maximum) {
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(minimum, maximum);
    auto* text = new QLabel(label);
    text->setBuddy(box);
    row->addWidget(text);
    row->addWidget(box);
    return box;
}

}  // namespace

// "SBSceneWidth": 1 to 8 are that many hundred pixels; 9 (and anything out
// of range) is the whole width of the storyboard.
int storyboardStripeWidth(int setting) {
    if (setting <= 0 || setting >= kWholeWidthSetting) return 0;
    return setting * kWidthStep;
}

QWidget* MainWindow::buildViews(QWidget* listAndPreview) {
    m_thumbnails = std::make_unique<ThumbnailLoader>();
    m_thumbnails->setPaused(true);
    m_viewStack = new QStackedWidget;
    m_viewStack->addWidget(listAndPreview);
    // View 2: the film strip under the list in place of the information panel.
    m_filmStrip = new gui::FilmStripView(*m_thumbnails);
    m_filmStrip->setVisible(false);
    if (auto* splitter = qobject_cast<QSplitter*>(listAndPreview)) splitter->addWidget(m_filmStrip);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* settingsRow = new QHBoxLayout;
    m_storyboardFramesBox = addSetting(settingsRow, textOf(830), "storyboardFrames", 1, 9);
    m_sceneWidthBox = addSetting(settingsRow, textOf(831), "storyboardSceneWidth", 1, kWholeWidthSetting);
    m_borderWidthBox = addSetting(settingsRow, textOf(832), "storyboardBorder", 0, kMaxStripeMargin);
    settingsRow->addStretch(1);
    m_storyboard = new gui::StoryboardView(*m_thumbnails, m_ui);
    m_storyboard->setList(&m_shown);
    m_storyboardText = new QPlainTextEdit;
    m_storyboardText->setReadOnly(true);
    m_storyboardText->setFocusPolicy(Qt::ClickFocus);
    m_storyboardText->setTabStopDistance(m_storyboardText->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
    m_storyboardText->setMaximumHeight(m_storyboardText->fontMetrics().lineSpacing() * 7 + 12);
    layout->addLayout(settingsRow);
    layout->addWidget(m_storyboard, 1);
    layout->addWidget(m_storyboardText);
    m_viewStack->addWidget(page);
    return m_viewStack;
}

void MainWindow::connectViews() {
    connect(m_storyboard, &gui::StoryboardView::marksChanged, this, &MainWindow::onStoryboardMarks);
    connect(m_storyboard, &gui::StoryboardView::dropRequested, this, &MainWindow::onStoryboardDrop);
    connect(m_storyboard, &gui::StoryboardView::doubleClicked, this, [this] {
        QAction* properties = m_actions->action(Command::SceneProperties);
        if (properties->isEnabled()) properties->trigger();
    });
    QMenu* menu = m_actions->makeListContextMenu(this);
    connect(m_storyboard, &gui::StoryboardView::contextMenuWanted, this, [menu](const QPoint& at) { menu->exec(at); });

    m_storyboardFramesBox->setValue(m_storyboardFrames);
    m_sceneWidthBox->setValue(m_sceneWidth);
    m_borderWidthBox->setValue(m_borderWidth);
    m_storyboard->setPictureCount(m_storyboardFramesBox->value());
    m_storyboard->setStripeWidth(storyboardStripeWidth(m_sceneWidthBox->value()));
    m_storyboard->setMargin(m_borderWidthBox->value());
    const StripeType type = stripeTypeFromSetting(m_settings.readInt("StripeType", 2));
    m_storyboard->setStripeType(type);
    m_filmStrip->setStripeType(type);
    m_filmStrip->setPictureCount(std::max(1, m_frameCount));
    connect(m_filmStrip, &gui::FilmStripView::pictureFailed, this, [this](const QString& file, int32_t frame, int code) {
        if (m_view == FilmStripView) onPictureFailed(file, frame, code);
    });
    connect(m_storyboardFramesBox, &QSpinBox::valueChanged, this, [this](int value) {
        m_storyboardFrames = value;
        m_storyboard->setPictureCount(value);
    });
    connect(m_sceneWidthBox, &QSpinBox::valueChanged, this, [this](int value) {
        m_sceneWidth = value;
        m_storyboard->setStripeWidth(storyboardStripeWidth(value));
    });
    connect(m_borderWidthBox, &QSpinBox::valueChanged, this, [this](int value) {
        m_borderWidth = value;
        m_storyboard->setMargin(value);
    });
}

void MainWindow::setView(View view) {
    const bool entering = view == StoryboardView && m_view != StoryboardView;
    m_view = view;
    if (view != StoryboardView) m_lastListView = view;
    m_viewStack->setCurrentIndex(view == StoryboardView ? 1 : 0);
    m_preview->setInfoVisible(view == ListView);
    m_filmStrip->setVisible(view == FilmStripView);
    m_actions->action(view == ListView        ? Command::ViewList
                      : view == FilmStripView ? Command::ViewFilmStrip
                                              : Command::ViewStoryboard)
        ->setChecked(true);
    m_thumbnails->setPaused(view == ListView);
    if (entering) {
        // A file that was missing may be back: its stripes are tried again.
        m_storyboard->forgetFailures();
        m_storyboard->rebuild();
        m_storyboard->setFocus();
    }
    refreshSelection();
}

void MainWindow::rebuildStoryboard() {
    if (m_view == StoryboardView) m_storyboard->rebuild();
}

void MainWindow::onPictureFailed(const QString& file, int32_t frame, int code) {
    m_ui.showMessage(stripePictureFailureText(file, frame, code).toStdString(), app::Icon::Stop);
}

void MainWindow::refreshViews(const std::vector<int>& rows) {
    if (m_view == FilmStripView) {
        if (rows.size() == 1) m_filmStrip->showScene(m_shown, rows.front());
        else m_filmStrip->clearScene();
    }
    if (m_view != StoryboardView || m_markingFromStoryboard) return;
    m_storyboard->setMarkedRows(rows);
    refreshStoryboardText();
}

void MainWindow::refreshStoryboardText() {
    const bool german = QString::fromStdString(m_settings.readText("Lang", "")).compare(QLatin1String("DE"),
                                                                                     Qt::CaseInsensitive) == 0;
    m_storyboardText->setPlainText(storyboardSceneText(m_shown, m_storyboard->focusedRow(), german));
}

void MainWindow::onStoryboardMarks(const std::vector<int>& rows, int) {
    m_markingFromStoryboard = true;
    m_list->selectRows(rows);
    m_markingFromStoryboard = false;
    refreshStoryboardText();
}

void MainWindow::onStoryboardDrop(const std::vector<int>& rows, int target) {
    int first = target;
    scene::EditResult result = runCommand(Command::MoveUp, scene::kScopeShown, [&] {
        return scene::moveScenesTo(m_shown, rows, target, m_ui, &first);
    });
    if (result != scene::EditResult::Ok) return;
    std::vector<int> moved;
    for (size_t i = 0; i < rows.size(); ++i) moved.push_back(first + static_cast<int>(i));
    m_list->selectRows(moved);
}

bool MainWindow::handleStoryboardKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    auto run = [this](Command command) {
        QAction* action = m_actions->action(command);
        if (action->isEnabled()) action->trigger();
        return true;
    };
    if (mods == Qt::ControlModifier && key->key() == Qt::Key_Left) return run(Command::MoveUp);
    if (mods == Qt::ControlModifier && key->key() == Qt::Key_Right) return run(Command::MoveDown);
    // The settings' spin boxes keep their own arrows.
    if (qobject_cast<QAbstractSpinBox*>(QApplication::focusWidget())) return false;
    if ((mods & ~Qt::ShiftModifier) != Qt::NoModifier) return false;
    return m_storyboard->navigate(key->key(), mods);
}

}  // namespace klemora::gui
