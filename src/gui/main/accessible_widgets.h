#pragma once
// What the main window's own controls tell the desktop's accessibility bus
// (AT-SPI, as screen readers such as Orca read it) where Qt's defaults say
// too little: the status line is a status bar whose name is its current
// text, and the graphical view options are radio buttons that choose the
// view when pressed or toggled. (The window itself: gui/common/accessible_window.h.)

namespace gb {

// Registers the interfaces with Qt's accessibility; safe to call again.
void installAccessibleWidgets();

} // namespace gb
