// vrayu-convert: romanized Telugu (RIT) in, "Vrayu" glyph codes, the HTML
// page of them or Unicode Telugu out; or "Vrayu" glyph codes in, Unicode out.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>

#include "convert.h"
#include "glyph_decoder.h"
#include "glyph_tables.h"
#include "html_page.h"
#include "stream_convert.h"
#include "unicode.h"
#include "unicode_to_rit.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: vrayu-convert [--font Vrayu|abTelugu] [--html | --unicode | --decode | --from-unicode] [FILE]\n"
    "\n"
    "Converts romanized Telugu (RIT) from FILE, or standard input, into the\n"
    "8-bit glyph codes of a Telugu font and writes them to standard output.\n"
    "Text between two \"#\" marks is kept as typed; \"##\" gives one \"#\".\n"
    "Input bytes are read as ISO-8859-1.\n"
    "\n"
    "  --font NAME   font list name: Vrayu (default) or abTelugu\n"
    "  --html        write the HTML page of the converted text instead\n"
    "                (16-point text; each line end becomes a <br>)\n"
    "  --unicode     write Unicode Telugu (UTF-8) instead of glyph codes\n"
    "  --decode      read \"Vrayu\" glyph codes (a .tel file) and write\n"
    "                Unicode Telugu (UTF-8)\n"
    "  --from-unicode  read Unicode Telugu (UTF-8) and write it romanized\n"
    "                (RIT); other text passes through. Exit status 3 when\n"
    "                some of it cannot be typed exactly (count on stderr)\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n";

int UsageError(const std::string& message) {
    std::cerr << "vrayu-convert: " << message << "\nTry 'vrayu-convert --help'.\n";
    return 2;
}

class FileSource : public vrayu::TextSource {
public:
    explicit FileSource(std::FILE* f) : f_(f) {}
    std::size_t Read(char* buffer, std::size_t size) override { return std::fread(buffer, 1, size, f_); }
    bool Failed() const { return std::ferror(f_) != 0; }

private:
    std::FILE* f_;
};

class StdoutSink : public vrayu::TextSink {
public:
    void Write(std::string_view bytes) override {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) failed_ = true;
    }
    bool Failed() const { return failed_; }

private:
    bool failed_ = false;
};

class GlyphForm : public vrayu::StreamForm {
public:
    GlyphForm(const vrayu::GlyphTables& tables, std::string_view face) : converter_(tables, face) {}
    void Convert(std::string_view romanized, std::string& out) override { converter_.Append(romanized, out); }
    void Keep(std::string_view typed, std::string& out) override { out.append(typed); }

private:
    vrayu::GlyphConverter converter_;
};

class UnicodeForm : public vrayu::StreamForm {
public:
    void Convert(std::string_view romanized, std::string& out) override { converter_.Append(romanized, out); }
    void Keep(std::string_view typed, std::string& out) override { vrayu::AppendLatin1AsUtf8(out, typed); }

private:
    vrayu::UnicodeConverter converter_;
};

// The body of the page: the glyph codes as the Telugu pane holds them (bare
// line feeds get a carriage return) with each carriage return as "<br>".
class HtmlBodyForm : public vrayu::StreamForm {
public:
    HtmlBodyForm(const vrayu::GlyphTables& tables, std::string_view face) : glyphs_(tables, face) {}
    void Convert(std::string_view romanized, std::string& out) override {
        text_.clear();
        glyphs_.Convert(romanized, text_);
        Body(text_, out);
    }
    void Keep(std::string_view typed, std::string& out) override { Body(typed, out); }

private:
    void Body(std::string_view telugu, std::string& out) {
        for (char c : telugu) {
            if (c == '\r' || (c == '\n' && previous_ != '\r')) out += "<br>";
            if (c != '\r') out.push_back(c);
            previous_ = c;
        }
    }
    GlyphForm glyphs_;
    std::string text_;
    char previous_ = 0;
};

// Head and tail of the page of a text in one format: the page of one letter,
// cut around it (the page builder writes the text between them, each
// carriage return as "<br>").
std::pair<std::string, std::string> PageHeadAndTail(std::string_view face) {
    vrayu::CharFormat format;
    format.face = std::string(face);
    format.pointSize = 16;
    vrayu::InMemoryFormattedText text;
    text.Append("x", format);
    text.SetCaretFormat(format);
    const std::string page = vrayu::BuildHTMLPage(text);
    const std::size_t x = page.rfind('x');
    return {page.substr(0, x), page.substr(x + 1)};
}

