// The readable text form of a hive: a header line, then one "[key]" line
// per key followed by its values, one per line ("@" is the default value):
//   "Name"=sz:"text"  expand:"text"  dword:0000002A  hex:01,AB  multi:"a","b"
// Bytes that would break a line are written as %hh. The earlier store kept
// its roots in files of this form; the dump/load command reads and writes it.
#include "database.h"
#include "registry_store.h"

#include <cstdio>

namespace vrayu::registry {
namespace {

constexpr std::string_view kFileHeader = "VRAYU-REGISTRY 1";

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

}  // namespace

std::string Hive::Serialize() const {
    std::lock_guard lock(Db().mutex);
    std::string out(kFileHeader);
    out += "\n";
    detail::Query q(Db(),
                    "SELECT k.id, k.path, v.name, v.type, v.data FROM key k LEFT JOIN value v ON v.key = k.id "
                    "WHERE k.root = ?1 ORDER BY k.folded, v.id");
    q.Bind(root_);
    std::int64_t section = -1;
    while (q.Step()) {
        const bool hasValue = q.ColumnType(3) != SQLITE_NULL;
        const std::string path = q.Text(1);
        if (path.empty() && !hasValue) continue;  // the root without values
        if (q.Int(0) != section) {
            section = q.Int(0);
            out += "\n[" + Escape(path) + "]\n";
        }
        if (!hasValue) continue;
        const std::string name = q.Text(2);
        const auto value = detail::ReadValue(q, 3);
        if (!value) {
            Db().Check(SQLITE_CORRUPT);
            continue;
        }
        out += name.empty() ? "@" : Quote(name);
        out += "=" + FormatValue(*value) + "\n";
    }
    return out;
}

Status ParseInto(std::string_view text, Hive& hive) {
    if (text.empty()) return Status::Ok;
    std::size_t pos = 0;
    std::optional<std::string> current;
    bool first = true;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kFileHeader) return Status::InvalidArgument;
            first = false;
            continue;
        }
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return Status::InvalidArgument;
            current = Unescape(line.substr(1, line.size() - 2));
            if (!current) return Status::InvalidArgument;
            if (Status s = hive.CreateKey(*current); s != Status::Ok) return s;
            continue;
        }
        if (!current) return Status::InvalidArgument;
        std::string name;
        std::size_t p = 0;
        if (line.front() == '@') {
            p = 1;
        } else {
            auto n = ReadQuoted(line, p);
            if (!n) return Status::InvalidArgument;
            name = *n;
        }
        if (p >= line.size() || line[p] != '=') return Status::InvalidArgument;
        auto value = ParseValue(line.substr(p + 1));
        if (!value) return Status::InvalidArgument;
        if (Status s = hive.SetValue(*current, name, std::move(*value)); s != Status::Ok) return s;
    }
    return first ? Status::InvalidArgument : Status::Ok;
}

std::optional<Hive> Hive::Parse(std::string_view text) {
    Hive hive;
    detail::Database& db = hive.Db();
    std::lock_guard lock(db.mutex);
    if (db.Exec("BEGIN") != Status::Ok) return std::nullopt;
    const Status s = ParseInto(text, hive);
    if (s != Status::Ok || db.Exec("COMMIT") != Status::Ok) return std::nullopt;
    return hive;
}

}  // namespace vrayu::registry
