#include "pane_layout.h"

namespace vrayu {

PaneGeometry DesignGeometry() {
    PaneGeometry g;
    g.url = {860, 525, 6460, 300};
    g.telugu = {120, 840, 7200, 2400};
    g.english = {120, 3300, 7200, 1905};
    g.html = {120, 840, 7200, 4365};
    return g;
}

bool LayoutPanes(int w, int h, ViewMode view, PaneGeometry& g) {
    if (h < 4400 || w < 4400) return false;
    g.url.width = w > 8500 ? 7000 : w - g.url.left - 50 - 1000;
    switch (view) {
        case ViewMode::Both:
            // A fixed strip for the English pane at the bottom; the Telugu
            // pane fills the space between the address row and that strip.
            g.english.height = 1905;
            g.telugu.top = g.url.top + g.url.height + 25;
            g.telugu.width = w - g.telugu.left - 50;
            g.telugu.height = h - g.english.height - g.telugu.top - 100;
            g.english.width = w - g.english.left - 50;
            g.english.top = h - 1955;
            break;
        case ViewMode::English:
            g.english.top = g.telugu.top;
            g.english.height = h - g.english.top - 50;
            g.english.width = w - g.english.left - 50;
            break;
        case ViewMode::Telugu:
            g.telugu.height = h - g.telugu.top - 50;
            g.telugu.width = w - g.telugu.left - 50;
            break;
        case ViewMode::HTML:
            g.html.top = g.telugu.top;
            g.html.height = h - g.html.top - 50;
            g.html.width = w - g.html.left - 50;
            break;
        case ViewMode::None: break;
    }
    return true;
}

}  // namespace vrayu
