#include "bmp_reader.h"

#include <bit>
#include <cstdlib>

namespace vrayu::converter {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
// Larger pictures are refused rather than allocated (64 megapixels).
constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;

std::uint32_t U16(const std::vector<std::uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t U32(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// The 8-bit value of the channel `mask` selects in `pixel`.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255u / max);
}

}  // namespace

std::variant<RgbImage, std::string> ReadBmp(const std::vector<std::uint8_t>& b) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return std::string("not a BMP file");
    const std::uint32_t dataOffset = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    if (headerSize < 40 || 14ull + headerSize > b.size()) return std::string("unsupported BMP header");
    const std::int32_t width = static_cast<std::int32_t>(U32(b, 18));
    const std::int32_t rawHeight = static_cast<std::int32_t>(U32(b, 22));
    const std::uint32_t bits = U16(b, 28);
    const std::uint32_t compression = U32(b, 30);
    std::uint32_t colorsUsed = U32(b, 46);
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return std::string("BMP has no pixels");
    const bool topDown = rawHeight < 0;
    const std::int64_t height = std::llabs(rawHeight);
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPixels)
        return std::string("BMP is too large");

    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (compression == kBiBitfields && bits == 32) {
        const size_t at = 54;  // right after the 40-byte header, or its own fields in longer ones
        if (at + 12 > b.size()) return std::string("truncated BMP masks");
        for (int i = 0; i < 3; ++i) masks[i] = U32(b, at + 4 * i);
    } else if (compression != kBiRgb) {
        return std::string("compressed BMP files are not supported");
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::string("unsupported BMP depth of ") + std::to_string(bits) + " bits";

    std::vector<std::uint8_t> palette;  // RGB triples
    if (bits <= 8) {
        if (colorsUsed == 0 || colorsUsed > (1u << bits)) colorsUsed = 1u << bits;
        const size_t at = 14 + headerSize;
        if (at + 4ull * colorsUsed > b.size()) return std::string("truncated BMP palette");
        for (std::uint32_t i = 0; i < colorsUsed; ++i) {
            palette.push_back(b[at + 4 * i + 2]);
            palette.push_back(b[at + 4 * i + 1]);
            palette.push_back(b[at + 4 * i]);
        }
    }

    const std::uint64_t rowBytes = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    if (dataOffset > b.size() || rowBytes * height > b.size() - dataOffset) return std::string("truncated BMP pixels");

    RgbImage image;
    image.width = width;
    image.height = static_cast<int>(height);
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (std::int64_t y = 0; y < height; ++y) {
        const size_t src = dataOffset + rowBytes * (topDown ? y : height - 1 - y);
        std::uint8_t* out = &image.rgb[static_cast<size_t>(y) * width * 3];
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            if (bits <= 8) {
                const std::uint32_t bitPos = static_cast<std::uint32_t>(x) * bits;
                const std::uint8_t byte = b[src + bitPos / 8];
                const std::uint32_t index = (byte >> (8 - bits - bitPos % 8)) & ((1u << bits) - 1);
                if (index >= colorsUsed) return std::string("BMP pixel outside its palette");
                out[0] = palette[index * 3];
                out[1] = palette[index * 3 + 1];
                out[2] = palette[index * 3 + 2];
            } else if (bits == 24) {
                const size_t p = src + static_cast<size_t>(x) * 3;
                out[0] = b[p + 2];
                out[1] = b[p + 1];
                out[2] = b[p];
            } else {
                const std::uint32_t pixel = U32(b, src + static_cast<size_t>(x) * 4);
                out[0] = Channel(pixel, masks[0]);
                out[1] = Channel(pixel, masks[1]);
                out[2] = Channel(pixel, masks[2]);
            }
        }
    }
    return image;
}

}  // namespace vrayu::converter
