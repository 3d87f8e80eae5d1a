// vrayu-convert: romanized Telugu (RIT) in, "Vrayu" glyph codes, the HTML
// page of them or Unicode Telugu out; or "Vrayu" glyph codes in, Unicode out.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "convert.h"
#include "glyph_decoder.h"
#include "glyph_tables.h"
#include "html_page.h"
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

bool ReadAll(std::istream& in, std::string& out) {
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
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

    if ((mode == Mode::kUnicode || mode == Mode::kDecode || mode == Mode::kFromUnicode) && fontGiven &&
        font != "Vrayu")
        return UsageError(mode == Mode::kDecode ? "--decode reads \"Vrayu\" glyph codes only"
                                                : "--unicode and --from-unicode do not depend on a font");

    vrayu::GlyphTables tables;
    std::string face;
    if (!vrayu::SelectGlyphTables(font, tables, face))
        return UsageError("unknown font '" + font + "' (choose Vrayu or abTelugu)");

    std::string input;
    if (path.empty()) {
        ReadAll(std::cin, input);
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file || !ReadAll(file, input)) {
            std::cerr << "vrayu-convert: cannot read '" << path << "': " << std::strerror(errno) << '\n';
            return 1;
        }
    }

    std::string output;
    int inexact = 0;
    if (mode == Mode::kFromUnicode) {
        vrayu::RitText rit = vrayu::RitFromUnicode(input);
        output = std::move(rit.text);
        inexact = rit.inexact;
    } else if (mode == Mode::kUnicode) {
        output = vrayu::ConvertEnglishPaneUnicode(input);
    } else if (mode == Mode::kDecode) {
        output = vrayu::DecodeVrayuGlyphs(input);
    } else if (mode == Mode::kGlyphs) {
        output = vrayu::ConvertEnglishPane(input, 0, tables, face).text;
    } else {
        const std::string telugu = vrayu::ConvertEnglishPane(input, 0, tables, face).text;
        // The Telugu pane ends its lines with CR LF; a file with bare LF line
        // ends gets the same page as the pane would.
        std::string paneText;
        paneText.reserve(telugu.size() + telugu.size() / 16);
        for (std::size_t i = 0; i < telugu.size(); ++i) {
            if (telugu[i] == '\n' && (i == 0 || telugu[i - 1] != '\r')) paneText.push_back('\r');
            paneText.push_back(telugu[i]);
        }
        vrayu::CharFormat format;
        format.face = face;
        format.pointSize = 16;
        vrayu::InMemoryFormattedText text;
        text.Append(paneText, format);
        text.SetCaretFormat(format);
        output = vrayu::BuildHTMLPage(text);
    }
    std::cout.write(output.data(), static_cast<std::streamsize>(output.size()));
    std::cout.flush();
    if (!std::cout) return 1;
    if (inexact > 0) {
        std::cerr << "vrayu-convert: " << inexact << " place(s) cannot be typed exactly in the romanization\n";
        return 3;
    }
    return 0;
}
