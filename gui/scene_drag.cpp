#include "gui/scene_drag.h"

#include <QByteArray>
#include <QList>
#include <QMimeData>

namespace klemora::gui {

QMimeData* sceneRowsMimeData(const std::vector<int>& rows) {
    QByteArrayList fields;
    fields.reserve(static_cast<qsizetype>(rows.size()));
    for (int row : rows) fields.append(QByteArray::number(row));
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kSceneRowsMimeType), fields.join(','));
    return data;
}

std::vector<int> sceneRowsFrom(const QMimeData* data) {
    if (!data || !data->hasFormat(QString::fromLatin1(kSceneRowsMimeType))) return {};
    const QByteArray bytes = data->data(QString::fromLatin1(kSceneRowsMimeType));
    if (bytes.isEmpty()) return {};
    std::vector<int> rows;
    for (const QByteArray& field : bytes.split(',')) {
        bool ok = false;
        const int row = field.toInt(&ok);
        if (!ok || row < 0) return {};
        rows.push_back(row);
    }
    return rows;
}

}  // namespace klemora::gui
