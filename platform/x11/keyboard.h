// Keystrokes through XTest with the keysyms of the current layout (XKB),
// and the state of the keyboard (keys held, lock keys). Keys are X keysyms;
// ISO-8859-1 characters are their own keysyms.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vrayu::x11 {

// Modifiers a script asks to hold for one key.
enum Modifier : unsigned { kShift = 1, kCtrl = 2, kAlt = 4 };

// One run of keystrokes (one "sendkey" text). While it lasts Caps Lock is
// off (restored at the end), and keys the layout lacks are typed through
// spare key codes remapped for the run (restored at the end).
class KeyRun {
public:
    KeyRun();
    ~KeyRun();
    KeyRun(const KeyRun&) = delete;
    KeyRun& operator=(const KeyRun&) = delete;

    // False when no display can be reached.
    explicit operator bool() const;
    // Sends one key: Shift, Ctrl, Alt down (those asked for and those the
    // layout needs for the keysym), key down, Alt up, key up, Ctrl up,
    // Shift up. False when the key could not be typed.
    bool Send(std::uint32_t keysym, unsigned modifiers);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Presses (down) or releases the Shift, Ctrl and Alt keys of `modifiers`
// (mouse clicks with modifiers).
bool HoldModifiers(unsigned modifiers, bool down);

// True when any key producing one of the keysyms is held now.
bool KeyHeld(const std::vector<std::uint32_t>& keysyms);

enum class LockKey { Caps, Num, Scroll };
// The lock's state, nothing without a display.
std::optional<bool> LockState(LockKey key);
bool SetLockState(LockKey key, bool on);

}  // namespace vrayu::x11
