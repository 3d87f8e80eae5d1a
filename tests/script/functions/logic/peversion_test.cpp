#include "functions/logic/peversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tarn::fn {
namespace {

// Builds a small PE32 image with one section holding a version resource.
class PeBuilder {
public:
    std::string build(bool withVersion) {
        std::string f(0x400, '\0');
        f[0] = 'M', f[1] = 'Z';
        put32(f, 0x3C, 0x80);
        f.replace(0x80, 4, std::string("PE\0\0", 4));
        put16(f, 0x86, 1);     // one section
        put16(f, 0x94, 0xE0);  // optional header size
        std::size_t opt = 0x98;
        put16(f, opt, 0x10B);    // PE32
        put32(f, opt + 92, 16);  // data directories
        std::size_t sect = opt + 0xE0;
        f.replace(sect, 5, ".rsrc");
        const std::uint32_t rva = 0x1000, raw = 0x200;
        std::string res = withVersion ? resources(rva) : std::string(16, '\0');
        put32(f, sect + 8, static_cast<std::uint32_t>(res.size()));
        put32(f, sect + 12, rva);
        put32(f, sect + 16, static_cast<std::uint32_t>(res.size()));
        put32(f, sect + 20, raw);
        if (withVersion) put32(f, opt + 96 + 16, rva);  // resource directory
        f.resize(raw);
        return f + res;
    }

private:
    static void put16(std::string& s, std::size_t at, std::uint16_t v) {
        if (s.size() < at + 2) s.resize(at + 2);
        s[at] = static_cast<char>(v & 0xFF), s[at + 1] = static_cast<char>(v >> 8);
    }
    static void put32(std::string& s, std::size_t at, std::uint32_t v) {
        put16(s, at, static_cast<std::uint16_t>(v & 0xFFFF));
        put16(s, at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    static void pad4(std::string& s) {
        while (s.size() % 4) s += '\0';
    }
    static std::string wide(const std::string& t) {
        std::string w;
        for (char ch : t) w += ch, w += '\0';
        return w + std::string(2, '\0');
    }
    // A version block: header, key, padding, value, children.
    static std::string block(const std::string& key, const std::string& value, std::uint16_t valueLen, bool text,
                             const std::string& children) {
        std::string b(6, '\0');
        b += wide(key);
        pad4(b);
        b += value;
        pad4(b);
        b += children;
        put16(b, 0, static_cast<std::uint16_t>(b.size()));
        put16(b, 2, valueLen);
        put16(b, 4, text ? 1 : 0);
        return b;
    }
    std::string resources(std::uint32_t rva) {
        std::string fixed(52, '\0');
        put32(fixed, 0, 0xFEEF04BD);
        put32(fixed, 8, (1u << 16) | 2), put32(fixed, 12, (3u << 16) | 4);  // 1.2.3.4
        put32(fixed, 16, (5u << 16) | 0), put32(fixed, 20, 0);              // 5.0.0.0
        std::string strings = block("FileVersion", wide("1.2.3.4 beta"), 13, true, "");
        pad4(strings);
        strings += block("CompanyName", wide("Example"), 8, true, "");
        std::string table = block("040904E4", "", 0, true, strings);
        std::string sfi = block("StringFileInfo", "", 0, true, table);
        std::string vs = block("VS_VERSION_INFO", fixed, 52, false, sfi);
        // Directory tree: root -> type 16 -> id 1 -> language -> data entry.
        std::string r(0x60, '\0');
        auto dir = [&](std::size_t at, std::uint32_t id, std::uint32_t target) {
            put16(r, at + 14, 1);
            put32(r, at + 16, id);
            put32(r, at + 20, target);
        };
        dir(0x00, 16, 0x80000018);
        dir(0x18, 1, 0x80000030);
        dir(0x30, 0x409, 0x48);
        put32(r, 0x48, rva + 0x60);
        put32(r, 0x4C, static_cast<std::uint32_t>(vs.size()));
        return r + vs;
    }
};

TEST(PeVersion, ReadsStringsAndFixedVersion) {
    PeBuilder b;
    std::string pe = b.build(true), out;
    EXPECT_EQ(peVersionField(pe, "040904E4", "FileVersion", out), PeVersion::Found);
    EXPECT_EQ(out, "1.2.3.4 beta");
    EXPECT_EQ(peVersionField(pe, "", "companyname", out), PeVersion::Found);
    EXPECT_EQ(out, "Example");
    EXPECT_EQ(peVersionField(pe, "040704B0", "FileVersion", out), PeVersion::NoVersion);
    EXPECT_EQ(peVersionField(pe, "", "#FileVersion", out), PeVersion::Found);
    EXPECT_EQ(out, "1.2.3.4");
    EXPECT_EQ(peVersionField(pe, "", "#ProductVersion", out), PeVersion::Found);
    EXPECT_EQ(out, "5.0.0.0");
    EXPECT_EQ(peVersionField(b.build(false), "", "FileVersion", out), PeVersion::NoVersion);
    EXPECT_EQ(peVersionField("plain text, not a program", "", "FileVersion", out), PeVersion::NotPe);
    // Truncated images are refused, never read past their end.
    for (std::size_t cut : {0x100u, 0x210u, 0x260u, 0x280u})
        EXPECT_NE(peVersionField(pe.substr(0, cut), "", "FileVersion", out), PeVersion::Found) << cut;
}

}  // namespace
}  // namespace tarn::fn
