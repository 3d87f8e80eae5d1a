// Saving a canvas image as a BMP, JPEG or GIF file, and the exchange with
// the converter programs cjpeg and djpeg. No widgets here.
//
// The format comes from the last three characters of the name ("bmp",
// "jpg", "gif", in any case). BMP is written directly; JPEG is made by
// cjpeg from the bitmap "tmp1000.bmp", GIF by djpeg from cjpeg's
// "tmp1000.jpg". The converters run in the folder of those temporary files
// (the program directory, or the per-user fallback when it is not writable)
// and are found in the program directory. The user's file is replaced only
// once the new picture is complete (temporary file beside it, then rename):
// a time-out or a failing converter leaves the old file as it was.
#pragma once

#include <QImage>
#include <QString>
#include <chrono>

namespace vrayu {

inline constexpr char kBitmapTemp[] = "tmp1000.bmp";
inline constexpr char kJpegTemp[] = "tmp1000.jpg";
inline constexpr char kGifTemp[] = "tmp1000.gif";
inline constexpr char kEncoderProgram[] = "cjpeg";
inline constexpr char kDecoderProgram[] = "djpeg";

enum class SaveOutcome {
    Saved,                // the file holds the new picture
    EmptyName,            // nothing done
    NotAPictureName,      // the name ends in none of bmp, jpg, gif: nothing written
    TimedOut,             // a converter gave no complete output in time
    ConverterNotStarted,  // a converter program could not be run
    WriteFailed,          // the picture could not be written to the file
};

// Saves `canvas` to `fileName`; JPEG and GIF use `quality` (percent).
SaveOutcome SavePicture(const QImage& canvas, const QString& fileName, int quality);

// Removes converter files left over by an earlier save from `folder`: the
// three temporary names in any case, and converters' unfinished outputs.
void DeleteStaleTemporaries(const QString& folder);

// How long a converter may take (30 seconds; tests shorten it).
std::chrono::milliseconds ConverterTimeout();
void SetConverterTimeout(std::chrono::milliseconds timeout);
// How often the wait looks for the converter's output.
inline constexpr std::chrono::milliseconds kConverterPoll{20};

// True when `bytes` are a whole JPEG (start and end markers) or GIF (header
// and trailer) file, as `format` ("jpg" or "gif") says.
bool PictureBytesComplete(const QByteArray& bytes, const QString& format);

}  // namespace vrayu
