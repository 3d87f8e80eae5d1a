// djpeg: the editor's JPEG-to-GIF converter.
//   djpeg INPUT.jpg
// reads the JPEG picture INPUT from the working directory and writes the GIF
// picture "tmp1000.gif" beside it, in the working directory. The colours are
// reduced to one 256-colour palette chosen for this picture (two-pass median
// cut with error diffusion), so smooth edges of text keep their shades. The
// output appears complete or not at all; a failure is reported on stderr
// with a non-zero exit status.
#include <gif_lib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "converter_io.h"
#include "jpeg_errors.h"

namespace {

constexpr char kProgram[] = "djpeg";
constexpr char kOutput[] = "tmp1000.gif";
// Larger pictures are refused rather than allocated (64 megapixels).
constexpr unsigned long long kMaxPixels = 64ull * 1024 * 1024;

// A JPEG decoded to palette indices.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<GifByteType> pixels;
    std::vector<GifColorType> palette;
};

bool Decode(const std::vector<std::uint8_t>& jpeg, IndexedImage& image, std::string& error) {
    jpeg_decompress_struct info;
    vrayu::converter::JpegErrors err;
    info.err = vrayu::converter::UseJpegErrors(err);
    if (setjmp(err.jump)) {
        error = err.message;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    if (static_cast<unsigned long long>(info.image_width) * info.image_height > kMaxPixels ||
        info.image_width > 65535 || info.image_height > 65535) {
        error = "picture too large for a GIF file";
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = 256;
    info.two_pass_quantize = TRUE;
    info.dither_mode = JDITHER_FS;
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &image.pixels[static_cast<size_t>(info.output_scanline) * image.width];
        jpeg_read_scanlines(&info, &row, 1);
    }
    for (int i = 0; i < info.actual_number_of_colors; ++i)
        image.palette.push_back({info.colormap[0][i], info.colormap[1][i], info.colormap[2][i]});
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

int AppendBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

bool EncodeGif(const IndexedImage& image, std::vector<std::uint8_t>& out, std::string& error) {
    int code = 0;
    GifFileType* gif = EGifOpen(&out, AppendBytes, &code);
    if (!gif) {
        error = GifErrorString(code);
        return false;
    }
    // The palette is padded to a power of two, as the format wants.
    std::vector<GifColorType> colors = image.palette;
    const int bits = GifBitSize(static_cast<int>(colors.size()));
    colors.resize(static_cast<size_t>(1) << bits, GifColorType{0, 0, 0});
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colors.size()), colors.data());
    bool ok = map && EGifPutScreenDesc(gif, image.width, image.height, bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height; ++y) {
        auto* row = const_cast<GifByteType*>(&image.pixels[static_cast<size_t>(y) * image.width]);
        ok = EGifPutLine(gif, row, image.width) == GIF_OK;
    }
    if (!ok) error = GifErrorString(gif->Error);
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &code) != GIF_OK && ok) {
        ok = false;
        error = GifErrorString(code);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vrayu::converter;
    const auto args = ParseArguments(argc, argv, kProgram, false);
    if (!args) return 2;
    const auto bytes = ReadWholeFile(args->input);
    if (!bytes) {
        Fail(kProgram, "cannot read " + args->input);
        return 1;
    }
    IndexedImage image;
    std::string error;
    if (!Decode(*bytes, image, error)) {
        Fail(kProgram, args->input + ": " + error);
        return 1;
    }
    std::vector<std::uint8_t> gif;
    if (!EncodeGif(image, gif, error)) {
        Fail(kProgram, error);
        return 1;
    }
    if (const auto failure = WriteAtomically(kOutput, gif)) {
        Fail(kProgram, *failure);
        return 1;
    }
    return 0;
}
