// picpfrm on a Wayland session, against a stand-in for the desktop's
// screenshot portal: a second connection of this program to a private
// session bus owns org.freedesktop.portal.Desktop and answers the XDG
// desktop portal's Screenshot interface as the test tells it. Run by
// run-portal-capture-test.sh under dbus-run-session with
// XDG_SESSION_TYPE=wayland.

#include "gui/capture/capture_texts.h"
#include "gui/capture/capture_window.h"
#include "gui/capture/portal_grabber.h"
#include "gui/capture/screenshot_portal.h"
#include "support/message_closer.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

using gb::capture::CaptureWindow;
using gb::capture::PortalGrabber;
using gb::capture::ScreenshotPortal;
namespace texts = gb::capture::texts;

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kDesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");

enum class Answer { Picture, Cancel, Fail, Never };

// One Screenshot call as the stand-in got it.
struct ScreenshotCall {
    QString parentWindow;
    QVariantMap options;
    QString handle; // where the answer went, worked out from the caller and its token
    bool grabberVisible = true;
};

// The desktop's portal as far as the grabber uses it: the Screenshot
// interface's properties and method, and Close on its requests.
class StandInPortal : public QDBusVirtualObject {
public:
    Answer answer = Answer::Picture;
    QString uri;
    uint version = 2;
    uint targets = 0; // AvailableTargets, offered from version 3
    std::function<bool()> grabberVisible;

    std::vector<ScreenshotCall> calls;
    QStringList closed;

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        QDBusConnection bus(connection);
        if (message.path() == kDesktopPath && message.member() == QLatin1String("GetAll")) {
            QVariantMap properties{{QStringLiteral("version"), version}};
            if (version >= 3)
                properties.insert(QStringLiteral("AvailableTargets"), targets);
            bus.send(message.createReply(QVariant::fromValue(properties)));
            return true;
        }
        if (message.path() == kDesktopPath && message.member() == QLatin1String("Screenshot")) {
            ScreenshotCall call;
            call.parentWindow = message.arguments().value(0).toString();
            call.options = qdbus_cast<QVariantMap>(message.arguments().value(1));
            QString sender = message.service().mid(1);
            sender.replace(QLatin1Char('.'), QLatin1Char('_'));
            call.handle =
                QStringLiteral("%1/request/%2/%3")
                    .arg(kDesktopPath, sender, call.options.value(QStringLiteral("handle_token")).toString());
            call.grabberVisible = grabberVisible && grabberVisible();
            calls.push_back(call);
            // The answer leaves before the call's reply: only a caller that
            // listened before calling hears it.
            if (answer != Answer::Never) {
                QDBusMessage response =
                    QDBusMessage::createSignal(call.handle, QStringLiteral("org.freedesktop.portal.Request"),
                                               QStringLiteral("Response"));
                const uint code = answer == Answer::Picture ? 0 : answer == Answer::Cancel ? 1 : 2;
                QVariantMap results;
                if (answer == Answer::Picture)
                    results.insert(QStringLiteral("uri"), uri);
                response << code << results;
                bus.send(response);
            }
            bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(call.handle))));
            return true;
        }
        if (message.member() == QLatin1String("Close")) {
            closed << message.path();
            bus.send(message.createReply());
            return true;
        }
        return false;
    }
};

// Every pixel tells where it was in the served picture.
QImage servedPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 251, y % 241, (x * 3 + y * 5) % 256));
    return image;
}

} // namespace

class CapturePortalTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QDBusConnection portalBus_{QString()};
    StandInPortal portal_;
    QString pngFile_;
    QByteArray pngBytes_;
    QImage served_;
    std::unique_ptr<CaptureWindow> window_;

    CaptureWindow& openWindow()
    {
        // The grabber of this session, as the program makes it.
        window_ = std::make_unique<CaptureWindow>(QFile::encodeName(folder_.path()).toStdString());
        window_->open();
        if (!QTest::qWaitForWindowExposed(window_.get()))
            qFatal("the grabber did not show");
        CaptureWindow* w = window_.get();
        portal_.grabberVisible = [w] { return w->isVisible(); };
        return *window_;
    }
    // The Wayland session's grabber: the portal's, never the X server's.
    ScreenshotPortal& portalOf(CaptureWindow& w)
    {
        auto* grabber = qobject_cast<PortalGrabber*>(&w.grabber());
        if (!grabber)
            qFatal("the grabber on Wayland does not ask the portal");
        return grabber->portal();
    }
    template <typename T> T* find(const char* name)
    {
        T* widget = window_->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("picpfrm has no %s", name);
        return widget;
    }
    void clickGrab() { QTest::mouseClick(find<QToolButton>("Command1"), Qt::LeftButton); }
    void portalPresent(bool present)
    {
        QDBusConnectionInterface* names = portalBus_.interface();
        if (present && !names->isServiceRegistered(kService))
            QVERIFY(portalBus_.registerService(kService));
        if (!present && names->isServiceRegistered(kService))
            QVERIFY(portalBus_.unregisterService(kService));
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ClickAsksThePortalAndThePictureIsSavedAsBmp();
    void EveryWayOfPressingTheButtonAsksThePortalOnce_data();
    void EveryWayOfPressingTheButtonAsksThePortalOnce();
    void WindowIsAskedForWhereThePortalOffersIt_data();
    void WindowIsAskedForWhereThePortalOffersIt();
    void OtherAnswersLeaveThePictureAndTheGrabberUsable_data();
    void OtherAnswersLeaveThePictureAndTheGrabberUsable();
};

