#include "functions/logic/dialog_model.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "errors.h"
#include "functions/logic/filelist.h"

namespace tarn::fn {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A whole number, blanks around it allowed.
std::optional<std::int32_t> WholeNumber(std::string_view s) {
    s = Trimmed(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

struct KindName {
    std::string_view name;
    ControlKind kind;
};
constexpr std::array<KindName, 8> kKinds{{
    {"pushbutton", ControlKind::PushButton},
    {"radiobutton", ControlKind::RadioButton},
    {"checkbox", ControlKind::CheckBox},
    {"editbox", ControlKind::EditBox},
    {"statictext", ControlKind::StaticText},
    {"varytext", ControlKind::VaryText},
    {"filelistbox", ControlKind::FileListBox},
    {"itembox", ControlKind::ItemBox},
}};

// Position fields and what "DEFAULT" gives for each.
constexpr std::array<int, 4> kDefaultPlace{8, 16, 44, 32};

bool HasValue(ControlKind k) {
    return k == ControlKind::PushButton || k == ControlKind::RadioButton || k == ControlKind::CheckBox;
}

std::vector<std::string> SplitItems(const std::string& list, char delimiter) {
    std::vector<std::string> out;
    if (list.empty()) return out;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = list.find(delimiter, start);
        out.push_back(list.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    if (!out.empty() && out.back().empty()) out.pop_back();  // a final delimiter ends the list
    return out;
}

// One control from its definition; 0 or the error code.
int ParseControl(std::string_view definition, const VariableReader& read, char delimiter, FormControl* c) {
    const std::vector<std::string> f = definitionFields(definition);
    if (f.size() < 5) return err::DialogBadControlType;
    int* place[4] = {&c->x, &c->y, &c->width, &c->height};
    for (std::size_t i = 0; i < 4; ++i) {
        if (Lower(f[i]) == "default") {
            *place[i] = kDefaultPlace[i];
        } else if (const auto v = WholeNumber(f[i])) {
            *place[i] = *v;
        } else {
            return err::DialogBadPlace;
        }
    }
    const std::string type = Lower(f[4]);
    const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](const KindName& k) { return k.name == type; });
    if (kind == kKinds.end()) return err::DialogBadControlType;
    c->kind = kind->kind;
    if (f.size() > 8 || (f.size() == 8 && !HasValue(c->kind))) return err::DialogTooManyItems;
    const std::string variable = f.size() > 5 ? Lower(f[5]) : "";
    if (variable.size() > kControlVariableMax) return err::VariableNameTooLong;
    c->variable = variable == "default" ? "" : variable;
    c->text = f.size() > 6 ? f[6] : "";
    if (HasValue(c->kind)) {
        const auto v = f.size() > 7 ? WholeNumber(f[7]) : std::nullopt;
        if (!v || (*v == 0 && c->kind != ControlKind::PushButton)) return err::DialogBadValue;
        c->value = *v;
    }
    const std::optional<std::string> now = c->variable.empty() ? std::nullopt : read(c->variable);
    const std::optional<std::int32_t> number = now ? WholeNumber(*now) : std::nullopt;
    switch (c->kind) {
        case ControlKind::EditBox: c->edit = now.value_or(""); break;
        case ControlKind::VaryText: c->edit = now.value_or(c->text); break;
        case ControlKind::RadioButton: c->checked = number && *number == c->value; break;
        case ControlKind::CheckBox: c->checked = number && (*number & c->value) == c->value; break;
        case ControlKind::ItemBox: c->items = SplitItems(now.value_or(""), delimiter); break;
        case ControlKind::FileListBox:
            if (now && !now->empty()) c->text = *now;
            if (c->text.empty()) c->text = "*.*";
            break;
        default: break;
    }
    return 0;
}

}  // namespace

std::vector<std::string> definitionFields(std::string_view d) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (true) {
        while (i < d.size() && (d[i] == ' ' || d[i] == '\t')) ++i;
        std::string field;
        if (i < d.size() && (d[i] == '"' || d[i] == '\'' || d[i] == '`')) {
            const char q = d[i++];
            while (i < d.size()) {
                if (d[i] == q) {
                    if (i + 1 < d.size() && d[i + 1] == q) {
                        field += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += d[i++];
            }
            while (i < d.size() && d[i] != ',') ++i;  // anything after the quote is ignored
        } else {
            const std::size_t comma = d.find(',', i);
            field =
                std::string(Trimmed(d.substr(i, comma == std::string_view::npos ? std::string_view::npos : comma - i)));
            i = comma == std::string_view::npos ? d.size() : comma;
        }
        out.push_back(std::move(field));
        if (i >= d.size()) break;
        ++i;  // the comma
    }
    return out;
}

int buildDialogForm(std::string_view name, const VariableReader& read, char delimiter, Form* form) {
    if (name.size() > kDialogNameMax) return err::DialogNameTooLong;
    const std::string base = Lower(name);
    const auto format = read(base + "format");
    if (!format) return err::DialogFormatMissing;
    const std::string f = Lower(*format);
    if (f != "peldlged,4.0" && f != "peldlged,5.0") return err::DialogFormatVersion;
    int* place[4] = {&form->x, &form->y, &form->width, &form->height};
    const char* const kPlaceNames[4] = {"x", "y", "width", "height"};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto text = read(base + kPlaceNames[i]);
        const auto v = text ? WholeNumber(*text) : std::nullopt;
        if (!v) return err::DialogBadPlace;
        *place[i] = *v;
    }
    form->caption = read(base + "caption").value_or("");
    const auto countText = read(base + "numcontrols");
    const auto count = countText ? WholeNumber(*countText) : std::nullopt;
    if (!count || *count < 0) return err::DialogControlMissing;
    if (*count > kDialogControlsMax) return err::DialogTooManyItems;
    form->controls.clear();
    for (int i = 1; i <= *count; ++i) {
        char number[12];
        std::snprintf(number, sizeof number, "%02d", i);
        const auto definition = read(base + number);
        if (!definition) return err::DialogControlMissing;
        FormControl c;
        if (const int e = ParseControl(*definition, read, delimiter, &c)) return e;
        form->controls.push_back(std::move(c));
    }
    return 0;
}

std::vector<StoredValue> formResults(const Form& form, const VariableReader& read, char delimiter,
                                     const std::string& currentDirectory) {
    std::vector<StoredValue> out;
    auto slot = [&](const std::string& variable) -> StoredValue* {
        for (StoredValue& v : out)
            if (v.variable == variable) return &v;
        return nullptr;
    };
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const FormControl& c = form.controls[i];
        if (c.variable.empty() || slot(c.variable)) continue;
        StoredValue v;
        v.variable = c.variable;
        switch (c.kind) {
            case ControlKind::EditBox: v.text = c.edit; break;
            case ControlKind::RadioButton: {
                const auto on = std::find_if(form.controls.begin(), form.controls.end(), [&](const FormControl& o) {
                    return o.kind == ControlKind::RadioButton && o.variable == c.variable && o.checked;
                });
                if (on == form.controls.end()) continue;
                v.number = true;
                v.integer = on->value;
                break;
            }
            case ControlKind::CheckBox: {
                const auto before = read(c.variable);
                std::int32_t value = before ? WholeNumber(*before).value_or(0) : 0;
                bool any = false;
                for (const FormControl& o : form.controls) {
                    if (o.kind != ControlKind::CheckBox || o.variable != c.variable) continue;
                    if (o.checked) value |= o.value;
                    else value &= ~o.value;
                    any = any || o.checked;
                }
                v.number = true;
                v.integer = any ? value : 0;
                break;
            }
            case ControlKind::FileListBox:
                if (c.selected.empty()) {
                    v.text = "NOFILESELECTED";
                } else {
                    const std::string& file = c.items.at(static_cast<std::size_t>(c.selected.front()));
                    v.text = currentDirectory.empty() || currentDirectory.back() == '/' ? currentDirectory + file
                                                                                        : currentDirectory + "/" + file;
                }
                break;
            case ControlKind::ItemBox:
                for (std::size_t k = 0; k < c.selected.size(); ++k) {
                    if (k) v.text += delimiter;
                    v.text += c.items.at(static_cast<std::size_t>(c.selected[k]));
                }
                break;
            default: continue;
        }
        out.push_back(std::move(v));
    }
    return out;
}

