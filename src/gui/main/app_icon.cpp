#include "gui/main/app_icon.h"

#include "gui/common/drawn_icon.h"

#include <QPainter>

namespace gb {

namespace {

void paintIcon(QPainter& p)
{
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
}

} // namespace

// Painted on a 64-unit square for each size and screen density asked for.
QIcon appIcon()
{
    return ui::paintedIcon(64, paintIcon, {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}});
}

} // namespace gb
