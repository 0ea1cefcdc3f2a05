#pragma once
// How the window grabber gets a picture of another window: one interface,
// one implementation for each kind of session, chosen by makeGrabber().
// CaptureWindow holds one and keeps the viewer and the save for itself.
//
// begin() starts a grab; exactly one of picture(), cancelled() or failed()
// ends it, unless cancel() ends it first without a word. While a grab runs
// the grabber may put its host window out of the way (minimised for the X11
// drag, hidden for the portal); the host comes back when the grab ends.

#include "gui/common/message_box.h"
#include "system/session/desktop_session.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

class QAbstractButton;
class QWidget;

namespace gb::capture {

class Grabber : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Lets `button` start a grab. By default its click begins one, however it
    // is pressed: the mouse, the keyboard or an assistive tool's action.
    virtual void takeTrigger(QAbstractButton* button);

    virtual void begin() = 0;
    // Ends a running grab with none of the three signals; nothing otherwise.
    virtual void cancel() = 0;

signals:
    void picture(const QImage& picture);
    void cancelled();
    // `reason` is the text the user reads; `style` how grave it is.
    void failed(const QString& reason, gb::ui::MessageStyle style);
};

// The X11 drag on an X11 session, the desktop's screenshot portal on a
// Wayland one. `host` is the window that steps aside during a grab.
std::unique_ptr<Grabber> makeGrabber(session::DisplayServer session, QWidget* host);

// The picture of no grab: the button face, `width` × `height` pixels.
QImage blankPicture(int width, int height);

} // namespace gb::capture
