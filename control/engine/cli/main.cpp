// vrayu-convert: romanized Telugu (RIT) in, "Vrayu" glyph codes or the HTML
// page of them out.
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
#include "glyph_tables.h"
#include "html_page.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: vrayu-convert [--font Vrayu|abTelugu] [--html] [FILE]\n"
    "\n"
    "Converts romanized Telugu (RIT) from FILE, or standard input, into the\n"
    "8-bit glyph codes of a Telugu font and writes them to standard output.\n"
    "Text between two \"#\" marks is kept as typed; \"##\" gives one \"#\".\n"
    "\n"
    "  --font NAME   font list name: Vrayu (default) or abTelugu\n"
    "  --html        write the HTML page of the converted text instead\n"
    "                (16-point text; each line end becomes a <br>)\n"
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
    bool html = false;
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
        if (arg == "--html") {
            html = true;
        } else if (arg == "--font" || arg.starts_with("--font=")) {
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

    const std::string telugu = vrayu::ConvertEnglishPane(input, 0, tables, face).text;
    std::string output = telugu;
    if (html) {
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
    return std::cout ? 0 : 1;
}
