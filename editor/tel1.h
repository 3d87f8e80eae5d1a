// tel1: the document window's transliteration control. The editor reaches it
// only through the control's dispatch interface, by the dispatch ids of
// transliterate_control.h; the typed helpers below are shorthands for
// Get/Put/Call.
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

#include "transliterate_control.h"

class QWidget;

namespace vrayu {

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

    QString TextEnglish() const { return Get(dispid::TextEnglish).toString(); }
    void SetTextEnglish(const QString& s) { Put(dispid::TextEnglish, s); }
    QString TextTelugu() const { return Get(dispid::TextTelugu).toString(); }
    void SetTextTelugu(const QString& s) { Put(dispid::TextTelugu, s); }
    QString TextHTML() const { return Get(dispid::TextHTML).toString(); }
    void SetTextHTML(const QString& s) { Put(dispid::TextHTML, s); }
    bool EnglishChanged() const { return Get(dispid::ib_English_changed).toBool(); }
    void SetEnglishChanged(bool b) { Put(dispid::ib_English_changed, b); }
    bool AutoConvert() const { return Get(dispid::Auto_Convert).toBool(); }
    void SetAutoConvert(bool b) { Put(dispid::Auto_Convert, b); }
    void ConvertNow() { Call(dispid::ConvertNow); }
    void Convert2HTML() { Call(dispid::Convert2HTML); }
};

// Creates the registered "Vrayu.Transliterate" control; null on failure.
std::unique_ptr<Tel1> CreateRegisteredControl(QWidget* parent);

// Replaces how Tel1::Create makes controls (tests); an empty function restores
// the registered control.
void SetTel1Factory(std::function<std::unique_ptr<Tel1>(QWidget*)> factory);

}  // namespace vrayu
