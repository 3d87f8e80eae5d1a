// The program's icon, drawn in code so it needs no image plugin; the same
// picture ships as share/vrayu-editor.svg for the desktop.
#pragma once

#include <QIcon>

namespace vrayu {

QIcon AppIcon();

}  // namespace vrayu
