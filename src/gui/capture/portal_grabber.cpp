#include "gui/capture/portal_grabber.h"

#include "gui/capture/capture_texts.h"

#include <QWidget>

namespace gb::capture {

PortalGrabber::PortalGrabber(QWidget* host) : Grabber(nullptr), host_(host)
{
    connect(&portal_, &ScreenshotPortal::taken, this, &Grabber::picture);
    connect(&portal_, &ScreenshotPortal::cancelled, this, &Grabber::cancelled);
    connect(&portal_, &ScreenshotPortal::failed, this, &PortalGrabber::portalFailed);
}

void PortalGrabber::begin()
{
    // One question at a time: a second click while the portal asks is lost.
    if (portal_.busy())
        return;
    host_->hide();
    portal_.request();
}

void PortalGrabber::cancel()
{
    portal_.cancel();
}

void PortalGrabber::portalFailed(ScreenshotPortal::Failure why, const QString& detail)
{
    switch (why) {
    case ScreenshotPortal::Failure::Unavailable:
        emit failed(texts::kPortalUnavailable, ui::MessageStyle::Information);
        return;
    case ScreenshotPortal::Failure::NoAnswer:
        emit failed(texts::kPortalNoAnswer, ui::MessageStyle::Information);
        return;
    case ScreenshotPortal::Failure::Failed:
        emit failed(texts::kPortalFailed, ui::MessageStyle::Critical);
        return;
    case ScreenshotPortal::Failure::Unreadable:
        emit failed(texts::portalPictureUnreadable(detail), ui::MessageStyle::Critical);
        return;
    }
}

} // namespace gb::capture
