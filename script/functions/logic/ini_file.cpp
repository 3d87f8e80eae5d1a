#include "functions/logic/ini_file.h"

#include <cctype>

#include "functions/logic/atomic_file.h"

namespace tarn {
namespace {

std::string_view Trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// Section name of a header line "[name]", or nothing.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line[0] != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// Key of a "key=value" line, or nothing for comments and other lines.
std::optional<std::string_view> KeyOf(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t[0] == ';') return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, eq));
}

}  // namespace

IniFile::IniFile(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        std::string_view line = text.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        pos = nl + 1;
    }
}

IniFile::Range IniFile::Find(std::string_view section) const {
    Range r;
    const int n = static_cast<int>(lines_.size());
    for (int i = 0; i < n; ++i) {
        auto s = SectionOf(lines_[i]);
        if (!s || !SameNoCase(*s, Trim(section))) continue;
        r.header = i;
        r.begin = i + 1;
        r.end = r.begin;
        while (r.end < n && !SectionOf(lines_[r.end])) ++r.end;
        return r;
    }
    return r;
}

int IniFile::FindKey(const Range& r, std::string_view key) const {
    if (r.begin < 0) return -1;
    for (int i = r.begin; i < r.end; ++i) {
        auto k = KeyOf(lines_[i]);
        if (k && SameNoCase(*k, Trim(key))) return i;
    }
    return -1;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    const int i = FindKey(Find(section), key);
    if (i < 0) return std::nullopt;
    std::string_view v = Trim(std::string_view(lines_[i]).substr(lines_[i].find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string line = std::string(Trim(key)) + "=" + std::string(value);
    Range r = Find(section);
    if (r.header < 0) {
        if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + std::string(Trim(section)) + "]");
        lines_.push_back(line);
        return;
    }
    if (const int i = FindKey(r, key); i >= 0) {
        lines_[i] = line;
        return;
    }
    // After the section's last non-blank line, so a blank separator stays.
    int at = r.end;
    while (at > r.begin && Trim(lines_[at - 1]).empty()) --at;
    lines_.insert(lines_.begin() + at, line);
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    const int i = FindKey(Find(section), key);
    if (i < 0) return false;
    lines_.erase(lines_.begin() + i);
    return true;
}

bool IniFile::DeleteSection(std::string_view section) {
    const Range r = Find(section);
    if (r.header < 0) return false;
    lines_.erase(lines_.begin() + r.header, lines_.begin() + r.end);
    return true;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> out;
    const Range r = Find(section);
    if (r.begin < 0) return out;
    for (int i = r.begin; i < r.end; ++i) {
        auto k = KeyOf(lines_[i]);
        if (!k) continue;
        bool seen = false;
        for (const auto& o : out) seen = seen || SameNoCase(o, *k);
        if (!seen) out.emplace_back(*k);
    }
    return out;
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> out;
    for (const auto& l : lines_) {
        auto s = SectionOf(l);
        if (!s) continue;
        bool seen = false;
        for (const auto& o : out) seen = seen || SameNoCase(o, *s);
        if (!seen) out.emplace_back(*s);
    }
    return out;
}

std::string IniFile::Text() const {
    std::string out;
    for (const auto& l : lines_) out += l + "\r\n";
    return out;
}

IniFile LoadIni(const std::string& path) {
    std::string text;
    ReadWholeFile(path, &text);
    return IniFile(text);
}

bool SaveIni(const std::string& path, const IniFile& ini) { return ReplaceFile(path, ini.Text()); }

bool UpdateIni(const std::string& path, const std::function<bool(IniFile&)>& edit) {
    return UpdateFile(path, [&](std::string& text) {
        IniFile ini(text);
        if (!edit(ini)) return false;
        text = ini.Text();
        return true;
    });
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace tarn
