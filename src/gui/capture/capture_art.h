#pragma once
// The grabber's pictures, painted here so that no image file ships: the
// window's icon, the three button icons and the grab button's own cursor.

#include <QCursor>
#include <QIcon>

namespace gb::capture {

QIcon grabberIcon();
QIcon grabButtonIcon();
QIcon saveButtonIcon();
QIcon returnButtonIcon();
// 32×32 with its hot spot at (7, 7).
QCursor grabButtonCursor();

} // namespace gb::capture
