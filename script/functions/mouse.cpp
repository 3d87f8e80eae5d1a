// The mouse family on X11 (platform/x11/pointer.h): moving, clicking and
// dragging in virtual units (1000 across a window or the screen), what lies
// under the pointer, and "snapshot", a picture of the screen put on the
// clipboard as a bitmap.
#include <cstdio>
#include <string>

#include "builtins.h"
#include "functions/logic/clipboard.h"
#include "errors.h"
#include "x11/keyboard.h"
#include "x11/pointer.h"
#include "x11/snapshot.h"
#include "functions/window_find.h"
#include "functions/logic/window_place.h"
#include "x11/windows.h"

namespace tarn::fn {
namespace {

namespace x11 = vrayu::x11;

constexpr int kLClick = 513, kLDblClick = 515, kRClick = 516, kRDblClick = 518, kMClick = 519, kMDblClick = 521;
constexpr int kAtCtrl = 1, kAtShift = 2;
constexpr unsigned kLButton = 4, kRButton = 8, kMButton = 16;

struct ClickType {
    x11::Button button;
    int clicks;
};

std::optional<ClickType> ClickOf(std::int32_t type) {
    switch (type) {
        case kLClick: return ClickType{x11::Button::Left, 1};
        case kLDblClick: return ClickType{x11::Button::Left, 2};
        case kRClick: return ClickType{x11::Button::Right, 1};
        case kRDblClick: return ClickType{x11::Button::Right, 2};
        case kMClick: return ClickType{x11::Button::Middle, 1};
        case kMDblClick: return ClickType{x11::Button::Middle, 2};
        default: return std::nullopt;
    }
}

unsigned HeldKeys(std::int32_t mods) {
    return ((mods & kAtCtrl) ? x11::kCtrl : 0u) | ((mods & kAtShift) ? x11::kShift : 0u);
}

// The rectangle that virtual units refer to: the named child of the named
// parent, the parent, or (both empty) the screen. False with the error set.
bool Area(Call& c, std::string_view parent, std::string_view child, x11::Rect* area) {
    if (parent.empty() && !child.empty()) {
        c.Fail(err::MouseChildWithNoParent);
        return false;
    }
    if (parent.empty()) {
        const auto screen = x11::Screen();
        if (!screen) {
            c.Fail(err::MouseParentNotFound);
            return false;
        }
        *area = {0, 0, screen->width, screen->height};
        return true;
    }
    const auto p = findWindow(c, parent);
    if (!p) {
        c.Fail(err::MouseParentNotFound);
        return false;
    }
    WindowId target = *p;
    if (!child.empty()) {
        const auto ch = findChild(*p, child);
        if (!ch) {
            c.Fail(err::MouseChildNotFound);
            return false;
        }
        target = *ch;
    }
    const auto r = x11::Frame(target);
    if (!r) {
        c.Fail(err::MouseParentNotFound);
        return false;
    }
    *area = *r;
    return true;
}

x11::Point ToScreen(const x11::Rect& area, std::int32_t x, std::int32_t y) {
    return {area.x + static_cast<int>(static_cast<long long>(x) * area.width / 1000),
            area.y + static_cast<int>(static_cast<long long>(y) * area.height / 1000)};
}

void Click(const ClickType& t) {
    for (int i = 0; i < t.clicks; ++i) {
        x11::PressButton(t.button, true);
        x11::PressButton(t.button, false);
    }
}

// mousemove(x, y, parent, child)
void MouseMove(Call& c) {
    x11::Rect area;
    if (!Area(c, c.Str(2), c.Str(3), &area)) return;
    x11::MovePointer(ToScreen(area, c.Int(0), c.Int(1)));
    c.ReturnInt(1);
}

// mouseclick(click type, @ctrl/@shift held) at the pointer.
void MouseClick(Call& c) {
    const auto t = ClickOf(c.Int(0));
    if (!t) return c.Fail(err::MouseInvalidClickType);
    if (!x11::Available()) return c.Fail(err::MouseNoWindowAtMouse);
    const unsigned held = HeldKeys(c.Int(1));
    x11::HoldModifiers(held, true);
    Click(*t);
    x11::HoldModifiers(held, false);
    c.ReturnInt(1);
}

// mousedrag(x, y, parent, child, click type): holds the click type's button
// from where the pointer is to the point (0 is the left button).
void MouseDrag(Call& c) {
    const auto t = c.Int(4) == 0 ? std::optional<ClickType>(ClickType{x11::Button::Left, 1}) : ClickOf(c.Int(4));
    if (!t) return c.Fail(err::MouseInvalidClickType);
    x11::Rect area;
    if (!Area(c, c.Str(2), c.Str(3), &area)) return;
    const auto from = x11::PointerPosition();
    if (!from) return c.Fail(err::MouseNoWindowAtMouse);
    const x11::Point to = ToScreen(area, c.Int(0), c.Int(1));
    x11::PressButton(t->button, true);
    // A few steps on the way, so that the program sees a drag.
    for (int i = 1; i <= 4; ++i)
        x11::MovePointer({from->x + (to.x - from->x) * i / 4, from->y + (to.y - from->y) * i / 4});
    x11::PressButton(t->button, false);
    c.ReturnInt(1);
}

// mouseclickbtn(parent, child, button): clicks the middle of the named
// child window (a button) of the parent or of its named child.
void MouseClickBtn(Call& c) {
    const auto parent = findWindow(c, c.Str(0));
    if (!parent) return c.Fail(err::MouseParentNotFound);
    WindowId in = *parent;
    if (!c.Str(1).empty()) {
        const auto ch = findChild(*parent, c.Str(1));
        if (!ch) return c.Fail(err::MouseChildNotFound);
        in = *ch;
    }
    const auto button = findChild(in, c.Str(2));
    const auto r = button ? x11::Frame(*button) : std::nullopt;
    if (!r) return c.Fail(err::MouseClickBtnButtonNotFound);
    x11::Activate(*parent);
    x11::MovePointer({r->x + r->width / 2, r->y + r->height / 2});
    Click({x11::Button::Left, 1});
    c.ReturnInt(1);
}

// mouseinfo(request): 0 title of the top-level window under the pointer,
// 1 title of the window right under it (a child's, else the top-level's),
// 2 "x y" of the pointer in virtual screen units, 3 "x y" in pixels,
// 4 the buttons held (@lbutton, @rbutton, @mbutton added), 5 "x1 y1 x2 y2"
// of the top-level window under the pointer in virtual screen units.
void MouseInfo(Call& c) {
    const std::int32_t request = c.Int(0);
    if (request < 0 || request > 5) return c.Fail(err::MouseInfoInvalidRequest);
    const auto at = x11::PointerPosition();
    const auto screen = x11::Screen();
    if (!at || !screen) return c.Fail(err::MouseNoWindowAtMouse);
    const WindowId top = x11::TopLevelAt(at->x, at->y);
    char buf[96];
    switch (request) {
        case 0: return void(c.ReturnText(top ? x11::Title(top) : ""));
        case 1: {
            const WindowId under = x11::WindowUnderPointer();
            std::string title = under ? x11::Title(under) : "";
            if (title.empty() && top) title = x11::Title(top);
            return void(c.ReturnText(title));
        }
        case 2:
            std::snprintf(buf, sizeof buf, "%d %d", toVirtual(at->x, screen->width), toVirtual(at->y, screen->height));
            return void(c.ReturnText(buf));
        case 3: std::snprintf(buf, sizeof buf, "%d %d", at->x, at->y); return void(c.ReturnText(buf));
        case 4: {
            const unsigned held = x11::ButtonsHeld();
            return c.ReturnInt(static_cast<std::int32_t>(((held & 1) ? kLButton : 0) | ((held & 2) ? kRButton : 0) |
                                                         ((held & 4) ? kMButton : 0)));
        }
        default: {
            const auto r = top ? x11::Frame(top) : std::nullopt;
            if (!r) return void(c.ReturnText(""));
            std::snprintf(buf, sizeof buf, "%d %d %d %d", toVirtual(r->x, screen->width),
                          toVirtual(r->y, screen->height), toVirtual(r->x + r->width, screen->width),
                          toVirtual(r->y + r->height, screen->height));
            return void(c.ReturnText(buf));
        }
    }
}

// snapshot(request): a picture to the clipboard as a bitmap (BMP, 24 bits):
// 0 the whole screen, 1 the work area, 2 the active window with its frame,
// 3 the top-level window under the pointer.
void Snapshot(Call& c) {
    const std::int32_t request = c.Int(0);
    if (request < 0 || request > 3) return c.Fail(err::SnapShotInvalidRequest);
    const auto screen = x11::Screen();
    if (!screen) return c.Fail(err::SnapShotCannotOpenClipboard);
    std::optional<x11::Rect> area = x11::Rect{0, 0, screen->width, screen->height};
    if (request == 1) area = x11::WorkArea();
    if (request == 2) area = x11::Active() ? x11::Frame(x11::Active()) : std::nullopt;
    if (request == 3) {
        const auto at = x11::PointerPosition();
        const WindowId top = at ? x11::TopLevelAt(at->x, at->y) : 0;
        area = top ? x11::Frame(top) : std::nullopt;
    }
    const auto bmp = area ? x11::CaptureBmp(*area) : std::nullopt;
    if (!bmp) return c.Fail(err::SnapShotCannotOpenClipboard);
    // The clipboard's bitmap is the file without its 14-byte header.
    if (ClipPut(8, std::string_view(*bmp).substr(14)) != ClipStatus::Ok)
        return c.Fail(err::SnapShotCannotOpenClipboard);
    c.ReturnInt(1);
}

constexpr BuiltinEntry kMouse[] = {
    {"mousemove", MouseMove},         {"mouseclick", MouseClick}, {"mousedrag", MouseDrag},
    {"mouseclickbtn", MouseClickBtn}, {"mouseinfo", MouseInfo},   {"snapshot", Snapshot},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(mouse, tarn::fn::kMouse)
