#include "functions/logic/peversion.h"

#include "functions/logic/charset.h"

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <optional>

namespace tarn::fn {
namespace {

struct Reader {
    std::string_view b;
    bool ok(std::size_t off, std::size_t n) const { return off <= b.size() && n <= b.size() - off; }
    std::uint16_t u16(std::size_t off) const {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(b[off]) | static_cast<unsigned char>(b[off + 1])
                                                                                   << 8);
    }
    std::uint32_t u32(std::size_t off) const { return u16(off) | static_cast<std::uint32_t>(u16(off + 2)) << 16; }
};

// UTF-16LE text at off up to a NUL, as Latin-1 (other characters become
// "?"); `end` receives the offset after the NUL.
std::string wideText(const Reader& r, std::size_t off, std::size_t limit, std::size_t& end) {
    std::string out;
    while (r.ok(off, 2) && off + 2 <= limit) {
        std::uint16_t ch = r.u16(off);
        off += 2;
        if (!ch) break;
        out += ch < 256 ? static_cast<char>(ch) : '?';
    }
    end = off;
    return out;
}

std::size_t align4(std::size_t x) { return (x + 3) & ~std::size_t(3); }

// Maps a resource RVA to a file offset through the section table.
std::optional<std::size_t> rvaToOffset(const Reader& r, std::size_t sections, int count, std::uint32_t rva) {
    for (int i = 0; i < count; ++i) {
        std::size_t s = sections + 40 * static_cast<std::size_t>(i);
        if (!r.ok(s, 40)) return std::nullopt;
        std::uint32_t va = r.u32(s + 12), vsize = r.u32(s + 8), raw = r.u32(s + 20), rawSize = r.u32(s + 16);
        std::uint32_t size = vsize ? vsize : rawSize;
        if (rva >= va && rva < va + size) return raw + (rva - va);
    }
    return std::nullopt;
}

// First entry of a resource directory whose id matches (or any when id < 0);
// returns the entry's target offset relative to the resource section and
// whether it is a subdirectory.
std::optional<std::pair<std::uint32_t, bool>> dirEntry(const Reader& r, std::size_t base, std::size_t dir, int id) {
    if (!r.ok(base + dir, 16)) return std::nullopt;
    int named = r.u16(base + dir + 12), ids = r.u16(base + dir + 14);
    for (int i = 0; i < named + ids; ++i) {
        std::size_t e = base + dir + 16 + 8 * static_cast<std::size_t>(i);
        if (!r.ok(e, 8)) return std::nullopt;
        std::uint32_t name = r.u32(e), target = r.u32(e + 4);
        bool isId = !(name & 0x80000000u);
        if (id < 0 || (isId && static_cast<int>(name) == id))
            return std::make_pair(target & 0x7FFFFFFFu, (target & 0x80000000u) != 0);
    }
    return std::nullopt;
}

}  // namespace

PeVersion peVersionField(std::string_view bytes, std::string_view language, std::string_view field, std::string& out) {
    out.clear();
    Reader r{bytes};
    if (!r.ok(0, 64) || bytes.substr(0, 2) != "MZ") return PeVersion::NotPe;
    std::size_t pe = r.u32(0x3C);
    if (!r.ok(pe, 24) || bytes.substr(pe, 4) != std::string_view("PE\0\0", 4)) return PeVersion::NotPe;
    int sectionCount = r.u16(pe + 6);
    std::size_t optSize = r.u16(pe + 20), opt = pe + 24;
    if (!r.ok(opt, optSize) || optSize < 2) return PeVersion::Broken;
    std::uint16_t magic = r.u16(opt);
    std::size_t dirs = magic == 0x20B ? opt + 112 : opt + 96;  // PE32+ or PE32
    if (!r.ok(dirs + 16, 8)) return PeVersion::NoVersion;      // no resource directory entry
    std::uint32_t resRva = r.u32(dirs + 16);
    if (!resRva) return PeVersion::NoVersion;
    auto base = rvaToOffset(r, opt + optSize, sectionCount, resRva);
    if (!base) return PeVersion::Broken;
    // Type 16 (version) -> first name -> first language -> data entry.
    auto type = dirEntry(r, *base, 0, 16);
    if (!type) return PeVersion::NoVersion;
    if (!type->second) return PeVersion::Broken;
    auto name = dirEntry(r, *base, type->first, -1);
    if (!name || !name->second) return PeVersion::Broken;
    auto lang = dirEntry(r, *base, name->first, -1);
    if (!lang || lang->second || !r.ok(*base + lang->first, 16)) return PeVersion::Broken;
    auto data = rvaToOffset(r, opt + optSize, sectionCount, r.u32(*base + lang->first));
    std::uint32_t dataSize = r.u32(*base + lang->first + 4);
    if (!data || !r.ok(*data, dataSize) || dataSize < 6) return PeVersion::Broken;

    // VS_VERSIONINFO: length, value length, type, key, padding, fixed info,
    // children (StringFileInfo / VarFileInfo).
    std::size_t vs = *data, vsEnd = vs + std::min<std::size_t>(r.u16(vs), dataSize);
    std::size_t after;
    if (wideText(r, vs + 6, vsEnd, after) != "VS_VERSION_INFO") return PeVersion::Broken;
    std::size_t fixed = align4(after);
    std::size_t fixedLen = r.u16(vs + 2);
    if (!field.empty() && field[0] == '#') {
        if (fixedLen < 52 || !r.ok(fixed, 52) || r.u32(fixed) != 0xFEEF04BDu) return PeVersion::NoVersion;
        std::string f = toLower(field);
        std::size_t at = f == "#fileversion" ? fixed + 8 : f == "#productversion" ? fixed + 16 : 0;
        if (!at) return PeVersion::NoVersion;
        std::uint32_t ms = r.u32(at), ls = r.u32(at + 4);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
        out = buf;
        return PeVersion::Found;
    }
    std::string wantLang = toUpper(language), wantField = toLower(field);
    for (std::size_t child = align4(fixed + fixedLen); child + 6 < vsEnd;) {
        std::size_t len = r.u16(child);
        if (!len) break;
        std::size_t childEnd = std::min(child + len, vsEnd);
        std::size_t keyEnd;
        if (wideText(r, child + 6, childEnd, keyEnd) == "StringFileInfo") {
            for (std::size_t table = align4(keyEnd); table + 6 < childEnd;) {
                std::size_t tlen = r.u16(table);
                if (!tlen) break;
                std::size_t tableEnd = std::min(table + tlen, childEnd);
                std::size_t tkEnd;
                std::string key = toUpper(wideText(r, table + 6, tableEnd, tkEnd));
                if (wantLang.empty() || key == wantLang) {
                    for (std::size_t s = align4(tkEnd); s + 6 < tableEnd;) {
                        std::size_t slen = r.u16(s);
                        if (!slen) break;
                        std::size_t sEnd = std::min(s + slen, tableEnd), nameEnd, valueEnd;
                        std::string sname = wideText(r, s + 6, sEnd, nameEnd);
                        if (toLower(sname) == wantField) {
                            out = r.u16(s + 2) ? wideText(r, align4(nameEnd), sEnd, valueEnd) : "";
                            return PeVersion::Found;
                        }
                        s = align4(sEnd);
                    }
                }
                table = align4(tableEnd);
            }
        }
        child = align4(childEnd);
    }
    return PeVersion::NoVersion;
}

}  // namespace tarn::fn
