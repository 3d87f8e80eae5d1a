// Desktop entry files: the main group's keys and the Exec quoting.
#include "functions/logic/desktop_entry.h"

#include <algorithm>
#include <cctype>

namespace tarn::desktop {
namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The key of a "Key=Value" line ("" for other lines) and where its value begins.
std::string_view KeyOf(std::string_view line, std::size_t* valueAt) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || line.empty() || line.front() == '#' || line.front() == '[') return {};
    std::size_t v = eq + 1;
    while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) ++v;
    *valueAt = v;
    return Trim(line.substr(0, eq));
}

// Characters that make an Exec argument need quotes.
bool Reserved(char ch) { return std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(ch) != std::string_view::npos; }

}  // namespace

bool Entry::Parse(std::string_view text) {
    lines_.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        at = end + 1;
    }
    const auto header =
        std::find_if(lines_.begin(), lines_.end(), [](const std::string& l) { return Trim(l) == kGroup; });
    if (header == lines_.end()) return false;
    groupStart_ = static_cast<std::size_t>(header - lines_.begin());
    groupEnd_ = groupStart_ + 1;
    while (groupEnd_ < lines_.size() && Trim(lines_[groupEnd_]).substr(0, 1) != "[") ++groupEnd_;
    // New keys go behind the group's last key, before blank lines.
    while (groupEnd_ > groupStart_ + 1 && Trim(lines_[groupEnd_ - 1]).empty()) --groupEnd_;
    return true;
}

void Entry::Clear() {
    lines_.assign(1, std::string(kGroup));
    groupStart_ = 0;
    groupEnd_ = 1;
}

std::optional<std::string> Entry::Get(std::string_view key) const {
    for (std::size_t i = groupStart_ + 1; i < groupEnd_; ++i) {
        std::size_t v = 0;
        if (KeyOf(lines_[i], &v) == key) return UnescapeValue(std::string_view(lines_[i]).substr(v));
    }
    return std::nullopt;
}

void Entry::Set(std::string_view key, std::string_view value, bool removeWhenEmpty) {
    const std::string line = std::string(key) + "=" + EscapeValue(value);
    for (std::size_t i = groupStart_ + 1; i < groupEnd_; ++i) {
        std::size_t v = 0;
        if (KeyOf(lines_[i], &v) != key) continue;
        if (value.empty() && removeWhenEmpty) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            --groupEnd_;
        } else {
            lines_[i] = line;
        }
        return;
    }
    if (value.empty() && removeWhenEmpty) return;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(groupEnd_), line);
    ++groupEnd_;
}

std::string Entry::Text() const {
    std::string out;
    for (const std::string& l : lines_) out += l + "\n";
    return out;
}

std::string EscapeValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case ' ': out += i == 0 ? "\\s" : " "; break;
            default: out += value[i];
        }
    }
    return out;
}

std::string UnescapeValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: out += '\\', out += value[i];
        }
    }
    return out;
}

std::string ExecLine(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) {
        if (!out.empty()) out += ' ';
        const bool quote = w.empty() || std::any_of(w.begin(), w.end(), Reserved);
        if (quote) out += '"';
        for (const char ch : w) {
            if (quote && (ch == '"' || ch == '`' || ch == '$' || ch == '\\')) out += '\\';
            out += ch;
            if (ch == '%') out += '%';
        }
        if (quote) out += '"';
    }
    return out;
}

std::optional<std::vector<std::string>> ExecWords(std::string_view exec) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false, onlyFieldCodes = true;
    auto finish = [&] {
        if (inWord && !(onlyFieldCodes && word.empty())) words.push_back(word);
        word.clear();
        inWord = false;
        onlyFieldCodes = true;
    };
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char ch = exec[i];
        if (!quoted && (ch == ' ' || ch == '\t')) {
            finish();
            continue;
        }
        inWord = true;
        if (ch == '"') {
            quoted = !quoted;
            onlyFieldCodes = false;
        } else if (quoted && ch == '\\' && i + 1 < exec.size()) {
            word += exec[++i];
            onlyFieldCodes = false;
        } else if (ch == '%' && i + 1 < exec.size()) {
            if (exec[++i] == '%') word += '%', onlyFieldCodes = false;
        } else {
            word += ch;
            onlyFieldCodes = false;
        }
    }
    if (quoted) return std::nullopt;
    finish();
    return words;
}

std::string FileUrl(std::string_view absolutePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char ch : absolutePath) {
        const auto u = static_cast<unsigned char>(ch);
        if (std::isalnum(u) || std::string_view("/-._~").find(ch) != std::string_view::npos) {
            url += ch;
        } else {
            url += '%';
            url += kHex[u >> 4];
            url += kHex[u & 15];
        }
    }
    return url;
}

std::string PathOfUrl(std::string_view url) {
    if (url.substr(0, 7) != "file://") return std::string(url);
    url.remove_prefix(7);
    auto hex = [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0' : (ch | 0x20) - 'a' + 10; };
    std::string out;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && std::isxdigit(static_cast<unsigned char>(url[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(url[i + 2]))) {
            out += static_cast<char>(hex(url[i + 1]) * 16 + hex(url[i + 2]));
            i += 2;
        } else {
            out += url[i];
        }
    }
    return out;
}

}  // namespace tarn::desktop
