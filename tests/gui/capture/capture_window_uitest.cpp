// picpfrm, the window grabber: the layout, the X11 drag against a fake
// screen, the viewer's scroll bars fed by a fake grabber, saving and closing.

#include "core/imagefiles/bmp_writer.h"
#include "gui/capture/capture_window.h"
#include "gui/capture/portal_grabber.h"
#include "gui/capture/x11_drag_grabber.h"
#include "gui/common/image_conversion.h"
#include "system/x11/screen_access.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

using gb::capture::CaptureWindow;
using gb::capture::DragEvent;
using gb::capture::FoundWindow;
using gb::capture::Grabber;
using gb::capture::ScreenAccess;
using gb::capture::ScreenRect;
using gb::capture::ScreenSize;
using gb::capture::X11DragGrabber;

namespace {

// What the fake screen was asked, and what it answers.
struct ScreenState {
    int connections = 0;
    ScreenSize size{1024, 768};
    std::optional<FoundWindow> under = FoundWindow{42, {100, 50, 300, 200}};
    bool holdsPointer = false;
    bool released = false; // the next poll reports the left button's release
    bool failGrab = false;

    bool dragging = false;
    std::uint64_t pressedWindow = 0;
    int drags = 0;
    int lookups = 0;
    std::optional<ScreenRect> frame; // the frame on screen now
    std::vector<ScreenRect> framesShown;
    std::vector<ScreenRect> grabs;
    bool frameInAGrab = false;
};

// Every pixel's colour tells where on the screen it was.
gb::Rgba screenPixel(int x, int y)
{
    return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
            static_cast<std::uint8_t>((x + y) / 7), 255};
}

class FakeScreen : public ScreenAccess {
public:
    explicit FakeScreen(std::shared_ptr<ScreenState> state) : s_(std::move(state)) {}
    ScreenSize size() override { return s_->size; }
    void beginDrag(std::uint64_t pressedWindow) override
    {
        s_->dragging = true;
        s_->pressedWindow = pressedWindow;
        ++s_->drags;
    }
    DragEvent poll() override
    {
        return std::exchange(s_->released, false) ? DragEvent::LeftReleased : DragEvent::None;
    }
    bool holdsPointer() const override { return s_->holdsPointer; }
    void endDrag() override
    {
        s_->dragging = false;
        s_->frame.reset();
    }
    std::optional<FoundWindow> windowUnderPointer() override
    {
        ++s_->lookups;
        return s_->under;
    }
    void showFrame(const ScreenRect& target) override
    {
        s_->frame = target;
        s_->framesShown.push_back(target);
    }
    void hideFrame() override { s_->frame.reset(); }
    std::expected<gb::RgbaImage, std::string> grab(const ScreenRect& area) override
    {
        s_->grabs.push_back(area);
        s_->frameInAGrab = s_->frameInAGrab || s_->frame.has_value();
        if (s_->failGrab)
            return std::unexpected(std::string("no pixels"));
        gb::RgbaImage image(area.width(), area.height());
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                image.at(x, y) = screenPixel(area.left + x, area.top + y);
        return image;
    }

private:
    std::shared_ptr<ScreenState> s_;
};

// A grabber that does what the test says: the window's side of a grab,
// without a screen or a portal.
class FakeGrabber : public Grabber {
public:
    int begun = 0;
    int cancels = 0;
    void begin() override { ++begun; }
    void cancel() override { ++cancels; }
    void deliver(const QImage& image) { emit picture(image); }
    void cancelGrab() { emit cancelled(); }
    void fail(const QString& reason, gb::ui::MessageStyle style) { emit failed(reason, style); }
};

// Runs `step` once on the next modal window of type T, as soon as one shows.
// Watching ends with the timer it returns.
template <typename T> std::unique_ptr<QTimer> whenModal(std::function<void(T*)> step)
{
    auto poll = std::make_unique<QTimer>();
    QTimer* timer = poll.get();
    QObject::connect(timer, &QTimer::timeout, [timer, deadline = QDeadlineTimer(10000), step] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal && modal->isVisible()) {
            timer->stop();
            step(modal);
        } else if (deadline.hasExpired()) {
            timer->stop();
        }
    });
    timer->start(20);
    return poll;
}

// Answers the next modal message box and remembers what it said.
struct MessageCatcher {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int seen = 0;
    std::unique_ptr<QTimer> watch;
    void answerNext(QMessageBox::StandardButton answer)
    {
        watch = whenModal<QMessageBox>([this, answer](QMessageBox* box) {
            ++seen;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(answer)->click();
        });
    }
};

// Fills in the next file dialog and remembers how it was set up.
struct DialogDriver {
    QString title, directory, chosen;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
    bool opened = false;
    std::unique_ptr<QTimer> watch;
    void choose(const QString& file, bool accept = true)
    {
        watch = whenModal<QFileDialog>([this, file, accept](QFileDialog* dialog) {
            opened = true;
            title = dialog->windowTitle();
            directory = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            mode = dialog->acceptMode();
            chosen = dialog->selectedFiles().value(0);
            if (!accept) {
                dialog->reject();
                return;
            }
            // Typed into the name field, as a user would.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(file);
            static_cast<QDialog*>(dialog)->accept();
        });
    }
};

