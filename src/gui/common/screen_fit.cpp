#include "gui/common/screen_fit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace gb::ui {

QRect fitWithin(QRect frame, QSize minimum, QRect available, bool keepRight)
{
    const QSize size = frame.size().boundedTo(available.size()).expandedTo(minimum);
    QRect fitted(frame.topLeft(), size);
    const auto place = [](int start, int length, int areaStart, int areaLength, bool keepEnd) {
        if (length > areaLength)
            return keepEnd ? areaStart + areaLength - length : areaStart;
        return std::clamp(start, areaStart, areaStart + areaLength - length);
    };
    fitted.moveLeft(place(frame.left(), size.width(), available.left(), available.width(), keepRight));
    fitted.moveTop(place(frame.top(), size.height(), available.top(), available.height(), false));
    return fitted;
}

namespace {

// The frame round a window: the window manager's, once known.
QMargins frameOf(const QWidget& window)
{
    if (const QWindow* handle = window.windowHandle(); handle && !handle->frameMargins().isNull())
        return handle->frameMargins();
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {0, title, 0, 0};
}

class ScreenFit : public QObject {
public:
    ScreenFit(QWidget& window, bool keepRight) : QObject(&window), keepRight_(keepRight) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Shown by the program, not given back by the window manager (a
        // restore from the taskbar keeps where the user put it).
        if (event->type() == QEvent::Show && !event->spontaneous())
            fit(*static_cast<QWidget*>(watched));
        return false;
    }

private:
    void fit(QWidget& window) const
    {
        const QScreen* screen = window.screen();
        if (screen == nullptr || window.isMaximized() || window.isFullScreen())
            return;
        const QMargins frame = frameOf(window);
        const QSize least = window.minimumSize().expandedTo(window.minimumSizeHint()).grownBy(frame);
        // A window's position is its frame's (QWidget::pos).
        const QRect wanted(window.pos(), window.size().grownBy(frame));
        const QRect fitted = fitWithin(wanted, least, screen->availableGeometry(), keepRight_);
        if (fitted.size() != wanted.size())
            window.resize(fitted.size().shrunkBy(frame));
        // A dialog the program has not placed is placed by QDialog's own
        // show handling, which runs after this one: on its owner, kept on
        // the screen. Moving it here would tell QDialog it was placed.
        const auto* dialog = qobject_cast<const QDialog*>(&window);
        const bool placedByDialog = dialog != nullptr && !window.testAttribute(Qt::WA_Moved);
        if (!placedByDialog && fitted.topLeft() != wanted.topLeft())
            window.move(fitted.topLeft());
    }

    bool keepRight_;
};

} // namespace

void keepOnScreen(QWidget& window, bool keepRight)
{
    window.installEventFilter(new ScreenFit(window, keepRight));
}

} // namespace gb::ui
