#include "picture_units.h"

#include <cmath>
#include <cstdlib>

namespace vrayu {

double LeadingNumber(const QString& text) {
    QString s;
    for (QChar c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') s += c;
    qsizetype i = 0;
    QString number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) number += s[i++], digits = true;
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) number += s[i++], digits = true;
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i].toUpper() == 'E' || s[i].toUpper() == 'D')) {
        QString exponent = "e";
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        bool expDigits = false;
        while (j < s.size() && s[j].isDigit() && s[j].unicode() < 128) exponent += s[j++], expDigits = true;
        if (expDigits) number += exponent;
    }
    const double value = std::strtod(number.toLatin1().constData(), nullptr);
    return std::isfinite(value) ? value : 0;
}

double RoundHalfEven(double x) {
    const double down = std::floor(x);
    const double diff = x - down;
    if (diff < 0.5) return down;
    if (diff > 0.5) return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

QString DecimalText(double x) {
    if (x == 0) return "0";
    return QString::number(x, 'g', 15);
}

double SizeUnits(double extentTwips, double marginTwips) { return (extentTwips + marginTwips) / kTwipsPerSizeUnit; }

int RoundedSizeUnits(double extentTwips, double marginTwips) {
    return static_cast<int>(RoundHalfEven(SizeUnits(extentTwips, marginTwips)));
}

std::optional<int> QualityFromAnswer(const QString& text) {
    const double rounded = RoundHalfEven(LeadingNumber(text));
    if (rounded < -32768 || rounded > 32767) return std::nullopt;
    return static_cast<int>(rounded);
}

}  // namespace vrayu