// Glyph codes to Unicode in blocks cut behind a line feed or a space, which
// belong to no syllable.
bool DecodeStream(vrayu::TextSource& in, vrayu::TextSink& out) {
    std::string buf;
    bool atEnd = false;
    while (!atEnd) {
        const std::size_t had = buf.size();
        buf.resize(had + vrayu::kStreamBlock);
        const std::size_t got = in.Read(buf.data() + had, vrayu::kStreamBlock);
        buf.resize(had + got);
        atEnd = got == 0;
        std::size_t cut = atEnd ? buf.size() : buf.find_last_of("\n ");
        if (cut == std::string::npos) continue;
        if (!atEnd) ++cut;
        out.Write(vrayu::DecodeVrayuGlyphs(std::string_view(buf).substr(0, cut)));
        buf.erase(0, cut);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string font = "Vrayu";
    enum class Mode { kGlyphs, kHtml, kUnicode, kDecode, kFromUnicode } mode = Mode::kGlyphs;
    bool fontGiven = false;
    auto setMode = [&](Mode m) {
        if (mode != Mode::kGlyphs && mode != m) return false;
        mode = m;
        return true;
    };
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "vrayu-convert " << VRAYU_VERSION << '\n';
            return 0;
        }
        if (arg == "--html" || arg == "--unicode" || arg == "--decode" || arg == "--from-unicode") {
            const Mode m = arg == "--html"      ? Mode::kHtml
                           : arg == "--unicode" ? Mode::kUnicode
                           : arg == "--decode"  ? Mode::kDecode
                                                : Mode::kFromUnicode;
            if (!setMode(m)) return UsageError("--html, --unicode, --decode and --from-unicode exclude each other");
        } else if (arg == "--font" || arg.starts_with("--font=")) {
            fontGiven = true;
            if (arg == "--font") {
                if (++i == argc) return UsageError("--font needs a font name");
                font = argv[i];
            } else {
                font = std::string(arg.substr(7));
            }
        } else if (arg == "-") {
            path.clear();
        } else if (arg.starts_with("-")) {
            return UsageError("unknown option '" + std::string(arg) + "'");
        } else if (!path.empty()) {
            return UsageError("only one input file may be given");
        } else {
            path = std::string(arg);
        }
    }

    if ((mode == Mode::kUnicode || mode == Mode::kDecode || mode == Mode::kFromUnicode) && fontGiven && font != "Vrayu")
        return UsageError(mode == Mode::kDecode ? "--decode reads \"Vrayu\" glyph codes only"
                                                : "--unicode and --from-unicode do not depend on a font");

    vrayu::GlyphTables tables;
    std::string face;
    if (!vrayu::SelectGlyphTables(font, tables, face))
        return UsageError("unknown font '" + font + "' (choose Vrayu or abTelugu)");

    std::FILE* file = stdin;
    if (!path.empty() && !(file = std::fopen(path.c_str(), "rb"))) {
        std::cerr << "vrayu-convert: cannot read '" << path << "': " << std::strerror(errno) << '\n';
        return 1;
    }
    FileSource in(file);
    StdoutSink out;
    bool ok = true;
    int inexact = 0;
    if (mode == Mode::kFromUnicode) {
        // Syllables may span any cut, so this form reads the whole input.
        std::string input;
        char buffer[1 << 16];
        for (std::size_t n; (n = in.Read(buffer, sizeof buffer)) > 0;) input.append(buffer, n);
        vrayu::RitText rit = vrayu::RitFromUnicode(input);
        out.Write(rit.text);
        inexact = rit.inexact;
    } else if (mode == Mode::kDecode) {
        ok = DecodeStream(in, out);
    } else if (mode == Mode::kUnicode) {
        UnicodeForm form;
        ok = vrayu::StreamEnglishPane(in, form, out);
    } else if (mode == Mode::kGlyphs) {
        GlyphForm form(tables, face);
        ok = vrayu::StreamEnglishPane(in, form, out);
    } else {
        const auto [head, tail] = PageHeadAndTail(face);
        out.Write(head);
        HtmlBodyForm form(tables, face);
        ok = vrayu::StreamEnglishPane(in, form, out);
        out.Write(tail);
    }
    if (in.Failed()) {
        std::cerr << "vrayu-convert: cannot read '" << (path.empty() ? "-" : path) << "'\n";
        return 1;
    }
    if (!ok) {
        std::cerr << "vrayu-convert: cannot write a temporary file: " << std::strerror(errno) << '\n';
        return 1;
    }
    if (std::fflush(stdout) != 0 || out.Failed()) return 1;
    if (inexact > 0) {
        std::cerr << "vrayu-convert: " << inexact << " place(s) cannot be typed exactly in the romanization\n";
        return 3;
    }
    return 0;
}
