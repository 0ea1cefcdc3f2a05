#include "gui/main/button_pictures.h"

#include "gui/common/drawn_icon.h"

#include <QPainter>
#include <QPixmap>
#include <functional>

namespace gb {

namespace {

const QColor kInk(48, 48, 48);
const QColor kTiles[] = {QColor(200, 60, 60), QColor(60, 150, 60), QColor(60, 90, 200), QColor(220, 170, 40)};

// Paints on a 24-unit square, scaled to the device pixels of each size and
// screen asked for.
QIcon painted(QSize size, std::function<void(QPainter&)> paint)
{
    return ui::paintedIcon(24, std::move(paint), {size});
}

// A square grid of n by n coloured tiles: few large ones or many small ones.
void tiles(QPainter& p, int n)
{
    const qreal gap = n == 2 ? 3 : 2;
    const qreal side = (22 - gap * (n - 1)) / n;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column)
            p.fillRect(QRectF(1 + column * (side + gap), 1 + row * (side + gap), side, side),
                       kTiles[(row * n + column) % 4]);
}

} // namespace

QIcon largeIconsPicture(QSize size)
{
    return painted(size, [](QPainter& p) { tiles(p, 2); });
}

QIcon smallIconsPicture(QSize size)
{
    return painted(size, [](QPainter& p) { tiles(p, 4); });
}

QIcon listPicture(QSize size)
{
    return painted(size, [](QPainter& p) {
        for (int line = 0; line < 4; ++line) {
            const qreal y = 2 + line * 5.5;
            p.fillRect(QRectF(1, y, 4, 4), kTiles[line]);
            p.fillRect(QRectF(7, y + 1, 16, 2), kInk);
        }
    });
}

QIcon capturePicture(QSize size)
{
    return painted(size, [](QPainter& p) {
        // The window being grabbed, with its title bar.
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 4.5, 16, 12));
        p.fillRect(QRectF(4, 5, 15, 3), kTiles[2]);
        // The outline the grabber draws round it.
        p.setPen(QPen(kTiles[0], 1.5, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1, 2, 21, 17));
        // The pointer.
        const QPointF arrow[] = {{13, 11}, {13, 23}, {16, 20}, {18.5, 24}, {20.5, 23}, {18, 19}, {22, 19}};
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(kInk);
        p.drawPolygon(arrow, 7);
    });
}

QIcon stylePicture(const QStyle* style, QStyle::StandardPixmap which, QSize size)
{
    const QIcon icon = style->standardIcon(which);
    if (icon.pixmap(size).isNull())
        return icon;
    return ui::drawnIcon(
        [icon](QSize devicePixels, qreal ratio) {
            QPixmap pixmap = icon.pixmap((QSizeF(devicePixels) / ratio).toSize(), ratio);
            if (pixmap.size() != devicePixels)
                pixmap = pixmap.scaled(devicePixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            pixmap.setDevicePixelRatio(ratio);
            return pixmap;
        },
        {size});
}

} // namespace gb
