// Where the panes go when the control is resized or the view changes. All
// geometry is in twips.
#pragma once

namespace vrayu {

enum class ViewMode { None, English, Telugu, Both, HTML };

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

struct PaneGeometry {
    TwipsRect url;  // the address box, txtURL
    TwipsRect english, telugu, html;
};

// The controls' positions before any resize.
PaneGeometry DesignGeometry();

// Lays the panes out for a control of `width` x `height` twips. Returns false
// (and changes nothing) when either is below 4400 twips.
bool LayoutPanes(int width, int height, ViewMode view, PaneGeometry& g);

}  // namespace vrayu
