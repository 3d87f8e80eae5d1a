#include "text_store_baseline.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vrayu::registry_baseline {
namespace {

// ORDER Root
constexpr std::string_view kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE",
                                           "HKEY_USERS",        "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
constexpr std::string_view kShortNames[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKCC", "HKDD"};
constexpr std::string_view kFileHeader = "VRAYU-REGISTRY 1";

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool SameName(std::string_view a, std::string_view b) { return a.size() == b.size() && Lower(a) == Lower(b); }

// Bytes that would break the line format are written as %hh.
std::string Escape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (c < 0x20 || c == '%' || c == '"' || c == 0x7f) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out.push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return std::nullopt;
        const int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

// Reads a quoted, escaped string at `s[pos]`; advances `pos` past it.
std::optional<std::string> ReadQuoted(std::string_view s, std::size_t& pos) {
    if (pos >= s.size() || s[pos] != '"') return std::nullopt;
    const std::size_t end = s.find('"', pos + 1);
    if (end == std::string_view::npos) return std::nullopt;
    auto text = Unescape(s.substr(pos + 1, end - pos - 1));
    pos = end + 1;
    return text;
}

std::string Quote(std::string_view s) { return "\"" + Escape(s) + "\""; }

std::string FormatValue(const Value& v) {
    switch (v.type) {
        case ValueType::String: return "sz:" + Quote(v.text);
        case ValueType::ExpandString: return "expand:" + Quote(v.text);
        case ValueType::DWord: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08X", v.dword);
            return buf;
        }
        case ValueType::Binary: {
            std::string out = "hex:";
            char buf[4];
            for (std::size_t i = 0; i < v.bytes.size(); ++i) {
                std::snprintf(buf, sizeof buf, i ? ",%02X" : "%02X", static_cast<unsigned char>(v.bytes[i]));
                out += buf;
            }
            return out;
        }
        case ValueType::MultiString: {
            std::string out = "multi:";
            for (std::size_t i = 0; i < v.strings.size(); ++i) {
                if (i) out.push_back(',');
                out += Quote(v.strings[i]);
            }
            return out;
        }
    }
    return "sz:\"\"";
}

std::optional<Value> ParseValue(std::string_view s) {
    auto starts = [&](std::string_view p) {
        if (s.substr(0, p.size()) != p) return false;
        s.remove_prefix(p.size());
        return true;
    };
    std::size_t pos = 0;
    const bool plain = starts("sz:");
    if (plain || starts("expand:")) {
        const bool expand = !plain;
        auto text = ReadQuoted(s, pos);
        if (!text || pos != s.size()) return std::nullopt;
        return expand ? Value::ExpandString(*text) : Value::String(*text);
    }
    if (starts("dword:")) {
        if (s.size() != 8) return std::nullopt;
        std::uint32_t d = 0;
        for (char c : s) {
            const int h = HexDigit(c);
            if (h < 0) return std::nullopt;
            d = d * 16 + static_cast<std::uint32_t>(h);
        }
        return Value::DWord(d);
    }
    if (starts("hex:")) {
        std::string bytes;
        for (std::size_t i = 0; i < s.size(); i += 3) {
            if (i + 2 > s.size()) return std::nullopt;
            const int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
            if (hi < 0 || lo < 0 || (i + 2 < s.size() && s[i + 2] != ',')) return std::nullopt;
            bytes.push_back(static_cast<char>(hi * 16 + lo));
        }
        return Value::Binary(bytes);
    }
    if (starts("multi:")) {
        std::vector<std::string> strings;
        while (pos < s.size()) {
            auto text = ReadQuoted(s, pos);
            if (!text) return std::nullopt;
            strings.push_back(*text);
            if (pos < s.size() && s[pos++] != ',') return std::nullopt;
        }
        return Value::MultiString(strings);
    }
    return std::nullopt;
}

// An open lock file held with flock for the life of the object.
class FileLock {
public:
    FileLock(const std::filesystem::path& path, bool exclusive) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return;
        while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool ok() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

Status ReadFile(const std::filesystem::path& file, Hive& out) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) {
        if (errno == ENOENT) {
            out = Hive();
            return Status::Ok;
        }
        return Status::IoError;
    }
    std::string text;
    char buf[8192];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    const bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) return Status::IoError;
    auto hive = Hive::Parse(text);
    if (!hive) return Status::IoError;
    out = std::move(*hive);
    return Status::Ok;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes `text` to a temporary file beside `file`, flushes it and renames it
// over `file`; on any failure the old file stays as it was.
Status ReplaceFile(const std::filesystem::path& file, std::string_view text) {
    const std::filesystem::path temp = file.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Status::IoError;
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return Status::IoError;
    }
    const int dirFd = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return Status::Ok;
}

}  // namespace

