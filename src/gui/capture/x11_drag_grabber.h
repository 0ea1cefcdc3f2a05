#pragma once
// The grab on an X11 session: press the left button on the grab button,
// drag onto any window and let go. The host window minimises; every tick
// outlines the window under the pointer with an inverted frame; the release
// reads the screen's pixels of the last window outlined, while the host is
// still minimised, so that it is never in the picture.
//
// The screen is reached through ScreenAccess, the X server's unless a test
// gives its own. It is connected at the first press; a session with no X
// server to connect to fails that press with a message and nothing else.

#include "core/capture/drag_target.h"
#include "gui/capture/grabber.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

namespace gb::ui {
class BusyCursor;
}

namespace gb::capture {

class ScreenAccess;

class X11DragGrabber : public Grabber {
    Q_OBJECT

public:
    using ScreenFactory = std::function<std::unique_ptr<ScreenAccess>()>;

    // `connectScreen` empty: the X server of $DISPLAY; a null result: no X11.
    explicit X11DragGrabber(QWidget* host, ScreenFactory connectScreen = {});
    ~X11DragGrabber() override;

    // The drag begins on the left button's press and ends on its release.
    void takeTrigger(QAbstractButton* button) override;

    void begin() override;
    void cancel() override;
    // The release: grabs the last target outlined, if any.
    void finish();
    // One tick: outlines the window under the pointer and makes it the target.
    void followPointer();

    bool dragging() const { return dragging_; }
    // The target of the last drag, kept from drag to drag.
    const DragTarget& target() const { return target_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pollScreen();
    void stopTimers();

    QWidget* host_;
    QObject* trigger_ = nullptr;
    ScreenFactory connectScreen_;
    std::unique_ptr<ScreenAccess> screen_;
    DragTarget target_;
    bool dragging_ = false;
    QTimer tick_;       // the highlight tick
    QTimer screenPoll_; // asks the screen for the release during a drag
    std::unique_ptr<ui::BusyCursor> dragPointer_;
};

} // namespace gb::capture
