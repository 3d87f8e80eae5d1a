// Script-defined dialogs as data: reading a dialog's description from its
// variables into a Form (with the description's errors), the values the
// controls store back, and the file list box's directory entries. No
// interpreter types: variables are read through a function.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui_forms.h"

namespace tarn::fn {

inline constexpr std::size_t kDialogNameMax = 16;
inline constexpr int kDialogControlsMax = 100;
inline constexpr std::size_t kControlVariableMax = 30;

// The text of a variable, nullopt when it is not defined. Names are given
// in lower case.
using VariableReader = std::function<std::optional<std::string>(const std::string& name)>;

// Fields of a control definition: separated by commas, blanks around a
// field ignored; a field may be quoted with ", ' or ` (a doubled quote
// inside stands for one) so that it can hold commas.
std::vector<std::string> definitionFields(std::string_view definition);

// Builds the form of the dialog `name` from the variables name"Format",
// name"x"/"y"/"width"/"height", name"Caption", name"NumControls" and
// name"01".... The controls start from their variables: an edit box shows
// its variable's text, a radio button is checked when its variable equals
// its value, a check box when its variable holds all the bits of its value,
// a vary-text shows its variable (else its text), an item box lists its
// variable's items (split at `delimiter`), a file list box's mask is its
// variable (else its text, else "*.*"). Returns 0 or the error code.
int buildDialogForm(std::string_view name, const VariableReader& read, char delimiter, Form* form);

// A value a control stores back: text, or a number.
struct StoredValue {
    std::string variable;
    bool number = false;
    std::int32_t integer = 0;
    std::string text;
};

// What the controls store when the dialog closed by Enter or a push button.
// An edit box stores its text; the checked radio button of a group its
// value (none checked: nothing); the check boxes of one variable store the
// variable's previous value with their checked values set and their
// unchecked values cleared, or 0 when none is checked; a file list box the
// full path of the chosen file or "NOFILESELECTED"; an item box its chosen
// items joined by `delimiter`. One value per variable, in definition order.
std::vector<StoredValue> formResults(const Form& form, const VariableReader& read, char delimiter,
                                     const std::string& currentDirectory);

// The entries a file list box shows for `mask` in the current directory:
// "[..]" (not at the root), "[name]" for each directory, then the files
// that match, each group sorted. Linux has no drives, so there are no drive
// entries.
std::vector<std::string> fileListEntries(const std::string& mask, bool hidden);

// dialogbox's description: a picture of the box in character cells, at
// most 20 lines of at most 60 characters. On a line, "[name   ]" is an edit
// box for variable name as wide as its brackets, "(name=V caption)" a radio
// button, "{name=V caption}" a check box, "<caption=V>" a push button and
// "|name=mask|" a file list box reaching to the bottom of the box (then
// only text, edit boxes and push buttons may be in the box); any other text
// is static text. One character is 4 dialog units wide, a line 12 high.
struct BoxResult {
    int error = 0;         // 3091 box too large, 3092 radio/check box with a file list box
    bool badMask = false;  // a file list box mask with a directory part (replaced by "*.*")
};
BoxResult buildBoxForm(std::string_view title, std::string_view text, const VariableReader& read, char delimiter,
                       Form* form);

// Changes the current directory to a "[..]" or "[name]" entry.
bool enterDirectoryEntry(const std::string& entry);

}  // namespace tarn::fn
