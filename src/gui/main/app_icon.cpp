#include "gui/main/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace gb {

namespace {

QPixmap paintIcon(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);
    p.setPen(QPen(QColor(64, 64, 64), 2));
    p.setBrush(QColor(192, 192, 192));
    p.drawRoundedRect(QRectF(4, 8, 44, 44), 4, 4);
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(10, 14, 14, 14), QColor(200, 60, 60));
    p.fillRect(QRectF(28, 14, 14, 14), QColor(60, 150, 60));
    p.fillRect(QRectF(10, 32, 14, 14), QColor(60, 90, 200));
    p.fillRect(QRectF(28, 32, 14, 14), QColor(220, 170, 40));
    p.setPen(QPen(QColor(40, 40, 40), 4));
    p.setBrush(QColor(255, 255, 255, 128));
    p.drawEllipse(QPointF(42, 40), 12, 12);
    p.setPen(QPen(QColor(40, 40, 40), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(50, 48), QPointF(60, 58));
    return pixmap;
}

} // namespace

QIcon appIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128})
        icon.addPixmap(paintIcon(side));
    return icon;
}

} // namespace gb
