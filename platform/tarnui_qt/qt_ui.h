// The Qt provider of the interpreter's questions: message boxes, line
// entry, button rows, lists, the timed display, file and directory
// questions and script-defined dialogs, as Qt windows. It uses the
// program's QApplication when there is one (a Qt host) and makes one
// otherwise.
#pragma once

#include <memory>

#include "ui.h"

namespace tarn::qtui {

std::unique_ptr<Ui> MakeQtUi();

}  // namespace tarn::qtui
