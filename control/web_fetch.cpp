#include "web_fetch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace vrayu {
namespace {

int DefaultTimeout() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("VRAYU_FETCH_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : 30000;
}

qint64 DefaultMaxBytes() {
    bool ok = false;
    const qint64 bytes = qEnvironmentVariable("VRAYU_FETCH_MAX_BYTES").toLongLong(&ok);
    return ok && bytes > 0 ? bytes : qint64(32) << 20;
}

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ShortcutOverride: return true;
        default: return false;
    }
}

}  // namespace

WebFetch::WebFetch(QObject* parent)
    : QObject(parent),
      manager_(new QNetworkAccessManager(this)),
      timeoutMs_(DefaultTimeout()),
      maxBytes_(DefaultMaxBytes()) {}

WebFetch::~WebFetch() { Cancel(); }

WebFetch::Result WebFetch::Get(const QUrl& url) {
    Result result;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    cancelled_ = false;
    QNetworkReply* reply = manager_->get(request);
    reply_ = reply;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The body is taken as it arrives, so nothing past the limit is held.
    bool tooLarge = false;
    auto stopWhenTooLarge = [&](qint64 size) {
        if (size <= maxBytes_ || tooLarge) return;
        tooLarge = true;
        result.body.clear();
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid()) stopWhenTooLarge(length.toLongLong());
    });
    connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (tooLarge) return;
        result.body += reply->readAll();
        stopWhenTooLarge(result.body.size());
    });
    timer.start(timeoutMs_);
    QCoreApplication::instance()->installEventFilter(this);
    if (!reply->isFinished()) loop.exec();
    QCoreApplication::instance()->removeEventFilter(this);
    timer.stop();

    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!tooLarge && reply->isOpen()) {
        result.body += reply->readAll();
        stopWhenTooLarge(result.body.size());
    }
    result.error = reply->errorString();
    if (tooLarge) result.outcome = Outcome::TooLarge;
    else if (timedOut) result.outcome = Outcome::TimedOut;
    else if (cancelled_ || reply->error() == QNetworkReply::OperationCanceledError) result.outcome = Outcome::Cancelled;
    else if (reply->error() == QNetworkReply::NoError || result.httpStatus != 0)
        result.outcome = Outcome::Ok;  // an error page is a document too
    else result.outcome = Outcome::Failed;
    if (reply_ == reply) reply_ = nullptr;
    reply->deleteLater();
    return result;
}

void WebFetch::Cancel() {
    if (QNetworkReply* reply = reply_) {
        cancelled_ = true;
        reply_ = nullptr;
        reply->abort();
    }
}

bool WebFetch::eventFilter(QObject* watched, QEvent* event) {
    if (!IsUserInput(event->type())) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) Cancel();
    return true;  // held back while the transfer runs
}

}  // namespace vrayu
