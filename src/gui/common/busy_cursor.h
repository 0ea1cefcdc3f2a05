#pragma once
// The hourglass pointer for the length of a piece of work, restored however
// the work ends.

#include <QCursor>
#include <QGuiApplication>

namespace gb::ui {

class BusyCursor {
public:
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor) { QGuiApplication::setOverrideCursor(shape); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace gb::ui
