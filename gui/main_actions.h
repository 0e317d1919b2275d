#pragma once
// The main window's commands as actions, and the menu bar, toolbar and list
// context menu built from them. Nothing here runs a command: the window
// connects each action, enables them and handles the keys itself, so the
// actions carry no shortcuts; the part of a text after its tab only shows
// the key in the menu.
#include <QObject>
#include <QString>
#include <array>
#include <initializer_list>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace klemora::gui {

enum class Command {
    NewProject, LoadProject, SaveProject, SaveProjectAs, AddAvi, WriteAvi, DvCapture, Settings, Exit,
    SceneProperties, ToggleOk, SceneDetection, ManualSplit, TrimScene, TrimAll, MergeScenes, SortScenes,
    DeleteScenes, RestoreFromTrash, SelectAll, MoveUp, MoveDown, MoveToTop, MoveToEnd,
    GroupNewWithScenes, GroupNew, GroupRename, GroupDelete,
    ViewList, ViewFilmStrip, ViewStoryboard, PlayScenes, SceneIndex, AdditionalFunctions,
    Undo, Redo, About, Readme, Help, Count
};

class MainActions : public QObject {
    Q_OBJECT

public:
    explicit MainActions(QWidget* window);  // one action per command, parented to window

    QAction* action(Command command) const;
    // The three views are checkable and exclusive: triggering the checked
    // storyboard again keeps it checked; switching it off is the window's call.
    QActionGroup* viewGroup() const { return m_views; }

    void fillMenuBar(QMenuBar* bar) const;
    QToolBar* makeToolBar(QWidget* parent) const;
    // Entries of their own that trigger the window's actions and take over
    // their enabled state each time the menu opens.
    QMenu* makeListContextMenu(QWidget* parent) const;

    // The save entry names the project once it has one, and is enabled only
    // while there are unsaved changes.
    void showSaveState(bool unsavedChanges, const QString& projectBaseName);

private:
    QMenu* addMenu(QMenuBar* bar, const QString& title, std::initializer_list<Command> entries) const;
    void addEntries(QMenu* menu, std::initializer_list<Command> entries) const;

    std::array<QAction*, static_cast<size_t>(Command::Count)> m_actions{};
    QActionGroup* m_views;
};

}  // namespace klemora::gui
