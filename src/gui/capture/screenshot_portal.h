#pragma once
// The grabber's way to the pixels on Wayland: it asks the desktop for a
// picture through the XDG desktop portal's Screenshot interface
// (org.freedesktop.portal.Desktop on the session bus), and the desktop lets
// the user pick what to take in its own dialog.
//
// One request at a time, never blocking: request() returns at once, and
// exactly one of taken(), cancelled() or failed() answers it later. A
// request the portal leaves unanswered past the timeout is closed and fails
// with NoAnswer.

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include <chrono>

class QDBusPendingCallWatcher;

namespace gb::capture {

class ScreenshotPortal : public QObject {
    Q_OBJECT

public:
    enum class Failure {
        Unavailable, // no portal on the session bus, or it refused the call
        Failed,      // the portal answered that the screenshot failed
        NoAnswer,    // no answer within the timeout
        Unreadable,  // the portal named a picture that cannot be read
    };

    static constexpr std::chrono::milliseconds kDefaultTimeout = std::chrono::minutes(1);

    explicit ScreenshotPortal(std::chrono::milliseconds timeout = kDefaultTimeout, QObject* parent = nullptr);
    // An open request is closed: the portal takes its dialog away.
    ~ScreenshotPortal() override;

    // Asks for a picture; false, and nothing asked, while a request is open.
    bool request();
    // Closes the open request, if any, without an answer to it.
    void cancel();
    bool busy() const { return !handle_.isEmpty(); }

    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    std::chrono::milliseconds timeout() const { return timeout_; }

signals:
    void taken(const QImage& picture);
    void cancelled();
    // `detail` says more where there is more to say: the bus's error, the
    // picture's file.
    void failed(ScreenshotPortal::Failure why, const QString& detail);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    void ask(uint version, uint targets);
    void onScreenshotReply(QDBusPendingCallWatcher* call);
    void onTimeout();
    void listen(const QString& path);
    void stopListening();
    void finish();
    void closeRequest(const QString& path);

    std::chrono::milliseconds timeout_;
    QString handle_; // the open request's object path; empty when none is open
    QString listening_;
    unsigned generation_ = 0; // tells the replies of an earlier request apart
    QTimer deadline_;
};

} // namespace gb::capture
