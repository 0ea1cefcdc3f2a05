#pragma once
// The grab on a Wayland session (also when Qt runs through XWayland), where
// no program may read other windows' pixels: a click on the grab button
// asks the desktop's screenshot portal, whose own dialog lets the user pick.
// The host window hides while the portal asks, so that it is neither in the
// way nor in the picture (minimised, it could not come back by itself on
// Wayland).

#include "gui/capture/grabber.h"
#include "gui/capture/screenshot_portal.h"

namespace gb::capture {

class PortalGrabber : public Grabber {
    Q_OBJECT

public:
    explicit PortalGrabber(QWidget* host);

    void begin() override;
    void cancel() override;

    ScreenshotPortal& portal() { return portal_; }

private:
    void portalFailed(ScreenshotPortal::Failure why, const QString& detail);

    QWidget* host_;
    ScreenshotPortal portal_;
};

} // namespace gb::capture