std::vector<std::string> fileListEntries(const std::string& mask, bool hidden) {
    std::vector<std::string> out;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) && std::string_view(cwd) != "/") out.emplace_back("[..]");
    for (const std::string& d : matchNames("", "*", true, hidden)) out.push_back("[" + d + "]");
    for (const std::string& f : matchNames("", mask, false, hidden)) out.push_back(f);
    return out;
}

bool enterDirectoryEntry(const std::string& entry) {
    if (!Form::IsDirectoryEntry(entry)) return false;
    const std::string dir = entry.substr(1, entry.size() - 2);
    return chdir(dir.c_str()) == 0;
}

}  // namespace tarn::fn

namespace tarn::fn {
namespace {

constexpr int kBoxLines = 20;
constexpr int kBoxColumns = 60;
constexpr int kCellWidth = 4;
constexpr int kLineHeight = 12;

// "name=V rest" into its parts; false when V is not a whole number.
bool NameValue(std::string_view inner, std::string* name, std::int32_t* value, std::string* rest) {
    const std::size_t eq = inner.find('=');
    if (eq == std::string_view::npos) return false;
    *name = Lower(Trimmed(inner.substr(0, eq)));
    std::string_view after = inner.substr(eq + 1);
    const std::size_t blank = after.find(' ');
    const auto v = WholeNumber(after.substr(0, blank));
    if (!v) return false;
    *value = *v;
    *rest = blank == std::string_view::npos ? "" : std::string(Trimmed(after.substr(blank + 1)));
    return true;
}

}  // namespace

BoxResult buildBoxForm(std::string_view title, std::string_view text, const VariableReader& read, char delimiter,
                       Form* form) {
    BoxResult r;
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        lines.push_back(l);
        start = end + 1;
    }
    if (lines.size() > kBoxLines) return {err::DialogBoxTooLarge, false};
    for (std::string_view l : lines)
        if (l.size() > kBoxColumns) return {err::DialogBoxTooLarge, false};
    form->caption = std::string(title);
    form->x = form->y = -1;
    form->controls.clear();
    std::size_t widest = 0;
    bool fileBox = false, choices = false;
    for (std::size_t row = 0; row < lines.size(); ++row) {
        const std::string_view l = lines[row];
        widest = std::max(widest, l.size());
        std::string pending;
        std::size_t pendingAt = 0;
        auto flush = [&] {
            const std::string_view t = Trimmed(pending);
            if (!t.empty()) {
                FormControl c;
                c.kind = ControlKind::StaticText;
                c.text = std::string(t);
                c.x = static_cast<int>(pendingAt + static_cast<std::size_t>(pending.find(t.front()))) * kCellWidth;
                c.y = static_cast<int>(row) * kLineHeight + 2;
                c.width = static_cast<int>(t.size()) * kCellWidth;
                c.height = 10;
                form->controls.push_back(std::move(c));
            }
            pending.clear();
        };
        for (std::size_t col = 0; col < l.size();) {
            static constexpr std::string_view kOpen = "[({<|", kClose = "])}>|";
            const std::size_t kind = kOpen.find(l[col]);
            const std::size_t close =
                kind == std::string_view::npos ? std::string_view::npos : l.find(kClose[kind], col + 1);
            if (close == std::string_view::npos) {
                if (pending.empty()) pendingAt = col;
                pending += l[col++];
                continue;
            }
            const std::string_view inner = l.substr(col + 1, close - col - 1);
            FormControl c;
            c.x = static_cast<int>(col) * kCellWidth;
            c.y = static_cast<int>(row) * kLineHeight + 1;
            c.width = static_cast<int>(close - col + 1) * kCellWidth;
            c.height = 12;
            std::string name, rest;
            std::int32_t value = 0;
            bool good = true;
            switch (kOpen[kind]) {
                case '[':
                    c.kind = ControlKind::EditBox;
                    c.variable = Lower(Trimmed(inner));
                    good = !c.variable.empty() && c.variable.find(' ') == std::string::npos;
                    if (good) c.edit = read(c.variable).value_or("");
                    break;
                case '(':
                case '{':
                    c.kind = kOpen[kind] == '(' ? ControlKind::RadioButton : ControlKind::CheckBox;
                    good = NameValue(inner, &name, &value, &rest) && value != 0;
                    if (good) {
                        c.variable = name, c.value = value, c.text = rest;
                        const auto now = read(name);
                        const auto n = now ? WholeNumber(*now) : std::nullopt;
                        c.checked = n && (c.kind == ControlKind::RadioButton ? *n == value : (*n & value) == value);
                        choices = true;
                    }
                    break;
                case '<': {
                    c.kind = ControlKind::PushButton;
                    const std::size_t eq = inner.rfind('=');
                    const auto v = eq == std::string_view::npos ? std::nullopt : WholeNumber(inner.substr(eq + 1));
                    good = v.has_value();
                    if (good) c.text = std::string(Trimmed(inner.substr(0, eq))), c.value = *v;
                    break;
                }
                case '|': {
                    c.kind = ControlKind::FileListBox;
                    const std::size_t eq = inner.find('=');
                    c.variable = Lower(Trimmed(inner.substr(0, eq)));
                    c.text = eq == std::string_view::npos ? "" : std::string(Trimmed(inner.substr(eq + 1)));
                    if (c.text.empty()) c.text = "*.*";
                    if (c.text.find('/') != std::string::npos || c.text.find('\\') != std::string::npos) {
                        r.badMask = true;
                        c.text = "*.*";
                    }
                    c.height = std::max(4, static_cast<int>(kBoxLines) - static_cast<int>(row)) * kLineHeight;
                    good = !c.variable.empty();
                    fileBox = true;
                    break;
                }
            }
            if (!good) {  // not a control after all: plain text
                if (pending.empty()) pendingAt = col;
                pending += l[col++];
                continue;
            }
            flush();
            form->controls.push_back(std::move(c));
            col = close + 1;
        }
        flush();
    }
    (void)delimiter;
    if (fileBox && choices) return {err::DialogBoxNonTextWithFileBox, false};
    int bottom = static_cast<int>(lines.size()) * kLineHeight;
    for (const FormControl& c : form->controls) bottom = std::max(bottom, c.y + c.height);
    form->width = static_cast<int>(std::max<std::size_t>(widest, 20)) * kCellWidth + 8;
    form->height = bottom + 8;
    return r;
}

}  // namespace tarn::fn
