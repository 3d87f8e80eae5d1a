// tel1: the document window's transliteration control. The editor reaches it
// only through the control's dispatch interface, by the documented dispatch
// ids; the typed helpers below are thin shorthands for Get/Put/Call.
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

class QWidget;

namespace vrayu {

// Dispatch ids of the control's default interface that the editor uses.
namespace dispid {
inline constexpr int kIbEnglishChanged = 0x40030003;
inline constexpr int kAutoConvert = 0x40030006;
inline constexpr int kTextEnglish = 0x68030014;
inline constexpr int kTextTelugu = 0x68030013;
inline constexpr int kTextHTML = 0x68030012;
inline constexpr int kTeluguBackColor = 0x68030010;
inline constexpr int kSelAlignment = 0x6803000F;
inline constexpr int kSelBold = 0x6803000E;
inline constexpr int kSelColor = 0x6803000C;
inline constexpr int kSelFontName = 0x6803000B;
inline constexpr int kSelFontSize = 0x6803000A;
inline constexpr int kSelItalic = 0x68030007;
inline constexpr int kSelLength = 0x68030006;
inline constexpr int kSelRTF = 0x68030004;
inline constexpr int kSelStart = 0x68030003;
inline constexpr int kSelText = 0x68030001;
inline constexpr int kSelUnderline = 0x68030000;
inline constexpr int kConvertNow = 0x6003003C;
inline constexpr int kConvert2HTML = 0x6003FE24;
inline constexpr int kSelPrint = 0x6003003D;
}  // namespace dispid

inline constexpr char kControlProgId[] = "Vrayu.Transliterate";
// The control's saved design state, shipped in the program directory.
inline constexpr char kDesignStateFile[] = "frmEditor.tel1.state";

class Tel1 {
public:
    virtual ~Tel1() = default;

    // Creates the control the component way (ProgID -> class id -> library
    // path in the registry store -> load -> class factory) as a child of
    // `parent` and loads the saved design state. Null when it cannot be made.
    static std::unique_ptr<Tel1> Create(QWidget* parent);

    virtual QWidget* Widget() const = 0;
    virtual QVariant Get(int id) const = 0;
    virtual void Put(int id, const QVariant& value) = 0;
    virtual QVariant Call(int id, const QVariantList& args = {}) = 0;

    QString TextEnglish() const { return Get(dispid::kTextEnglish).toString(); }
    void SetTextEnglish(const QString& s) { Put(dispid::kTextEnglish, s); }
    QString TextTelugu() const { return Get(dispid::kTextTelugu).toString(); }
    void SetTextTelugu(const QString& s) { Put(dispid::kTextTelugu, s); }
    QString TextHTML() const { return Get(dispid::kTextHTML).toString(); }
    void SetTextHTML(const QString& s) { Put(dispid::kTextHTML, s); }
    bool EnglishChanged() const { return Get(dispid::kIbEnglishChanged).toBool(); }
    void SetEnglishChanged(bool b) { Put(dispid::kIbEnglishChanged, b); }
    bool AutoConvert() const { return Get(dispid::kAutoConvert).toBool(); }
    void SetAutoConvert(bool b) { Put(dispid::kAutoConvert, b); }
    void ConvertNow() { Call(dispid::kConvertNow); }
    void Convert2HTML() { Call(dispid::kConvert2HTML); }
};

// Creates the registered "Vrayu.Transliterate" control; null on failure.
std::unique_ptr<Tel1> CreateRegisteredControl(QWidget* parent);

// Replaces how Tel1::Create makes controls (tests); an empty function restores
// the registered control.
void SetTel1Factory(std::function<std::unique_ptr<Tel1>(QWidget*)> factory);

}  // namespace vrayu
