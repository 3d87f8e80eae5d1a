// What a Ui provider shows for the dialogs that are more than a box: a
// script-defined dialog (a Form of controls laid out in dialog units), a
// list to choose from, a file name and a directory question. Plain data
// plus the few rules every provider applies the same way (radio groups,
// check boxes, the file list box's directory entries), kept inline so that
// the Qt plugin shares them without linking the interpreter.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tarn {

enum class ControlKind {
    PushButton,
    RadioButton,
    CheckBox,
    EditBox,
    StaticText,
    VaryText,
    FileListBox,
    ItemBox,
};

// One control of a form. Geometry is in dialog units.
struct FormControl {
    ControlKind kind = ControlKind::StaticText;
    int x = 0, y = 0, width = 0, height = 0;
    std::string variable;  // lower-case variable name, "" for none
    std::string text;      // caption, shown text, or the file list box's mask
    int value = 0;         // push buttons, radio buttons, check boxes

    // What the user sees and changes.
    std::string edit;                // edit box text
    bool checked = false;            // radio button, check box
    std::vector<std::string> items;  // item box items, file list box entries
    std::vector<int> selected;       // positions chosen in items
};

// A script-defined dialog. Providers change only the controls' state and
// return how it closed: a push button's value, 1 for Enter away from a
// push button, 0 for Cancel (Escape, closing the window).
struct Form {
    std::string caption;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units; x or y below 0: centred
    std::vector<FormControl> controls;
    long owner = 0;  // the host's window (an X window id), 0 for none

    // File list box support, given by the interpreter: the entries of the
    // current directory for a mask ("[..]", "[dir]"..., then files), and
    // entering a directory entry ("[..]" or "[name]"); false when it
    // cannot be entered.
    std::function<std::vector<std::string>(const std::string& mask)> list_files;
    std::function<bool(const std::string& entry)> enter_directory;

    // A click on control i: a radio button becomes the checked one of its
    // group (the radio buttons sharing its variable), a check box toggles.
    // Returns the value a push button closes with, or -1.
    int Click(std::size_t i) {
        FormControl& c = controls.at(i);
        switch (c.kind) {
            case ControlKind::PushButton: return c.value;
            case ControlKind::RadioButton:
                for (FormControl& o : controls)
                    if (o.kind == ControlKind::RadioButton && o.variable == c.variable) o.checked = false;
                c.checked = true;
                return -1;
            case ControlKind::CheckBox: c.checked = !c.checked; return -1;
            default: return -1;
        }
    }

    // Chooses an entry of an item box or file list box. In a file list
    // box a directory entry changes directory and refreshes the list; a
    // file becomes the one selected. In an item box the item is added to
    // (or, when `toggle`, toggled in) the selection. False for an entry that
    // is not in the list.
    bool Pick(std::size_t i, const std::string& entry, bool toggle = false) {
        FormControl& c = controls.at(i);
        const auto it = std::find(c.items.begin(), c.items.end(), entry);
        if (it == c.items.end()) return false;
        const int pos = static_cast<int>(it - c.items.begin());
        if (c.kind == ControlKind::FileListBox) {
            if (IsDirectoryEntry(entry)) {
                if (!enter_directory || !enter_directory(entry)) return false;
                RefreshFiles(i);
                return true;
            }
            c.selected = {pos};
            return true;
        }
        const auto at = std::find(c.selected.begin(), c.selected.end(), pos);
        if (at == c.selected.end()) c.selected.push_back(pos);
        else if (toggle) c.selected.erase(at);
        std::sort(c.selected.begin(), c.selected.end());
        return true;
    }

    void RefreshFiles(std::size_t i) {
        FormControl& c = controls.at(i);
        c.items = list_files ? list_files(c.text) : std::vector<std::string>{};
        c.selected.clear();
    }

    static bool IsDirectoryEntry(const std::string& e) { return e.size() >= 3 && e.front() == '[' && e.back() == ']'; }
};

// A list to choose from; the answer holds the chosen positions.
struct ListRequest {
    std::string title;
    std::vector<std::string> items;
    bool multiple = false;
    std::string ok = "&OK";
    std::string cancel = "&Cancel";
};

// askfilename: a file to save to, or files to open.
enum class FileMode { Save, Open, OpenMultiple };
struct FileRequest {
    std::string title;
    std::string directory;
    // Filter pairs: a description and its masks ("Text Files", "*.txt").
    std::vector<std::pair<std::string, std::string>> filters;
    std::string name;  // proposed file name
    FileMode mode = FileMode::Open;
};

// askdirectory: a directory under `root` (none: the whole tree), starting
// at `start`.
struct DirectoryRequest {
    std::string prompt;
    std::string root;
    std::string start;
    bool may_create = false;
};

}  // namespace tarn
