// The dispatch interface of the control: GetIDsOfNames and Invoke over the
// member table, and persistence through a property bag.
#include <QApplication>
#include <QFont>
#include <QPrinter>

#include "html_page.h"
#include "member_table.h"
#include "transliterate.h"

namespace vrayu {
namespace {

// A classic OLE colour is a 32-bit value; system colours are negative.
QVariant OleColorVariant(std::int64_t ole) { return QVariant(static_cast<int>(static_cast<std::int32_t>(ole))); }

bool ToOleColor(const QVariant& v, std::int64_t& out) {
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok) return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
    return true;
}

// A Boolean as the control's Boolean properties and arguments take it: a
// Boolean, a number (non-zero is True), or text that is "True" or "False" (in
// any case) or a number. Anything else, like Null or "maybe", is refused, as
// the number properties refuse text that is not a number.
bool ToBoolean(const QVariant& v, bool& out) {
    if (!v.isValid()) return false;
    if (v.typeId() == QMetaType::Bool) {
        out = v.toBool();
        return true;
    }
    if (v.typeId() == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            out = true;
            return true;
        }
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            out = false;
            return true;
        }
    }
    bool ok = false;
    const double n = v.toString().trimmed().toDouble(&ok);
    if (ok) out = n != 0;
    return ok;
}

HResult Fail(QString* errorText, const char* text) {
    if (errorText) *errorText = QLatin1String(text);
    return kDispE_Exception;
}

constexpr char kInvalidValue[] = "Invalid property value";

// A printer handed over as the device-context argument of SelPrint: a pointer
// (void* or QPrinter*) or its address as an integer.
QPrinter* PrinterFrom(const QVariant& v) {
    if (v.canConvert<QPrinter*>() && v.typeId() == QMetaType::fromType<QPrinter*>().id()) return v.value<QPrinter*>();
    if (v.typeId() == QMetaType::VoidStar) return static_cast<QPrinter*>(v.value<void*>());
    bool ok = false;
    const qulonglong address = v.toULongLong(&ok);
    return ok ? reinterpret_cast<QPrinter*>(static_cast<quintptr>(address)) : nullptr;
}

// The persisted properties in load and save order, with their defaults.
struct Persisted {
    const char* name;
    int dispid;
};
const Persisted kPersisted[] = {
    {"BackColor", dispid::BackColor},
    {"ForeColor", dispid::ForeColor},
    {"Enabled", dispid::Enabled},
    {"Font", dispid::Font},
    {"BackStyle", dispid::BackStyle},
    {"BorderStyle", dispid::BorderStyle},
    {"TextEnglish", dispid::TextEnglish},
    {"TextTelugu", dispid::TextTelugu},
    {"TextHTML", dispid::TextHTML},
    {"TeluguFont", dispid::TeluguFont},
    {"TeluguBackColor", dispid::TeluguBackColor},
    {"SelAlignment", dispid::SelAlignment},
    {"SelBold", dispid::SelBold},
    {"SelBullet", dispid::SelBullet},
    {"SelColor", dispid::SelColor},
    {"SelFontName", dispid::SelFontName},
    {"SelFontSize", dispid::SelFontSize},
    {"SelHangingIndent", dispid::SelHangingIndent},
    {"SelIndent", dispid::SelIndent},
    {"SelItalic", dispid::SelItalic},
    {"SelLength", dispid::SelLength},
    {"SelRightIndent", dispid::SelRightIndent},
    {"SelRTF", dispid::SelRTF},
    {"SelStart", dispid::SelStart},
    {"SelStrikeThru", dispid::SelStrikeThru},
    {"SelText", dispid::SelText},
    {"SelUnderline", dispid::SelUnderline},
};

}  // namespace

int Transliterate::GetIDsOfNames(const QString& name) const {
    const Member* m = FindMember(name);
    return m ? m->dispid : kDispidUnknown;
}

