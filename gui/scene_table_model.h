#pragma once
// The shown scene list as the main window's list view has it: seven
// columns (number, source, start, stop, length, status, destination),
// frames 1-based as the user counts them. The model reads the list it is
// given; whoever edits the list says which rows changed.
#include <QAbstractTableModel>

#include "scene/scene_list.h"

namespace klemora::gui {

class SceneTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Number, Source, Start, Stop, Length, Status, Destination, ColumnCount };

    explicit SceneTableModel(QObject* parent = nullptr);

    // Shows `list` (nullptr: nothing); the model does not own it.
    void setList(const scene::SceneList* list);
    const scene::SceneList* list() const { return m_list; }

    // After an edit: rows first..last have new content; a changed count
    // resets the model.
    void rowsChanged(int first, int last);
    void listChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a cell shows.
    QString cellText(int row, int column) const;

private:
    const scene::SceneList* m_list = nullptr;
    int m_rows = 0;  // the count the view was last told
};

}  // namespace klemora::gui