void CapturePortalTest::initTestCase()
{
    QVERIFY(folder_.isValid());
    QCOMPARE(qgetenv("XDG_SESSION_TYPE"), QByteArray("wayland"));
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run under dbus-run-session");
    portalBus_ =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in portal"));
    QVERIFY(portalBus_.isConnected());
    QVERIFY(portalBus_.registerVirtualObject(kDesktopPath, &portal_, QDBusConnection::SubPath));

    // Larger than the viewer, so both bars show.
    served_ = servedPicture(900, 700);
    pngFile_ = folder_.filePath(QStringLiteral("served.png"));
    QVERIFY(served_.save(pngFile_, "PNG"));
    QFile png(pngFile_);
    QVERIFY(png.open(QIODevice::ReadOnly));
    pngBytes_ = png.readAll();
}

void CapturePortalTest::init()
{
    portalPresent(true);
    portal_.answer = Answer::Picture;
    portal_.uri = QUrl::fromLocalFile(pngFile_).toString();
    portal_.version = 2;
    portal_.targets = 0;
    portal_.calls.clear();
    portal_.closed.clear();
}

void CapturePortalTest::cleanup()
{
    portal_.grabberVisible = nullptr;
    window_.reset();
    // The portal's file is the desktop's: read, never changed or removed.
    QFile png(pngFile_);
    QVERIFY(png.open(QIODevice::ReadOnly));
    QCOMPARE(png.readAll(), pngBytes_);
}

void CapturePortalTest::ClickAsksThePortalAndThePictureIsSavedAsBmp()
{
    CaptureWindow& w = openWindow();
    QCOMPARE(portalOf(w).timeout(), std::chrono::milliseconds(std::chrono::minutes(1)));
    clickGrab();
    QVERIFY(!w.isVisible()); // out of the way of the portal's dialog
    QTRY_VERIFY(w.isVisible());
    QCOMPARE(w.picture().size(), QSize(900, 700));

    QCOMPARE(portal_.calls.size(), std::size_t{1});
    const ScreenshotCall& call = portal_.calls.front();
    QVERIFY(!call.grabberVisible);
    QCOMPARE(call.parentWindow, QString());
    QCOMPARE(call.options.value(QStringLiteral("interactive")), QVariant(true));
    QCOMPARE(call.options.value(QStringLiteral("modal")), QVariant(true));
    QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9_]+$"))
                .match(call.options.value(QStringLiteral("handle_token")).toString())
                .hasMatch());
    QVERIFY(!call.options.contains(QStringLiteral("target"))); // version 2 has none
    QVERIFY(portal_.closed.isEmpty());

    // The viewer as after a drag onto a 900 by 700 window.
    auto* h = find<QScrollBar>("HScroll1");
    auto* v = find<QScrollBar>("VScroll1");
    QVERIFY(h->isVisible());
    QVERIFY(v->isVisible());
    QCOMPARE(h->maximum(), 900 * 15 - 7500 + 60);
    QCOMPARE(v->maximum(), 700 * 15 - 5625 + 60);

    // A second click asks anew, with a token of its own.
    clickGrab();
    QTRY_COMPARE(portal_.calls.size(), std::size_t{2});
    QTRY_VERIFY(w.isVisible());
    QVERIFY(portal_.calls[1].handle != portal_.calls[0].handle);

    // "保存图片" writes exactly the served pixels.
    const QString saved = folder_.filePath(QStringLiteral("grab.bmp"));
    QTimer typer;
    bool typed = false;
    connect(&typer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || typed)
            return;
        typed = true;
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(saved);
        static_cast<QDialog*>(dialog)->accept();
    });
    typer.start(20);
    QTest::mouseClick(find<QToolButton>("Command2"), Qt::LeftButton);
    QVERIFY(typed);
    const QImage bmp(saved, "BMP");
    QCOMPARE(bmp.size(), served_.size());
    QCOMPARE(bmp.convertToFormat(QImage::Format_RGB32), served_);
}

// There is no drag on Wayland, so the keyboard and assistive tools press
// the button as the mouse does; the mouse's press and release ask once.
void CapturePortalTest::EveryWayOfPressingTheButtonAsksThePortalOnce_data()
{
    QTest::addColumn<QString>("how");
    for (const char* how : {"mouse", "space", "click", "accessible press"})
        QTest::newRow(how) << QString::fromLatin1(how);
}

