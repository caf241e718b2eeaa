#include "ui/Cursors.h"

#include <QPainter>
#include <QPixmap>
#include <array>

namespace ui {

namespace {

constexpr int Size = 32;
constexpr int Mid = Size / 2;

// Draws with a white outline under black strokes so that the cursor shows on any colour.
template <typename Draw>
QPixmap outlined(Draw draw)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(Qt::NoBrush);
    draw(p);
    p.setPen(QPen(Qt::black, 1));
    draw(p);
    return pixmap;
}

QCursor makeCursor(CursorId id)
{
    switch (id) {
    case CursorId::XCross:  // a thin cross with an open centre, for picking points
        return QCursor(outlined([](QPainter& p) {
            p.drawLine(Mid, 2, Mid, Mid - 3);
            p.drawLine(Mid, Mid + 3, Mid, Size - 3);
            p.drawLine(2, Mid, Mid - 3, Mid);
            p.drawLine(Mid + 3, Mid, Size - 3, Mid);
        }), Mid, Mid);
    case CursorId::RCross:  // a cross in a circle, for picking a centre
        return QCursor(outlined([](QPainter& p) {
            p.drawEllipse(QPoint(Mid, Mid), 7, 7);
            p.drawLine(Mid, 3, Mid, Size - 4);
            p.drawLine(3, Mid, Size - 4, Mid);
        }), Mid, Mid);
    case CursorId::ZoomIn:  // a magnifier with a plus
    case CursorId::ZoomOut:  // a magnifier with a minus
        return QCursor(outlined([id](QPainter& p) {
            p.drawEllipse(QPoint(12, 12), 8, 8);
            p.drawLine(18, 18, 28, 28);
            p.drawLine(8, 12, 16, 12);
            if (id == CursorId::ZoomIn)
                p.drawLine(12, 8, 12, 16);
        }), 12, 12);
    case CursorId::ZMove:  // four arrows, for moving the zoom rectangle
        return QCursor(outlined([](QPainter& p) {
            p.drawLine(Mid, 3, Mid, Size - 4);
            p.drawLine(3, Mid, Size - 4, Mid);
            p.drawPolyline(QPolygon({QPoint(Mid - 4, 7), QPoint(Mid, 3), QPoint(Mid + 4, 7)}));
            p.drawPolyline(QPolygon({QPoint(Mid - 4, Size - 8), QPoint(Mid, Size - 4), QPoint(Mid + 4, Size - 8)}));
            p.drawPolyline(QPolygon({QPoint(7, Mid - 4), QPoint(3, Mid), QPoint(7, Mid + 4)}));
            p.drawPolyline(QPolygon({QPoint(Size - 8, Mid - 4), QPoint(Size - 4, Mid), QPoint(Size - 8, Mid + 4)}));
        }), Mid, Mid);
    }
    return QCursor(Qt::ArrowCursor);
}

}  // namespace

const QCursor& vorexCursor(CursorId id)
{
    static const std::array<QCursor, 5> cursors = {makeCursor(CursorId::XCross), makeCursor(CursorId::RCross),
                                                   makeCursor(CursorId::ZoomIn), makeCursor(CursorId::ZoomOut),
                                                   makeCursor(CursorId::ZMove)};
    return cursors[size_t(int(id) - 1)];
}

bool loadCursors()
{
    for (int i = 1; i <= 5; ++i)
        if (vorexCursor(CursorId(i)).pixmap().isNull())
            return false;
    return true;
}

}  // namespace ui
