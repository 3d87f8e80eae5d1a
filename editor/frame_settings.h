// The main frame's place in the settings store, section "Settings", in twips.
#pragma once

class QSettings;

namespace vrayu {

struct FrameTwips {
    float left = 1000;
    float top = 1000;
    float width = 6500;
    float height = 6500;
    bool stored = false;  // read from the store (false on first run)
};

// Reads "MainLeft", "MainTop", "MainWidth", "MainHeight"; a missing or
// unreadable value gives its default.
FrameTwips ReadFrameSettings(QSettings& settings);
// Writes the four values as decimal text.
void WriteFrameSettings(QSettings& settings, const FrameTwips& frame);

// Twips per device-independent pixel of the primary screen (15 at 96 dpi).
double TwipsPerPixel();

}  // namespace vrayu
