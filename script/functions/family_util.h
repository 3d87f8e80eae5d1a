// Helpers shared by the built-in family files: the item delimiter, the
// "Windows directory" stand-in, and the two library dialogs (the replace
// question and the list selection).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builtins.h"
#include "functions/logic/filemanage.h"

namespace tarn::fn {

// The item delimiter of intcontrol 29 as a one-character string.
std::string ItemDelim(Call& c);

// The per-user folder that stands in for the Windows directory (holds
// WIN.INI and PELRUN.INI), with its final "/"; "" when there is none
// (windows_directory.h).
std::string WindowsDir();

// Reads key of [section] from an INI file with the profile rules.
std::string ProfileString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view def);

// "Confirm File Replace" as a choice among its eight buttons; closing it is
// Cancel.
ReplaceAsker ReplaceDialog(Call& c);

// Lets the user choose one of `items` in a list; "" when confirmed without a
// choice, nullopt for Cancel.
std::optional<std::string> SelectItem(Call& c, std::string_view title, const std::vector<std::string>& items);

// Returns text; a heap without room is error 3096 (set by ReturnText).
inline void ReturnTextOrMemError(Call& c, std::string_view text) { c.ReturnText(text); }

// False, with error 3096, when a text of `bytes` bytes could never be stored
// in the context's string heap. A handler whose result size the script
// chooses asks before building the text, so a script cannot make it
// allocate more than the heap could ever hold.
bool TextCanFit(Call& c, std::uint64_t bytes);

// As ReturnTextOrMemError, but first shows the needed size in a "Mem Error"
// box when the heap has no room (itemextract's behaviour).
void ReturnTextShowingMemError(Call& c, std::string_view text);

// Fails with 3322 when the name part of `path` holds wildcards.
bool NoWildcards(Call& c, std::string_view path);

// Current local time, broken down.
struct Ymdhms;
Ymdhms LocalNow();
Ymdhms LocalTime(long long secondsSinceEpoch);

// Date-time text of a result, honouring the four-digit-years setting.
std::string YmdText(Call& c, const Ymdhms& t);

}  // namespace tarn::fn
