#include "gui/capture/capture_window.h"
#include "gui/common/path_text.h"

#include "core/imagefiles/atomic_file.h"
#include "core/imagefiles/bmp_writer.h"
#include "gui/capture/capture_art.h"
#include "gui/capture/capture_texts.h"
#include "gui/capture/screenshot_portal.h"
#include "gui/common/accessible_window.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/failure_texts.h"
#include "gui/common/image_conversion.h"
#include "gui/common/message_box.h"
#include "gui/common/screen_fit.h"
#include "gui/common/twips.h"
#include "system/session/desktop_session.h"
#include "system/x11/screen_access.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

namespace gb::capture {

namespace {

using ui::twips;
using ui::twipsRect;

// The classic twips-to-pixel factor, which the grab uses whatever the
// display's density.
constexpr int kTwipsPerPixel = 15;
// The tick's interval: how long the frame stays on each window.
constexpr int kTickMilliseconds = 400;
// How often the screen is asked whether the button went up.
constexpr int kPollMilliseconds = 15;
// The window's inside when it opens, in twips.
constexpr int kOpeningWidth = 9345;
constexpr int kOpeningHeight = 5895;

constexpr QColor kButtonFaceColour(192, 192, 192);

QRect pixelRect(const TwipsBox& box)
{
    return twipsRect(box.left, box.top, box.width, box.height);
}

QImage blankPicture(int width, int height)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(kButtonFaceColour);
    return image;
}

QToolButton* graphicalButton(QWidget* parent, const char* name, const QString& caption, const QIcon& icon,
                             QRect geometry)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setAccessibleName(caption);
    button->setIcon(icon);
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

// picBmp: the captured picture at its own size, drawn from the top-left.
class PictureBox : public QWidget {
public:
    explicit PictureBox(QWidget* parent) : QWidget(parent) {}
    void setPicture(const QImage* picture)
    {
        picture_ = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), kButtonFaceColour);
        if (picture_)
            p.drawImage(0, 0, *picture_);
    }

private:
    const QImage* picture_ = nullptr;
};

CaptureWindow::CaptureWindow(std::string appPath, ScreenFactory connectScreen, QWidget* parent)
    : QWidget(parent, Qt::Window), appPath_(std::move(appPath)), connectScreen_(std::move(connectScreen))
{
    if (!connectScreen_)
        connectScreen_ = connectX11Screen;
    ui::installAccessibleWindow(staticMetaObject);
    setObjectName(QStringLiteral("picpfrm"));
    setWindowTitle(texts::kCaption);
    setWindowIcon(grabberIcon());
    ui::keepOnScreen(*this);
    buildLayout();

    tmr_.setInterval(kTickMilliseconds);
    connect(&tmr_, &QTimer::timeout, this, &CaptureWindow::tmr_Timer);
    screenPoll_.setInterval(kPollMilliseconds);
    connect(&screenPoll_, &QTimer::timeout, this, &CaptureWindow::pollScreen);

    if (session::currentDisplayServer() == session::DisplayServer::Wayland) {
        portal_ = std::make_unique<ScreenshotPortal>();
        // No drag on Wayland: the button asks however it is pressed, by the
        // mouse, the keyboard (Space) or an assistive tool's press action.
        connect(Command1_, &QToolButton::clicked, this, &CaptureWindow::askPortal);
        connect(portal_.get(), &ScreenshotPortal::taken, this, &CaptureWindow::portalPictureTaken);
        connect(portal_.get(), &ScreenshotPortal::cancelled, this, &CaptureWindow::comeBackFromPortal);
        connect(portal_.get(), &ScreenshotPortal::failed, this,
                [this](ScreenshotPortal::Failure why, const QString& detail) {
                    comeBackFromPortal();
                    auto style = ui::MessageStyle::Information;
                    QString text;
                    switch (why) {
                    case ScreenshotPortal::Failure::Unavailable: text = texts::kPortalUnavailable; break;
                    case ScreenshotPortal::Failure::NoAnswer: text = texts::kPortalNoAnswer; break;
                    case ScreenshotPortal::Failure::Failed:
                        style = ui::MessageStyle::Critical;
                        text = texts::kPortalFailed;
                        break;
                    case ScreenshotPortal::Failure::Unreadable:
                        style = ui::MessageStyle::Critical;
                        text = texts::portalPictureUnreadable(detail);
                        break;
                    }
                    ui::showMessage(this, style, texts::kPortalTitle, text);
                });
    }

    picture_ = blankPicture(twips(layout_.picBmp.width), twips(layout_.picBmp.height));
    picBmp_->setPicture(&picture_);
    resize(twips(kOpeningWidth), twips(kOpeningHeight));
}

