#include "gui/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace klemora::gui {
namespace {

// The colours of one look; the hot look is livelier, the disabled one grey.
struct Inks {
    QColor line, paper, blue, yellow, green, red, dark, glass;
};

Inks inksFor(QIcon::Mode mode) {
    switch (mode) {
    case QIcon::Active:
        return {QColor(0x20, 0x20, 0x20), QColor(0xff, 0xff, 0xff), QColor(0x2b, 0x7d, 0xe9),
                QColor(0xf5, 0xbf, 0x32), QColor(0x2f, 0xb3, 0x44), QColor(0xe5, 0x39, 0x35),
                QColor(0x38, 0x38, 0x38), QColor(0xe3, 0xf1, 0xff)};
    case QIcon::Disabled:
        return {QColor(0xa8, 0xa8, 0xa8), QColor(0xf0, 0xf0, 0xf0), QColor(0xc4, 0xc4, 0xc4),
                QColor(0xdc, 0xdc, 0xdc), QColor(0xc8, 0xc8, 0xc8), QColor(0xc0, 0xc0, 0xc0),
                QColor(0xb4, 0xb4, 0xb4), QColor(0xec, 0xec, 0xec)};
    default:
        return {QColor(0x40, 0x40, 0x40), QColor(0xf4, 0xf4, 0xf4), QColor(0x3a, 0x6e, 0xa5),
                QColor(0xd9, 0xa9, 0x3a), QColor(0x3c, 0x8c, 0x3c), QColor(0xb8, 0x3a, 0x3a),
                QColor(0x50, 0x50, 0x50), QColor(0xcf, 0xe3, 0xf5)};
    }
}

QPen thinPen(const QColor& color) { return QPen(color, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }
QPen thickPen(const QColor& color, qreal width) { return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void shape(QPainter& p, const QPolygonF& outline, const QColor& fill, const QColor& line) {
    p.setPen(thinPen(line));
    p.setBrush(fill);
    p.drawPolygon(outline);
}

// A vertical strip of film: dark band, sprocket holes along both edges, one light picture.
void filmStrip(QPainter& p, const QRectF& r, const Inks& k) {
    p.setPen(thinPen(k.line));
    p.setBrush(k.dark);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(k.paper);
    for (qreal y = r.top() + 1.5; y + 1.5 <= r.bottom(); y += 3.0) {
        p.drawRect(QRectF(r.left() + 1.0, y, 1.5, 1.5));
        p.drawRect(QRectF(r.right() - 2.5, y, 1.5, 1.5));
    }
    p.setBrush(k.glass);
    p.drawRect(QRectF(r.left() + 3.5, r.top() + 2.5, r.width() - 7.0, r.height() - 5.0));
}

void newProject(QPainter& p, const Inks& k) {
    shape(p, QPolygonF({{6.5, 1.5}, {15.5, 1.5}, {19.5, 5.5}, {19.5, 18.5}, {6.5, 18.5}}), k.paper, k.line);
    shape(p, QPolygonF({{15.5, 1.5}, {15.5, 5.5}, {19.5, 5.5}}), k.glass, k.line);
}

void loadProject(QPainter& p, const Inks& k) {
    shape(p, QPolygonF({{2.5, 4.5}, {8.5, 4.5}, {10.5, 6.5}, {19.5, 6.5}, {19.5, 17.5}, {2.5, 17.5}}),
          k.yellow.darker(115), k.line);
    shape(p, QPolygonF({{6.0, 9.5}, {23.0, 9.5}, {19.5, 17.5}, {2.5, 17.5}}), k.yellow, k.line);
}

void saveProject(QPainter& p, const Inks& k) {
    p.setPen(thinPen(k.line));
    p.setBrush(k.blue);
    p.drawRoundedRect(QRectF(4.5, 1.5, 16.0, 17.0), 1.5, 1.5);
    p.setBrush(k.glass);
    p.drawRect(QRectF(8.0, 1.5, 9.0, 6.0));
    p.setBrush(k.dark);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(13.5, 2.5, 2.0, 4.0));
    p.setPen(thinPen(k.line));
    p.setBrush(k.paper);
    p.drawRect(QRectF(7.0, 10.5, 11.0, 8.0));
}

void dvCapture(QPainter& p, const Inks& k) {
    p.setPen(thinPen(k.line));
    p.setBrush(k.dark);
    p.drawRoundedRect(QRectF(2.5, 6.5, 14.0, 9.0), 1.5, 1.5);
    p.drawRect(QRectF(5.5, 3.5, 5.0, 3.0));  // viewfinder
    shape(p, QPolygonF({{16.5, 9.0}, {22.5, 5.5}, {22.5, 16.5}, {16.5, 13.0}}), k.blue, k.line);
    p.setPen(Qt::NoPen);
    p.setBrush(k.red);
    p.drawEllipse(QPointF(6.0, 11.0), 1.8, 1.8);  // recording lamp
    p.setBrush(k.glass);
    p.drawRect(QRectF(10.0, 9.0, 4.5, 1.5));
}

void addAvi(QPainter& p, const Inks& k) {
    filmStrip(p, QRectF(3.5, 1.5, 10.0, 17.0), k);
    p.setPen(thickPen(k.green, 3.0));
    p.drawLine(QPointF(19.0, 9.0), QPointF(19.0, 17.0));
    p.drawLine(QPointF(15.0, 13.0), QPointF(23.0, 13.0));
}

void writeAvi(QPainter& p, const Inks& k) {
    filmStrip(p, QRectF(2.5, 1.5, 10.0, 17.0), k);
    p.setPen(thinPen(k.line));
    p.setBrush(k.blue);
    p.drawRoundedRect(QRectF(14.5, 9.5, 9.0, 9.0), 1.0, 1.0);
    p.setBrush(k.paper);
    p.drawRect(QRectF(16.5, 14.5, 5.0, 4.0));
    p.setBrush(k.glass);
    p.drawRect(QRectF(16.5, 9.5, 5.0, 3.0));
    p.setPen(thickPen(k.green, 2.0));  // arrow from the film into the disk
    p.drawLine(QPointF(14.0, 4.0), QPointF(19.0, 4.0));
    p.drawLine(QPointF(19.0, 4.0), QPointF(19.0, 7.0));
    shape(p, QPolygonF({{16.5, 6.5}, {21.5, 6.5}, {19.0, 9.0}}), k.green, k.green);
}

void sceneDetection(QPainter& p, const Inks& k) {
    p.setPen(thickPen(k.dark, 3.0));
    p.drawLine(QPointF(15.0, 13.0), QPointF(21.0, 18.5));
    p.setPen(thickPen(k.line, 1.5));
    p.setBrush(k.glass);
    p.drawEllipse(QPointF(10.5, 8.5), 6.5, 6.5);
    p.setPen(thickPen(k.red, 1.5));  // the cut the glass finds
    p.drawLine(QPointF(10.5, 4.0), QPointF(10.5, 13.0));
    p.setPen(Qt::NoPen);
    p.setBrush(k.blue);
    p.drawRect(QRectF(6.0, 6.5, 3.5, 4.0));
    p.setBrush(k.yellow);
    p.drawRect(QRectF(11.5, 6.5, 3.5, 4.0));
}

void manualSplit(QPainter& p, const Inks& k) {
    p.setPen(thickPen(k.line, 1.6));
    p.drawLine(QPointF(9.5, 12.5), QPointF(17.0, 1.5));
    p.drawLine(QPointF(15.5, 12.5), QPointF(8.0, 1.5));
    p.setPen(thickPen(k.red, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8.5, 15.5), 2.8, 2.8);
    p.drawEllipse(QPointF(16.5, 15.5), 2.8, 2.8);
    p.setPen(Qt::NoPen);
    p.setBrush(k.dark);
    p.drawEllipse(QPointF(12.5, 7.6), 1.1, 1.1);
}

void trimAll(QPainter& p, const Inks& k) {
    p.setPen(thinPen(k.line));
    p.setBrush(k.dark);
    p.drawRect(QRectF(1.5, 6.5, 22.0, 7.0));
    p.setPen(Qt::NoPen);
    p.setBrush(k.glass);
    p.drawRect(QRectF(8.5, 8.0, 8.0, 4.0));
    p.setBrush(k.paper.darker(130));
    p.drawRect(QRectF(2.5, 8.0, 4.0, 4.0));
    p.drawRect(QRectF(18.5, 8.0, 4.0, 4.0));
    p.setPen(thickPen(k.red, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{9.0, 2.5}, {7.0, 2.5}, {7.0, 17.5}, {9.0, 17.5}}));
    p.drawPolyline(QPolygonF({{16.0, 2.5}, {18.0, 2.5}, {18.0, 17.5}, {16.0, 17.5}}));
}

void storyboard(QPainter& p, const Inks& k) {
    p.setPen(thinPen(k.line));
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            p.setBrush((row + column) % 2 ? k.glass : k.blue);
            p.drawRect(QRectF(2.5 + column * 7.0, 3.5 + row * 7.0, 6.0, 5.5));
        }
    }
}

