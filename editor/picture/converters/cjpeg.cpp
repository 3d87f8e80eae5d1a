// cjpeg: the editor's bitmap-to-JPEG converter.
//   cjpeg [-quality N] INPUT.bmp
// reads the bitmap INPUT from the working directory and writes the JPEG
// picture "tmp1000.jpg" beside it, in the working directory. N is the
// quality in percent (values below 1 count as 1, above 100 as 100). The
// output appears complete or not at all; a failure is reported on stderr
// with a non-zero exit status.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>

#include "bmp_reader.h"
#include "converter_io.h"
#include "jpeg_errors.h"

namespace {

constexpr char kProgram[] = "cjpeg";
constexpr char kOutput[] = "tmp1000.jpg";

// Encodes `image` as a baseline JPEG; false (with `error` filled) on failure.
bool Encode(const vrayu::converter::RgbImage& image, int quality, unsigned char** out, unsigned long* size,
            std::string& error) {
    jpeg_compress_struct info;
    vrayu::converter::JpegErrors err;
    info.err = vrayu::converter::UseJpegErrors(err);
    if (setjmp(err.jump)) {
        error = err.message;
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&image.rgb[static_cast<size_t>(info.next_scanline) * image.width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vrayu::converter;
    const auto args = ParseArguments(argc, argv, kProgram, true);
    if (!args) return 2;
    const auto bytes = ReadWholeFile(args->input);
    if (!bytes) {
        Fail(kProgram, "cannot read " + args->input);
        return 1;
    }
    auto decoded = ReadBmp(*bytes);
    if (auto* why = std::get_if<std::string>(&decoded)) {
        Fail(kProgram, args->input + ": " + *why);
        return 1;
    }
    const RgbImage& image = std::get<RgbImage>(decoded);
    const int quality = args->quality < 1 ? 1 : args->quality > 100 ? 100 : args->quality;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    std::string error;
    if (!Encode(image, quality, &jpeg, &size, error)) {
        std::free(jpeg);
        Fail(kProgram, error);
        return 1;
    }
    const std::vector<std::uint8_t> out(jpeg, jpeg + size);
    std::free(jpeg);
    if (const auto failure = WriteAtomically(kOutput, out)) {
        Fail(kProgram, *failure);
        return 1;
    }
    return 0;
}
