// The menu and toolbar tables of the main frame and of the document window.
// Captions are exactly as shown; "&" marks the access key.
#pragma once

#include <span>

#include "action_set.h"

namespace vrayu {

std::span<const MenuRow> FrameMenuTable();
std::span<const ToolButtonRow> FrameToolbarTable();

std::span<const MenuRow> DocumentMenuTable();
std::span<const ToolButtonRow> DocumentToolbarTable();

// An item that only says what it would do: its message ("Refresh Code goes
// here!" and the like), shown in a message box.
struct PlaceholderRow {
    const char* id;  // menu id, or "tb" + toolbar key
    const char* message;
};

std::span<const PlaceholderRow> FramePlaceholderTable();
std::span<const PlaceholderRow> DocumentPlaceholderTable();

}  // namespace vrayu