QImage expectedPicture(const ScreenRect& area)
{
    gb::RgbaImage image(area.width(), area.height());
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            image.at(x, y) = screenPixel(area.left + x, area.top + y);
    return gb::ui::toQImage(image).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class CaptureWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::shared_ptr<ScreenState> screen_;
    std::unique_ptr<CaptureWindow> window_;

    // The window with the X11 drag over the fake screen.
    CaptureWindow& makeWindow()
    {
        screen_ = std::make_shared<ScreenState>();
        auto state = screen_;
        window_ = std::make_unique<CaptureWindow>(QFile::encodeName(folder_.path()).toStdString(),
                                                  [state](QWidget* host) {
                                                      return std::make_unique<X11DragGrabber>(host, [state] {
                                                          ++state->connections;
                                                          return std::make_unique<FakeScreen>(state);
                                                      });
                                                  });
        return *window_;
    }
    // The window with a grabber the test drives itself.
    CaptureWindow& openWindowWithFakeGrabber()
    {
        window_ = std::make_unique<CaptureWindow>(QFile::encodeName(folder_.path()).toStdString(),
                                                  [](QWidget*) { return std::make_unique<FakeGrabber>(); });
        return showWindow();
    }
    CaptureWindow& showWindow()
    {
        window_->open();
        if (!QTest::qWaitForWindowExposed(window_.get()))
            qFatal("the grabber did not show");
        return *window_;
    }
    CaptureWindow& openWindow()
    {
        makeWindow();
        return showWindow();
    }
    X11DragGrabber& drag() { return *qobject_cast<X11DragGrabber*>(&window_->grabber()); }
    FakeGrabber& fake() { return *static_cast<FakeGrabber*>(&window_->grabber()); }
    // What the fake grabber hands the window: the fake screen's pixels there.
    void deliver(const ScreenRect& area) { fake().deliver(expectedPicture(area)); }
    template <typename T> T* find(const char* name)
    {
        T* widget = window_->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("picpfrm has no %s", name);
        return widget;
    }
    QToolButton* grabButton() { return find<QToolButton>("Command1"); }
    // A press on the grab button, a tick with the pointer over the fake's
    // window, and the release.
    void dragOnce()
    {
        QTest::mousePress(grabButton(), Qt::LeftButton);
        drag().followPointer();
        QTest::mouseRelease(grabButton(), Qt::LeftButton);
    }
    QString path(const char* name) const { return folder_.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase();
    void cleanup();

    void TextsAreExactlyAsShown();
    void IsAnAccessibleWindowNamedByItsTitle();
    void ControlsStandWhereDesigned();
    void OpensAtItsSizeWithABlankPictureAndNoBars();
    void TabOrderIsAsDesigned();
    void GrabButtonHasItsOwnCursor();

    void PressMinimisesTakesThePointerAndShowsTheQuestionArrow();
    void RightAndMiddleButtonsDoNothing();
    void EachTickOutlinesTheWindowUnderThePointer();
    void ReleaseGrabsTheLastOutlinedRectangle();
    void FrameIsGoneBeforeThePixelsAreRead();
    void ReleaseReportedByTheScreenEndsTheDrag();
    void ReleaseOnTheButtonIsIgnoredWhileTheScreenHoldsThePointer();
    void TicksFollowTheTimerEvery400Milliseconds();
    void ReleaseBeforeAnyTickGrabsNothing();
    void QuickReleaseAfterAnEarlierDragGrabsItsRectangleAgain();
    void WindowPartlyOffTheScreenIsGrabbedOverItsOnScreenPart();
    void TargetWhollyOffTheScreenGrabsNothing();
    void MaximisedWindowComesBackMaximised();
    void NormalWindowComesBackNormal();
    void MinimisingDoesNotRecordTheState();
    void FailedGrabLeavesABlankPictureOfTheNewSize();
    void SessionWithoutX11SaysSoAndChangesNothing();
    void X11SessionDragsWithoutAskingThePortal();
    void GrabberIsChosenBySession();

    void GrabButtonBeginsAGrab();
    void PictureFromTheGrabberReachesTheViewer();
    void PictureWithAlphaIsShownOpaque();
    void FailedGrabShowsItsReasonAndKeepsThePicture();
    void CancelledGrabBringsTheWindowBackAsItWas();
    void OpeningAndClosingCancelARunningGrab();

    void LargePictureShowsBothBarsAtTheEdge();
    void ScrollingMovesThePicture();
    void ResizingRefitsTheBars();

    void SaveDialogIsSetUpAsDesigned();
    void SaveWritesTheWholePictureAsBmp();
    void SavingBeforeAnyCaptureWritesTheBlankPicture();
    void CancelledDialogWritesNothing();
    void NoQuestionWhenTheFileIsNew();
    void AnsweringNoLeavesTheFileUntouched();
    void AnsweringYesOverwritesTheFile();
    void NameWithoutExtensionIsUsedAsTyped();
    void WriteFailureIsReportedAndTheWindowStays();

    void ReturnButtonClosesAndTellsTheMainWindow();
    void CloseBoxDoesTheSame();
    void FieldsSurviveClosingAndReopening();
    void ClosingDuringADragGivesThePointerBack();
};

void CaptureWindowTest::initTestCase()
{
    QVERIFY(folder_.isValid());
    // Qt's file dialog keeps a history in the user's settings: keep ours apart.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder_.filePath(QStringLiteral(".config"))));
}

void CaptureWindowTest::cleanup()
{
    window_.reset();
    screen_.reset();
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    for (const QString& name : QDir(folder_.path()).entryList(QDir::Files))
        QFile::remove(folder_.filePath(name));
}

// ---- layout --------------------------------------------------------------------

void CaptureWindowTest::TextsAreExactlyAsShown()
{
    CaptureWindow& w = makeWindow();
    QCOMPARE(w.objectName(), QString("picpfrm"));
    QCOMPARE(w.windowTitle(), QString("Grabwell"));
    QCOMPARE(find<QToolButton>("Command1")->text(), QString::fromUtf8("左键抓图"));
    QCOMPARE(find<QToolButton>("Command2")->text(), QString::fromUtf8("保存图片"));
    QCOMPARE(find<QToolButton>("Command3_0")->text(), QString::fromUtf8("返\u3000回"));
    QCOMPARE(find<QToolButton>("Command3_0")->text().toUtf8(),
             QByteArray("\xe8\xbf\x94\xe3\x80\x80\xe5\x9b\x9e"));
    for (const char* name : {"Command1", "Command2", "Command3_0"}) {
        QVERIFY(!find<QToolButton>(name)->icon().isNull());
        QCOMPARE(find<QToolButton>(name)->accessibleName(), find<QToolButton>(name)->text());
    }
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
}

// A frame with its title on the accessibility bus, not a nameless filler.
void CaptureWindowTest::IsAnAccessibleWindowNamedByItsTitle()
{
    CaptureWindow& w = openWindow();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&w);
    QVERIFY(iface != nullptr);
    QCOMPARE(iface->role(), QAccessible::Window);
    QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf8("Grabwell"));
}

