#pragma once
// Windows that fit the screen they open on. A screen of twice the density
// has half the pixels to lay windows out in (a 1280x1024 one at scale 2
// offers 640x512), and the work area leaves out the desktop's panels: a
// window that opened larger would hide its own buttons.

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace gb::ui {

// Where a window's frame goes in the free area `available`: as large as it
// was but no larger than the area (nor smaller than `minimum`, the frame's
// least size), moved the least that puts it inside. A frame that still
// cannot fit keeps its top on the area, as the title bar is what moves it,
// and its left edge, or its right edge when `keepRight`.
QRect fitWithin(QRect frame, QSize minimum, QRect available, bool keepRight = false);

// Fits `window` into its screen's available geometry each time the program
// shows it (fitWithin): resizable windows shrink, fixed ones move. The
// window manager's frame counts with the window; before the window
// has been shown once, a title bar's worth is assumed.
void keepOnScreen(QWidget& window, bool keepRight = false);

} // namespace gb::ui
