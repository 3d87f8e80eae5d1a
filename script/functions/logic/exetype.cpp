// Program formats by their headers.
#include "functions/logic/exetype.h"

#include <cstdint>
#include <fstream>

namespace tarn::exetype {
namespace {

// An unsigned little- or big-endian number of `size` bytes at `at`; 0 when
// the bytes end before it.
std::uint64_t Number(std::string_view b, std::size_t at, std::size_t size, bool big) {
    if (at > b.size() || size > b.size() - at) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(b[at + (big ? i : size - 1 - i)]);
        v = (v << 8) | byte;
    }
    return v;
}

constexpr std::uint64_t kElfExec = 2, kElfShared = 3, kProgramInterpreter = 3;

Kind Elf(std::string_view b) {
    const bool wide = b.size() > 4 && b[4] == 2;
    const bool big = b.size() > 5 && b[5] == 2;
    const std::uint64_t type = Number(b, 16, 2, big);
    if (type == kElfExec) return wide ? kElf64Program : kElf32Program;
    if (type != kElfShared) return kElfOther;
    // A shared object with a program interpreter is a position-independent
    // program (or a library that also runs, as the C library does).
    const std::uint64_t phoff = wide ? Number(b, 32, 8, big) : Number(b, 28, 4, big);
    const std::uint64_t entsize = Number(b, wide ? 54 : 42, 2, big);
    const std::uint64_t count = Number(b, wide ? 56 : 44, 2, big);
    bool interpreter = false;
    for (std::uint64_t i = 0; i < count && entsize >= 4; ++i) {
        const std::uint64_t at = phoff + i * entsize;
        if (at >= b.size()) break;
        if (Number(b, static_cast<std::size_t>(at), 4, big) == kProgramInterpreter) interpreter = true;
    }
    if (interpreter) return wide ? kElf64Program : kElf32Program;
    return wide ? kElf64Library : kElf32Library;
}

Kind Mz(std::string_view b) {
    const std::uint64_t header = Number(b, 0x3C, 4, false);
    if (header == 0 || header + 2 > b.size()) return kDos;
    const std::string_view sig = b.substr(static_cast<std::size_t>(header), 2);
    if (sig == "NE" || sig == "LE" || sig == "LX") return kWin16;
    if (sig != "PE" || Number(b, static_cast<std::size_t>(header) + 2, 2, false) != 0) return kDos;
    const std::uint64_t magic = Number(b, static_cast<std::size_t>(header) + 24, 2, false);
    if (magic == 0x10b) return kPe32;
    if (magic == 0x20b) return kPe64;
    return kDos;
}

}  // namespace

Kind Classify(std::string_view b) {
    if (b.substr(0, 4) ==
        "\x7f"
        "ELF")
        return Elf(b);
    if (b.substr(0, 2) == "MZ") return Mz(b);
    if (b.substr(0, 2) == "#!") return kScript;
    return kNotProgram;
}

bool ClassifyFile(const std::string& path, Kind* kind) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string head(65536, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    *kind = Classify(head);
    return true;
}

}  // namespace tarn::exetype