void CaptureWindowTest::ControlsStandWhereDesigned()
{
    openWindow();
    QCOMPARE(find<QFrame>("Frame1")->geometry(), QRect(8, 0, 89, 377));
    QCOMPARE(find<QToolButton>("Command1")->geometry(), QRect(8, 16, 73, 65));
    QCOMPARE(find<QToolButton>("Command2")->geometry(), QRect(8, 156, 73, 65));
    QCOMPARE(find<QToolButton>("Command3_0")->geometry(), QRect(8, 296, 73, 65));
    // Resized to the window at once: 9345 - 1845 by 5895 - 270 twips.
    auto* picScroll = find<QFrame>("picScroll");
    QCOMPARE(picScroll->geometry(), QRect(106, 0, 500, 375));
    QCOMPARE(picScroll->frameWidth(), 2);
    auto* picBmp = find<QWidget>("picBmp");
    QCOMPARE(picBmp->parentWidget()->parentWidget(), picScroll);
    QCOMPARE(picBmp->parentWidget()->geometry(), QRect(2, 2, 496, 371));
}

void CaptureWindowTest::OpensAtItsSizeWithABlankPictureAndNoBars()
{
    CaptureWindow& w = openWindow();
    QCOMPARE(w.size(), QSize(623, 393));
    QCOMPARE(find<QWidget>("picBmp")->geometry(), QRect(0, 0, 255, 187));
    QCOMPARE(w.picture().size(), QSize(255, 187));
    QCOMPARE(w.picture().pixelColor(0, 0), QColor(192, 192, 192));
    QCOMPARE(w.picture().pixelColor(254, 186), QColor(192, 192, 192));
    QVERIFY(!find<QScrollBar>("HScroll1")->isVisible());
    QVERIFY(!find<QScrollBar>("VScroll1")->isVisible());
    QCOMPARE(w.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowNoState);
    QVERIFY(!w.comesBackMaximised());
}

