#include "gui/capture/screenshot_portal.h"

#include "core/capture/portal_answer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QRandomGenerator>

#include <limits>

namespace gb::capture {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kDesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// The portal's dialog may stay open as long as the user likes; the timeout
// of this class ends the wait, not the bus's.
constexpr int kNoBusTimeout = std::numeric_limits<int>::max();

QString newToken()
{
    static unsigned counter = 0;
    // Only letters, digits and '_': the token becomes an element of a path.
    return QStringLiteral("glimmerbox_%1_%2")
        .arg(++counter)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

} // namespace

ScreenshotPortal::ScreenshotPortal(std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), timeout_(timeout)
{
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, &ScreenshotPortal::onTimeout);
}

ScreenshotPortal::~ScreenshotPortal()
{
    cancel();
}

bool ScreenshotPortal::request()
{
    if (busy())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const unsigned generation = ++generation_;
    if (!bus.isConnected()) {
        // Answered later all the same, as every request is.
        handle_ = QStringLiteral("/");
        const QString why = bus.lastError().message();
        QTimer::singleShot(0, this, [this, generation, why] {
            if (generation != generation_ || !busy())
                return;
            finish();
            emit failed(Failure::Unavailable, why);
        });
        return true;
    }
    handle_ =
        QString::fromStdString(portalRequestPath(bus.baseService().toStdString(), newToken().toStdString()));
    deadline_.start(timeout_);

    // First what the portal offers, to ask for a window where it can.
    QDBusMessage properties = QDBusMessage::createMethodCall(kService, kDesktopPath, kPropertiesInterface,
                                                             QStringLiteral("GetAll"));
    properties << kScreenshotInterface;
    auto* call = new QDBusPendingCallWatcher(bus.asyncCall(properties), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, generation](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (generation != generation_ || !busy())
            return;
        // A portal that does not say is asked as one of the first version;
        // one that is not there at all fails the call that follows.
        const QDBusPendingReply<QVariantMap> reply = *w;
        const QVariantMap offered = reply.isValid() ? reply.value() : QVariantMap{};
        ask(offered.value(QStringLiteral("version")).toUInt(),
            offered.value(QStringLiteral("AvailableTargets")).toUInt());
    });
    return true;
}

void ScreenshotPortal::ask(uint version, uint targets)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), handle_.section(QLatin1Char('/'), -1));
    options.insert(QStringLiteral("modal"), true);
    options.insert(QStringLiteral("interactive"), true);
    // Without a target the interactive dialog lets the user choose what to take.
    if (const auto target = screenshotTarget(version, targets))
        options.insert(QStringLiteral("target"), uint{*target});

    // The answer may come as soon as the call arrives: listen before calling.
    listen(handle_);
    QDBusMessage screenshot = QDBusMessage::createMethodCall(kService, kDesktopPath, kScreenshotInterface,
                                                             QStringLiteral("Screenshot"));
    screenshot << QString() << options; // no parent window to name
    auto* call = new QDBusPendingCallWatcher(bus.asyncCall(screenshot, kNoBusTimeout), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, generation = generation_](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (generation == generation_)
                    onScreenshotReply(w);
            });
}

void ScreenshotPortal::onScreenshotReply(QDBusPendingCallWatcher* call)
{
    if (!busy())
        return; // answered already
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (reply.isError()) {
        const QString why = reply.error().message();
        finish();
        emit failed(Failure::Unavailable, why);
        return;
    }
    // Portals older than handle_token choose the path themselves.
    const QString path = reply.value().path();
    if (!path.isEmpty() && path != handle_) {
        handle_ = path;
        listen(path);
    }
}

void ScreenshotPortal::onResponse(uint response, const QVariantMap& results)
{
    if (!busy())
        return;
    finish();
    switch (portalOutcome(response)) {
    case PortalOutcome::Taken: {
        // The portal keeps the file; it is read, never moved or changed.
        const QString uri = results.value(QStringLiteral("uri")).toString();
        const auto path = localFileOfUri(uri.toStdString());
        if (!path) {
            emit failed(Failure::Unreadable, uri);
            return;
        }
        const QString file = QFile::decodeName(QByteArray::fromStdString(*path));
        const QImage picture(file);
        if (picture.isNull())
            emit failed(Failure::Unreadable, file);
        else
            emit taken(picture);
        return;
    }
    case PortalOutcome::Cancelled: emit cancelled(); return;
    case PortalOutcome::Failed: emit failed(Failure::Failed, {}); return;
    }
}

void ScreenshotPortal::onTimeout()
{
    if (!busy())
        return;
    const QString path = handle_;
    finish();
    closeRequest(path);
    emit failed(Failure::NoAnswer, {});
}

void ScreenshotPortal::cancel()
{
    if (!busy())
        return;
    const QString path = handle_;
    finish();
    closeRequest(path);
}

void ScreenshotPortal::listen(const QString& path)
{
    stopListening();
    if (QDBusConnection::sessionBus().connect(kService, path, kRequestInterface, QStringLiteral("Response"),
                                              this, SLOT(onResponse(uint, QVariantMap))))
        listening_ = path;
}

void ScreenshotPortal::stopListening()
{
    if (listening_.isEmpty())
        return;
    QDBusConnection::sessionBus().disconnect(kService, listening_, kRequestInterface,
                                             QStringLiteral("Response"), this,
                                             SLOT(onResponse(uint, QVariantMap)));
    listening_.clear();
}

void ScreenshotPortal::finish()
{
    deadline_.stop();
    stopListening();
    handle_.clear();
    ++generation_; // replies still on their way belong to no request now
}

void ScreenshotPortal::closeRequest(const QString& path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !path.startsWith(kDesktopPath + QStringLiteral("/request/")))
        return;
    // No answer is awaited: the request is over for this side either way.
    bus.send(QDBusMessage::createMethodCall(kService, path, kRequestInterface, QStringLiteral("Close")));
}

} // namespace gb::capture
