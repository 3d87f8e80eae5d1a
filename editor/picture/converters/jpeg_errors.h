// How both converters take errors from libjpeg: a fatal error jumps back
// to the setjmp of the function that drives the library, with the
// library's message; warnings are not printed, and a file that ends before
// its picture does counts as an error (no partly grey picture is written).
#pragma once

// jpeglib.h wants size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>

namespace vrayu::converter {

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] inline void OnJpegError(j_common_ptr info) {
    auto* err = reinterpret_cast<JpegErrors*>(info->err);
    err->base.format_message(info, err->message);
    std::longjmp(err->jump, 1);
}

inline void OnJpegWarning(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) OnJpegError(info);
}

inline void QuietJpegOutput(j_common_ptr) {}

// Sets `errors` up as the error manager to hand to a libjpeg object.
inline jpeg_error_mgr* UseJpegErrors(JpegErrors& errors) {
    jpeg_error_mgr* base = jpeg_std_error(&errors.base);
    base->error_exit = OnJpegError;
    base->emit_message = OnJpegWarning;
    base->output_message = QuietJpegOutput;
    return base;
}

}  // namespace vrayu::converter