void CaptureWindowTest::TabOrderIsAsDesigned()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    deliver({0, 0, 900, 700}); // both bars show
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const char* order[] = {"picScroll", "VScroll1", "HScroll1",  "picBmp",
                           "Command1",  "Command2", "Command3_0"};
    find<QWidget>(order[0])->setFocus();
    for (const char* name : order) {
        QCOMPARE(QApplication::focusWidget()->objectName(), QString(name));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void CaptureWindowTest::GrabButtonHasItsOwnCursor()
{
    makeWindow();
    const QCursor cursor = grabButton()->cursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    QCOMPARE(cursor.hotSpot(), QPoint(7, 7));
}

// ---- the drag ------------------------------------------------------------------

// The window tests run as in an X11 session (tests/CMakeLists.txt).
void CaptureWindowTest::X11SessionDragsWithoutAskingThePortal()
{
    window_ = std::make_unique<CaptureWindow>(QFile::encodeName(folder_.path()).toStdString());
    QVERIFY(qobject_cast<X11DragGrabber*>(&window_->grabber()) != nullptr);
}

void CaptureWindowTest::GrabberIsChosenBySession()
{
    QWidget host;
    const auto x11 = gb::capture::makeGrabber(gb::session::DisplayServer::X11, &host);
    QVERIFY(qobject_cast<X11DragGrabber*>(x11.get()) != nullptr);
    const auto wayland = gb::capture::makeGrabber(gb::session::DisplayServer::Wayland, &host);
    QVERIFY(qobject_cast<gb::capture::PortalGrabber*>(wayland.get()) != nullptr);
}

void CaptureWindowTest::PressMinimisesTakesThePointerAndShowsTheQuestionArrow()
{
    CaptureWindow& w = openWindow();
    QTest::mousePress(grabButton(), Qt::LeftButton);
    QVERIFY(drag().dragging());
    QVERIFY(w.isMinimized());
    QVERIFY(screen_->dragging);
    QCOMPARE(screen_->pressedWindow, std::uint64_t{0}); // not a native X11 window here
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
    QCOMPARE(drag().target().window, 0u); // nothing found before the first tick
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void CaptureWindowTest::RightAndMiddleButtonsDoNothing()
{
    CaptureWindow& w = openWindow();
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(grabButton(), button);
        QVERIFY(!drag().dragging());
        QVERIFY(!w.isMinimized());
        QTest::mouseRelease(grabButton(), button);
    }
    QCOMPARE(screen_->connections, 0);
    // Nor does a right release end a drag.
    QTest::mousePress(grabButton(), Qt::LeftButton);
    drag().followPointer();
    QTest::mouseRelease(grabButton(), Qt::RightButton);
    QVERIFY(drag().dragging());
    QVERIFY(screen_->grabs.empty());
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QCOMPARE(screen_->grabs.size(), std::size_t{1});
}

void CaptureWindowTest::EachTickOutlinesTheWindowUnderThePointer()
{
    openWindow();
    QTest::mousePress(grabButton(), Qt::LeftButton);
    drag().followPointer();
    QCOMPARE(drag().target().window, 42u);
    QVERIFY(drag().target().rect == (ScreenRect{100, 50, 300, 200}));
    QVERIFY(screen_->frame == (ScreenRect{100, 50, 300, 200}));
    screen_->under = FoundWindow{77, {10, 20, 30, 40}};
    drag().followPointer();
    QCOMPARE(drag().target().window, 77u);
    QVERIFY(screen_->frame == (ScreenRect{10, 20, 30, 40}));
    QCOMPARE(screen_->framesShown.size(), std::size_t{2});
    // A pointer that cannot be read leaves the last target standing.
    screen_->under.reset();
    drag().followPointer();
    QCOMPARE(drag().target().window, 77u);
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
}

void CaptureWindowTest::ReleaseGrabsTheLastOutlinedRectangle()
{
    CaptureWindow& w = openWindow();
    dragOnce();
    QVERIFY(!drag().dragging());
    QCOMPARE(screen_->grabs.size(), std::size_t{1});
    QVERIFY(screen_->grabs[0] == (ScreenRect{100, 50, 300, 200}));
    QVERIFY(!screen_->dragging);
    QCOMPARE(w.picture(), expectedPicture({100, 50, 300, 200}));
    // 200 × 150 pixels = 3000 × 2250 twips, at the viewport's corner.
    QCOMPARE(w.layout().picBmp, (gb::capture::TwipsBox{0, 0, 3000, 2250}));
    QCOMPARE(find<QWidget>("picBmp")->geometry(), QRect(0, 0, 200, 150));
    QVERIFY(!w.isMinimized());
}

void CaptureWindowTest::FrameIsGoneBeforeThePixelsAreRead()
{
    openWindow();
    dragOnce();
    QVERIFY(!screen_->frameInAGrab);
    QVERIFY(!screen_->frame);
}

void CaptureWindowTest::ReleaseReportedByTheScreenEndsTheDrag()
{
    openWindow();
    QTest::mousePress(grabButton(), Qt::LeftButton);
    drag().followPointer();
    screen_->holdsPointer = true;
    screen_->released = true;
    QTRY_VERIFY(!drag().dragging());
    QCOMPARE(screen_->grabs.size(), std::size_t{1});
}

void CaptureWindowTest::ReleaseOnTheButtonIsIgnoredWhileTheScreenHoldsThePointer()
{
    openWindow();
    QTest::mousePress(grabButton(), Qt::LeftButton);
    drag().followPointer();
    screen_->holdsPointer = true;
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QVERIFY(drag().dragging());
    QVERIFY(screen_->grabs.empty());
    screen_->released = true;
    QTRY_VERIFY(!drag().dragging());
}

void CaptureWindowTest::TicksFollowTheTimerEvery400Milliseconds()
{
    openWindow();
    QTest::mousePress(grabButton(), Qt::LeftButton);
    QTest::qWait(250);
    QCOMPARE(screen_->lookups, 0);
    QTRY_COMPARE_WITH_TIMEOUT(screen_->lookups, 1, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(screen_->lookups, 2, 2000);
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    const int lookups = screen_->lookups;
    QTest::qWait(500);
    QCOMPARE(screen_->lookups, lookups); // the timer stopped with the release
    QVERIFY(!drag().dragging());
}

void CaptureWindowTest::ReleaseBeforeAnyTickGrabsNothing()
{
    CaptureWindow& w = openWindow();
    QTest::mousePress(grabButton(), Qt::LeftButton);
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QVERIFY(!drag().dragging());
    QVERIFY(screen_->grabs.empty());
    QCOMPARE(drag().target().window, 0u);
    QCOMPARE(w.picture().size(), QSize(255, 187));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QVERIFY(!screen_->dragging);
    // Unlike the classic window, which stayed minimised here.
    QVERIFY(!w.isMinimized());
    QTest::qWait(500);
    QCOMPARE(screen_->lookups, 0);
}

void CaptureWindowTest::QuickReleaseAfterAnEarlierDragGrabsItsRectangleAgain()
{
    openWindow();
    dragOnce();
    screen_->under = FoundWindow{77, {10, 20, 30, 40}};
    QTest::mousePress(grabButton(), Qt::LeftButton);
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QCOMPARE(screen_->grabs.size(), std::size_t{2});
    QVERIFY(screen_->grabs[1] == (ScreenRect{100, 50, 300, 200}));
    QCOMPARE(drag().target().window, 42u);
}

void CaptureWindowTest::WindowPartlyOffTheScreenIsGrabbedOverItsOnScreenPart()
{
    CaptureWindow& w = openWindow();
    screen_->under = FoundWindow{5, {-8, -8, 1032, 776}};
    dragOnce();
    QVERIFY(drag().target().rect == (ScreenRect{0, 0, 1024, 768}));
    QVERIFY(screen_->grabs.at(0) == (ScreenRect{0, 0, 1024, 768}));
    QCOMPARE(w.picture().size(), QSize(1024, 768));
    screen_->under = FoundWindow{6, {900, 700, 1300, 800}};
    dragOnce();
    QVERIFY(screen_->grabs.at(1) == (ScreenRect{900, 700, 1024, 768}));
}

void CaptureWindowTest::TargetWhollyOffTheScreenGrabsNothing()
{
    CaptureWindow& w = openWindow();
    dragOnce();
    const QImage before = w.picture();
    screen_->under = FoundWindow{9, {-500, 10, -100, 200}};
    QTest::mousePress(grabButton(), Qt::LeftButton);
    drag().followPointer();
    QVERIFY(!screen_->frame); // nothing to outline
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QCOMPARE(drag().target().window, 9u);
    QCOMPARE(screen_->grabs.size(), std::size_t{1});
    QCOMPARE(w.picture(), before);
    QVERIFY(!w.isMinimized());
    QVERIFY(!drag().dragging());
    QVERIFY(!screen_->dragging);
}

void CaptureWindowTest::MaximisedWindowComesBackMaximised()
{
    CaptureWindow& w = openWindow();
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
    QVERIFY(w.comesBackMaximised());
    QTest::mousePress(grabButton(), Qt::LeftButton);
    QVERIFY(w.isMinimized());
    drag().followPointer();
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QVERIFY(w.isMaximized());
    QVERIFY(!w.isMinimized());
    QVERIFY(w.comesBackMaximised());
}

void CaptureWindowTest::NormalWindowComesBackNormal()
{
    CaptureWindow& w = openWindow();
    w.showMaximized();
    w.showNormal();
    QVERIFY(!w.comesBackMaximised());
    dragOnce();
    QVERIFY(!w.isMaximized());
    QVERIFY(!w.isMinimized());
    QVERIFY(!w.comesBackMaximised());
}

void CaptureWindowTest::MinimisingDoesNotRecordTheState()
{
    CaptureWindow& w = openWindow();
    w.showMaximized();
    QVERIFY(w.comesBackMaximised());
    const auto layout = w.layout();
    w.showMinimized();
    w.fitViewerToWindow();
    QVERIFY(w.comesBackMaximised());
    QVERIFY(w.layout() == layout);
}

void CaptureWindowTest::FailedGrabLeavesABlankPictureOfTheNewSize()
{
    CaptureWindow& w = openWindow();
    screen_->failGrab = true;
    dragOnce();
    QCOMPARE(w.picture().size(), QSize(200, 150));
    QCOMPARE(w.picture().pixelColor(100, 75), QColor(192, 192, 192));
    QVERIFY(!w.isMinimized());
}

void CaptureWindowTest::SessionWithoutX11SaysSoAndChangesNothing()
{
    int connections = 0;
    window_ = std::make_unique<CaptureWindow>(
        QFile::encodeName(folder_.path()).toStdString(), [&connections](QWidget* host) {
            return std::make_unique<X11DragGrabber>(host, [&connections] {
                ++connections;
                return std::unique_ptr<ScreenAccess>();
            });
        });
    CaptureWindow& w = *window_;
    w.open();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MessageCatcher message;
    message.answerNext(QMessageBox::Ok);
    QTest::mousePress(grabButton(), Qt::LeftButton);
    QCOMPARE(message.seen, 1);
    QCOMPARE(message.title, QString::fromUtf8("左键抓图："));
    QVERIFY(message.text.contains(QStringLiteral("X11")));
    QCOMPARE(message.icon, QMessageBox::Information);
    QVERIFY(!drag().dragging());
    QVERIFY(!w.isMinimized());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QCOMPARE(drag().target().window, 0u);
    QCOMPARE(connections, 1);
}

// ---- any grabber ---------------------------------------------------------------

void CaptureWindowTest::GrabButtonBeginsAGrab()
{
    openWindowWithFakeGrabber();
    grabButton()->click();
    QCOMPARE(fake().begun, 1);
}

void CaptureWindowTest::PictureFromTheGrabberReachesTheViewer()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    w.showMinimized(); // as a grabber leaves it
    deliver({100, 50, 300, 200});
    QCOMPARE(w.picture(), expectedPicture({100, 50, 300, 200}));
    // 200 × 150 pixels = 3000 × 2250 twips, at the viewport's corner.
    QCOMPARE(w.layout().picBmp, (gb::capture::TwipsBox{0, 0, 3000, 2250}));
    QCOMPARE(find<QWidget>("picBmp")->geometry(), QRect(0, 0, 200, 150));
    QVERIFY(!w.isMinimized());
    QVERIFY(w.isVisible());
}

void CaptureWindowTest::PictureWithAlphaIsShownOpaque()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    QImage translucent(4, 3, QImage::Format_ARGB32);
    translucent.fill(qRgba(10, 20, 30, 0));
    fake().deliver(translucent);
    QCOMPARE(w.picture().format(), QImage::Format_RGB32);
    QCOMPARE(w.picture().size(), QSize(4, 3));
}

