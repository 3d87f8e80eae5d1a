// One input through every output form of the engine: glyph codes of both
// fonts, the English pane with a caret, Unicode, the HTML page, the glyph
// decoder, the page-to-text import and the colour helper.
#include <cstddef>
#include <cstdint>
#include <string>

#include "convert.h"
#include "glyph_decoder.h"
#include "glyph_tables.h"
#include "html_page.h"
#include "unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 8192) return 0;
    static vrayu::GlyphTables vrayu_tables, ab_tables;
    static const bool loaded = (vrayu::LoadVrayuTables(vrayu_tables), vrayu::LoadAbTeluguTables(ab_tables), true);
    (void)loaded;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const std::string glyphs = vrayu::ConvertString(text, vrayu_tables, vrayu::kVrayuFace);
    vrayu::ConvertString(text, ab_tables, vrayu::kAbTeluguFace);
    vrayu::ConvertEnglishPane(text, static_cast<int>(size / 2), vrayu_tables, vrayu::kVrayuFace);
    vrayu::ConvertStringUnicode(text);
    vrayu::DecodeVrayuGlyphs(glyphs);
    vrayu::DecodeVrayuGlyphs(text);

    vrayu::InMemoryFormattedText formatted;
    vrayu::CharFormat format;
    format.face = std::string(vrayu::kVrayuFace);
    format.pointSize = static_cast<double>(size % 48);
    format.color = static_cast<std::int64_t>(size) * 2654435761u;
    formatted.Append(glyphs, format);
    std::string page = vrayu::BuildHTMLPage(formatted);
    vrayu::HTML2English(page);
    std::string raw = text;
    vrayu::HTML2English(raw);
    std::string colour = text.substr(0, 24);
    vrayu::VBColor2WebColor(colour);
    return 0;
}
