#pragma once
// The group tree of the main window. It shows a scene::GroupTree and turns
// what a person does (keys, the inline name editor, drags, the context menu)
// into signals; it never changes the tree itself. Whoever runs the commands
// calls rebuild() or refreshNames() to show the new state.
#include <QHash>
#include <QString>
#include <QTreeWidget>

#include "scene/edit_change.h"
#include "scene/group_tree.h"

class QMenu;

namespace klemora::gui {

class GroupTreeView : public QTreeWidget {
    Q_OBJECT

public:
    explicit GroupTreeView(QWidget* parent = nullptr);

    // Shows `tree` (nullptr: nothing) with its root current; emits nothing.
    void setTree(scene::GroupTree* tree);
    // Re-reads the whole tree (after undo/redo, new/delete/move group). The
    // current group stays by its path when that still exists, else the root
    // becomes current; every item is expanded. Emits nothing: the Group
    // objects may all be new, so the caller reads currentGroup() afterwards.
    void rebuild();
    // Re-reads the item texts only (after a rename, accepted or refused).
    void refreshNames();

    // The group of the current item; the root when none; nullptr without a tree.
    scene::Group* currentGroup() const;
    // Make the group (the root for a path that does not exist) current and
    // emit groupSelected, also when it was current already.
    void selectGroup(const scene::Group* group);
    void selectPath(const scene::GroupPath& path);

    // Opens the inline name editor on the current item (not on the root).
    void editCurrentName();
    bool isEditingName() const;

    // The entries of the tree's context menu for the current group; the
    // right button shows them.
    void fillContextMenu(QMenu& menu);

signals:
    void groupSelected(scene::Group* group);
    // The name editor closed with Enter or by losing the focus, with a text
    // other than the group's name. The tree is unchanged until the caller
    // renames the group and calls refreshNames().
    void renameFinished(scene::Group* group, const QString& newName);
    void newGroupRequested();
    void renameRequested();
    void deleteGroupRequested();
    // A group item, or kSceneRowsMimeType data, dropped onto an item (not
    // between items). Sent once the drop event has returned, so that a
    // command's message box does not open inside the drag; the items stay
    // where they are until the caller runs the move and calls rebuild().
    void groupDropped(scene::Group* group, scene::Group* target);
    void scenesDropped(scene::Group* target);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class GroupNameDelegate;

    void showTree(const scene::GroupPath& current);
    void addItem(QTreeWidgetItem* item, const scene::Group& group);
    static scene::Group* groupOf(const QTreeWidgetItem* item);
    QTreeWidgetItem* itemAtPath(const scene::GroupPath& path) const;
    static scene::GroupPath pathOfItem(const QTreeWidgetItem* item);
    void makeCurrent(QTreeWidgetItem* item);
    void nameEdited(const QModelIndex& index, const QString& text);

    // The item a drop at `pos` lands on: inside its row, not at the edge
    // between two rows; nullptr elsewhere.
    QTreeWidgetItem* dropTargetAt(const QPoint& pos) const;
    bool acceptsDrop(const QDropEvent* event) const;
    scene::Group* draggedGroup(const QMimeData* data) const;
    // Signals of a drop go out after the drop event, outside the drag's own
    // event loop, and not at all when the tree was rebuilt meanwhile.
    template <typename Emit>
    void emitAfterDrop(Emit emitSignal);

    scene::GroupTree* m_tree = nullptr;
    QHash<const scene::Group*, QTreeWidgetItem*> m_items;
    unsigned m_generation = 0;  // counts rebuilds; a drag or a late signal from before one is void
    bool m_quiet = false;       // no groupSelected while the view itself moves the current item
    QTreeWidgetItem* m_renamed = nullptr;  // the editor's item with its changed text, until it closes
    QString m_newName;
};

}  // namespace klemora::gui
