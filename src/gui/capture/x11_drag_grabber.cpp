#include "gui/capture/x11_drag_grabber.h"

#include "gui/capture/capture_texts.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/image_conversion.h"
#include "system/x11/screen_access.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

namespace gb::capture {

namespace {

// The tick's interval: how long the frame stays on each window.
constexpr int kTickMilliseconds = 400;
// How often the screen is asked whether the button went up.
constexpr int kPollMilliseconds = 15;

} // namespace

X11DragGrabber::X11DragGrabber(QWidget* host, ScreenFactory connectScreen)
    : Grabber(nullptr), host_(host), connectScreen_(std::move(connectScreen))
{
    if (!connectScreen_)
        connectScreen_ = connectX11Screen;
    tick_.setInterval(kTickMilliseconds);
    connect(&tick_, &QTimer::timeout, this, &X11DragGrabber::followPointer);
    screenPoll_.setInterval(kPollMilliseconds);
    connect(&screenPoll_, &QTimer::timeout, this, &X11DragGrabber::pollScreen);
}

X11DragGrabber::~X11DragGrabber()
{
    cancel();
}

void X11DragGrabber::takeTrigger(QAbstractButton* button)
{
    trigger_ = button;
    button->installEventFilter(this);
}

bool X11DragGrabber::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != trigger_)
        return false;
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if ((!press && !release) || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return false;
    if (press)
        begin();
    // Once the screen holds the pointer, the release comes from it; one
    // arriving here only settles the toolkit's button state.
    else if (!(screen_ && screen_->holdsPointer()))
        finish();
    return false;
}

void X11DragGrabber::begin()
{
    if (dragging_)
        return;
    if (!screen_)
        screen_ = connectScreen_();
    if (!screen_) {
        emit failed(texts::kNoX11, ui::MessageStyle::Information);
        return;
    }
    // The host gets out of the way; it keeps its state before to come back to.
    host_->setWindowState(host_->windowState() | Qt::WindowMinimized);
    const bool nativeX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    screen_->beginDrag(nativeX11 ? static_cast<std::uint64_t>(host_->winId()) : 0);
    dragging_ = true;
    tick_.start();
    screenPoll_.start();
    dragPointer_ = std::make_unique<ui::BusyCursor>(Qt::WhatsThisCursor);
}

void X11DragGrabber::followPointer()
{
    if (!dragging_)
        return;
    const auto found = screen_->windowUnderPointer();
    if (!found)
        return; // the pointer could not be read: the last target stands
    target_ = aimedAt(found->id, found->rect, screen_->size());
    if (target_.rect.empty())
        screen_->hideFrame();
    else
        screen_->showFrame(target_.rect);
}

void X11DragGrabber::pollScreen()
{
    if (dragging_ && screen_->poll() == DragEvent::LeftReleased)
        finish();
}

void X11DragGrabber::finish()
{
    if (!dragging_)
        return;
    stopTimers();
    // The frame goes before any pixel is read, so it is never in a grab.
    screen_->hideFrame();
    const auto area = areaToGrab(target_);
    // Nothing to grab before the first tick, nor from a target wholly off
    // the screen. The classic window stayed minimised after a release
    // before the first tick; here it comes back, as without a taskbar the
    // program could not be reached again.
    if (!area) {
        screen_->endDrag();
        emit cancelled();
        return;
    }
    // Read while the host is still minimised, so it is never in the image.
    auto grabbed = screen_->grab(*area);
    screen_->endDrag();
    // A grab that fails leaves the picture blank at its new size.
    emit picture(grabbed ? ui::toQImage(*grabbed).convertToFormat(QImage::Format_RGB32)
                         : blankPicture(area->width(), area->height()));
}

void X11DragGrabber::cancel()
{
    if (!dragging_)
        return;
    stopTimers();
    screen_->endDrag();
}

void X11DragGrabber::stopTimers()
{
    tick_.stop();
    screenPoll_.stop();
    dragPointer_.reset();
    dragging_ = false;
}

} // namespace gb::capture
