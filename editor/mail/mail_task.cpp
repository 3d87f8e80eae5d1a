#include "mail_task.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

namespace vrayu::mail {

MailError RunMailTask(QWidget* parent, MailService& service, const QString& label,
                      const std::function<MailError()>& work) {
    static bool busy = false;
    if (busy) return {kErrorFailure, "The mail client is busy with another request."};
    busy = true;
    MailError result;
    QEventLoop loop;
    QThread* thread = QThread::create([&] { result = work(); });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QProgressDialog progress(label, "Cancel", 0, 0, parent);
    progress.setWindowTitle("Mail");
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&service] { service.Cancel(); });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    QApplication::restoreOverrideCursor();
    busy = false;
    return result;
}

}  // namespace vrayu::mail
