#include "text_color.h"

#include <cmath>

namespace vrayu {

double LeadingNumber(const QString& text) {
    // Val skips blanks anywhere before the number ends, and reads &H / &O too;
    // the prompt asks for a plain number, so blanks, sign, digits and one point.
    QString digits;
    bool point = false;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) continue;
        if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && digits.isEmpty()) {
            digits += c;
            continue;
        }
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            continue;
        }
        if (c == QLatin1Char('.') && !point) {
            point = true;
            digits += c;
            continue;
        }
        break;
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok ? value : 0;
}

int ColorIndexFromAnswer(const QString& answer) {
    const double value = LeadingNumber(answer);
    if (value < 0 || value > 15) return 0;
    // Whole numbers round half to even, as the classic conversion does.
    const int index = static_cast<int>(std::nearbyint(value));
    return index >= 0 && index <= 15 ? index : 0;
}

std::int64_t PaletteColor(int index) {
    static const std::int64_t kPalette[16] = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    return index >= 0 && index < 16 ? kPalette[index] : 0;
}

}  // namespace vrayu
