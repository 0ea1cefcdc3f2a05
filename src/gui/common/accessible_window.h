#pragma once
// What the program's windows tell the desktop's accessibility bus (AT-SPI).
// Qt describes a plain QWidget window as a "client" area, a filler, which a
// screen reader does not announce as a window; told it is a window, it is a
// frame read by its title. And Qt leaves pop-up menus out of the tree (the
// application lists its windows, but no pop-ups), so a client walking the
// tree would never find an open menu: here the application lists every
// pop-up menu it has open, as it lists its windows.

#include <QMetaObject>

namespace gb::ui {

// Every window of this class is described as a window from now on, and the
// application lists its open pop-up menus; safe to call again.
void installAccessibleWindow(const QMetaObject& windowClass);

} // namespace gb::ui
