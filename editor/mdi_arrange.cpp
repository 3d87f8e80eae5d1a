#include "mdi_arrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace vrayu {
namespace {

QList<QMdiSubWindow*> Restorable(QMdiArea& area) {
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::StackingOrder)) {
        if (w->isVisible() && !w->isMinimized()) out.append(w);
    }
    return out;
}

void Tile(QMdiArea& area, bool rows) {
    const QList<QMdiSubWindow*> windows = Restorable(area);
    if (windows.isEmpty()) return;
    const QRect r = area.viewport()->rect();
    const int n = static_cast<int>(windows.size());
    // Equal shares; a window kept at its minimum pushes the next one on
    // (the area then scrolls) rather than covering it.
    int at = 0;
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (rows) {
            const int share = r.height() * (i + 1) / n - r.height() * i / n;
            windows[i]->setGeometry(0, at, r.width(), share);
            at += windows[i]->height();
        } else {
            const int share = r.width() * (i + 1) / n - r.width() * i / n;
            windows[i]->setGeometry(at, 0, share, r.height());
            at += windows[i]->width();
        }
    }
}

}  // namespace

void TileHorizontal(QMdiArea& area) { Tile(area, true); }

void TileVertical(QMdiArea& area) { Tile(area, false); }

void ArrangeIcons(QMdiArea& area) {
    const QRect r = area.viewport()->rect();
    int x = 0;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized()) continue;
        const QSize s = w->size();
        w->move(x, r.height() - s.height());
        x += s.width();
    }
}

}  // namespace vrayu
