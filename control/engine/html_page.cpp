#include "html_page.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>

#include "product_info.h"
#include "replace_all.h"

namespace vrayu {
namespace {

constexpr char kQuote = '"';

std::string_view AlignmentWord(int alignment, std::string_view previous) {
    switch (alignment) {
        case kAlignLeft: return "Left";
        case kAlignRight: return "Right";
        case kAlignCenter: return "Center";
        default: return previous;
    }
}

std::string WebColorOf(std::int64_t oleColor) {
    std::string text = std::to_string(oleColor);
    return VBColor2WebColor(text);
}

std::string Quoted(std::string_view s) {
    std::string q;
    q.reserve(s.size() + 2);
    q.push_back(kQuote);
    q.append(s);
    q.push_back(kQuote);
    return q;
}

// The page text being built and the state of its open tags.
class PageWriter {
public:
    explicit PageWriter(std::size_t textLength) { page_.reserve(textLength * 2 + 512); }

    std::string& page() { return page_; }

    void OpenFontTag(std::string_view close) {
        page_ += "<font size=" + Quoted(sizeCode) + colorAttribute() + " face=" + Quoted(face);
        page_ += close;
    }
    std::string colorAttribute() const { return " color=" + Quoted("#" + webColor); }

    void Toggle(bool& open, bool now, std::string_view openTag, std::string_view closeTag) {
        if (now == open) return;
        page_ += open ? closeTag : openTag;
        open = now;
    }

    std::string face;
    double pointSize = 0;
    std::string sizeCode;
    std::string webColor;

private:
    std::string page_;
};

}  // namespace

InMemoryFormattedText::InMemoryFormattedText(std::int64_t backColor) : backColor_(backColor) {}

void InMemoryFormattedText::Append(std::string_view text, const CharFormat& format) {
    if (text.empty()) return;
    runs_.emplace_back(text_.size() + 1, format);
    text_.append(text);
}

CharFormat InMemoryFormattedText::FormatAt(std::size_t position) const {
    if (runs_.empty()) return caretFormat_;
    // Last run that starts at or before the position.
    auto it = std::upper_bound(runs_.begin(), runs_.end(), position,
                               [](std::size_t pos, const auto& run) { return pos < run.first; });
    if (it == runs_.begin()) return runs_.front().second;
    return std::prev(it)->second;
}

std::size_t InMemoryFormattedText::SameFormatUntil(std::size_t position) const {
    auto it = std::upper_bound(runs_.begin(), runs_.end(), position,
                               [](std::size_t pos, const auto& run) { return pos < run.first; });
    return it == runs_.end() ? std::max(position, text_.size()) : std::max(position, it->first - 1);
}

std::string VBColor2WebColor(std::string& hexColor) {
    long long value = 0;
    const char* first = hexColor.data();
    const char* last = first + hexColor.size();
    while (first < last && *first == ' ') ++first;
    if (first < last && *first == '+') ++first;
    std::from_chars(first, last, value);
    char digits[24];
    if (value < 0) std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(static_cast<std::int32_t>(value)));
    else std::snprintf(digits, sizeof digits, "%llX", value);
    hexColor = digits;
    if (hexColor.size() < 6) hexColor.insert(0, 6 - hexColor.size(), '0');
    const std::string_view six = std::string_view(hexColor).substr(hexColor.size() - 6);
    std::string web;
    web.append(six.substr(4, 2)).append(six.substr(2, 2)).append(six.substr(0, 2));
    return web;
}

std::string_view HtmlSizeCode(double s, std::string_view previous) {
    constexpr std::pair<double, std::string_view> kBounds[] = {{8, "1"},  {10, "2"}, {12, "3"}, {14, "4"},
                                                               {18, "5"}, {24, "6"}, {36, "7"}};
    for (const auto& [bound, code] : kBounds)
        if (s <= bound) return code;
    return previous;
}

std::string BuildHTMLPage(const FormattedText& text) {
    const std::string_view glyphs = text.Text();
    PageWriter w(glyphs.size());
    std::string& page = w.page();

    std::int64_t rawColor = text.SelectionColor();
    w.webColor = WebColorOf(rawColor);
    const std::int64_t back = text.BackColor();
    const std::string backWeb = back >= 0 ? WebColorOf(back) : "FFFFFF";
    const std::string backAttribute = " bgcolor=" + Quoted("#" + backWeb);

    CharFormat first = text.FormatAt(1);
    int alignment = first.alignment;
    std::string_view alignWord = AlignmentWord(alignment, "");
    bool bold = first.bold, italic = first.italic, underline = first.underline;
    w.pointSize = first.pointSize;
    w.face = first.face;
    w.sizeCode = HtmlSizeCode(w.pointSize, "");

    page += "<html><head><meta http-equiv=" + Quoted("Content-Type") +
            " content=" + Quoted("text/html; charset=iso-8859-1") + "><title>This page is in Telugu</title></head>\r\n";
    page += "<body" + backAttribute + ">";
    page += "<a href=" + Quoted(kProductSiteUrl) + ">You need 'Vrayu' fonts to view this page properly.</a>\r\n";
    page += "<p align=" + Quoted(alignWord) + ">";
    w.OpenFontTag(" > ");
    if (bold) page += "<strong>";
    if (italic) page += "<em>";
    if (underline) page += "<u>";

    for (std::size_t i = 1; i <= glyphs.size();) {
        const CharFormat f = text.FormatAt(i);
        if (f.alignment != alignment) {
            page += "</p>";
            alignment = f.alignment;
            alignWord = AlignmentWord(alignment, alignWord);
            page += "<p align=" + Quoted(alignWord) + ">";
        }
        // Only a changed colour value needs converting again.
        std::string web = f.color == rawColor ? w.webColor : WebColorOf(f.color);
        if (f.pointSize != w.pointSize || f.face != w.face || web != w.webColor) {
            page += "</font>";
            w.face = f.face;
            w.webColor = std::move(web);
            rawColor = f.color;
            w.pointSize = f.pointSize;
            w.sizeCode = HtmlSizeCode(w.pointSize, w.sizeCode);
            w.OpenFontTag(" >");
        }
        w.Toggle(bold, f.bold, "<strong>", "</strong>");
        w.Toggle(italic, f.italic, "<em>", "</em>");
        w.Toggle(underline, f.underline, "<u>", "</u>");
        // The run of characters in this format; a carriage return is a line break.
        const std::size_t end = std::min(text.SameFormatUntil(i), glyphs.size());
        std::string_view run = glyphs.substr(i - 1, end - i + 1);
        for (std::size_t cr; (cr = run.find('\r')) != std::string_view::npos; run.remove_prefix(cr + 1)) {
            page.append(run.substr(0, cr));
            page += "<br>";
        }
        page.append(run);
        i = end + 1;
    }

    if (bold) page += "</strong>";
    if (italic) page += "</em>";
    if (underline) page += "</u>";
    page += "</font></p><hr></body></html>";
    return std::move(page);
}

std::string HTML2English(std::string& page) {
    if (const auto body = page.find("<body"); body != std::string::npos) page.erase(0, body);
    page = ReplaceAll(page, "<!--ENGLISH-->", "#");
    std::string plain;
    plain.reserve(page.size());
    bool inTag = false;
    for (char c : page) {
        if (c == '<') inTag = true;
        else if (c == '>') inTag = false;
        else if (!inTag) plain.push_back(c);
    }
    return plain;
}

}  // namespace vrayu