void CapturePortalTest::EveryWayOfPressingTheButtonAsksThePortalOnce()
{
    QFETCH(QString, how);
    CaptureWindow& w = openWindow();
    auto* button = find<QToolButton>("Command1");
    if (how == QLatin1String("mouse")) {
        // The press alone asks nothing: the click is the release.
        QTest::mousePress(button, Qt::LeftButton);
        QTest::qWait(50);
        QCOMPARE(portal_.calls.size(), std::size_t{0});
        QVERIFY(w.isVisible());
        QTest::mouseRelease(button, Qt::LeftButton);
    } else if (how == QLatin1String("space")) {
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
    } else if (how == QLatin1String("click")) {
        button->click();
    } else {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible && accessible->actionInterface());
        QVERIFY(
            accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    QTRY_COMPARE(portal_.calls.size(), std::size_t{1});
    QTRY_VERIFY(w.isVisible());
    QCOMPARE(w.picture().size(), QSize(900, 700));
    QTest::qWait(100);
    QCOMPARE(portal_.calls.size(), std::size_t{1});
}

void CapturePortalTest::WindowIsAskedForWhereThePortalOffersIt_data()
{
    QTest::addColumn<uint>("version");
    QTest::addColumn<uint>("targets");
    QTest::addColumn<QVariant>("target"); // invalid: none asked for

    QTest::newRow("version 2: no targets") << 2u << 0u << QVariant();
    QTest::newRow("version 3 offering windows") << 3u << (1u | 2u | 4u | 8u) << QVariant(2u);
    QTest::newRow("version 3 offering a window alone") << 3u << 2u << QVariant(2u);
    QTest::newRow("version 3 without windows") << 3u << (1u | 4u) << QVariant();
}

void CapturePortalTest::WindowIsAskedForWhereThePortalOffersIt()
{
    QFETCH(uint, version);
    QFETCH(uint, targets);
    QFETCH(QVariant, target);
    portal_.version = version;
    portal_.targets = targets;
    CaptureWindow& w = openWindow();
    clickGrab();
    QTRY_VERIFY(w.isVisible());
    QCOMPARE(portal_.calls.size(), std::size_t{1});
    const QVariantMap& options = portal_.calls.front().options;
    QCOMPARE(options.value(QStringLiteral("target")), target);
    QCOMPARE(options.value(QStringLiteral("interactive")), QVariant(true));
    QCOMPARE(w.picture().size(), QSize(900, 700));
}

void CapturePortalTest::OtherAnswersLeaveThePictureAndTheGrabberUsable_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("uri"); // empty: the served picture
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("closes");

    const QString missing = QStringLiteral("/nonexistent/screenshot.png");
    QTest::newRow("cancelled") << int(Answer::Cancel) << true << QString() << QString() << false;
    QTest::newRow("failed") << int(Answer::Fail) << true << QString() << QString(texts::kPortalFailed)
                            << false;
    QTest::newRow("no answer") << int(Answer::Never) << true << QString() << QString(texts::kPortalNoAnswer)
                               << true;
    QTest::newRow("no portal") << int(Answer::Picture) << false << QString()
                               << QString(texts::kPortalUnavailable) << false;
    QTest::newRow("picture not there")
        << int(Answer::Picture) << true << QUrl::fromLocalFile(missing).toString()
        << texts::portalPictureUnreadable(missing) << false;
}

void CapturePortalTest::OtherAnswersLeaveThePictureAndTheGrabberUsable()
{
    QFETCH(int, answer);
    QFETCH(bool, present);
    QFETCH(QString, uri);
    QFETCH(QString, message);
    QFETCH(bool, closes);
    portal_.answer = static_cast<Answer>(answer);
    if (!uri.isEmpty())
        portal_.uri = uri;
    portalPresent(present);

    CaptureWindow& w = openWindow();
    portalOf(w).setTimeout(std::chrono::milliseconds(300));
    const QImage before = w.picture();
    gb::test::MessageCloser messages;
    clickGrab();
    QVERIFY(!w.isVisible());
    QTRY_VERIFY(w.isVisible());
    if (message.isEmpty()) {
        QTest::qWait(100);
        QCOMPARE(messages.count, 0);
    } else {
        QTRY_COMPARE(messages.count, 1);
        QCOMPARE(messages.title, QString::fromUtf8("左键抓图："));
        QCOMPARE(messages.text, message);
    }
    QCOMPARE(w.picture(), before);
    QVERIFY(!portalOf(w).busy());
    QCOMPARE(portal_.calls.size(), present ? std::size_t{1} : std::size_t{0});
    if (closes) {
        QTRY_COMPARE(portal_.closed.size(), 1);
        QCOMPARE(portal_.closed.front(), portal_.calls.front().handle);
    } else {
        QVERIFY(portal_.closed.isEmpty());
    }

    // The next click gets a picture.
    portalPresent(true);
    portal_.answer = Answer::Picture;
    portal_.uri = QUrl::fromLocalFile(pngFile_).toString();
    clickGrab();
    QTRY_COMPARE(w.picture().size(), QSize(900, 700));
    QVERIFY(w.isVisible());
    QCOMPARE(messages.count, message.isEmpty() ? 0 : 1);
}

QTEST_MAIN(CapturePortalTest)
#include "capture_portal_wayland.moc"
