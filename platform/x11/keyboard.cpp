// Keystrokes through XTest. A keysym is looked up in the current group of
// the XKB layout: its key code and the modifiers its shift level needs.
// Keysyms the layout lacks go to spare key codes (codes without symbols),
// remapped for the run and given back at its end.
#include "x11/keyboard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <map>

#include "x11/session.h"

namespace vrayu::x11 {
namespace {

// Time a client needs to read a changed key map before it changes again.
constexpr int kRemapPauseMs = 40;

struct Found {
    KeyCode code = 0;
    unsigned mods = 0;  // core modifier mask the level needs
};

// The key code and shift level modifiers of a keysym in the group, level 1
// keys preferred (a digit on the main row before one needing a modifier).
std::optional<Found> Lookup(XkbDescPtr xkb, KeySym sym, int group) {
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = xkb->min_key_code; k <= xkb->max_key_code; ++k) {
            const auto kc = static_cast<KeyCode>(k);
            const int groups = XkbKeyNumGroups(xkb, kc);
            if (groups == 0) continue;
            const int g = group < groups ? group : 0;
            const int width = XkbKeyGroupWidth(xkb, kc, g);
            for (int level = pass == 0 ? 0 : 1; level < (pass == 0 ? 1 : width); ++level) {
                if (XkbKeySymEntry(xkb, kc, level, g) != sym) continue;
                if (level == 0) return Found{kc, 0};
                const XkbKeyTypePtr type = XkbKeyKeyType(xkb, kc, g);
                for (int i = 0; i < type->map_count; ++i) {
                    const XkbKTMapEntryRec& e = type->map[i];
                    if (e.active && e.level == level && !(e.mods.mask & LockMask)) return Found{kc, e.mods.mask};
                }
            }
        }
    }
    return std::nullopt;
}

}  // namespace

struct KeyRun::Impl {
    Session s;
    XkbDescPtr xkb = nullptr;
    int group = 0;
    bool capsWasOn = false;
    XModifierKeymap* modmap = nullptr;
    // Spare key codes and what they held before the run.
    std::vector<KeyCode> spares;
    std::size_t nextSpare = 0;
    std::map<KeySym, KeyCode> spareFor;
    bool remapped = false;

    Impl() {
        if (!s) return;
        int major = XkbMajorVersion, minor = XkbMinorVersion, op = 0, ev = 0, er = 0;
        if (!XkbQueryExtension(s.dpy(), &op, &ev, &er, &major, &minor)) return;
        xkb = XkbGetMap(s.dpy(), XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
        XkbStateRec st{};
        if (XkbGetState(s.dpy(), XkbUseCoreKbd, &st) == Success) {
            group = st.group;
            capsWasOn = (st.locked_mods & LockMask) != 0;
        }
        if (capsWasOn) XkbLockModifiers(s.dpy(), XkbUseCoreKbd, LockMask, 0);
        modmap = XGetModifierMapping(s.dpy());
    }

    ~Impl() {
        if (!s) return;
        XSync(s.dpy(), False);
        if (remapped) {
            Pause(kRemapPauseMs);
            for (KeyCode kc : spares) {
                KeySym none[2] = {NoSymbol, NoSymbol};
                XChangeKeyboardMapping(s.dpy(), kc, 2, none, 1);
            }
        }
        if (capsWasOn) XkbLockModifiers(s.dpy(), XkbUseCoreKbd, LockMask, LockMask);
        XSync(s.dpy(), False);
        if (modmap) XFreeModifiermap(modmap);
        if (xkb) XkbFreeKeyboard(xkb, 0, True);
    }

    // The first key code bound to a modifier bit (0..7), 0 when none.
    KeyCode ModifierKey(int bit) const {
        if (!modmap) return 0;
        for (int j = 0; j < modmap->max_keypermod; ++j)
            if (KeyCode kc = modmap->modifiermap[bit * modmap->max_keypermod + j]) return kc;
        return 0;
    }

    // A spare key code made to type `sym` (remapping one when needed).
    KeyCode Spare(KeySym sym) {
        if (auto it = spareFor.find(sym); it != spareFor.end()) return it->second;
        if (spares.empty()) {
            int minKc = 0, maxKc = 0, per = 0;
            XDisplayKeycodes(s.dpy(), &minKc, &maxKc);
            KeySym* map = XGetKeyboardMapping(s.dpy(), static_cast<KeyCode>(minKc), maxKc - minKc + 1, &per);
            if (!map) return 0;
            for (int k = maxKc; k >= minKc; --k) {
                const KeySym* row = map + (k - minKc) * per;
                if (std::all_of(row, row + per, [](KeySym x) { return x == NoSymbol; }))
                    spares.push_back(static_cast<KeyCode>(k));
                if (spares.size() == 8) break;
            }
            XFree(map);
            if (spares.empty()) return 0;
        }
        const KeyCode kc = spares[nextSpare % spares.size()];
        // Reusing a code: let clients read the key typed with it first.
        if (nextSpare >= spares.size()) Pause(kRemapPauseMs);
        ++nextSpare;
        for (auto it = spareFor.begin(); it != spareFor.end();)
            it = it->second == kc ? spareFor.erase(it) : std::next(it);
        KeySym syms[2] = {sym, sym};
        XChangeKeyboardMapping(s.dpy(), kc, 2, syms, 1);
        XSync(s.dpy(), False);
        remapped = true;
        spareFor[sym] = kc;
        return kc;
    }

    void Key(KeyCode kc, bool down) { XTestFakeKeyEvent(s.dpy(), kc, down ? True : False, CurrentTime); }
};

KeyRun::KeyRun() : impl_(std::make_unique<Impl>()) {}
KeyRun::~KeyRun() = default;

KeyRun::operator bool() const { return impl_->s && impl_->xkb; }

bool KeyRun::Send(std::uint32_t keysym, unsigned modifiers) {
    Impl& k = *impl_;
    if (!*this) return false;
    Found f;
    if (auto hit = Lookup(k.xkb, keysym, k.group)) f = *hit;
    else if (KeyCode spare = k.Spare(keysym)) f.code = spare;
    else return false;
    Display* d = k.s.dpy();
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L), ctrl = XKeysymToKeycode(d, XK_Control_L),
                  alt = XKeysymToKeycode(d, XK_Alt_L);
    const bool wantShift = (modifiers & kShift) || (f.mods & ShiftMask);
    const bool wantCtrl = (modifiers & kCtrl) || (f.mods & ControlMask);
    const bool wantAlt = (modifiers & kAlt) != 0;
    // Further modifiers of the level (the third level's Mod5, say).
    std::vector<KeyCode> levelKeys;
    for (int bit = 3; bit < 8; ++bit)
        if (f.mods & (1u << bit))
            if (KeyCode kc = k.ModifierKey(bit)) levelKeys.push_back(kc);
    if (wantShift && shift) k.Key(shift, true);
    if (wantCtrl && ctrl) k.Key(ctrl, true);
    if (wantAlt && alt) k.Key(alt, true);
    for (KeyCode kc : levelKeys) k.Key(kc, true);
    k.Key(f.code, true);
    for (KeyCode kc : levelKeys) k.Key(kc, false);
    if (wantAlt && alt) k.Key(alt, false);
    k.Key(f.code, false);
    if (wantCtrl && ctrl) k.Key(ctrl, false);
    if (wantShift && shift) k.Key(shift, false);
    XSync(d, False);
    return true;
}

