#include "rich_text_format.h"

#include <QGuiApplication>
#include <QPalette>
#include <QStringList>

namespace vrayu {

QString FaceOf(const QTextCharFormat& f, const QFont& base) {
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
        if (!families.isEmpty()) return families.front();
    }
    return base.family();
}

double SizeOf(const QTextCharFormat& f, const QFont& base) {
    if (f.hasProperty(QTextFormat::FontPointSize)) return f.fontPointSize();
    return base.pointSizeF();
}

std::optional<QColor> ColorOf(const QTextCharFormat& f) {
    if (!f.hasProperty(QTextFormat::ForegroundBrush)) return std::nullopt;
    const QBrush b = f.foreground();
    if (b.style() == Qt::NoBrush) return std::nullopt;
    return b.color();
}

int AlignmentOf(const QTextBlockFormat& f) {
    const Qt::Alignment a = f.alignment();
    if (a & Qt::AlignRight) return 1;
    if (a & Qt::AlignHCenter) return 2;
    return 0;
}

Qt::Alignment QtAlignment(int alignment) {
    switch (alignment) {
        case 1: return Qt::AlignRight | Qt::AlignAbsolute;
        case 2: return Qt::AlignHCenter;
        default: return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

std::int64_t OleFromColor(const QColor& c) {
    return static_cast<std::int64_t>(c.red()) | (static_cast<std::int64_t>(c.green()) << 8) |
           (static_cast<std::int64_t>(c.blue()) << 16);
}

QColor ColorFromOle(std::int64_t ole) {
    if (static_cast<std::uint32_t>(ole) & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (ole & 0xFF) {
            case 5: return palette.color(QPalette::Base);         // window
            case 8: return palette.color(QPalette::Text);         // window text
            case 15: return palette.color(QPalette::Button);      // button face
            case 18: return palette.color(QPalette::ButtonText);  // button text
            case 13: return palette.color(QPalette::Highlight);   // highlight
            case 14: return palette.color(QPalette::HighlightedText);
            default: return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(ole & 0xFF), static_cast<int>((ole >> 8) & 0xFF),
                  static_cast<int>((ole >> 16) & 0xFF));
}

}  // namespace vrayu
