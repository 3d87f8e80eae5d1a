// The console provider's forms: a script-defined dialog as a numbered text
// form, lists, file and directory questions, printed on standard error and
// answered on standard input (end of input is Cancel).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui_forms.h"

namespace tarn::text_ui {

std::optional<std::vector<int>> ChooseList(const ListRequest& r);
int RunForm(Form& form);
std::optional<std::vector<std::string>> AskFileName(const FileRequest& r);
std::optional<std::string> AskDirectory(const DirectoryRequest& r);

// The controls of a form as text lines, one per control with its number
// (shared by the console and the scripted transcript).
std::vector<std::string> FormLines(const Form& form);

}  // namespace tarn::text_ui
