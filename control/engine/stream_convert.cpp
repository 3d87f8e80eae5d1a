#include "stream_convert.h"

#include <cstdio>
#include <memory>

#include "word_runs.h"

namespace vrayu {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

class Streamer {
public:
    Streamer(TextSource& in, StreamForm& form, TextSink& sink, std::size_t block)
        : in_(in), form_(form), sink_(sink), block_(block < 1 ? 1 : block) {}

    bool Run();

private:
    // Reads one more block behind what is buffered; false at the end.
    bool ReadMore();
    void Flush(bool force);
    // Converts buf_[pos_, end) up to and including its last separator (all
    // of it at the end of input); returns whether anything was converted.
    bool ConvertUpToLastSeparator(std::size_t end, bool all);
    bool SpoolLiteral();
    bool ReplaySpool(bool keep);

    TextSource& in_;
    StreamForm& form_;
    TextSink& sink_;
    const std::size_t block_;
    std::string buf_, out_;
    std::size_t pos_ = 0;
    bool atEnd_ = false;
    std::unique_ptr<std::FILE, FileCloser> spool_;
};

bool Streamer::ReadMore() {
    if (atEnd_) return false;
    if (pos_ > 0) {
        buf_.erase(0, pos_);
        pos_ = 0;
    }
    const std::size_t had = buf_.size();
    buf_.resize(had + block_);
    const std::size_t got = in_.Read(buf_.data() + had, block_);
    buf_.resize(had + got);
    if (got == 0) atEnd_ = true;
    return got > 0;
}

void Streamer::Flush(bool force) {
    if (out_.size() >= block_ || (force && !out_.empty())) {
        sink_.Write(out_);
        out_.clear();
    }
}

bool Streamer::ConvertUpToLastSeparator(std::size_t end, bool all) {
    std::size_t cut = end;
    if (!all) {
        const auto& sep = WordSeparators();
        while (cut > pos_ && !sep[static_cast<unsigned char>(buf_[cut - 1])]) --cut;
    }
    if (cut == pos_) return false;
    form_.Convert(std::string_view(buf_).substr(pos_, cut - pos_), out_);
    pos_ = cut;
    return true;
}

// buf_[pos_] is an opening "#" with no partner in the buffer: moves the run
// after it to a temporary file until its partner or the end of input.
bool Streamer::SpoolLiteral() {
    spool_.reset(std::tmpfile());
    if (!spool_) return false;
    std::string_view pending = std::string_view(buf_).substr(pos_ + 1);
    while (true) {
        const std::size_t q = pending.find('#');
        const std::string_view part = pending.substr(0, q);
        if (std::fwrite(part.data(), 1, part.size(), spool_.get()) != part.size()) return false;
        if (q != std::string_view::npos) {
            buf_.erase(0, static_cast<std::size_t>(pending.data() - buf_.data()) + q + 1);
            pos_ = 0;
            return ReplaySpool(true);
        }
        buf_.clear();
        pos_ = 0;
        if (!ReadMore()) {
            form_.Convert("#", out_);  // unpartnered: converted as a non-letter
            return ReplaySpool(false);
        }
        pending = buf_;
    }
}

// The spooled run: kept as typed, or converted (it holds no "#").
bool Streamer::ReplaySpool(bool keep) {
    std::FILE* f = spool_.get();
    if (std::fflush(f) != 0 || std::fseek(f, 0, SEEK_SET) != 0) return false;
    std::string rest = std::move(buf_);
    buf_.clear();
    pos_ = 0;
    std::string chunk(block_, '\0');
    while (true) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), f);
        if (got == 0) break;
        if (keep) {
            form_.Keep(std::string_view(chunk).substr(0, got), out_);
        } else {
            buf_.append(chunk, 0, got);
            ConvertUpToLastSeparator(buf_.size(), false);
            buf_.erase(0, pos_);
            pos_ = 0;
        }
        Flush(false);
    }
    if (std::ferror(f)) return false;
    if (!keep) ConvertUpToLastSeparator(buf_.size(), true);
    spool_.reset();
    buf_ = std::move(rest);
    pos_ = 0;
    return true;
}

bool Streamer::Run() {
    ReadMore();
    while (pos_ < buf_.size() || !atEnd_) {
        Flush(false);
        const std::size_t p = buf_.find('#', pos_);
        if (p == std::string::npos) {
            if (atEnd_) {
                ConvertUpToLastSeparator(buf_.size(), true);
                break;
            }
            ConvertUpToLastSeparator(buf_.size(), false);
            ReadMore();
            continue;
        }
        if (p > pos_) ConvertUpToLastSeparator(p, true);  // "#" ends every word
        if (p + 1 == buf_.size() && !atEnd_) {
            ReadMore();
            continue;
        }
        if (p + 1 < buf_.size() && buf_[p + 1] == '#') {
            out_.push_back('#');
            pos_ = p + 2;
            continue;
        }
        const std::size_t q = buf_.find('#', p + 1);
        if (q != std::string::npos) {
            form_.Keep(std::string_view(buf_).substr(p + 1, q - p - 1), out_);
            pos_ = q + 1;
        } else if (atEnd_) {
            ConvertUpToLastSeparator(buf_.size(), true);  // from the unpartnered "#" on
        } else if (buf_.size() - p < 2 * block_) {
            ReadMore();
        } else if (!SpoolLiteral()) {
            return false;
        }
    }
    Flush(true);
    return true;
}

}  // namespace

bool StreamEnglishPane(TextSource& in, StreamForm& form, TextSink& out, std::size_t block) {
    return Streamer(in, form, out, block).Run();
}

}  // namespace vrayu