CaptureWindow::~CaptureWindow()
{
    stopDragging();
}

void CaptureWindow::buildLayout()
{
    Frame1_ = new QFrame(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1_->setGeometry(twipsRect(120, 0, 1335, 5655));
    Command1_ =
        graphicalButton(Frame1_, "Command1", texts::kGrab, grabButtonIcon(), twipsRect(120, 240, 1095, 975));
    Command1_->setCursor(grabButtonCursor());
    Command1_->installEventFilter(this);
    Command2_ =
        graphicalButton(Frame1_, "Command2", texts::kSave, saveButtonIcon(), twipsRect(120, 2340, 1095, 975));
    connect(Command2_, &QToolButton::clicked, this, &CaptureWindow::Command2_Click);
    Command3_ = graphicalButton(Frame1_, "Command3_0", texts::kReturn, returnButtonIcon(),
                                twipsRect(120, 4440, 1095, 975));
    connect(Command3_, &QToolButton::clicked, this, [this] { Command3_Click(0); });

    // The viewport keeps the classic single 3-D border, 2 pixels a side.
    picScroll_ = new QFrame(this);
    picScroll_->setObjectName(QStringLiteral("picScroll"));
    picScroll_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picScroll_->setLineWidth(2);
    picScroll_->setFocusPolicy(Qt::StrongFocus);
    viewport_ = new QWidget(picScroll_);
    viewport_->setObjectName(QStringLiteral("picScrollInside"));
    picBmp_ = new PictureBox(viewport_);
    picBmp_->setObjectName(QStringLiteral("picBmp"));
    picBmp_->setFocusPolicy(Qt::StrongFocus);

    HScroll1_ = new QScrollBar(Qt::Horizontal, this);
    HScroll1_->setObjectName(QStringLiteral("HScroll1"));
    VScroll1_ = new QScrollBar(Qt::Vertical, this);
    VScroll1_->setObjectName(QStringLiteral("VScroll1"));
    HScroll1_->setFocusPolicy(Qt::StrongFocus);
    VScroll1_->setFocusPolicy(Qt::StrongFocus);
    // A moving thumb changes the value at once, so the picture follows it.
    connect(HScroll1_, &QScrollBar::valueChanged, this, &CaptureWindow::HScroll1_Change);
    connect(VScroll1_, &QScrollBar::valueChanged, this, &CaptureWindow::VScroll1_Change);

    QWidget::setTabOrder(picScroll_, VScroll1_);
    QWidget::setTabOrder(VScroll1_, HScroll1_);
    QWidget::setTabOrder(HScroll1_, picBmp_);
    QWidget::setTabOrder(picBmp_, Command1_);
    QWidget::setTabOrder(Command1_, Command2_);
    QWidget::setTabOrder(Command2_, Command3_);

    applyLayout();
}

void CaptureWindow::applyLayout()
{
    picScroll_->setGeometry(pixelRect(layout_.picScroll));
    viewport_->setGeometry(picScroll_->contentsRect());
    picBmp_->setGeometry(pixelRect(layout_.picBmp));
    const std::pair<QScrollBar*, const ScrollBarState*> bars[] = {{HScroll1_, &layout_.hScroll},
                                                                  {VScroll1_, &layout_.vScroll}};
    for (const auto& [bar, state] : bars) {
        const QSignalBlocker quiet(bar);
        bar->setGeometry(pixelRect(state->box));
        bar->setRange(0, state->max);
        bar->setSingleStep(state->smallChange);
        bar->setPageStep(state->largeChange);
        bar->setValue(state->value);
        bar->setVisible(state->visible);
    }
}

void CaptureWindow::open()
{
    // The controls start as designed; the fields of the drag stay.
    stopDragging();
    if (portal_)
        portal_->cancel();
    layout_ = ViewerLayout{};
    lastFile_.clear();
    showPicture(blankPicture(twips(layout_.picBmp.width), twips(layout_.picBmp.height)));
    setWindowState(Qt::WindowNoState);
    resize(twips(kOpeningWidth), twips(kOpeningHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    Form_Resize();
    raise();
    activateWindow();
}

void CaptureWindow::showPicture(QImage picture)
{
    picture_ = std::move(picture);
    picBmp_->setPicture(&picture_);
    applyLayout();
}

// ---- the drag ----------------------------------------------------------------

bool CaptureWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Command1_) {
        if (event->type() == QEvent::MouseButtonPress)
            Command1_MouseDown(static_cast<QMouseEvent*>(event)->button());
        else if (event->type() == QEvent::MouseButtonRelease) {
            // Once the screen holds the pointer, the release comes from it;
            // one arriving here only settles the toolkit's button state.
            if (!(screen_ && screen_->holdsPointer()))
                Command1_MouseUp(static_cast<QMouseEvent*>(event)->button());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CaptureWindow::Command1_MouseDown(Qt::MouseButton button)
{
    // On Wayland the button's click asks the portal: a press alone does
    // nothing, so one click asks once.
    if (button != Qt::LeftButton || dragging_ || portal_)
        return;
    if (!screen_)
        screen_ = connectScreen_();
    if (!screen_) {
        ui::showMessage(this, ui::MessageStyle::Information, texts::kNoX11Title, texts::kNoX11);
        return;
    }
    // The window gets out of the way; its state before is in nLastState.
    setWindowState(windowState() | Qt::WindowMinimized);
    const bool nativeX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    screen_->beginDrag(nativeX11 ? static_cast<std::uint64_t>(winId()) : 0);
    dragging_ = true;
    tmr_.start();
    screenPoll_.start();
    dragPointer_ = std::make_unique<ui::BusyCursor>(Qt::WhatsThisCursor);
}

void CaptureWindow::tmr_Timer()
{
    if (!dragging_)
        return;
    const auto found = screen_->windowUnderPointer();
    if (!found)
        return; // the pointer could not be read: the last target stands
    hWndTarget_ = found->id;
    rcTarget_ = clampToScreen(found->rect, screen_->size());
    if (rcTarget_.empty())
        screen_->hideFrame();
    else
        screen_->showFrame(rcTarget_);
}

void CaptureWindow::pollScreen()
{
    if (dragging_ && screen_->poll() == DragEvent::LeftReleased)
        Command1_MouseUp(Qt::LeftButton);
}

void CaptureWindow::Command1_MouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !dragging_)
        return;
    tmr_.stop();
    screenPoll_.stop();
    dragPointer_.reset();
    dragging_ = false;
    // The frame goes before any pixel is read, so it is never in a grab.
    screen_->hideFrame();

    const int w = rcTarget_.width();
    const int h = rcTarget_.height();
    // Nothing to grab before the first tick, nor from a target wholly off
    // the screen. The classic window stayed minimised after a release
    // before the first tick; here it comes back, as without a taskbar the
    // program could not be reached again.
    if (hWndTarget_ == 0 || w <= 0 || h <= 0) {
        screen_->endDrag();
        restoreWindowState();
        activateWindow();
        return;
    }

    layout_.picBmp = {0, 0, w * kTwipsPerPixel, h * kTwipsPerPixel};
    // Read while the window is still minimised, so it is never in the image.
    auto grabbed = screen_->grab(rcTarget_);
    restoreWindowState();
    // A grab that fails leaves the picture blank at its new size.
    showPicture(grabbed ? ui::toQImage(*grabbed).convertToFormat(QImage::Format_RGB32) : blankPicture(w, h));
    screen_->endDrag();
    Form_Resize();
    activateWindow();
    setFocus();
}

// ---- the portal -------------------------------------------------------------------

void CaptureWindow::askPortal()
{
    if (portal_->busy())
        return;
    // The portal shows its own dialog, over the desktop as it is: the
    // grabber hides so that it is neither in the way nor in the picture.
    // (Minimised, it could not come back by itself on Wayland.)
    hide();
    portal_->request();
}

void CaptureWindow::portalPictureTaken(const QImage& picture)
{
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    layout_.picBmp = {0, 0, opaque.width() * kTwipsPerPixel, opaque.height() * kTwipsPerPixel};
    restoreWindowState();
    showPicture(opaque);
    Form_Resize();
    activateWindow();
    setFocus();
}

// Cancelled or failed: the picture stays as it was.
void CaptureWindow::comeBackFromPortal()
{
    restoreWindowState();
    activateWindow();
}

void CaptureWindow::restoreWindowState()
{
    if (nLastState_ == 2)
        showMaximized();
    else
        showNormal();
}

void CaptureWindow::stopDragging()
{
    if (!dragging_)
        return;
    tmr_.stop();
    screenPoll_.stop();
    dragPointer_.reset();
    dragging_ = false;
    screen_->endDrag();
}

// ---- resize and scrolling --------------------------------------------------------

void CaptureWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void CaptureWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A change of state raises the resize handling, as the classic window
    // did, even when the size stays.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void CaptureWindow::Form_Resize()
{
    // Minimising must not overwrite the state a drag restores.
    if (isMinimized())
        return;
    nLastState_ = isMaximized() ? 2 : 0;
    fitViewer(layout_, width() * kTwipsPerPixel, height() * kTwipsPerPixel);
    applyLayout();
}

void CaptureWindow::HScroll1_Change()
{
    scrollHorizontally(layout_, HScroll1_->value());
    picBmp_->move(twips(layout_.picBmp.left), twips(layout_.picBmp.top));
}

void CaptureWindow::VScroll1_Change()
{
    scrollVertically(layout_, VScroll1_->value());
    picBmp_->move(twips(layout_.picBmp.left), twips(layout_.picBmp.top));
}

// ---- save and return ---------------------------------------------------------------

void CaptureWindow::Command2_Click()
{
    // The classic dialog in its open-file form: a new name may be typed, and
    // the program asks its own overwrite question. No extension is added.
    QFileDialog dialog(this, texts::kSaveTitle, ui::pathText(appPath_));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(texts::kBitmapFilter);
    if (!lastFile_.isEmpty())
        dialog.selectFile(lastFile_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString file = dialog.selectedFiles().value(0);
    if (file.isEmpty())
        return;
    lastFile_ = file;
    if (QFileInfo(file).isFile() &&
        !ui::showMessage(this, ui::MessageStyle::Question, texts::kSaveTitle, texts::kOverwrite))
        return;
    saveBitmap(file);
}

bool CaptureWindow::saveBitmap(const QString& file)
{
    // The whole picture, also what is scrolled out of view.
    const auto bytes = encodeBmp24(ui::fromQImage(picture_));
    const auto written = writeFileAtomically(ui::pathBytes(file), bytes);
    if (!written) {
        // The classic program ended here; the user is told and the window stays.
        ui::showMessage(this, ui::MessageStyle::Critical, texts::kSaveTitle,
                        texts::notWritten(ui::writeFailureText(ui::pathBytes(file), written.error())));
        return false;
    }
    return true;
}

void CaptureWindow::Command3_Click(int)
{
    close();
}

void CaptureWindow::closeEvent(QCloseEvent* event)
{
    stopDragging();
    if (portal_)
        portal_->cancel();
    event->accept();
    emit closed();
}

} // namespace gb::capture
