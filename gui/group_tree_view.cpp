#include "gui/group_tree_view.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <utility>
#include <vector>

#include "gui/scene_drag.h"
#include "gui/text_of.h"

namespace klemora::gui {

namespace {

// A group dragged inside the view: which view, which of its rebuilds, which
// place. Only the view that made it resolves it, and only while its items
// are still those of the drag.
constexpr char kGroupMimeType[] = "application/x-klemora-group";

QString groupMimeType() { return QString::fromLatin1(kGroupMimeType); }
QString sceneRowsMimeType() { return QString::fromLatin1(kSceneRowsMimeType); }

QString nameText(const scene::Group& group) { return QString::fromStdString(group.name()); }

// Keys the tree handles itself, before any shortcut of the window sees them.
bool isTreeKey(const QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_F2:
        return true;
    default:
        return false;
    }
}

void acceptAsMove(QDropEvent* event) {
    if (event->possibleActions() & Qt::MoveAction) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

}  // namespace

// The names change only through the rename command: the edited text goes to
// the view, never into the item.
class GroupNameDelegate : public QStyledItemDelegate {
public:
    explicit GroupNameDelegate(GroupTreeView* view) : QStyledItemDelegate(view), m_view(view) {}

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor)) m_view->nameEdited(index, line->text());
    }

private:
    GroupTreeView* m_view;
};

GroupTreeView::GroupTreeView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);  // F2 asks the main window first
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setItemDelegate(new GroupNameDelegate(this));
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!m_quiet && current) emit groupSelected(groupOf(current));
    });
}

void GroupTreeView::setTree(scene::GroupTree* tree) {
    m_tree = tree;
    showTree({});
}

void GroupTreeView::rebuild() { showTree(pathOfItem(currentItem())); }

void GroupTreeView::showTree(const scene::GroupPath& current) {
    ++m_generation;
    m_renamed = nullptr;
    m_quiet = true;
    clear();
    m_items.clear();
    if (m_tree) {
        auto* rootItem = new QTreeWidgetItem;
        addItem(rootItem, m_tree->root());
        // Built detached and without recursion: deep trees from project
        // files, and one insertion into the view instead of one per group.
        std::vector<std::pair<const scene::Group*, QTreeWidgetItem*>> pending{{&m_tree->root(), rootItem}};
        while (!pending.empty()) {
            auto [group, item] = pending.back();
            pending.pop_back();
            for (int row = 0; row < group->childCount(); ++row) {
                const scene::Group* child = group->child(row);
                auto* childItem = new QTreeWidgetItem(item);
                addItem(childItem, *child);
                pending.emplace_back(child, childItem);
            }
        }
        addTopLevelItem(rootItem);
        expandAll();
        QTreeWidgetItem* keep = itemAtPath(current);
        setCurrentItem(keep ? keep : rootItem);
    }
    m_quiet = false;
}

void GroupTreeView::addItem(QTreeWidgetItem* item, const scene::Group& group) {
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (!group.isRoot()) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    item->setText(0, nameText(group));
    item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(const_cast<scene::Group*>(&group))));
    m_items.insert(&group, item);
}

void GroupTreeView::refreshNames() {
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) it.value()->setText(0, nameText(*it.key()));
}

scene::Group* GroupTreeView::currentGroup() const {
    if (!m_tree) return nullptr;
    const QTreeWidgetItem* item = currentItem();
    return item ? groupOf(item) : &m_tree->root();
}

void GroupTreeView::selectGroup(const scene::Group* group) {
    QTreeWidgetItem* item = m_items.value(group);
    makeCurrent(item ? item : topLevelItem(0));
}

void GroupTreeView::selectPath(const scene::GroupPath& path) {
    QTreeWidgetItem* item = itemAtPath(path);
    makeCurrent(item ? item : topLevelItem(0));
}

void GroupTreeView::makeCurrent(QTreeWidgetItem* item) {
    if (!item) return;
    m_quiet = true;
    setCurrentItem(item);
    m_quiet = false;
    scrollToItem(item);
    emit groupSelected(groupOf(item));
}

void GroupTreeView::editCurrentName() {
    QTreeWidgetItem* item = currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEditable)) return;
    scrollToItem(item);
    editItem(item, 0);
}

bool GroupTreeView::isEditingName() const { return state() == QAbstractItemView::EditingState; }

void GroupTreeView::nameEdited(const QModelIndex& index, const QString& text) {
    m_renamed = itemFromIndex(index);
    m_newName = text;
}

void GroupTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTreeWidget::closeEditor(editor, hint);
    // Told only now, with the editor gone, so that a refusal's message box
    // does not take the focus from an open editor.
    QTreeWidgetItem* item = std::exchange(m_renamed, nullptr);
    if (!item) return;
    scene::Group* group = groupOf(item);
    if (m_newName != nameText(*group)) emit renameFinished(group, m_newName);
}

bool GroupTreeView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && isTreeKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeWidget::event(event);
}

void GroupTreeView::keyPressEvent(QKeyEvent* event) {
    if (!isTreeKey(event)) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    // Enter and Esc are swallowed; while a name is edited, the editor has
    // had every key it wants, and the rest must not become group commands.
    event->accept();
    if (isEditingName()) return;
    switch (event->key()) {
    case Qt::Key_Insert:
        emit newGroupRequested();
        break;
    case Qt::Key_Delete:
        emit deleteGroupRequested();
        break;
    case Qt::Key_F2:
        emit renameRequested();
        break;
    default:
        break;
    }
}

