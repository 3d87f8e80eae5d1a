// What a host sees of the Transliterate control: its identifiers, dispatch
// ids, events, persistence and the class-factory entry points of the
// library. A host never links the library: it creates the control through the
// registry (see control_host.h) and talks to it through these interfaces.
#pragma once

#include <QList>
#include <QString>

#include "dispatch.h"
#include "property_bag.h"

class QDialog;
class QWidget;

namespace vrayu {

inline constexpr char kTransliterateProgId[] = "Vrayu.Transliterate";
inline constexpr char kTransliterateClsid[] = "{78C3BAB8-F065-11D0-A36D-444553540000}";
inline constexpr char kTransliterateIid[] = "{F2EAD5B2-CB12-11D1-8F2C-0060B01A66B6}";
inline constexpr char kTransliterateEventsIid[] = "{F2EAD5B3-CB12-11D1-8F2C-0060B01A66B6}";
inline constexpr char kDataPageClsid[] = "{78C3BABB-F065-11D0-A36D-444553540000}";
inline constexpr char kDataPageIid[] = "{78C3BABA-F065-11D0-A36D-444553540000}";
inline constexpr char kVrayuTypeLibId[] = "{A1F114ED-BA99-11D0-8E57-0060B01A66B6}";
inline constexpr char kVrayuTypeLibVersion[] = "12.2";
inline constexpr char kVrayuTypeLibHelp[] = "English to Telugu Transliterator";
inline constexpr char kIClassFactoryIid[] = "{00000001-0000-0000-C000-000000000046}";

// Dispatch ids of _Transliterate.
namespace dispid {
// Public fields (Boolean; no change notification).
inline constexpr int ib_English_changed = 0x40030003;
inline constexpr int ib_Telugu_changed = 0x40030004;
inline constexpr int ib_HTML_changed = 0x40030005;
inline constexpr int Auto_Convert = 0x40030006;
// Properties.
inline constexpr int BackColor = 0x68030019;
inline constexpr int ForeColor = 0x68030018;
inline constexpr int Enabled = 0x68030017;
inline constexpr int Font = -512;
inline constexpr int BackStyle = 0x68030016;
inline constexpr int BorderStyle = 0x68030015;
inline constexpr int TextEnglish = 0x68030014;
inline constexpr int TextTelugu = 0x68030013;
inline constexpr int TextHTML = 0x68030012;
inline constexpr int TeluguFont = 0x68030011;
inline constexpr int TeluguBackColor = 0x68030010;
inline constexpr int SelAlignment = 0x6803000F;
inline constexpr int SelBold = 0x6803000E;
inline constexpr int SelBullet = 0x6803000D;
inline constexpr int SelColor = 0x6803000C;
inline constexpr int SelFontName = 0x6803000B;
inline constexpr int SelFontSize = 0x6803000A;
inline constexpr int SelHangingIndent = 0x68030009;
inline constexpr int SelIndent = 0x68030008;
inline constexpr int SelItalic = 0x68030007;
inline constexpr int SelLength = 0x68030006;
inline constexpr int SelRightIndent = 0x68030005;
inline constexpr int SelRTF = 0x68030004;
inline constexpr int SelStart = 0x68030003;
inline constexpr int SelStrikeThru = 0x68030002;
inline constexpr int SelText = 0x68030001;
inline constexpr int SelUnderline = 0x68030000;
// Methods. SelPrint's one argument (the device context) is the QPrinter to
// print on, as a void* or as its address in an integer.
inline constexpr int ConvertNow = 0x6003003C;
inline constexpr int Convert2HTML = 0x6003FE24;
inline constexpr int SelPrint = 0x6003003D;
inline constexpr int SetURL = 0x6003002F;
inline constexpr int AddURL = 0x60030030;
inline constexpr int anySelBold = 0x60030031;
inline constexpr int anySelItalic = 0x60030032;
inline constexpr int anySelUnderline = 0x60030033;
inline constexpr int anySelSelStrikeThru = 0x60030034;
inline constexpr int ConvertToGIF = 0x6003FE01;
inline constexpr int VBColor2WebColor = 0x6003FE02;
}  // namespace dispid

// Dispatch ids of the event interface __Transliterate.
namespace eventid {
inline constexpr int SelChange = 1;
inline constexpr int Click = 2;
inline constexpr int DblClick = 3;
inline constexpr int KeyDown = 4;
inline constexpr int KeyPress = 5;
inline constexpr int KeyUp = 6;
inline constexpr int MouseDown = 7;
inline constexpr int MouseMove = 8;
inline constexpr int MouseUp = 9;
}  // namespace eventid

// What the control tells its host.
class TransliterateEvents {
public:
    // An event of __Transliterate (only SelChange is ever fired).
    virtual void OnEvent(int eventDispid, QVariantList& args) = 0;
    // A persisted property changed (after every property set from outside).
    virtual void OnPropertyChanged(int dispid, const QString& persistedName) = 0;

protected:
    ~TransliterateEvents() = default;
};

class TransliterateControl : public Dispatch {
public:
    // The control's widget; its parent owns it (deleting the widget destroys
    // the control).
    virtual QWidget* Widget() = 0;
    // The host's sink (not owned; nullptr to disconnect).
    virtual void SetEventSink(TransliterateEvents* sink) = 0;
    // Persistence: a new instance, or load / save through a bag.
    virtual void InitNew() = 0;
    virtual HResult Load(PropertyBag& bag) = 0;
    virtual HResult Save(PropertyBag& bag) = 0;
    // The property page "Data" for this control (modeless; the caller owns it).
    virtual QDialog* CreatePropertyPage(QWidget* parent) = 0;

protected:
    ~TransliterateControl() = default;
};

// The class object DllGetClassObject hands out for the control's class.
class ClassFactory {
public:
    // Creates a control as a child of `parent` (may be null).
    virtual HResult CreateInstance(QWidget* parent, TransliterateControl** control) = 0;
    // Keeps the library loaded while locked.
    virtual HResult LockServer(bool lock) = 0;

protected:
    ~ClassFactory() = default;
};

// A property page: a dialog that edits the selected objects through their
// dispatch interfaces.
class PropertyPage {
public:
    virtual QDialog* Dialog() = 0;
    // The container hands the page its selected objects (not owned).
    virtual void SetObjects(const QList<Dispatch*>& objects) = 0;
    // Whether the page has edits not yet applied (the container's Apply).
    virtual bool IsPageDirty() const = 0;
    virtual void Apply() = 0;

protected:
    ~PropertyPage() = default;
};

// The class object DllGetClassObject hands out for the property page "Data".
class PropertyPageFactory {
public:
    // The page belongs to the caller (delete its Dialog()).
    virtual HResult CreatePage(QWidget* parent, PropertyPage** page) = 0;

protected:
    ~PropertyPageFactory() = default;
};

// The library's exports (C linkage). Class ids and interface ids are text in
// registry form, "{...}", compared without regard to case. DllGetClassObject
// with kIClassFactoryIid gives a ClassFactory* for kTransliterateClsid and a
// PropertyPageFactory* for kDataPageClsid.
extern "C" {
using DllGetClassObjectFn = HResult (*)(const char* clsid, const char* iid, void** object);
using DllCanUnloadNowFn = HResult (*)();
using DllRegisterServerFn = HResult (*)();
using DllUnregisterServerFn = HResult (*)();
}

}  // namespace vrayu