HResult Transliterate::Invoke(int id, int flags, QVariantList& args, QVariant* result, QString* errorText) {
    const Member* m = FindMember(id);
    if (!m) return kDispE_MemberNotFound;
    if (m->kind == MemberKind::Method) {
        if (!(flags & (kDispatchMethod | kDispatchPropertyGet))) return kDispE_MemberNotFound;
        if (args.size() < m->minArgs || args.size() > m->maxArgs) return kDispE_BadParamCount;
        return InvokeMethod(id, args, result, errorText);
    }
    return InvokeProperty(id, flags, args, result, errorText);
}

HResult Transliterate::InvokeProperty(int id, int flags, QVariantList& args, QVariant* result, QString* errorText) {
    const bool put = flags & (kDispatchPropertyPut | kDispatchPropertyPutRef);
    if (!put) {
        if (!(flags & (kDispatchPropertyGet | kDispatchMethod))) return kDispE_MemberNotFound;
        if (!args.isEmpty()) return kDispE_BadParamCount;
        QVariant v;
        switch (id) {
            case dispid::ib_English_changed: v = ib_English_changed; break;
            case dispid::ib_Telugu_changed: v = ib_Telugu_changed; break;
            case dispid::ib_HTML_changed: v = ib_HTML_changed; break;
            case dispid::Auto_Convert: v = Auto_Convert; break;
            case dispid::BackColor: v = OleColorVariant(english_.BackColor()); break;
            case dispid::ForeColor: v = static_cast<int>(foreColor_); break;
            case dispid::Enabled: v = enabled_; break;
            case dispid::Font: v = font_; break;
            case dispid::BackStyle: v = backStyle_; break;
            case dispid::BorderStyle: v = borderStyle_; break;
            case dispid::TextEnglish: v = english_.Text(); break;
            case dispid::TextTelugu: v = telugu_.Text(); break;
            case dispid::TextHTML: v = html_.Text(); break;
            case dispid::TeluguFont: v = telugu_.Font(); break;
            case dispid::TeluguBackColor: v = OleColorVariant(telugu_.BackColor()); break;
            default: v = SelectionProperty(id); break;
        }
        if (result) *result = v;
        return kS_OK;
    }
    if (args.size() != 1) return kDispE_BadParamCount;
    const QVariant& value = args.front();
    auto toBool = [&](bool& field) { return ToBoolean(value, field) ? kS_OK : kDispE_TypeMismatch; };
    HResult hr = kS_OK;
    std::int64_t color = 0;
    bool ok = false;
    switch (id) {
        case dispid::ib_English_changed: return toBool(ib_English_changed);
        case dispid::ib_Telugu_changed: return toBool(ib_Telugu_changed);
        case dispid::ib_HTML_changed: return toBool(ib_HTML_changed);
        case dispid::Auto_Convert: return toBool(Auto_Convert);
        case dispid::BackColor:
            if (!ToOleColor(value, color)) return kDispE_TypeMismatch;
            english_.SetBackColor(color);
            break;
        case dispid::ForeColor:
            if (!ToOleColor(value, color)) return kDispE_TypeMismatch;
            foreColor_ = color;
            break;
        case dispid::Enabled: hr = toBool(enabled_); break;
        case dispid::Font:
            if (value.typeId() != QMetaType::QFont) return kDispE_TypeMismatch;
            font_ = value.value<QFont>();
            break;
        case dispid::BackStyle:
        case dispid::BorderStyle: {
            const int n = value.toInt(&ok);
            if (!ok || n < -32768 || n > 32767) return kDispE_TypeMismatch;
            (id == dispid::BackStyle ? backStyle_ : borderStyle_) = n;
            break;
        }
        case dispid::TextEnglish: SetEnglishFromHost(value.toString()); break;
        case dispid::TextTelugu: telugu_.SetText(value.toString()); break;
        case dispid::TextHTML: html_.SetText(value.toString()); break;
        case dispid::TeluguFont:
            if (value.typeId() != QMetaType::QFont) return kDispE_TypeMismatch;
            telugu_.SetFont(value.value<QFont>());
            break;
        case dispid::TeluguBackColor:
            if (!ToOleColor(value, color)) return kDispE_TypeMismatch;
            telugu_.SetBackColor(color);
            break;
        default: hr = SetSelectionProperty(id, value, errorText); break;
    }
    if (Succeeded(hr)) Notify(id);
    return hr;
}

