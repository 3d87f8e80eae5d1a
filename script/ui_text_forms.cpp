#include "ui_text_forms.h"

#include <sys/stat.h>

#include <cstdio>
#include <iostream>
#include <sstream>

#include "ui.h"

namespace tarn::text_ui {
namespace {

std::string ReadLine(bool* ok) {
    std::string line;
    *ok = static_cast<bool>(std::getline(std::cin, line));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void Print(std::string_view s) { std::fwrite(s.data(), 1, s.size(), stderr); }

// Asks with `prompt`; nullopt at the end of input.
std::optional<std::string> Ask(std::string_view prompt) {
    Print(prompt);
    std::fflush(stderr);
    bool ok;
    std::string a = ReadLine(&ok);
    if (!ok) return std::nullopt;
    return a;
}

bool IsCancel(const std::string& a) { return a == "c" || a == "C" || a == "cancel" || a == "Cancel"; }

// Positions (1-based in the text) separated by blanks or commas; false when
// any is not a number in 1..n.
bool Positions(const std::string& a, std::size_t n, std::vector<int>* out) {
    std::string t = a;
    for (char& ch : t)
        if (ch == ',') ch = ' ';
    std::istringstream in(t);
    std::string w;
    out->clear();
    while (in >> w) {
        if (w.find_first_not_of("0123456789") != std::string::npos || w.size() > 6) return false;
        const int v = std::stoi(w);
        if (v < 1 || static_cast<std::size_t>(v) > n) return false;
        out->push_back(v - 1);
    }
    return true;
}

std::string Numbered(std::size_t i) {
    const std::string n = std::to_string(i + 1);
    return n.size() < 2 ? "0" + n : n;
}

bool IsDirectory(const std::string& p) {
    struct stat st {};
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& p) {
    struct stat st {};
    return stat(p.c_str(), &st) == 0;
}

std::string Joined(const std::string& dir, const std::string& name) {
    if (name.empty() || name[0] == '/' || dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

std::vector<std::string> FormLines(const Form& form) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const FormControl& c = form.controls[i];
        const std::string n = Numbered(i) + ") ";
        const std::string caption = WithoutMnemonic(c.text);
        const std::string label = c.text.empty() ? c.variable : caption;
        switch (c.kind) {
            case ControlKind::StaticText: out.push_back("    " + c.text); break;
            case ControlKind::VaryText: out.push_back("    " + c.edit); break;
            case ControlKind::EditBox: out.push_back(n + label + ": [" + c.edit + "]"); break;
            case ControlKind::RadioButton: out.push_back(n + (c.checked ? "(*) " : "( ) ") + caption); break;
            case ControlKind::CheckBox: out.push_back(n + (c.checked ? "[x] " : "[ ] ") + caption); break;
            case ControlKind::PushButton: out.push_back(n + "<" + caption + ">"); break;
            case ControlKind::ItemBox:
            case ControlKind::FileListBox: {
                out.push_back(n + (c.kind == ControlKind::FileListBox ? "files " + c.text : label) + ":");
                for (std::size_t k = 0; k < c.items.size(); ++k) {
                    const bool on =
                        std::find(c.selected.begin(), c.selected.end(), static_cast<int>(k)) != c.selected.end();
                    out.push_back(std::string("      ") + (on ? "* " : "  ") + std::to_string(k + 1) + ". " +
                                  c.items[k]);
                }
                break;
            }
        }
    }
    return out;
}

std::optional<std::vector<int>> ChooseList(const ListRequest& r) {
    Print("== " + r.title + " ==\n");
    for (std::size_t i = 0; i < r.items.size(); ++i) Print("  " + std::to_string(i + 1) + ") " + r.items[i] + "\n");
    const std::string how = r.multiple ? "numbers separated by blanks" : "a number";
    while (true) {
        const auto a =
            Ask("Choice (" + how + "; empty = " + WithoutMnemonic(r.ok) + ", c = " + WithoutMnemonic(r.cancel) + "): ");
        if (!a || IsCancel(*a)) return std::nullopt;
        std::vector<int> chosen;
        if (!Positions(*a, r.items.size(), &chosen)) continue;
        if (!r.multiple && chosen.size() > 1) continue;
        return chosen;
    }
}

int RunForm(Form& form) {
    while (true) {
        Print("== " + form.caption + " ==\n");
        for (const std::string& l : FormLines(form)) Print(l + "\n");
        const auto a = Ask("Control number (empty = Enter, c = Cancel): ");
        if (!a || IsCancel(*a)) return 0;
        if (a->empty()) return 1;
        std::vector<int> which;
        if (!Positions(*a, form.controls.size(), &which) || which.size() != 1) continue;
        const auto i = static_cast<std::size_t>(which[0]);
        FormControl& c = form.controls[i];
        switch (c.kind) {
            case ControlKind::PushButton: return c.value;
            case ControlKind::RadioButton:
            case ControlKind::CheckBox: form.Click(i); break;
            case ControlKind::EditBox: {
                const auto t = Ask("New text [" + c.edit + "]: ");
                if (!t) return 0;
                c.edit = *t;
                break;
            }
            case ControlKind::ItemBox: {
                const auto t = Ask("Items (numbers separated by blanks): ");
                if (!t) return 0;
                std::vector<int> chosen;
                if (Positions(*t, c.items.size(), &chosen)) {
                    std::sort(chosen.begin(), chosen.end());
                    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
                    c.selected = chosen;
                }
                break;
            }
            case ControlKind::FileListBox: {
                const auto t = Ask("Entry number: ");
                if (!t) return 0;
                std::vector<int> chosen;
                if (Positions(*t, c.items.size(), &chosen) && chosen.size() == 1)
                    form.Pick(i, c.items[static_cast<std::size_t>(chosen[0])]);
                break;
            }
            default: break;
        }
    }
}

std::optional<std::vector<std::string>> AskFileName(const FileRequest& r) {
    Print("== " + r.title + " ==\n");
    if (!r.directory.empty()) Print("In " + r.directory + "\n");
    for (const auto& [name, masks] : r.filters) Print("  " + name + " (" + masks + ")\n");
    const bool several = r.mode == FileMode::OpenMultiple;
    while (true) {
        std::string prompt = several ? "File names (separated by blanks)" : "File name";
        if (!r.name.empty()) prompt += " [" + r.name + "]";
        const auto a = Ask(prompt + ": ");
        if (!a || IsCancel(*a)) return std::nullopt;
        std::vector<std::string> names;
        if (a->empty()) {
            if (r.name.empty()) continue;
            names.push_back(r.name);
        } else if (several) {
            std::istringstream in(*a);
            std::string w;
            while (in >> w) names.push_back(w);
        } else {
            names.push_back(*a);
        }
        bool good = true;
        for (std::string& n : names) {
            n = Joined(r.directory, n);
            if (r.mode != FileMode::Save && (!Exists(n) || IsDirectory(n))) {
                Print(n + ": no such file\n");
                good = false;
            }
        }
        if (good) return names;
    }
}

std::optional<std::string> AskDirectory(const DirectoryRequest& r) {
    Print("== " + r.prompt + " ==\n");
    while (true) {
        const std::string base = r.root.empty() ? r.start : r.root;
        const auto a = Ask("Directory" + (r.start.empty() ? std::string() : " [" + r.start + "]") + ": ");
        if (!a || IsCancel(*a)) return std::nullopt;
        const std::string d = a->empty() ? r.start : Joined(base, *a);
        if (d.empty()) continue;
        if (IsDirectory(d) || r.may_create) return d;
        Print(d + ": not a directory\n");
    }
}

}  // namespace tarn::text_ui