void CaptureWindowTest::FailedGrabShowsItsReasonAndKeepsThePicture()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    deliver({0, 0, 40, 30});
    const QImage before = w.picture();
    w.hide(); // as the portal's grabber leaves it
    MessageCatcher message;
    message.answerNext(QMessageBox::Ok);
    fake().fail(QStringLiteral("the reason"), gb::ui::MessageStyle::Critical);
    QCOMPARE(message.seen, 1);
    QCOMPARE(message.title, QString::fromUtf8("左键抓图："));
    QCOMPARE(message.text, QStringLiteral("the reason"));
    QCOMPARE(message.icon, QMessageBox::Critical);
    QCOMPARE(w.picture(), before);
    QVERIFY(w.isVisible());
}

void CaptureWindowTest::CancelledGrabBringsTheWindowBackAsItWas()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
    const QImage before = w.picture();
    w.hide();
    fake().cancelGrab();
    QVERIFY(w.isVisible());
    QVERIFY(w.isMaximized());
    QCOMPARE(w.picture(), before);
}

void CaptureWindowTest::OpeningAndClosingCancelARunningGrab()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    const int afterOpen = fake().cancels;
    QVERIFY(afterOpen >= 1);
    w.close();
    QCOMPARE(fake().cancels, afterOpen + 1);
}

