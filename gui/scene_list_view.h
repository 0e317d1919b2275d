#pragma once
// The list of the main window's view 1: the shown scene list in seven
// columns with grid lines and whole-row selection. Scenes are dragged out of
// it onto a group of the tree; files dropped from the file manager come in.
#include <QTableView>
#include <vector>

#include "app/settings_store.h"
#include "gui/scene_table_model.h"

namespace klemora::gui {

class SceneListView : public QTableView {
    Q_OBJECT

public:
    explicit SceneListView(QWidget* parent = nullptr);

    SceneTableModel* tableModel() const { return m_model; }

    // "Col0", "Col2" ... "Col6"; a stored width below 1 shows as 3.
    void readColumnWidths(const app::SettingsStore& settings);
    void writeColumnWidths(const app::SettingsStore& settings) const;

    std::vector<int> selectedRows() const;  // ascending
    // Selects exactly these rows, the first of them current and in view.
    void selectRows(const std::vector<int>& rows);

signals:
    void filesDropped(const QStringList& paths);
    // The selection changed (keys, clicks, selectRows).
    void selectionChangedByUser();
    // A double click on a row or on the empty space below the rows.
    void doubleClickedInList();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The source column takes what the others leave.
    void fitSourceColumn();

    SceneTableModel* m_model;
};

// Local files among dropped URLs, in the order given.
QStringList localFilesOf(const QMimeData* data);

}  // namespace klemora::gui
