// The internet transfer: a blocking HTTP GET of a whole document that runs a
// local event loop, can be cancelled (Cancel, or Escape pressed meanwhile),
// ends by itself after a time-out and stops as soon as the document grows
// past a size limit.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QNetworkReply>

class QNetworkAccessManager;
class QNetworkReply;

namespace vrayu {

class WebFetch : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Ok, Cancelled, TimedOut, TooLarge, Failed };
    struct Result {
        Outcome outcome = Outcome::Failed;
        QByteArray body;  // the document, also for an HTTP error page (empty when too large)
        int httpStatus = 0;
        QString error;
    };

    explicit WebFetch(QObject* parent = nullptr);
    ~WebFetch() override;

    // Milliseconds before a transfer is given up (default 30000; the
    // environment variable VRAYU_FETCH_TIMEOUT_MS overrides the default).
    void SetTimeout(int ms) { timeoutMs_ = ms; }
    int Timeout() const { return timeoutMs_; }

    // Largest document accepted, in bytes (default 32 MiB; the environment
    // variable VRAYU_FETCH_MAX_BYTES overrides the default). A larger one,
    // announced or as it arrives, ends the transfer with TooLarge.
    void SetMaxBytes(qint64 bytes) { maxBytes_ = bytes; }
    qint64 MaxBytes() const { return maxBytes_; }

    // Fetches `url`; returns when the document is in, or on error, cancel or
    // time-out. User input other than Escape is held back meanwhile.
    Result Get(const QUrl& url);
    // Ends the transfer in progress (if any).
    void Cancel();
    bool StillExecuting() const { return reply_ != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QNetworkAccessManager* manager_;
    QPointer<QNetworkReply> reply_;
    bool cancelled_ = false;
    int timeoutMs_;
    qint64 maxBytes_;
};

}  // namespace vrayu
