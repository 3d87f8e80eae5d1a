// Runs a mail call on a worker thread while the window stays responsive:
// wait cursor at once, a progress box with Cancel after half a second.
// Cancel asks the service to abandon the call (its time-outs end it anyway).
#pragma once

#include <QString>
#include <functional>

#include "mail_service.h"

class QWidget;

namespace vrayu::mail {

MailError RunMailTask(QWidget* parent, MailService& service, const QString& label,
                      const std::function<MailError()>& work);

}  // namespace vrayu::mail
