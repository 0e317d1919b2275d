#include "gui/scene_table_model.h"

#include "gui/text_of.h"
#include "scene/time_text.h"

namespace klemora::gui {
namespace {

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

SceneTableModel::SceneTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void SceneTableModel::setList(const scene::SceneList* list) {
    beginResetModel();
    m_list = list;
    m_rows = list ? list->count() : 0;
    endResetModel();
}

void SceneTableModel::rowsChanged(int first, int last) {
    if (!m_list || m_list->count() != m_rows) return listChanged();
    first = std::max(first, 0);
    last = std::min(last, m_rows - 1);
    if (first > last) return;
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void SceneTableModel::listChanged() { setList(m_list); }

int SceneTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int SceneTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString SceneTableModel::cellText(int row, int column) const {
    if (!m_list || !m_list->validIndex(row)) return {};
    switch (column) {
    case Number: return QString::number(row + 1);
    case Source: return fromView(m_list->sourceFile(row));
    case Start: return QString::number(int64_t{m_list->startFrame(row)} + 1);
    case Stop: return QString::number(int64_t{m_list->stopFrame(row)} + 1);
    case Length:
        return QString::fromStdString(scene::lengthText(m_list->lengthFrames(row), m_list->framesPerSecond(row)));
    case Status: return m_list->okStatus(row) != 0 ? QStringLiteral("Ok") : QString();
    case Destination: return fromView(m_list->destName(row));
    default: return {};
    }
}

QVariant SceneTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return cellText(index.row(), index.column());
}

QVariant SceneTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    switch (section) {
    case Number: return textOf(165);
    case Source: return textOf(158);
    case Start: return textOf(104);
    case Stop: return textOf(153);
    case Length: return QStringLiteral("h:m:s:f");
    case Status: return textOf(439);
    case Destination: return textOf(334);
    default: return {};
    }
}

}  // namespace klemora::gui
