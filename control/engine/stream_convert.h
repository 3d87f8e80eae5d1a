// The English pane conversion over a stream: input is read in blocks and
// converted as soon as it is known how, so memory stays bounded by the block
// size (plus the longest word) whatever the input's size. Text is cut only
// at word separators (see word_runs.h) and at "#" marks; a "#" run whose end
// is not in sight yet is kept in a temporary file until its partner or the
// end of input decides whether it is kept as typed or converted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vrayu {

class TextSource {
public:
    virtual ~TextSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end of input.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// An output form: appends the conversion of romanized text (always cut at a
// word separator or the end) or of text kept as typed.
class StreamForm {
public:
    virtual ~StreamForm() = default;
    virtual void Convert(std::string_view romanized, std::string& out) = 0;
    virtual void Keep(std::string_view typed, std::string& out) = 0;
};

inline constexpr std::size_t kStreamBlock = 1 << 20;

// Writes what ConvertWithLiteralRuns over the whole input would give.
// Returns false when a temporary file was needed and could not be written.
bool StreamEnglishPane(TextSource& in, StreamForm& form, TextSink& out, std::size_t block = kStreamBlock);

}  // namespace vrayu