void GroupTreeView::fillContextMenu(QMenu& menu) {
    const scene::Group* group = currentGroup();
    const bool movable = group && !group->isRoot();
    connect(menu.addAction(textOf(425)), &QAction::triggered, this, &GroupTreeView::newGroupRequested);
    QAction* rename = menu.addAction(textOf(424));
    rename->setEnabled(movable);
    connect(rename, &QAction::triggered, this, &GroupTreeView::renameRequested);
    QAction* remove = menu.addAction(textOf(413));
    remove->setEnabled(movable);
    connect(remove, &QAction::triggered, this, &GroupTreeView::deleteGroupRequested);
}

void GroupTreeView::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_tree) return;
    QMenu menu(this);
    fillContextMenu(menu);
    menu.exec(event->globalPos());
}

scene::Group* GroupTreeView::groupOf(const QTreeWidgetItem* item) {
    return static_cast<scene::Group*>(item->data(0, Qt::UserRole).value<void*>());
}

QTreeWidgetItem* GroupTreeView::itemAtPath(const scene::GroupPath& path) const {
    QTreeWidgetItem* item = topLevelItem(0);
    for (int row : path) {
        if (!item) break;
        item = item->child(row);
    }
    return item;
}

scene::GroupPath GroupTreeView::pathOfItem(const QTreeWidgetItem* item) {
    scene::GroupPath path;
    for (; item && item->parent(); item = item->parent())
        path.insert(path.begin(), item->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(item)));
    return path;
}

QStringList GroupTreeView::mimeTypes() const { return {groupMimeType(), sceneRowsMimeType()}; }

QMimeData* GroupTreeView::mimeData(const QList<QTreeWidgetItem*>& items) const {
    if (items.size() != 1) return nullptr;
    QByteArrayList rows;
    for (int row : pathOfItem(items.front())) rows.append(QByteArray::number(row));
    const QByteArray bytes = QByteArray::number(reinterpret_cast<quintptr>(this)) + ';' +
                             QByteArray::number(m_generation) + ';' + rows.join(',');
    auto* data = new QMimeData;
    data->setData(groupMimeType(), bytes);
    return data;
}

scene::Group* GroupTreeView::draggedGroup(const QMimeData* data) const {
    if (!data || !data->hasFormat(groupMimeType())) return nullptr;
    const QList<QByteArray> fields = data->data(groupMimeType()).split(';');
    bool viewOk = false;
    bool generationOk = false;
    if (fields.size() != 3 || fields[0].toULongLong(&viewOk) != reinterpret_cast<quintptr>(this) || !viewOk ||
        fields[1].toUInt(&generationOk) != m_generation || !generationOk)
        return nullptr;
    scene::GroupPath path;
    if (!fields[2].isEmpty()) {
        for (const QByteArray& field : fields[2].split(',')) {
            bool ok = false;
            path.push_back(field.toInt(&ok));
            if (!ok) return nullptr;
        }
    }
    const QTreeWidgetItem* item = itemAtPath(path);
    return item ? groupOf(item) : nullptr;
}

void GroupTreeView::startDrag(Qt::DropActions) {
    // Not QTreeWidget's drag: after a move it removes the dragged item
    // itself, and the tree only changes through the move command.
    QTreeWidgetItem* item = currentItem();
    if (!item) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData({item}));
    drag->exec(Qt::MoveAction);
}

bool GroupTreeView::acceptsDrop(const QDropEvent* event) const {
    const QMimeData* data = event->mimeData();
    return data && (data->hasFormat(sceneRowsMimeType()) || draggedGroup(data));
}

QTreeWidgetItem* GroupTreeView::dropTargetAt(const QPoint& pos) const {
    QTreeWidgetItem* item = itemAt(pos);
    if (!item) return nullptr;
    // The edge between two rows, as Qt's drop indicator draws it.
    const QRect rect = visualItemRect(item);
    const int margin = qBound(2, qRound(rect.height() / 5.5), 12);
    if (pos.y() - rect.top() < margin || rect.bottom() - pos.y() < margin) return nullptr;
    return item;
}

void GroupTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    QTreeWidget::dragEnterEvent(event);  // the dragging state: indicator and scrolling at the edges
    acceptAsMove(event);
}

void GroupTreeView::dragMoveEvent(QDragMoveEvent* event) {
    QTreeWidget::dragMoveEvent(event);
    if (acceptsDrop(event) && dropTargetAt(event->position().toPoint()))
        acceptAsMove(event);
    else
        event->ignore();
}

template <typename Emit>
void GroupTreeView::emitAfterDrop(Emit emitSignal) {
    const unsigned generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, emitSignal] {
            if (generation == m_generation) emitSignal();
        },
        Qt::QueuedConnection);
}

void GroupTreeView::dropEvent(QDropEvent* event) {
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    viewport()->update();
    QTreeWidgetItem* target = dropTargetAt(event->position().toPoint());
    if (!target || !acceptsDrop(event)) {
        event->ignore();
        return;
    }
    scene::Group* targetGroup = groupOf(target);
    if (scene::Group* group = draggedGroup(event->mimeData()))
        emitAfterDrop([this, group, targetGroup] { emit groupDropped(group, targetGroup); });
    else
        emitAfterDrop([this, targetGroup] { emit scenesDropped(targetGroup); });
    acceptAsMove(event);
}

}  // namespace klemora::gui