// ---- the viewer --------------------------------------------------------------------

void CaptureWindowTest::LargePictureShowsBothBarsAtTheEdge()
{
    openWindowWithFakeGrabber();
    deliver({0, 0, 900, 700});
    auto* h = find<QScrollBar>("HScroll1");
    auto* v = find<QScrollBar>("VScroll1");
    QVERIFY(h->isVisible());
    QVERIFY(v->isVisible());
    QCOMPARE(h->value(), 0);
    QCOMPARE(h->maximum(), 900 * 15 - 7500 + 60);
    QCOMPARE(v->maximum(), 700 * 15 - 5625 + 60);
    QCOMPARE(h->singleStep(), 15);
    QCOMPARE(h->pageStep(), 2500);
    QCOMPARE(v->pageStep(), 1875);
    QCOMPARE(h->geometry(), QRect(105, 375, 500, 18));
    QCOMPARE(v->geometry(), QRect(606, 0, 18, 375));
}

void CaptureWindowTest::ScrollingMovesThePicture()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    deliver({0, 0, 900, 700});
    auto* picBmp = find<QWidget>("picBmp");
    find<QScrollBar>("HScroll1")->setValue(1500);
    QCOMPARE(picBmp->pos(), QPoint(-100, 0));
    find<QScrollBar>("VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(picBmp->pos(), QPoint(-100, -1));
    QCOMPARE(w.layout().picBmp.left, -1500);
    QCOMPARE(w.layout().vScroll.value, 15);
    // A new capture puts the picture back at the corner.
    deliver({0, 0, 900, 700});
    QCOMPARE(picBmp->pos(), QPoint(0, 0));
    QCOMPARE(find<QScrollBar>("HScroll1")->value(), 0);
}

