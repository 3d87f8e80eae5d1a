// The keystroke family on X11: "sendkey" and its variants type into the
// foreground window through XTest (platform/x11/keyboard.h); the keyboard's
// state ("iskeydown", the lock keys, "waitforkey").
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "builtins.h"
#include "errors.h"
#include "x11/keyboard.h"
#include "functions/logic/key_names.h"
#include "functions/logic/sendkey_text.h"
#include "functions/window_find.h"
#include "x11/windows.h"

namespace tarn::fn {
namespace {

namespace x11 = vrayu::x11;
static_assert(unsigned{kHoldShift} == unsigned{x11::kShift} && unsigned{kHoldCtrl} == unsigned{x11::kCtrl} &&
              unsigned{kHoldAlt} == unsigned{x11::kAlt});

constexpr std::uint32_t kShiftSyms[] = {0xffe1, 0xffe2}, kCtrlSyms[] = {0xffe3, 0xffe4}, kAltSyms[] = {0xffe9, 0xffea};
constexpr int kAtCtrl = 1, kAtShift = 2;  // @ctrl, @shift
constexpr int kCapsLock = 20, kNumLock = 144, kScrollLock = 145;

// Types a text into the foreground window: 0 when sent to its end, -1 when
// it stopped at a bad brace (the keys before it are sent), no display or a
// termination request.
int SendText(Call& c, std::string_view text) {
    const SendKeyText keys = parseSendKey(text);
    x11::KeyRun run;
    if (!run) return -1;
    for (const KeyStroke& k : keys.keys) {
        if (c.State().terminate) return -1;
        run.Send(k.keysym, k.hold);
        if (c.State().key_delay > 0 && !pauseScript(c, c.State().key_delay)) return -1;
    }
    return keys.complete ? 0 : -1;
}

void SendKey(Call& c) { c.ReturnInt(SendText(c, c.Str(0))); }

void SendKeysTo(Call& c) {
    const auto w = findWindow(c, c.Str(0));
    if (!w) return c.Fail(err::WinActivateWindowNotFound);
    x11::Activate(*w);
    c.ReturnInt(SendText(c, c.Str(1)));
}

void SendKeysChild(Call& c) {
    const auto parent = findWindow(c, c.Str(0));
    if (!parent) return c.Fail(err::WinActivateWindowNotFound);
    const auto child = findChild(*parent, c.Str(1));
    if (!child) return c.Fail(err::ActivateChildNotExist);
    x11::Activate(*parent);
    x11::FocusChild(*child);
    c.ReturnInt(SendText(c, c.Str(2)));
}

// iskeydown(@shift, @ctrl or both): 1 when every key asked for is held.
void IsKeyDown(Call& c) {
    const int keys = c.Int(0);
    if (!(keys & (kAtCtrl | kAtShift))) return c.ReturnInt(0);
    bool down = true;
    if (keys & kAtShift) down = down && x11::KeyHeld({std::begin(kShiftSyms), std::end(kShiftSyms)});
    if (keys & kAtCtrl) down = down && x11::KeyHeld({std::begin(kCtrlSyms), std::end(kCtrlSyms)});
    c.ReturnInt(down ? 1 : 0);
}

std::optional<x11::LockKey> LockOf(std::int32_t code) {
    if (code == kCapsLock) return x11::LockKey::Caps;
    if (code == kNumLock) return x11::LockKey::Num;
    if (code == kScrollLock) return x11::LockKey::Scroll;
    return std::nullopt;
}

// keytoggleget(@capslock, @numlock or @scrolllock): 1 when on; other keys
// and no display give 0.
void KeyToggleGet(Call& c) {
    const auto key = LockOf(c.Int(0));
    c.ReturnInt(key && x11::LockState(*key).value_or(false) ? 1 : 0);
}

// keytoggleset(key, state): the previous state.
void KeyToggleSet(Call& c) {
    const auto key = LockOf(c.Int(0));
    const bool was = key && x11::LockState(*key).value_or(false);
    if (key) x11::SetLockState(*key, c.Int(1) != 0);
    c.ReturnInt(was ? 1 : 0);
}

// One key waitforkey watches: its keysym and the modifiers to hold with it.
struct Watched {
    std::vector<std::uint32_t> keysyms;
    unsigned hold = 0;
    bool wasDown = true;  // a key held at the start must be let go first
};

bool Down(const Watched& w) {
    if (!x11::KeyHeld(w.keysyms)) return false;
    if ((w.hold & kHoldShift) && !x11::KeyHeld({std::begin(kShiftSyms), std::end(kShiftSyms)})) return false;
    if ((w.hold & kHoldCtrl) && !x11::KeyHeld({std::begin(kCtrlSyms), std::end(kCtrlSyms)})) return false;
    if ((w.hold & kHoldAlt) && !x11::KeyHeld({std::begin(kAltSyms), std::end(kAltSyms)})) return false;
    return true;
}

// waitforkey(k1, ..., k5): each non-empty text names one key in "sendkey"
// form ("{F1}", "a", "^c"); waits until one of them is pressed and gives its
// position (1..5); 0 on a termination request.
void WaitForKey(Call& c) {
    std::vector<std::pair<int, Watched>> keys;
    for (int i = 0; i < 5; ++i) {
        if (c.Str(i).empty()) continue;
        const SendKeyText t = parseSendKey(c.Str(i));
        if (!t.complete || t.keys.size() != 1) return c.Fail(err::WaitForKeyInvalidKeyCodes);
        std::uint32_t sym = t.keys[0].keysym;
        unsigned hold = t.keys[0].hold;
        // A capital letter is its key with Shift.
        if (sym >= 'A' && sym <= 'Z') sym += 'a' - 'A', hold |= kHoldShift;
        keys.push_back({i + 1, Watched{{sym}, hold}});
    }
    if (keys.empty()) return c.Fail(err::WaitForKeyInvalidKeyCodes);
    if (!x11::Available()) return c.ReturnInt(0);
    for (;;) {
        for (auto& [pos, w] : keys) {
            const bool down = Down(w);
            if (down && !w.wasDown) return c.ReturnInt(pos);
            w.wasDown = down;
        }
        if (!pauseScript(c, 20)) return c.ReturnInt(0);
    }
}

void IgnoreInput(Call& c) { c.Fail(err::IgnoreInputNotSupported); }

constexpr BuiltinEntry kKeys[] = {
    {"sendkey", SendKey},       {"sendkeysto", SendKeysTo},     {"sendkeyschild", SendKeysChild},
    {"iskeydown", IsKeyDown},   {"keytoggleget", KeyToggleGet}, {"keytoggleset", KeyToggleSet},
    {"waitforkey", WaitForKey}, {"ignoreinput", IgnoreInput},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(keys, tarn::fn::kKeys)
