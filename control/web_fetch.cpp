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

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ShortcutOverride:
            return true;
        default:
            return false;
    }
}

}  // namespace

WebFetch::WebFetch(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)), timeoutMs_(DefaultTimeout()) {}

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
    timer.start(timeoutMs_);
    QCoreApplication::instance()->installEventFilter(this);
    if (!reply->isFinished()) loop.exec();
    QCoreApplication::instance()->removeEventFilter(this);
    timer.stop();

    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.error = reply->errorString();
    if (timedOut)
        result.outcome = Outcome::TimedOut;
    else if (cancelled_ || reply->error() == QNetworkReply::OperationCanceledError)
        result.outcome = Outcome::Cancelled;
    else if (reply->error() == QNetworkReply::NoError || result.httpStatus != 0)
        result.outcome = Outcome::Ok;  // an error page is a document too
    else
        result.outcome = Outcome::Failed;
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
