#include "gui/scene_list_view.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "gui/scene_drag.h"

namespace klemora::gui {
namespace {

struct ColumnWidth {
    int column;
    const char* key;
    int defaultWidth;
};
// Column 1 (the source) has no key: it gets the rest of the width.
constexpr ColumnWidth kStoredWidths[] = {
    {SceneTableModel::Number, "Col0", 40},  {SceneTableModel::Start, "Col2", 60},
    {SceneTableModel::Stop, "Col3", 60},    {SceneTableModel::Length, "Col4", 80},
    {SceneTableModel::Status, "Col5", 50},  {SceneTableModel::Destination, "Col6", 80},
};
constexpr int kSourceColumnMargin = 20;
constexpr int kSmallestStoredWidth = 3;

}  // namespace

QStringList localFilesOf(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

SceneListView::SceneListView(QWidget* parent) : QTableView(parent), m_model(new SceneTableModel(this)) {
    setModel(m_model);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(kSmallestStoredWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChangedByUser(); });
    // A reset of the model brings a new selection model state; keep the signal.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { emit selectionChangedByUser(); });
}

void SceneListView::readColumnWidths(const app::SettingsStore& settings) {
    for (const ColumnWidth& c : kStoredWidths) {
        // Until the user sets a width, the column fits its header and a full h:m:s:f text.
        const int fitting = std::max(fontMetrics().horizontalAdvance(m_model->headerData(c.column, Qt::Horizontal)
                                                                         .toString()),
                                     c.column == SceneTableModel::Length
                                         ? fontMetrics().horizontalAdvance(QStringLiteral("00:00:00:00"))
                                         : 0) + 16;
        int width = settings.readInt(c.key, std::max(c.defaultWidth, fitting));
        setColumnWidth(c.column, width < 1 ? kSmallestStoredWidth : width);
    }
    fitSourceColumn();
}

void SceneListView::writeColumnWidths(const app::SettingsStore& settings) const {
    for (const ColumnWidth& c : kStoredWidths) settings.writeInt(c.key, columnWidth(c.column));
}

std::vector<int> SceneListView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SceneListView::selectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    for (int row : rows) {
        if (row < 0 || row >= m_model->rowCount()) continue;
        selection.select(m_model->index(row, 0), m_model->index(row, SceneTableModel::ColumnCount - 1));
    }
    QSignalBlocker blocker(selectionModel());
    selectionModel()->clearSelection();
    if (!rows.empty() && rows.front() >= 0 && rows.front() < m_model->rowCount()) {
        QModelIndex first = m_model->index(rows.front(), 0);
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        scrollTo(first);
    }
    selectionModel()->select(selection, QItemSelectionModel::Select);
    blocker.unblock();
    viewport()->update();
    emit selectionChangedByUser();
}

void SceneListView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitSourceColumn();
}

void SceneListView::fitSourceColumn() {
    int others = 0;
    for (const ColumnWidth& c : kStoredWidths) others += columnWidth(c.column);
    setColumnWidth(SceneTableModel::Source, std::max(kSmallestStoredWidth,
                                                     viewport()->width() - others - kSourceColumnMargin));
}

void SceneListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClickedInList();
}

void SceneListView::startDrag(Qt::DropActions) {
    std::vector<int> rows = selectedRows();
    if (rows.empty()) return;
    // The tree runs the move; the view removes nothing itself.
    auto* drag = new QDrag(this);
    drag->setMimeData(sceneRowsMimeData(rows));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void SceneListView::dragEnterEvent(QDragEnterEvent* event) {
    if (localFilesOf(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

void SceneListView::dragMoveEvent(QDragMoveEvent* event) {
    if (localFilesOf(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

void SceneListView::dropEvent(QDropEvent* event) {
    QStringList files = localFilesOf(event->mimeData());
    if (files.isEmpty()) return event->ignore();
    event->acceptProposedAction();
    emit filesDropped(files);
}

}  // namespace klemora::gui