bool HoldModifiers(unsigned modifiers, bool down) {
    Session s;
    if (!s) return false;
    const KeySym syms[3] = {XK_Shift_L, XK_Control_L, XK_Alt_L};
    const unsigned bits[3] = {kShift, kCtrl, kAlt};
    for (int i = 0; i < 3; ++i) {
        const int k = down ? i : 2 - i;
        if (!(modifiers & bits[k])) continue;
        if (const KeyCode kc = XKeysymToKeycode(s.dpy(), syms[k]))
            XTestFakeKeyEvent(s.dpy(), kc, down ? True : False, CurrentTime);
    }
    XSync(s.dpy(), False);
    return true;
}

bool KeyHeld(const std::vector<std::uint32_t>& keysyms) {
    Session s;
    if (!s) return false;
    char keys[32] = {};
    XQueryKeymap(s.dpy(), keys);
    for (int kc = 8; kc < 256; ++kc) {
        if (!(keys[kc / 8] & (1 << (kc % 8)))) continue;
        const KeySym sym = XkbKeycodeToKeysym(s.dpy(), static_cast<KeyCode>(kc), 0, 0);
        if (std::find(keysyms.begin(), keysyms.end(), static_cast<std::uint32_t>(sym)) != keysyms.end()) return true;
    }
    return false;
}

namespace {

KeySym LockSym(LockKey key) {
    switch (key) {
        case LockKey::Caps: return XK_Caps_Lock;
        case LockKey::Num: return XK_Num_Lock;
        case LockKey::Scroll: return XK_Scroll_Lock;
    }
    return NoSymbol;
}

// The modifier a lock key locks (Caps: Lock; Num: usually Mod2), 0 none.
unsigned LockMaskOf(Session& s, LockKey key) {
    if (key == LockKey::Caps) return LockMask;
    return XkbKeysymToModifiers(s.dpy(), LockSym(key));
}

std::optional<bool> LockStateIn(Session& s, LockKey key) {
    if (const unsigned mask = LockMaskOf(s, key)) {
        XkbStateRec st{};
        if (XkbGetState(s.dpy(), XkbUseCoreKbd, &st) != Success) return std::nullopt;
        return (st.locked_mods & mask) != 0;
    }
    // A lock without a modifier (Scroll Lock) shows only on its indicator.
    int index = 0;
    Bool on = False;
    if (!XkbGetNamedIndicator(s.dpy(), s.atom("Scroll Lock"), &index, &on, nullptr, nullptr)) return false;
    return on == True;
}

}  // namespace

std::optional<bool> LockState(LockKey key) {
    Session s;
    if (!s) return std::nullopt;
    return LockStateIn(s, key);
}

bool SetLockState(LockKey key, bool on) {
    Session s;
    if (!s) return false;
    const auto now = LockStateIn(s, key);
    if (!now) return false;
    if (*now == on) return true;
    if (const unsigned mask = LockMaskOf(s, key)) {
        XkbLockModifiers(s.dpy(), XkbUseCoreKbd, mask, on ? mask : 0);
    } else {
        const KeyCode kc = XKeysymToKeycode(s.dpy(), LockSym(key));
        if (!kc) return false;
        XTestFakeKeyEvent(s.dpy(), kc, True, CurrentTime);
        XTestFakeKeyEvent(s.dpy(), kc, False, CurrentTime);
    }
    XSync(s.dpy(), False);
    return true;
}

}  // namespace vrayu::x11
