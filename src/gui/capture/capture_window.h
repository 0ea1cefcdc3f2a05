#pragma once
// picpfrm, the window grabber "Grabwell": press the left button on
// "左键抓图", drag onto any window and let go, and the screen's pixels of
// that window land in the picture; then scroll it, save it as a BMP file,
// and go back.
//
// One object lives as long as the main window. Closing it keeps the fields
// of the last drag (hWndTarget, rcTarget, nLastState); each open() starts
// the controls afresh with a blank picture. The screen is reached through
// ScreenAccess, the X server's unless a test gives its own.
//
// On a Wayland session (also when Qt runs through XWayland) no program may
// read other windows' pixels: there a click on "左键抓图" (or Space, or an
// assistive tool's press action) asks the desktop's screenshot portal
// instead (ScreenshotPortal), whose own dialog lets the user pick, and the
// picture it hands back lands in the viewer as a drag's would. The window
// steps aside while the portal asks.

#include "core/capture/capture_geometry.h"
#include "core/capture/viewer_layout.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QFrame;
class QScrollBar;
class QToolButton;

namespace gb::ui {
class BusyCursor;
}

namespace gb::capture {

class ScreenAccess;
class ScreenshotPortal;
class PictureBox;

class CaptureWindow : public QWidget {
    Q_OBJECT

public:
    using ScreenFactory = std::function<std::unique_ptr<ScreenAccess>()>;

    // `appPath` is the program's folder (App.Path, as bytes), where the save
    // dialog opens. `connectScreen` is called at the first drag; empty means
    // the X server of $DISPLAY, and a null result that there is no X11.
    explicit CaptureWindow(std::string appPath, ScreenFactory connectScreen = {}, QWidget* parent = nullptr);
    ~CaptureWindow() override;

    // Shows the window in the centre of the screen at its opening size,
    // with a blank picture.
    void open();

    // The fields of the drag, kept for the whole run.
    std::uint32_t hWndTarget() const { return hWndTarget_; }
    ScreenRect rcTarget() const { return rcTarget_; }
    int nLastState() const { return nLastState_; } // 0 normal, 2 maximised
    bool dragging() const { return dragging_; }

    // The desktop's screenshot portal on a Wayland session, null on X11.
    ScreenshotPortal* portal() const { return portal_.get(); }

    // The picture picBmp holds: what is saved.
    const QImage& picture() const { return picture_; }
    const ViewerLayout& layout() const { return layout_; }

    // The handlers, callable as the events call them.
    void Command1_MouseDown(Qt::MouseButton button);
    void tmr_Timer();
    void Command1_MouseUp(Qt::MouseButton button);
    void Form_Resize();
    void HScroll1_Change();
    void VScroll1_Change();
    void Command2_Click();
    void Command3_Click(int index);

signals:
    // The window has closed, by the return button or the close box: the
    // main window shows itself again.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void applyLayout();
    void showPicture(QImage picture);
    void pollScreen();
    void stopDragging();
    void restoreWindowState();
    bool saveBitmap(const QString& file);
    void askPortal();
    void portalPictureTaken(const QImage& picture);
    void comeBackFromPortal();

    std::string appPath_;
    ScreenFactory connectScreen_;
    std::unique_ptr<ScreenAccess> screen_;
    std::unique_ptr<ScreenshotPortal> portal_;

    // Fields of the drag; they outlive closing.
    std::uint32_t hWndTarget_ = 0;
    ScreenRect rcTarget_;
    int nLastState_ = 0;

    bool dragging_ = false;
    QTimer tmr_;        // the highlight tick
    QTimer screenPoll_; // asks the screen for the release during a drag
    std::unique_ptr<ui::BusyCursor> dragPointer_;

    ViewerLayout layout_;
    QImage picture_;
    QString lastFile_; // the save dialog's file name while the window is open

    QFrame* Frame1_ = nullptr;
    QToolButton* Command1_ = nullptr;
    QToolButton* Command2_ = nullptr;
    QToolButton* Command3_ = nullptr;
    QFrame* picScroll_ = nullptr;
    QWidget* viewport_ = nullptr; // picScroll's inside, within its border
    PictureBox* picBmp_ = nullptr;
    QScrollBar* HScroll1_ = nullptr;
    QScrollBar* VScroll1_ = nullptr;
};

} // namespace gb::capture
