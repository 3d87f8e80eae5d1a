// The library's fixed dialogs: message, display, pause, askyesno, askline,
// askpassword, the lists (askitemlist, askfiletext, textbox, textboxsort,
// textselect), file and directory questions (askfilename, askdirectory),
// buttonnames and about. A Cancel ends the statement with the user's cancel.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/filenames.h"
#include "functions/logic/itemlist.h"
#include "messages.h"
#include "ui.h"

namespace tarn {
namespace {

using fn::itemDelimiter;
using fn::itemJoin;
using fn::itemSplit;

constexpr int kMostChosen = 99;  // items a multiple choice may return

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

// A list of items to choose from, sorted or not, one or several chosen;
// returns the chosen items joined by `delim`.
void ChooseFromList(Call& c, std::string_view title, std::vector<std::string> items, std::string_view delim,
                    bool sorted, bool multiple) {
    if (sorted) std::stable_sort(items.begin(), items.end(), LessNoCase);
    ListRequest r;
    r.title = std::string(title);
    r.items = items;
    r.multiple = multiple;
    const auto chosen = c.ChooseList(std::move(r));
    if (!chosen) return c.Fail(kCodeCancel);
    if (static_cast<int>(chosen->size()) > kMostChosen) return c.Fail(err::AskMultipleTooMany);
    std::vector<std::string> picked;
    for (int i : *chosen)
        if (i >= 0 && static_cast<std::size_t>(i) < items.size()) picked.push_back(items[static_cast<std::size_t>(i)]);
    fn::ReturnTextOrMemError(c, itemJoin(picked, delim));
}

// The lines of a text file (CR LF or LF ends); false when it cannot be read.
bool FileLines(std::string_view path, std::vector<std::string>* lines) {
    std::ifstream in(fn::slashes(path), std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines->push_back(line);
    }
    return true;
}

// The sort and select arguments of the list dialogs: @sorted/@unsorted and
// @single/@multiple.
bool ListStyle(Call& c, std::int32_t sort, std::int32_t select, bool* sorted, bool* multiple) {
    if (sort != 0 && sort != 1) return c.Fail(err::AskBoxSortedUnsorted), false;
    if (select != 2 && select != 3) return c.Fail(err::AskBoxSingleMultiple), false;
    *sorted = sort == 1;
    *multiple = select == 3;
    return true;
}

// The "SystemQuestion" sound before a box, while sounds are on.
void SystemQuestion(Call& c) { PlaySystemSound(c.State(), "SystemQuestion"); }

void MessageFn(Call& c) {
    SystemQuestion(c);
    c.Message(c.Str(0), c.Str(1), Buttons::Ok, Icon::Information);
    c.ReturnInt(1);
}

void Display(Call& c) {
    if (!c.State().quiet) c.UiProvider().Display(c.Int(0), c.Str(1), c.Str(2));
    c.ReturnInt(1);
}

void Pause(Call& c) {
    SystemQuestion(c);
    if (c.Message(c.Str(0), c.Str(1), Buttons::OkCancel, Icon::Warning) != Answer::Ok) return c.Fail(kCodeCancel);
    c.ReturnInt(1);
}

void AskYesNo(Call& c) {
    SystemQuestion(c);
    switch (c.Message(c.Str(0), c.Str(1), Buttons::YesNoCancel, Icon::Question)) {
        case Answer::Yes: c.ReturnInt(1); return;
        case Answer::No: c.ReturnInt(0); return;
        default: c.Fail(kCodeCancel); return;
    }
}

void AskLine(Call& c) {
    SystemQuestion(c);
    auto answer = c.AskText(c.Str(0), c.Str(1), c.Str(2), false);
    if (!answer) return c.Fail(kCodeCancel);
    c.ReturnText(*answer);
}

void AskPassword(Call& c) {
    SystemQuestion(c);
    auto answer = c.AskText(c.Str(0), c.Str(1), "", true);
    if (!answer) return c.Fail(kCodeCancel);
    c.ReturnText(*answer);
}

// askitemlist(title, list, delimiter, sort, select)
void AskItemList(Call& c) {
    bool sorted, multiple;
    if (!ListStyle(c, c.Int(3), c.Int(4), &sorted, &multiple)) return;
    const std::string delim = itemDelimiter(c.Str(2));
    ChooseFromList(c, c.Str(0), itemSplit(c.Str(1), delim), delim, sorted, multiple);
}

// askfiletext(title, file, sort, select): the file's lines; several chosen
// are joined by the item delimiter.
void AskFileText(Call& c) {
    bool sorted, multiple;
    if (!ListStyle(c, c.Int(2), c.Int(3), &sorted, &multiple)) return;
    std::vector<std::string> lines;
    if (!FileLines(c.Str(1), &lines)) return c.Fail(err::DialogBoxFileOpen);
    ChooseFromList(c, c.Str(0), std::move(lines), fn::ItemDelim(c), sorted, multiple);
}

// textbox(title, file) and textboxsort: one line of the file.
void TextBoxLines(Call& c, bool sorted) {
    std::vector<std::string> lines;
    if (!FileLines(c.Str(1), &lines)) return c.Fail(err::DialogBoxFileOpen);
    ChooseFromList(c, c.Str(0), std::move(lines), fn::ItemDelim(c), sorted, false);
}
void TextBox(Call& c) { TextBoxLines(c, false); }
void TextBoxSort(Call& c) { TextBoxLines(c, true); }

// textselect(title, list, delimiter): one item.
void TextSelect(Call& c) {
    const std::string delim = itemDelimiter(c.Str(2));
    ChooseFromList(c, c.Str(0), itemSplit(c.Str(1), delim), delim, false, false);
}

bool IsDirectory(const std::string& p) {
    struct stat st {};
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// askfilename(title, directory, filetypes, default, flag): flag 0 a file to
// save to, 1 a file to open, 2 several to open (joined by the item
// delimiter). Filetypes: "Text Files|*.txt|All Files|*.*|".
void AskFileName(Call& c) {
    const std::int32_t flag = c.Int(4);
    if (flag < 0 || flag > 2) return c.Fail(err::AskFileNameDialogCreation);
    FileRequest r;
    r.title = std::string(c.Str(0));
    r.directory = fn::slashes(c.Str(1));
    const std::vector<std::string> parts = itemSplit(c.Str(2), "|");
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) r.filters.emplace_back(parts[i], parts[i + 1]);
    if (r.filters.empty()) r.filters.emplace_back("All Files", "*.*");
    r.name = fn::slashes(c.Str(3));
    r.mode = flag == 0 ? FileMode::Save : flag == 1 ? FileMode::Open : FileMode::OpenMultiple;
    const auto names = c.AskFileName(r);
    if (!names) return c.Fail(kCodeCancel);
    std::vector<std::string> full;
    for (const std::string& n : *names) {
        const std::string path = fn::slashes(n);
        if (path.empty() || path[0] == '/' || r.directory.empty()) full.push_back(path);
        else full.push_back(r.directory + (r.directory.back() == '/' ? "" : "/") + path);
    }
    fn::ReturnTextOrMemError(c, itemJoin(full, fn::ItemDelim(c)));
}

// askdirectory(prompt, root, start, confirm, flags): flag 1 lets the user
// name a directory that does not exist yet; it is made after the question
// `confirm` (when not empty) is answered Yes.
void AskDirectory(Call& c) {
    DirectoryRequest r;
    r.prompt = std::string(c.Str(0));
    r.root = fn::slashes(c.Str(1));
    r.start = fn::slashes(c.Str(2));
    r.may_create = (c.Int(4) & 1) != 0;
    const auto dir = c.AskDirectory(r);
    if (!dir) return c.Fail(kCodeCancel);
    if (!IsDirectory(*dir)) {
        if (!r.may_create) return c.Fail(kCodeCancel);
        if (!c.Str(3).empty() &&
            c.Message(r.prompt, std::string(c.Str(3)) + "\n" + *dir, Buttons::YesNo, Icon::Question) != Answer::Yes)
            return c.Fail(kCodeCancel);
        if (mkdir(dir->c_str(), 0777) != 0) return c.Fail(kCodeCancel);
    }
    fn::ReturnTextOrMemError(c, *dir);
}

// buttonnames(ok, cancel): captions for the OK and Cancel buttons of the
// next dialog that has them; "" keeps the usual caption.
void ButtonNames(Call& c) {
    State& s = c.State();
    auto keep = [](char* dst, std::string_view src) {
        const std::size_t n = std::min<std::size_t>(src.size(), sizeof s.ok_name - 1);
        std::memcpy(dst, src.data(), n);
        dst[n] = 0;
    };
    keep(s.ok_name, c.Str(0));
    keep(s.cancel_name, c.Str(1));
    c.ReturnInt(1);
}

// about(): the library's about box.
void About(Call& c) {
    c.Message(MessageText(834), std::string(MessageText(849)) + TARN_VERSION_TEXT, Buttons::Ok, Icon::Information);
    c.ReturnInt(1);
}

constexpr BuiltinEntry kFixedDialogs[] = {
    {"message", MessageFn},         {"display", Display},         {"pause", Pause},
    {"askyesno", AskYesNo},         {"askline", AskLine},         {"askpassword", AskPassword},
    {"askitemlist", AskItemList},   {"askfiletext", AskFileText}, {"textbox", TextBox},
    {"textboxsort", TextBoxSort},   {"textselect", TextSelect},   {"askfilename", AskFileName},
    {"askdirectory", AskDirectory}, {"buttonnames", ButtonNames}, {"about", About},
};

}  // namespace
}  // namespace tarn

TARN_FAMILY(fixed_dialogs, tarn::kFixedDialogs)
