#include "member_table.h"

#include "transliterate_control.h"

namespace vrayu {
namespace {

using K = MemberKind;

const Member kMembers[] = {
    {"ib_English_changed", dispid::ib_English_changed, K::Field, nullptr},
    {"ib_Telugu_changed", dispid::ib_Telugu_changed, K::Field, nullptr},
    {"ib_HTML_changed", dispid::ib_HTML_changed, K::Field, nullptr},
    {"Auto_Convert", dispid::Auto_Convert, K::Field, nullptr},
    {"BackColor", dispid::BackColor, K::Property, "BackColor"},
    {"ForeColor", dispid::ForeColor, K::Property, "ForeColor"},
    {"Enabled", dispid::Enabled, K::Property, "Enabled"},
    {"Font", dispid::Font, K::Property, "Font"},
    {"BackStyle", dispid::BackStyle, K::Property, "BackStyle"},
    {"BorderStyle", dispid::BorderStyle, K::Property, "BorderStyle"},
    {"TextEnglish", dispid::TextEnglish, K::Property, "TextEnglish"},
    {"TextTelugu", dispid::TextTelugu, K::Property, "TextTelugu"},
    {"TextHTML", dispid::TextHTML, K::Property, "TextHTML"},
    {"TeluguFont", dispid::TeluguFont, K::Property, "TeluguFont"},
    {"TeluguBackColor", dispid::TeluguBackColor, K::Property, "TeluguBackColor"},
    {"SelAlignment", dispid::SelAlignment, K::Property, "SelAlignment"},
    {"SelBold", dispid::SelBold, K::Property, "SelBold"},
    {"SelBullet", dispid::SelBullet, K::Property, "SelBullet"},
    {"SelColor", dispid::SelColor, K::Property, "SelColor"},
    {"SelFontName", dispid::SelFontName, K::Property, "SelFontName"},
    {"SelFontSize", dispid::SelFontSize, K::Property, "SelFontSize"},
    {"SelHangingIndent", dispid::SelHangingIndent, K::Property, "SelHangingIndent"},
    {"SelIndent", dispid::SelIndent, K::Property, "SelIndent"},
    {"SelItalic", dispid::SelItalic, K::Property, "SelItalic"},
    {"SelLength", dispid::SelLength, K::Property, "SelLength"},
    {"SelRightIndent", dispid::SelRightIndent, K::Property, "SelRightIndent"},
    {"SelRTF", dispid::SelRTF, K::Property, "SelRTF"},
    {"SelStart", dispid::SelStart, K::Property, "SelStart"},
    {"SelStrikeThru", dispid::SelStrikeThru, K::Property, "SelStrikeThru"},
    {"SelText", dispid::SelText, K::Property, "SelText"},
    {"SelUnderline", dispid::SelUnderline, K::Property, "SelUnderline"},
    {"ConvertNow", dispid::ConvertNow, K::Method, nullptr, 0, 0},
    {"Convert2HTML", dispid::Convert2HTML, K::Method, nullptr, 0, 0},
    {"SelPrint", dispid::SelPrint, K::Method, nullptr, 1, 1},
    {"SetURL", dispid::SetURL, K::Method, nullptr, 1, 1},
    {"AddURL", dispid::AddURL, K::Method, nullptr, 1, 1},
    {"anySelBold", dispid::anySelBold, K::Method, nullptr, 1, 1},
    {"anySelItalic", dispid::anySelItalic, K::Method, nullptr, 1, 1},
    {"anySelUnderline", dispid::anySelUnderline, K::Method, nullptr, 1, 1},
    {"anySelSelStrikeThru", dispid::anySelSelStrikeThru, K::Method, nullptr, 1, 1},
    {"ConvertToGIF", dispid::ConvertToGIF, K::Method, nullptr, 3, 4},
    {"VBColor2WebColor", dispid::VBColor2WebColor, K::Method, nullptr, 1, 1},
};

}  // namespace

std::span<const Member> TransliterateMembers() { return kMembers; }

const Member* FindMember(int id) {
    for (const Member& m : kMembers)
        if (m.dispid == id) return &m;
    return nullptr;
}

const Member* FindMember(const QString& name) {
    for (const Member& m : kMembers)
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) return &m;
    return nullptr;
}

}  // namespace vrayu