void CaptureWindowTest::ResizingRefitsTheBars()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    deliver({0, 0, 400, 300});
    QVERIFY(!find<QScrollBar>("HScroll1")->isVisible());
    w.resize(400, 393);
    QTRY_VERIFY(find<QScrollBar>("HScroll1")->isVisible());
    QCOMPARE(find<QFrame>("picScroll")->width(), 277); // 6000 - 1845 twips
    QCOMPARE(find<QScrollBar>("HScroll1")->maximum(), 6000 - 4155 + 60);
    QVERIFY(!find<QScrollBar>("VScroll1")->isVisible());
}

// ---- save ---------------------------------------------------------------------------

void CaptureWindowTest::SaveDialogIsSetUpAsDesigned()
{
    CaptureWindow& w = openWindow();
    DialogDriver dialog;
    dialog.choose(QString(), false);
    w.onSaveClicked();
    QVERIFY(dialog.opened);
    QCOMPARE(dialog.title, QString::fromUtf8("保存图片："));
    QCOMPARE(dialog.filters, QStringList{QString::fromUtf8("位图文件 (*.Bmp)")});
    QCOMPARE(dialog.directory, QDir(folder_.path()).absolutePath());
    QCOMPARE(dialog.mode, QFileDialog::AcceptOpen);
}

