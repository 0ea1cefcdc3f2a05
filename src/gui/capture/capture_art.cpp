#include "gui/capture/capture_art.h"

#include "gui/common/drawn_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace gb::capture {

namespace {

// Pictures are drawn on a 32-unit grid and scaled to the device pixels of
// each size and screen asked for.
template <typename Draw> QIcon paintedIcon(Draw draw)
{
    return ui::paintedIcon(32, std::move(draw), {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}});
}

// A window with a title bar, the thing being grabbed.
void drawWindow(QPainter& p, QRectF box)
{
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(box);
    p.fillRect(QRectF(box.left(), box.top(), box.width(), 5), QColor(40, 80, 170));
}

// Corner marks around a box: the highlight frame.
void drawCorners(QPainter& p, QRectF box, qreal arm)
{
    p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::SquareCap));
    const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()};
    for (const QPointF& c : corners) {
        const qreal dx = c.x() == box.left() ? arm : -arm;
        const qreal dy = c.y() == box.top() ? arm : -arm;
        p.drawLine(c, c + QPointF(dx, 0));
        p.drawLine(c, c + QPointF(0, dy));
    }
}

} // namespace

QIcon grabberIcon()
{
    return paintedIcon([](QPainter& p) {
        drawWindow(p, QRectF(7, 8, 18, 15));
        drawCorners(p, QRectF(3, 4, 26, 23), 6);
    });
}

QIcon grabButtonIcon()
{
    return paintedIcon([](QPainter& p) {
        drawWindow(p, QRectF(9, 9, 20, 16));
        // The pointer that drags onto it.
        QPainterPath arrow;
        arrow.moveTo(3, 3);
        arrow.lineTo(3, 17);
        arrow.lineTo(7, 13);
        arrow.lineTo(10, 19);
        arrow.lineTo(12, 18);
        arrow.lineTo(9, 12);
        arrow.lineTo(14, 12);
        arrow.closeSubpath();
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawPath(arrow);
    });
}

QIcon saveButtonIcon()
{
    return paintedIcon([](QPainter& p) {
        // A diskette.
        p.setPen(QPen(QColor(30, 30, 30), 1.5));
        p.setBrush(QColor(50, 90, 170));
        p.drawRect(QRectF(5, 5, 22, 22));
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(10, 5, 12, 8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 17, 14, 10));
    });
}

QIcon returnButtonIcon()
{
    return paintedIcon([](QPainter& p) {
        QPainterPath arrow;
        arrow.moveTo(4, 14);
        arrow.lineTo(13, 6);
        arrow.lineTo(13, 11);
        arrow.cubicTo(22, 11, 28, 16, 28, 26);
        arrow.cubicTo(25, 20, 20, 18, 13, 18);
        arrow.lineTo(13, 23);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(20, 80, 20), 1.5));
        p.setBrush(QColor(60, 160, 60));
        p.drawPath(arrow);
    });
}

QCursor grabButtonCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // A cross hair centred on the hot spot, white under black so it shows
    // on any colour.
    for (const auto& [colour, width] :
         {std::pair{QColor(Qt::white), 3.0}, std::pair{QColor(Qt::black), 1.0}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(7.5, 0), QPointF(7.5, 5));
        p.drawLine(QPointF(7.5, 10), QPointF(7.5, 15));
        p.drawLine(QPointF(0, 7.5), QPointF(5, 7.5));
        p.drawLine(QPointF(10, 7.5), QPointF(15, 7.5));
        p.drawRect(QRectF(14.5, 14.5, 14, 11));
    }
    p.end();
    return QCursor(pixmap, 7, 7);
}

} // namespace gb::capture
