#include "gui/capture/capture_window.h"
#include "gui/common/path_text.h"

#include "core/files/atomic_file.h"
#include "core/imagefiles/bmp_writer.h"
#include "gui/capture/capture_art.h"
#include "gui/capture/capture_texts.h"
#include "gui/common/accessible_window.h"
#include "gui/common/failure_texts.h"
#include "gui/common/image_conversion.h"
#include "gui/common/message_box.h"
#include "gui/common/screen_fit.h"
#include "gui/common/twips.h"
#include "system/session/desktop_session.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
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
// The window's inside when it opens, in twips.
constexpr int kOpeningWidth = 9345;
constexpr int kOpeningHeight = 5895;

constexpr QColor kButtonFaceColour(192, 192, 192);

QRect pixelRect(const TwipsBox& box)
{
    return twipsRect(box.left, box.top, box.width, box.height);
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

CaptureWindow::CaptureWindow(std::string appPath, GrabberFactory grabberFor, QWidget* parent)
    : QWidget(parent, Qt::Window), appPath_(std::move(appPath))
{
    ui::installAccessibleWindow(staticMetaObject);
    setObjectName(QStringLiteral("picpfrm"));
    setWindowTitle(texts::kCaption);
    setWindowIcon(grabberIcon());
    ui::keepOnScreen(*this);
    buildLayout();

    grabber_ = grabberFor ? grabberFor(this) : makeGrabber(session::currentDisplayServer(), this);
    grabber_->takeTrigger(grabButton_);
    connect(grabber_.get(), &Grabber::picture, this, &CaptureWindow::onPictureGrabbed);
    connect(grabber_.get(), &Grabber::cancelled, this, &CaptureWindow::comeBack);
    connect(grabber_.get(), &Grabber::failed, this, &CaptureWindow::onGrabFailed);

    picture_ = blankPicture(twips(layout_.picBmp.width), twips(layout_.picBmp.height));
    pictureBox_->setPicture(&picture_);
    resize(twips(kOpeningWidth), twips(kOpeningHeight));
}

CaptureWindow::~CaptureWindow()
{
    grabber_->cancel();
}

void CaptureWindow::buildLayout()
{
    buttonFrame_ = new QFrame(this);
    buttonFrame_->setObjectName(QStringLiteral("Frame1"));
    buttonFrame_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    buttonFrame_->setGeometry(twipsRect(120, 0, 1335, 5655));
    grabButton_ = graphicalButton(buttonFrame_, "Command1", texts::kGrab, grabButtonIcon(),
                                  twipsRect(120, 240, 1095, 975));
    grabButton_->setCursor(grabButtonCursor());
    saveButton_ = graphicalButton(buttonFrame_, "Command2", texts::kSave, saveButtonIcon(),
                                  twipsRect(120, 2340, 1095, 975));
    connect(saveButton_, &QToolButton::clicked, this, &CaptureWindow::onSaveClicked);
    returnButton_ = graphicalButton(buttonFrame_, "Command3_0", texts::kReturn, returnButtonIcon(),
                                    twipsRect(120, 4440, 1095, 975));
    connect(returnButton_, &QToolButton::clicked, this, &CaptureWindow::onReturnClicked);

    // The viewport keeps the classic single 3-D border, 2 pixels a side.
    viewerFrame_ = new QFrame(this);
    viewerFrame_->setObjectName(QStringLiteral("picScroll"));
    viewerFrame_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    viewerFrame_->setLineWidth(2);
    viewerFrame_->setFocusPolicy(Qt::StrongFocus);
    viewport_ = new QWidget(viewerFrame_);
    viewport_->setObjectName(QStringLiteral("picScrollInside"));
    pictureBox_ = new PictureBox(viewport_);
    pictureBox_->setObjectName(QStringLiteral("picBmp"));
    pictureBox_->setFocusPolicy(Qt::StrongFocus);

    horizontalBar_ = new QScrollBar(Qt::Horizontal, this);
    horizontalBar_->setObjectName(QStringLiteral("HScroll1"));
    verticalBar_ = new QScrollBar(Qt::Vertical, this);
    verticalBar_->setObjectName(QStringLiteral("VScroll1"));
    horizontalBar_->setFocusPolicy(Qt::StrongFocus);
    verticalBar_->setFocusPolicy(Qt::StrongFocus);
    // A moving thumb changes the value at once, so the picture follows it.
    connect(horizontalBar_, &QScrollBar::valueChanged, this, &CaptureWindow::onHorizontalScroll);
    connect(verticalBar_, &QScrollBar::valueChanged, this, &CaptureWindow::onVerticalScroll);

    QWidget::setTabOrder(viewerFrame_, verticalBar_);
    QWidget::setTabOrder(verticalBar_, horizontalBar_);
    QWidget::setTabOrder(horizontalBar_, pictureBox_);
    QWidget::setTabOrder(pictureBox_, grabButton_);
    QWidget::setTabOrder(grabButton_, saveButton_);
    QWidget::setTabOrder(saveButton_, returnButton_);

    applyLayout();
}

void CaptureWindow::applyLayout()
{
    viewerFrame_->setGeometry(pixelRect(layout_.picScroll));
    viewport_->setGeometry(viewerFrame_->contentsRect());
    pictureBox_->setGeometry(pixelRect(layout_.picBmp));
    const std::pair<QScrollBar*, const ScrollBarState*> bars[] = {{horizontalBar_, &layout_.hScroll},
                                                                  {verticalBar_, &layout_.vScroll}};
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
    // The controls start as designed; the target of the last drag stays.
    grabber_->cancel();
    layout_ = ViewerLayout{};
    lastFile_.clear();
    showPicture(blankPicture(twips(layout_.picBmp.width), twips(layout_.picBmp.height)));
    setWindowState(Qt::WindowNoState);
    resize(twips(kOpeningWidth), twips(kOpeningHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    fitViewerToWindow();
    raise();
    activateWindow();
}

void CaptureWindow::showPicture(QImage picture)
{
    picture_ = std::move(picture);
    pictureBox_->setPicture(&picture_);
    applyLayout();
}

// ---- a grab's end -----------------------------------------------------------------

void CaptureWindow::onPictureGrabbed(const QImage& picture)
{
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    // The new picture sits at the viewport's corner at its own size.
    layout_.picBmp = {0, 0, opaque.width() * kTwipsPerPixel, opaque.height() * kTwipsPerPixel};
    comeBack();
    showPicture(opaque);
    fitViewerToWindow();
    setFocus();
}

// Cancelled or failed: the picture stays as it was.
void CaptureWindow::onGrabFailed(const QString& reason, ui::MessageStyle style)
{
    comeBack();
    ui::showMessage(this, style, texts::kGrabFailedTitle, reason);
}

void CaptureWindow::comeBack()
{
    if (comesBackMaximised_)
        showMaximized();
    else
        showNormal();
    activateWindow();
}

// ---- resize and scrolling --------------------------------------------------------

void CaptureWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitViewerToWindow();
}

void CaptureWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A change of state raises the resize handling, as the classic window
    // did, even when the size stays.
    if (event->type() == QEvent::WindowStateChange)
        fitViewerToWindow();
}

void CaptureWindow::fitViewerToWindow()
{
    // Minimising must not overwrite the state a drag restores.
    if (isMinimized())
        return;
    comesBackMaximised_ = isMaximized();
    fitViewer(layout_, width() * kTwipsPerPixel, height() * kTwipsPerPixel);
    applyLayout();
}

void CaptureWindow::onHorizontalScroll()
{
    scrollHorizontally(layout_, horizontalBar_->value());
    pictureBox_->move(twips(layout_.picBmp.left), twips(layout_.picBmp.top));
}

void CaptureWindow::onVerticalScroll()
{
    scrollVertically(layout_, verticalBar_->value());
    pictureBox_->move(twips(layout_.picBmp.left), twips(layout_.picBmp.top));
}

// ---- save and return ---------------------------------------------------------------

void CaptureWindow::onSaveClicked()
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

void CaptureWindow::onReturnClicked()
{
    close();
}

void CaptureWindow::closeEvent(QCloseEvent* event)
{
    grabber_->cancel();
    event->accept();
    emit closed();
}

} // namespace gb::capture
