// The menus and tool buttons of the mail window, declared once.
#pragma once

#include <span>

#include "action_set.h"

namespace vrayu::mail {

// Compose action codes: the tool buttons of these indices perform them.
inline constexpr int kActionCompose = 6;
inline constexpr int kActionReply = 7;
inline constexpr int kActionReplyAll = 8;
inline constexpr int kActionForward = 9;

struct MailToolButton {
    int index;  // position in the tool-button array
    const char* id;
    const char* caption;
};

std::span<const MenuRow> MailMenuTable();
std::span<const MailToolButton> MailToolButtons();

}  // namespace vrayu::mail