QVariant Transliterate::SelectionProperty(int id) const {
    switch (id) {
        case dispid::SelAlignment: return telugu_.SelAlignment();
        case dispid::SelBold: return telugu_.SelBold();
        case dispid::SelBullet: return telugu_.SelBullet();
        case dispid::SelColor: {
            const QVariant c = telugu_.SelColor();
            return c.isValid() ? OleColorVariant(c.toLongLong()) : c;
        }
        case dispid::SelFontName: return telugu_.SelFontName();
        case dispid::SelFontSize: return telugu_.SelFontSize();
        case dispid::SelHangingIndent: return telugu_.SelHangingIndent();
        case dispid::SelIndent: return telugu_.SelIndent();
        case dispid::SelItalic: return telugu_.SelItalic();
        case dispid::SelLength: return telugu_.SelLength();
        case dispid::SelRightIndent: return telugu_.SelRightIndent();
        case dispid::SelRTF: return telugu_.SelRTF();
        case dispid::SelStart: return telugu_.SelStart();
        case dispid::SelStrikeThru: return telugu_.SelStrikeThru();
        case dispid::SelText: return telugu_.SelText();
        case dispid::SelUnderline: return telugu_.SelUnderline();
        default: return {};
    }
}

HResult Transliterate::SetSelectionProperty(int id, const QVariant& value, QString* errorText) {
    // Null (a mixed selection read back) is not a value a selection can take.
    if (!value.isValid()) return kDispE_TypeMismatch;
    bool ok = false;
    bool on = false;
    switch (id) {
        case dispid::SelBold:
        case dispid::SelItalic:
        case dispid::SelUnderline:
        case dispid::SelStrikeThru:
        case dispid::SelBullet:
            if (!ToBoolean(value, on)) return kDispE_TypeMismatch;
            if (id == dispid::SelBold) telugu_.SetSelBold(on);
            else if (id == dispid::SelItalic) telugu_.SetSelItalic(on);
            else if (id == dispid::SelUnderline) telugu_.SetSelUnderline(on);
            else if (id == dispid::SelStrikeThru) telugu_.SetSelStrikeThru(on);
            else telugu_.SetSelBullet(on);
            return kS_OK;
        case dispid::SelText: telugu_.SetSelText(value.toString()); return kS_OK;
        case dispid::SelRTF: telugu_.SetSelRTF(value.toString()); return kS_OK;
        case dispid::SelFontName: {
            const QString name = value.toString();
            if (name.isEmpty()) return Fail(errorText, kInvalidValue);
            telugu_.SetSelFontName(name);
            return kS_OK;
        }
        case dispid::SelColor: {
            std::int64_t color = 0;
            if (!ToOleColor(value, color)) return kDispE_TypeMismatch;
            telugu_.SetSelColor(color);
            return kS_OK;
        }
        case dispid::SelFontSize: {
            const double points = value.toDouble(&ok);
            if (!ok) return kDispE_TypeMismatch;
            if (points <= 0 || points > 1638) return Fail(errorText, kInvalidValue);
            telugu_.SetSelFontSize(points);
            return kS_OK;
        }
        case dispid::SelAlignment: {
            const int a = value.toInt(&ok);
            if (!ok) return kDispE_TypeMismatch;
            if (a < 0 || a > 2) return Fail(errorText, kInvalidValue);
            telugu_.SetSelAlignment(a);
            return kS_OK;
        }
        case dispid::SelIndent:
        case dispid::SelHangingIndent:
        case dispid::SelRightIndent:
        case dispid::SelStart:
        case dispid::SelLength: {
            const int n = value.toInt(&ok);
            if (!ok) return kDispE_TypeMismatch;
            if (id == dispid::SelIndent) telugu_.SetSelIndent(n);
            else if (id == dispid::SelHangingIndent) telugu_.SetSelHangingIndent(n);
            else if (id == dispid::SelRightIndent) telugu_.SetSelRightIndent(n);
            else if (n < 0) return Fail(errorText, kInvalidValue);
            else if (id == dispid::SelStart) telugu_.SetSelStart(n);
            else telugu_.SetSelLength(n);
            return kS_OK;
        }
        default: return kDispE_MemberNotFound;
    }
}

