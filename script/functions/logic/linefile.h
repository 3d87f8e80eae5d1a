// Line-based file input and output over the context's five file slots.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarn::fn {

inline constexpr int kSlotCount = 5;
inline constexpr std::size_t kReadPiece = 1258;  // bytes one read returns at most
inline constexpr const char* kEofMark = "*EOF*";

// Slot mode flags.
enum SlotMode : std::uint8_t { kSlotRead = 1, kSlotEndSeen = 2, kSlotWrite = 4, kSlotEndReported = 8 };

// The context's slots: each holds a FILE* (0 when free) and its mode flags.
struct FileSlots {
    std::intptr_t* files;
    std::uint8_t* modes;
};

// Opens `path` in `mode` ("READ", "WRITE", "APPEND", "PIPE", any case) with
// the share modes (0..3: 1 share read, 2 share write) taken as advisory
// locks. Returns 0 and the handle (the file descriptor), or 3078, 3076, 1077.
int lineOpen(FileSlots slots, const std::string& path, std::string_view mode, int shareRead, int shareWrite,
             int& handle);

// Next line (at most kReadPiece bytes) or "*EOF*". Errors 3082, 3087, 3088.
int lineRead(FileSlots slots, int handle, std::string& line);

// Writes text and the line terminator (0 none, 1 CR LF, 2 LF, 3 CR, 4 tab;
// none for a pipe). Errors 3085, 3089, 3467.
int lineWrite(FileSlots slots, int handle, std::string_view text, int terminator);

// Errors 3080.
int lineClose(FileSlots slots, int handle);

// Closes every open slot (shutdown).
void lineCloseAll(FileSlots slots);

}  // namespace tarn::fn
