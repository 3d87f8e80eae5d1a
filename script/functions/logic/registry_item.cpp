#include "errors.h"
#include "functions/logic/registry_item.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tarn::fn {

namespace reg = vrayu::registry;

int ParseRegItem(std::string_view text, RegItem* out) {
    const auto open = text.find('[');
    std::string_view sub = text, name;
    if (open != std::string_view::npos) {
        if (text.back() != ']' || text.size() - open < 2) return err::REGFunctionsBadDataItemName;
        name = text.substr(open + 1, text.size() - open - 2);
        sub = text.substr(0, open);
        if (!sub.empty() && sub.back() == '\\') sub.remove_suffix(1);
    }
    if (sub.size() > kRegSubkeyMax) return kRegSubkeyTooLong;
    out->subkey = std::string(sub);
    out->name = std::string(name);
    return 0;
}

std::string HexBytes(std::string_view bytes) {
    std::string out;
    char buf[4];
    for (unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        out += buf;
    }
    return out;
}

bool ParseHexBytes(std::string_view text, std::string* out) {
    auto digit = [](char ch) -> int {
        if (ch >= '0' && ch <= '9') return ch - '0';
        if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
        if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
        return -1;
    };
    out->clear();
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) return false;
        const int hi = digit(text[i]), lo = digit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        // A pair must stand alone: "ABC" is not two bytes.
        if (i + 2 < text.size() && text[i + 2] != ' ' && text[i + 2] != '\t') return false;
        out->push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return true;
}

int RegValueText(const reg::Value& v, int type, std::string_view delim, std::string* out) {
    const auto t = v.type;
    switch (type) {
        case 1:
            if (t == reg::ValueType::Binary) return err::RegQueryValueRegistryValueBinaryUse;
            if (t == reg::ValueType::ExpandString) return err::RegQueryValueRegistryValueREGEXPANDSZUse;
            if (t == reg::ValueType::MultiString) return err::RegQueryValueRegistryValueREGMULTISZUse;
            if (t != reg::ValueType::String) return err::RegQueryValueRegistryValueCouldNot;
            *out = v.text;
            return 0;
        case 2:
            if (t != reg::ValueType::ExpandString) return err::RegQueryExpSzRegistryValueNotREGEXPANDSZ;
            *out = v.text;
            return 0;
        case 3:
            if (t != reg::ValueType::Binary) return err::RegQueryBinRegistryValueNotBinary;
            *out = HexBytes(v.bytes);
            return 0;
        case 4:
            if (t != reg::ValueType::DWord) return err::RegQueryDwordRegistryValueNotDWORD;
            *out = std::to_string(static_cast<std::int32_t>(v.dword));
            return 0;
        case 7:
            if (t != reg::ValueType::MultiString) return err::RegQueryMulSzRegistryValueNotREGMULTISZ;
            out->clear();
            for (std::size_t i = 0; i < v.strings.size(); ++i) *out += (i ? std::string(delim) : "") + v.strings[i];
            return 0;
        default: return err::RegQueryExInvalidType;
    }
}

int RegValueFromText(int type, std::string_view text, std::string_view delim, reg::Value* out) {
    switch (type) {
        case 1: *out = reg::Value::String(std::string(text)); return 0;
        case 2: *out = reg::Value::ExpandString(std::string(text)); return 0;
        case 3: {
            std::string bytes;
            if (!ParseHexBytes(text, &bytes)) return err::RegSetBinInvalidBinaryValueString;
            *out = reg::Value::Binary(std::move(bytes));
            return 0;
        }
        case 4: {
            // Decimal, with an optional sign; surrounding blanks allowed. Values
            // above 2^31-1 are taken as unsigned up to 4294967295.
            std::string s(text);
            const auto b = s.find_first_not_of(" \t");
            const auto e = s.find_last_not_of(" \t");
            if (b == std::string::npos) return err::RegSetDwordInvalidDWORDValue;
            s = s.substr(b, e - b + 1);
            errno = 0;
            char* end = nullptr;
            const long long n = std::strtoll(s.c_str(), &end, 10);
            if (errno || *end || end == s.c_str() || n < -2147483648LL || n > 4294967295LL)
                return err::RegSetDwordInvalidDWORDValue;
            *out = reg::Value::DWord(static_cast<std::uint32_t>(n));
            return 0;
        }
        case 7: {
            std::vector<std::string> parts;
            if (!text.empty()) {
                std::size_t pos = 0;
                while (true) {
                    const auto d = text.find(delim[0], pos);
                    parts.emplace_back(text.substr(pos, d == std::string_view::npos ? d : d - pos));
                    if (d == std::string_view::npos) break;
                    pos = d + 1;
                }
            }
            *out = reg::Value::MultiString(std::move(parts));
            return 0;
        }
        default: return err::RegSetExInvalidType;
    }
}

}  // namespace tarn::fn
