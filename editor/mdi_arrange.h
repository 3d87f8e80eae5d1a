// The child-window arrangements of the Window menu that Qt's MDI area lacks.
#pragma once

class QMdiArea;

namespace vrayu {

// Children one above the other, each the full width of the area.
void TileHorizontal(QMdiArea& area);
// Children side by side, each the full height of the area.
void TileVertical(QMdiArea& area);
// Minimized children lined up along the bottom edge.
void ArrangeIcons(QMdiArea& area);

}  // namespace vrayu