void help(QPainter& p, const Inks& k) {
    p.setPen(thinPen(k.blue.darker(130)));
    p.setBrush(k.blue);
    p.drawEllipse(QPointF(12.5, 10.0), 8.5, 8.5);
    p.setPen(thickPen(k.paper, 2.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.arcMoveTo(QRectF(9.0, 4.5, 7.0, 6.5), 160.0);
    hook.arcTo(QRectF(9.0, 4.5, 7.0, 6.5), 160.0, -230.0);
    hook.lineTo(12.5, 11.0);
    hook.lineTo(12.5, 12.5);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(k.paper);
    p.drawEllipse(QPointF(12.5, 15.5), 1.3, 1.3);
}

void draw(QPainter& p, ToolbarIcon which, const Inks& k) {
    switch (which) {
    case ToolbarIcon::NewProject: return newProject(p, k);
    case ToolbarIcon::LoadProject: return loadProject(p, k);
    case ToolbarIcon::SaveProject: return saveProject(p, k);
    case ToolbarIcon::DvCapture: return dvCapture(p, k);
    case ToolbarIcon::AddAvi: return addAvi(p, k);
    case ToolbarIcon::WriteAvi: return writeAvi(p, k);
    case ToolbarIcon::SceneDetection: return sceneDetection(p, k);
    case ToolbarIcon::ManualSplit: return manualSplit(p, k);
    case ToolbarIcon::TrimAll: return trimAll(p, k);
    case ToolbarIcon::Storyboard: return storyboard(p, k);
    case ToolbarIcon::Help: return help(p, k);
    }
}

}  // namespace

QPixmap toolbarPixmap(ToolbarIcon which, QIcon::Mode mode, qreal scale) {
    QPixmap pixmap(kToolbarIconSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter, which, inksFor(mode));
    return pixmap;
}

QIcon toolbarIcon(ToolbarIcon which) {
    QIcon icon;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Disabled}) {
        for (qreal ratio : {1.0, 2.0}) {
            QPixmap pixmap = toolbarPixmap(which, mode, ratio);
            pixmap.setDevicePixelRatio(ratio);
            icon.addPixmap(pixmap, mode);
        }
    }
    return icon;
}

}  // namespace klemora::gui
