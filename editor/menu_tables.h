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

// Message of a placeholder item: "Refresh Code goes here!" and the like.
inline constexpr char kRefreshPlaceholder[] = "Refresh Code goes here!";
inline constexpr char kSaveAllPlaceholder[] = "Save All Code goes here!";
inline constexpr char kPropertiesPlaceholder[] = "Properties Code goes here!";
inline constexpr char kPrintPreviewPlaceholder[] = "Print Preview Code goes here!";
inline constexpr char kRecentFilePlaceholder[] = "MRU Code goes here!";

}  // namespace vrayu
