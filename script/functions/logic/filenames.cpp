#include "functions/logic/filenames.h"

#include "functions/logic/charset.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace tarn::fn {

std::string slashes(std::string_view path) {
    std::string out(path);
    for (auto& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string dirPart(std::string_view path) {
    std::string p = slashes(path);
    auto k = p.rfind('/');
    return k == std::string::npos ? std::string() : p.substr(0, k + 1);
}

std::string namePart(std::string_view path) {
    std::string p = slashes(path);
    auto k = p.rfind('/');
    return k == std::string::npos ? p : p.substr(k + 1);
}

std::string rootPart(std::string_view name) {
    auto k = name.rfind('.');
    return std::string(k == std::string_view::npos ? name : name.substr(0, k));
}

std::string extPart(std::string_view name) {
    auto k = name.rfind('.');
    return k == std::string_view::npos ? std::string() : std::string(name.substr(k + 1));
}

bool hasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

std::string fullPath(std::string_view path) {
    std::string p = slashes(path);
    if (p.empty() || p[0] != '/') {
        char buf[4096];
        std::string cwd = getcwd(buf, sizeof buf) ? buf : "/";
        p = cwd + "/" + p;
    }
    bool trailing = p.size() > 1 && p.back() == '/';
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < p.size()) {
        std::size_t j = p.find('/', i);
        if (j == std::string::npos) j = p.size();
        std::string c = p.substr(i, j - i);
        if (c == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!c.empty() && c != ".") {
            parts.push_back(c);
        }
        i = j + 1;
    }
    std::string out;
    for (auto& c : parts) out += "/" + c;
    if (out.empty()) return "/";
    if (trailing) out += "/";
    return out;
}

namespace {

bool globMatch(std::string_view n, std::string_view m) {
    // Iterative "*"/"?" matcher with one backtrack point.
    std::size_t ni = 0, mi = 0, starM = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (mi < m.size() && m[mi] == '*') {
            starM = mi++;
            starN = ni;
        } else if (mi < m.size() && (m[mi] == '?' || m[mi] == n[ni])) {
            std::size_t len = m[mi] == '?' ? charLen(n, ni) : 1;
            ++mi;
            ni += len;
        } else if (starM != std::string_view::npos) {
            mi = starM + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (mi < m.size() && m[mi] == '*') ++mi;
    return mi == m.size();
}

}  // namespace

bool maskMatch(std::string_view name, std::string_view mask, bool dotNames) {
    if (name.empty()) return false;
    if (!dotNames && name[0] == '.' && (mask.empty() || mask[0] != '.')) return false;
    if (mask == "*.*" || mask == "*") return true;
    if (globMatch(name, mask)) return true;
    // "x.*" also matches "x" (an empty extension).
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" && name.find('.') == std::string_view::npos)
        return globMatch(name, mask.substr(0, mask.size() - 2));
    return false;
}

namespace {

// One part (root or extension) of the destination name.
std::string mapPart(std::string_view src, std::string_view pat) {
    std::string out;
    std::size_t sp = 0;
    for (std::size_t i = 0; i < pat.size();) {
        std::size_t n = charLen(pat, i);
        if (pat[i] == '*') {
            if (sp < src.size()) out.append(src.substr(sp));
            sp = src.size();
        } else if (pat[i] == '?') {
            if (sp < src.size()) {
                std::size_t sn = charLen(src, sp);
                out.append(src.substr(sp, sn));
                sp += sn;
            }
        } else {
            out.append(pat.substr(i, n));
            if (sp < src.size()) sp += charLen(src, sp);
        }
        i += n;
    }
    return out;
}

}  // namespace

std::string mapName(std::string_view source, std::string_view pattern) {
    // A bare "*" stands for every name, extension included.
    if (pattern == "*") pattern = "*.*";
    std::string root = mapPart(rootPart(source), rootPart(pattern));
    std::string ext;
    if (pattern.find('.') != std::string_view::npos) ext = mapPart(extPart(source), extPart(pattern));
    if (!ext.empty()) root += "." + ext;
    return root;
}

std::optional<std::string> destinationPath(std::string_view source, std::string_view target) {
    std::string t = slashes(target);
    if (!hasWildcards(namePart(t))) {
        if (!t.empty() && (t.back() == '/' || t.back() == ':')) t += "*.*";
        else if (!t.empty() && isDirectory(t)) t += "/*.*";
    }
    std::string dir = dirPart(t);
    std::string pattern = namePart(t);
    std::string name = mapName(namePart(source), pattern);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    return fullPath(dir + name);
}

std::vector<std::string> splitMasks(std::string_view list, std::string_view delim) {
    std::vector<std::string> out;
    std::string cur;
    for (std::size_t i = 0; i < list.size();) {
        std::size_t n = charLen(list, i);
        std::string_view ch = list.substr(i, n);
        if (ch == "\t" || ch == "|" || ch == delim) {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur.append(ch);
        }
        i += n;
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

std::optional<std::string> portDevice(std::string_view name) {
    if (name.size() != 4) return std::nullopt;
    std::string up = toUpper(name);
    char digit = up[3];
    if (digit < '1' || digit > '9') return std::nullopt;
    std::string unit(1, static_cast<char>(digit - 1));
    if (up.compare(0, 3, "COM") == 0) return "/dev/ttyS" + unit;
    if (up.compare(0, 3, "LPT") == 0) return "/dev/lp" + unit;
    return std::nullopt;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace tarn::fn
