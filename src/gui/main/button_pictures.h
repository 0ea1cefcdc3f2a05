#pragma once
// The pictures above the captions of the main window's button column. Every
// picture comes at exactly the size asked for, so all captions sit at one
// height whatever sizes the style's own icons come in, and is drawn for the
// device pixels of the screen it is shown on.

#include <QIcon>
#include <QSize>
#include <QStyle>

namespace gb {

// The three views, each with a picture of its own.
QIcon largeIconsPicture(QSize size);
QIcon smallIconsPicture(QSize size);
QIcon listPicture(QSize size);
// The grabber: a window in a dashed outline, the pointer on it.
QIcon capturePicture(QSize size);

// A picture of the style's, scaled to exactly `size` when the style has it
// only smaller or larger.
QIcon stylePicture(const QStyle* style, QStyle::StandardPixmap which, QSize size);

} // namespace gb
