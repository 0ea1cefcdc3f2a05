#pragma once
// picpfrm, the window grabber "Grabwell": a press on "左键抓图" takes a
// picture of another window, which lands in the viewer; then scroll it,
// save it as a BMP file, and go back.
//
// How the picture is taken is the grabber's business (grabber.h): the X11
// drag on an X11 session, the desktop's screenshot portal on Wayland. The
// window holds the one its session needs, or the one a test gives it, and
// keeps the viewer and the save for itself.
//
// One object lives as long as the main window. Closing it keeps the
// grabber (and so the target of the last drag) and whether it comes back
// maximised; each open() starts the controls afresh with a blank picture.

#include "core/capture/viewer_layout.h"
#include "gui/capture/grabber.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QFrame;
class QScrollBar;
class QToolButton;

namespace gb::capture {

class PictureBox;

class CaptureWindow : public QWidget {
    Q_OBJECT

public:
    // Makes the grabber; `host` is the window that steps aside during a grab.
    using GrabberFactory = std::function<std::unique_ptr<Grabber>(QWidget* host)>;

    // `appPath` is the program's folder (App.Path, as bytes), where the save
    // dialog opens. `grabberFor` empty: the grabber of this session.
    explicit CaptureWindow(std::string appPath, GrabberFactory grabberFor = {}, QWidget* parent = nullptr);
    ~CaptureWindow() override;

    // Shows the window in the centre of the screen at its opening size,
    // with a blank picture.
    void open();

    Grabber& grabber() const { return *grabber_; }
    // nLastState: the window comes back from a grab maximised (2) or not (0).
    bool comesBackMaximised() const { return comesBackMaximised_; }

    // The picture picBmp holds: what is saved.
    const QImage& picture() const { return picture_; }
    const ViewerLayout& layout() const { return layout_; }

    // The handlers, callable as the events call them.
    void fitViewerToWindow();
    void onHorizontalScroll();
    void onVerticalScroll();
    void onSaveClicked();
    void onReturnClicked();

signals:
    // The window has closed, by the return button or the close box: the
    // main window shows itself again.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void applyLayout();
    void showPicture(QImage picture);
    void onPictureGrabbed(const QImage& picture);
    void onGrabFailed(const QString& reason, ui::MessageStyle style);
    void comeBack();
    bool saveBitmap(const QString& file);

    std::string appPath_;
    std::unique_ptr<Grabber> grabber_;
    bool comesBackMaximised_ = false; // survives closing

    ViewerLayout layout_;
    QImage picture_;
    QString lastFile_; // the save dialog's file name while the window is open

    QFrame* buttonFrame_ = nullptr;
    QToolButton* grabButton_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QToolButton* returnButton_ = nullptr;
    QFrame* viewerFrame_ = nullptr;
    QWidget* viewport_ = nullptr; // the frame's inside, within its border
    PictureBox* pictureBox_ = nullptr;
    QScrollBar* horizontalBar_ = nullptr;
    QScrollBar* verticalBar_ = nullptr;
};

} // namespace gb::capture
