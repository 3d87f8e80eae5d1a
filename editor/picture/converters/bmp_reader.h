// Reads a Windows bitmap (BMP) into 8-bit RGB rows, top row first. Accepts
// the uncompressed forms programs write: 1, 4 and 8 bits with a palette,
// 24 bits, and 32 bits (plain or with the usual channel masks), stored
// bottom-up or top-down.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vrayu::converter {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes
};

// The picture, or a sentence saying why the bytes are not a bitmap we read.
std::variant<RgbImage, std::string> ReadBmp(const std::vector<std::uint8_t>& bytes);

}  // namespace vrayu::converter