std::string_view RootName(Root root) { return kRootNames[static_cast<int>(root)]; }

std::optional<Root> RootFromName(std::string_view name) {
    for (int i = 0; i < 6; ++i)
        if (SameName(name, kRootNames[i]) || SameName(name, kShortNames[i])) return static_cast<Root>(i);
    return std::nullopt;
}

std::optional<std::string> NormalizePath(std::string_view path) {
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.find("\\\\") != std::string_view::npos) return std::nullopt;
    return std::string(path);
}

// ---- Hive

Hive::Key* Hive::Find(std::string_view path) {
    auto norm = NormalizePath(path);
    if (!norm) return nullptr;
    auto it = keys_.find(Lower(*norm));
    if (it == keys_.end()) {
        if (!norm->empty()) return nullptr;
        // The root key exists always; it is materialised on first use.
        return &keys_.emplace("", Key{"", {}}).first->second;
    }
    return &it->second;
}

const Hive::Key* Hive::Find(std::string_view path) const {
    auto norm = NormalizePath(path);
    if (!norm) return nullptr;
    auto it = keys_.find(Lower(*norm));
    if (it == keys_.end()) {
        static const Key kEmptyRoot{"", {}};
        return norm->empty() ? &kEmptyRoot : nullptr;
    }
    return &it->second;
}

bool Hive::HasKey(std::string_view path) const { return Find(path) != nullptr; }

Status Hive::CreateKey(std::string_view path) {
    auto norm = NormalizePath(path);
    if (!norm) return Status::InvalidArgument;
    std::size_t pos = 0;
    while (true) {
        const std::size_t next = norm->find('\\', pos);
        const std::string prefix = norm->substr(0, next);
        if (!prefix.empty()) keys_.try_emplace(Lower(prefix), Key{prefix, {}});
        if (next == std::string::npos) break;
        pos = next + 1;
    }
    return Status::Ok;
}

Status Hive::DeleteKey(std::string_view path) {
    auto norm = NormalizePath(path);
    if (!norm || norm->empty()) return Status::InvalidArgument;
    const std::string lower = Lower(*norm);
    auto it = keys_.find(lower);
    if (it == keys_.end()) return Status::NotFound;
    auto next = std::next(it);
    if (next != keys_.end() && next->first.starts_with(lower + "\\")) return Status::HasSubkeys;
    keys_.erase(it);
    return Status::Ok;
}

Status Hive::DeleteTree(std::string_view path) {
    auto norm = NormalizePath(path);
    if (!norm || norm->empty()) return Status::InvalidArgument;
    const std::string lower = Lower(*norm);
    auto it = keys_.find(lower);
    if (it == keys_.end()) return Status::NotFound;
    const std::string below = lower + "\\";
    auto end = std::next(it);
    while (end != keys_.end() && end->first.starts_with(below)) ++end;
    keys_.erase(it, end);
    return Status::Ok;
}

std::vector<std::string> Hive::SubKeys(std::string_view path) const {
    std::vector<std::string> out;
    auto norm = NormalizePath(path);
    if (!norm || !HasKey(*norm)) return out;
    const std::string prefix = norm->empty() ? "" : Lower(*norm) + "\\";
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it) {
        if (it->first.size() == prefix.size()) continue;
        if (it->first.find('\\', prefix.size()) != std::string::npos) continue;
        out.push_back(it->second.path.substr(prefix.size()));
    }
    return out;
}

std::vector<std::pair<std::string, Value>> Hive::Values(std::string_view path) const {
    const Key* key = Find(path);
    return key ? key->values : std::vector<std::pair<std::string, Value>>{};
}

const Value* Hive::FindValue(std::string_view path, std::string_view name) const {
    const Key* key = Find(path);
    if (!key) return nullptr;
    for (const auto& [n, v] : key->values)
        if (SameName(n, name)) return &v;
    return nullptr;
}

Status Hive::SetValue(std::string_view path, std::string_view name, Value value) {
    Key* key = Find(path);
    if (!key) return NormalizePath(path) ? Status::NotFound : Status::InvalidArgument;
    for (auto& [n, v] : key->values)
        if (SameName(n, name)) {
            v = std::move(value);
            return Status::Ok;
        }
    key->values.emplace_back(std::string(name), std::move(value));
    return Status::Ok;
}

Status Hive::DeleteValue(std::string_view path, std::string_view name) {
    Key* key = Find(path);
    if (!key) return Status::NotFound;
    auto it =
        std::find_if(key->values.begin(), key->values.end(), [&](const auto& nv) { return SameName(nv.first, name); });
    if (it == key->values.end()) return Status::NotFound;
    key->values.erase(it);
    return Status::Ok;
}

