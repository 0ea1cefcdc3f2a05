#pragma once
// Icons drawn afresh for each size and screen density they are shown at, so
// a picture painted by the program is as sharp at twice the density as at
// the ordinary one, instead of a small pixmap enlarged.

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>

#include <functional>

class QPainter;

namespace gb::ui {

// Draws the picture as a pixmap of exactly `devicePixels` for a screen of
// `ratio` device pixels to the pixel, its devicePixelRatio set to `ratio`.
using IconDrawing = std::function<QPixmap(QSize devicePixels, qreal ratio)>;
// An icon whose every pixmap comes from `draw`; `natural` are the sizes it
// names as its own (QIcon::availableSizes: a window icon is handed to the
// desktop at these).
QIcon drawnIcon(IconDrawing draw, QList<QSize> natural);

// Paints on a square of `unit` units, scaled to fill each pixmap asked for.
QIcon paintedIcon(qreal unit, std::function<void(QPainter&)> paint, QList<QSize> natural);

} // namespace gb::ui
