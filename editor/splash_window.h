// The splash window shown while the main frame loads: the title and the
// "Version " line.
#pragma once

#include <QWidget>

#include "app_info.h"

namespace vrayu {

class SplashWindow : public QWidget {
public:
    explicit SplashWindow(const ProgramVersion& version, QWidget* parent = nullptr);
};

}  // namespace vrayu