std::string Hive::Serialize() const {
    std::string out(kFileHeader);
    out += "\n";
    for (const auto& [lower, key] : keys_) {
        if (key.path.empty() && key.values.empty()) continue;
        out += "\n[" + Escape(key.path) + "]\n";
        for (const auto& [name, value] : key.values) {
            out += name.empty() ? "@" : Quote(name);
            out += "=" + FormatValue(value) + "\n";
        }
    }
    return out;
}

std::optional<Hive> Hive::Parse(std::string_view text) {
    Hive hive;
    if (text.empty()) return hive;
    std::size_t pos = 0;
    Key* current = nullptr;
    bool first = true;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kFileHeader) return std::nullopt;
            first = false;
            continue;
        }
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return std::nullopt;
            auto path = Unescape(line.substr(1, line.size() - 2));
            if (!path || hive.CreateKey(*path) != Status::Ok) return std::nullopt;
            current = hive.Find(*path);
            continue;
        }
        if (!current) return std::nullopt;
        std::string name;
        std::size_t p = 0;
        if (line.front() == '@') {
            p = 1;
        } else {
            auto n = ReadQuoted(line, p);
            if (!n) return std::nullopt;
            name = *n;
        }
        if (p >= line.size() || line[p] != '=') return std::nullopt;
        auto value = ParseValue(line.substr(p + 1));
        if (!value) return std::nullopt;
        current->values.emplace_back(std::move(name), std::move(*value));
    }
    if (first) return std::nullopt;
    return hive;
}

// ---- Store

std::filesystem::path Store::DefaultDirectory() {
    if (const char* dir = std::getenv("VRAYU_REGISTRY_DIR"); dir && *dir) return dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::filesystem::path(config) / "vrayu" / "registry";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "/tmp") / ".config" / "vrayu" / "registry";
}

Store::Store() : dir_(DefaultDirectory()) {}
Store::Store(std::filesystem::path directory) : dir_(std::move(directory)) {}

std::filesystem::path Store::FileOf(Root root) const { return dir_ / (std::string(RootName(root)) + ".reg"); }

Status Store::Read(Root root, Hive& out) const {
    const auto file = FileOf(root);
    std::error_code ec;
    if (!std::filesystem::exists(dir_, ec)) {
        out = Hive();
        return Status::Ok;
    }
    FileLock lock(file.string() + ".lock", false);
    // Without the lock a reader still sees a whole file (writers rename).
    return ReadFile(file, out);
}

Status Store::Update(Root root, const std::function<Status(Hive&)>& edit) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    const auto file = FileOf(root);
    FileLock lock(file.string() + ".lock", true);
    if (!lock.ok()) return Status::IoError;
    Hive hive;
    if (Status s = ReadFile(file, hive); s != Status::Ok) return s;
    if (Status s = edit(hive); s != Status::Ok) return s;
    return ReplaceFile(file, hive.Serialize());
}

bool Store::KeyExists(Root root, std::string_view path) const {
    Hive hive;
    return Read(root, hive) == Status::Ok && hive.HasKey(path);
}

Status Store::CreateKey(Root root, std::string_view path) {
    return Update(root, [&](Hive& h) { return h.CreateKey(path); });
}

Status Store::DeleteKey(Root root, std::string_view path) {
    return Update(root, [&](Hive& h) { return h.DeleteKey(path); });
}

Status Store::DeleteTree(Root root, std::string_view path) {
    return Update(root, [&](Hive& h) { return h.DeleteTree(path); });
}

std::vector<std::string> Store::SubKeys(Root root, std::string_view path) const {
    Hive hive;
    if (Read(root, hive) != Status::Ok) return {};
    return hive.SubKeys(path);
}

std::vector<std::pair<std::string, Value>> Store::Values(Root root, std::string_view path) const {
    Hive hive;
    if (Read(root, hive) != Status::Ok) return {};
    return hive.Values(path);
}

std::optional<Value> Store::ReadValue(Root root, std::string_view path, std::string_view name) const {
    Hive hive;
    if (Read(root, hive) != Status::Ok) return std::nullopt;
    const Value* v = hive.FindValue(path, name);
    return v ? std::optional<Value>(*v) : std::nullopt;
}

Status Store::WriteValue(Root root, std::string_view path, std::string_view name, Value value) {
    return Update(root, [&](Hive& h) {
        if (Status s = h.CreateKey(path); s != Status::Ok) return s;
        return h.SetValue(path, name, value);
    });
}

Status Store::DeleteValue(Root root, std::string_view path, std::string_view name) {
    return Update(root, [&](Hive& h) { return h.DeleteValue(path, name); });
}

}  // namespace vrayu::registry_baseline