HResult Transliterate::InvokeMethod(int id, QVariantList& args, QVariant* result, QString* errorText) {
    bool on = false;
    switch (id) {
        case dispid::anySelBold:
        case dispid::anySelItalic:
        case dispid::anySelUnderline:
        case dispid::anySelSelStrikeThru:
            if (!ToBoolean(args[0], on)) return kDispE_TypeMismatch;
            if (id == dispid::anySelBold) anySelBold(on);
            else if (id == dispid::anySelItalic) anySelItalic(on);
            else if (id == dispid::anySelUnderline) anySelUnderline(on);
            else anySelSelStrikeThru(on);
            return kS_OK;
        case dispid::ConvertNow: ConvertNow(); return kS_OK;
        case dispid::Convert2HTML: Convert2HTML(); return kS_OK;
        case dispid::SelPrint: {
            QPrinter* printer = PrinterFrom(args[0]);
            if (!printer) return Fail(errorText, "No printer was given.");
            SelPrint(*printer);
            return kS_OK;
        }
        case dispid::SetURL: SetURL(args[0].toString()); return kS_OK;
        case dispid::AddURL: AddURL(args[0].toString()); return kS_OK;
        case dispid::ConvertToGIF: return kS_OK;  // accepts its arguments and does nothing
        case dispid::VBColor2WebColor: {
            std::string text = args[0].toString().toStdString();
            const std::string web = ::vrayu::VBColor2WebColor(text);
            args[0] = QString::fromStdString(text);
            if (result) *result = QString::fromStdString(web);
            return kS_OK;
        }
        default: return kDispE_MemberNotFound;
    }
}

// ---- Persistence

namespace {

QVariant DefaultOf(int id, const QFont& ambient) {
    switch (id) {
        case dispid::BackColor:
        case dispid::TeluguBackColor: return static_cast<int>(kSystemWindowColor);
        case dispid::Enabled: return false;
        case dispid::Font:
        case dispid::TeluguFont: return ambient;
        case dispid::TextEnglish:
        case dispid::TextHTML:
        case dispid::SelRTF:
        case dispid::SelText: return QString();
        case dispid::TextTelugu: return QStringLiteral("felugau");
        default: return 0;
    }
}

}  // namespace

HResult Transliterate::Load(PropertyBag& bag) {
    const QFont ambient = AmbientFont();
    TransliterateEvents* sink = sink_;
    sink_ = nullptr;  // loading is not a change the container must hear of
    HResult hr = kS_OK;
    for (const Persisted& p : kPersisted) {
        const QVariant value = bag.ReadProperty(QLatin1String(p.name), DefaultOf(p.dispid, ambient));
        // The saved selection's text and RTF are copies of what the saved
        // text already holds: putting them back would overwrite or repeat it.
        if (p.dispid == dispid::SelRTF || p.dispid == dispid::SelText) continue;
        // Absent name or size (the default 0), or a mixed selection (Null):
        // nothing to apply.
        if (!value.isValid()) continue;
        if ((p.dispid == dispid::SelFontName || p.dispid == dispid::SelFontSize) && SamePropertyValue(value, 0))
            continue;
        QVariantList args{value};
        const HResult one = Invoke(p.dispid, kDispatchPropertyPut, args, nullptr);
        if (!Succeeded(one) && Succeeded(hr)) hr = one;
    }
    sink_ = sink;
    return hr;
}

HResult Transliterate::Save(PropertyBag& bag) {
    const QFont ambient = AmbientFont();
    for (const Persisted& p : kPersisted) {
        QVariant value;
        QVariantList none;
        Invoke(p.dispid, kDispatchPropertyGet, none, &value);
        bag.WriteProperty(QLatin1String(p.name), value, DefaultOf(p.dispid, ambient));
    }
    return kS_OK;
}

}  // namespace vrayu