void CaptureWindowTest::SaveWritesTheWholePictureAsBmp()
{
    CaptureWindow& w = openWindowWithFakeGrabber();
    deliver({10, 20, 910, 720});
    find<QScrollBar>("HScroll1")->setValue(3000); // scrolled: all is saved still
    DialogDriver dialog;
    dialog.choose(path("shot.bmp"));
    find<QToolButton>("Command2")->click();
    QVERIFY(dialog.opened);
    QFile file(path("shot.bmp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto expected = gb::encodeBmp24(gb::ui::fromQImage(expectedPicture({10, 20, 910, 720})));
    QCOMPARE(bytes, QByteArray(reinterpret_cast<const char*>(expected.data()), qsizetype(expected.size())));
    QImage read;
    QVERIFY(read.loadFromData(bytes, "BMP"));
    QCOMPARE(read.size(), QSize(900, 700));
    QCOMPARE(read.convertToFormat(QImage::Format_RGB32), expectedPicture({10, 20, 910, 720}));
    // The dialog keeps the name while the window is open.
    DialogDriver again;
    again.choose(QString(), false);
    w.onSaveClicked();
    QCOMPARE(again.chosen, path("shot.bmp"));
}

void CaptureWindowTest::SavingBeforeAnyCaptureWritesTheBlankPicture()
{
    CaptureWindow& w = openWindow();
    DialogDriver dialog;
    dialog.choose(path("blank.bmp"));
    w.onSaveClicked();
    QImage read(path("blank.bmp"), "BMP");
    QCOMPARE(read.size(), QSize(255, 187));
    QCOMPARE(read.pixelColor(0, 0), QColor(192, 192, 192));
    QCOMPARE(read.pixelColor(254, 186), QColor(192, 192, 192));
}

void CaptureWindowTest::CancelledDialogWritesNothing()
{
    CaptureWindow& w = openWindow();
    DialogDriver dialog;
    dialog.choose(QString(), false);
    w.onSaveClicked();
    QVERIFY(dialog.opened);
    QVERIFY(QDir(folder_.path()).entryList(QDir::Files).isEmpty());
}

void CaptureWindowTest::NoQuestionWhenTheFileIsNew()
{
    CaptureWindow& w = openWindow();
    MessageCatcher message;
    message.answerNext(QMessageBox::No);
    DialogDriver dialog;
    dialog.choose(path("new.bmp"));
    w.onSaveClicked();
    QTest::qWait(100);
    QCOMPARE(message.seen, 0);
    QVERIFY(QFile::exists(path("new.bmp")));
}

void CaptureWindowTest::AnsweringNoLeavesTheFileUntouched()
{
    CaptureWindow& w = openWindow();
    {
        QFile old(path("old.bmp"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("keep me");
    }
    DialogDriver dialog;
    dialog.choose(path("old.bmp"));
    MessageCatcher message;
    message.answerNext(QMessageBox::No);
    w.onSaveClicked();
    QCOMPARE(message.seen, 1);
    QCOMPARE(message.title, QString::fromUtf8("保存图片："));
    QCOMPARE(message.text, QString::fromUtf8("文件已经存在，是否覆盖文件？"));
    QCOMPARE(message.icon, QMessageBox::Question);
    QFile old(path("old.bmp"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("keep me"));
}

void CaptureWindowTest::AnsweringYesOverwritesTheFile()
{
    CaptureWindow& w = openWindow();
    {
        QFile old(path("old.bmp"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("replace me");
    }
    DialogDriver dialog;
    dialog.choose(path("old.bmp"));
    MessageCatcher message;
    message.answerNext(QMessageBox::Yes);
    w.onSaveClicked();
    QCOMPARE(message.seen, 1);
    QCOMPARE(QImage(path("old.bmp"), "BMP").size(), QSize(255, 187));
}

void CaptureWindowTest::NameWithoutExtensionIsUsedAsTyped()
{
    CaptureWindow& w = openWindow();
    DialogDriver dialog;
    dialog.choose(path("plain"));
    w.onSaveClicked();
    QVERIFY(QFile::exists(path("plain")));
    QVERIFY(!QFile::exists(path("plain.bmp")));
    QVERIFY(!QFile::exists(path("plain.Bmp")));
}

void CaptureWindowTest::WriteFailureIsReportedAndTheWindowStays()
{
    CaptureWindow& w = openWindow();
    {
        QFile blocker(path("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where a folder should be
    }
    const QString target = path("blocker") + QStringLiteral("/shot.bmp");
    DialogDriver dialog;
    dialog.choose(target);
    MessageCatcher message;
    message.answerNext(QMessageBox::Ok);
    QSignalSpy closed(&w, &CaptureWindow::closed);
    w.onSaveClicked();
    QCOMPARE(message.seen, 1);
    QCOMPARE(message.title, QString::fromUtf8("保存图片："));
    QVERIFY(message.text.startsWith(QString::fromUtf8("文件保存失败：")));
    // Why, in words first, and the system's own reason as a detail after them.
    QVERIFY2(message.text.contains(QString::fromUtf8("“%1”：文件夹不存在。").arg(target)),
             qPrintable(message.text));
    QVERIFY2(message.text.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))), qPrintable(message.text));
    QCOMPARE(message.icon, QMessageBox::Critical);
    QVERIFY(w.isVisible());
    QCOMPARE(closed.count(), 0);
}

// ---- closing -------------------------------------------------------------------------

void CaptureWindowTest::ReturnButtonClosesAndTellsTheMainWindow()
{
    CaptureWindow& w = openWindow();
    QWidget mainWindow;
    QObject::connect(&w, &CaptureWindow::closed, &mainWindow, &QWidget::show);
    QSignalSpy closed(&w, &CaptureWindow::closed);
    find<QToolButton>("Command3_0")->click();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!w.isVisible());
    QVERIFY(mainWindow.isVisible());
}

void CaptureWindowTest::CloseBoxDoesTheSame()
{
    CaptureWindow& w = openWindow();
    QSignalSpy closed(&w, &CaptureWindow::closed);
    QVERIFY(w.close());
    QCOMPARE(closed.count(), 1);
    QVERIFY(!w.isVisible());
}

void CaptureWindowTest::FieldsSurviveClosingAndReopening()
{
    CaptureWindow& w = openWindow();
    w.showMaximized();
    screen_->under = FoundWindow{3, {0, 0, 900, 700}};
    dragOnce();
    find<QScrollBar>("HScroll1")->setValue(1500);
    w.close();
    w.open();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // The drag's fields stay ...
    QCOMPARE(drag().target().window, 3u);
    QVERIFY(drag().target().rect == (ScreenRect{0, 0, 900, 700}));
    // ... the controls start afresh.
    QCOMPARE(w.size(), QSize(623, 393));
    QVERIFY(!w.isMaximized());
    QVERIFY(!w.comesBackMaximised());
    QCOMPARE(w.picture().size(), QSize(255, 187));
    QCOMPARE(w.picture().pixelColor(10, 10), QColor(192, 192, 192));
    QCOMPARE(find<QWidget>("picBmp")->geometry(), QRect(0, 0, 255, 187));
    QVERIFY(!find<QScrollBar>("HScroll1")->isVisible());
    // A quick press and release grabs the old rectangle again.
    QTest::mousePress(grabButton(), Qt::LeftButton);
    QTest::mouseRelease(grabButton(), Qt::LeftButton);
    QCOMPARE(w.picture().size(), QSize(900, 700));
    QCOMPARE(screen_->connections, 1);
}

void CaptureWindowTest::ClosingDuringADragGivesThePointerBack()
{
    CaptureWindow& w = openWindow();
    QSignalSpy closed(&w, &CaptureWindow::closed);
    QTest::mousePress(grabButton(), Qt::LeftButton);
    drag().followPointer();
    w.close();
    QVERIFY(!drag().dragging());
    QVERIFY(!screen_->dragging);
    QVERIFY(!screen_->frame);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(closed.count(), 1);
    QVERIFY(screen_->grabs.empty());
}

QTEST_MAIN(CaptureWindowTest)
#include "capture_window_uitest.moc"
