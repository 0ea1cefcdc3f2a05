#include "gui/capture/grabber.h"

#include "gui/capture/portal_grabber.h"
#include "gui/capture/x11_drag_grabber.h"

#include <QAbstractButton>
#include <QColor>

#include <algorithm>

namespace gb::capture {

void Grabber::takeTrigger(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, &Grabber::begin);
}

std::unique_ptr<Grabber> makeGrabber(session::DisplayServer session, QWidget* host)
{
    switch (session) {
    case session::DisplayServer::Wayland: return std::make_unique<PortalGrabber>(host);
    case session::DisplayServer::X11: break;
    }
    return std::make_unique<X11DragGrabber>(host);
}

QImage blankPicture(int width, int height)
{
    // The classic button face, which the picture box shows where there is no picture.
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    return image;
}

} // namespace gb::capture
