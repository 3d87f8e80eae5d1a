// Keys as the English pane's key-release rule sees them: classic virtual key
// codes and the Shift-state bits (1 Shift, 2 Ctrl, 4 Alt).
#pragma once

#include <Qt>

namespace vrayu {

// The classic virtual key code of a Qt key (0 when it has none).
int WindowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);
int ShiftState(Qt::KeyboardModifiers modifiers);

// How many times a key release in the English pane converts the pane (the
// Telugu pane visible and conversion-as-you-type on): 0, 1, or 2 for the
// keypad decimal point, which matches both rules.
int ConversionsOnKeyRelease(int keyCode, int shiftState);

}  // namespace vrayu
