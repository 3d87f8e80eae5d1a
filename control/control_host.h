// How a container creates the control: ProgID -> CLSID -> library path, all
// from the registry store's classes root, then dlopen, DllGetClassObject and
// the class factory. Also registers a server library (as regsvr32 would).
#pragma once

#include <QString>

#include "transliterate_control.h"

class QWidget;

namespace vrayu {

// The CLSID registered for a ProgID, "" when none.
QString ClsidFromProgId(const QString& progId);
// The InprocServer32 library registered for a CLSID, "" when none.
QString InprocServerPath(const QString& clsid);

// Creates the control registered as `progId` as a child of `parent`. Returns
// null on failure with a description in `error`. The library stays loaded.
TransliterateControl* CreateControl(const QString& progId, QWidget* parent, QString* error = nullptr);
inline TransliterateControl* CreateTransliterate(QWidget* parent, QString* error = nullptr) {
    return CreateControl(QString::fromLatin1(kTransliterateProgId), parent, error);
}

// Creates the property page registered as `clsid` (the control's page is
// kDataPageClsid). Returns null on failure with a description in `error`.
PropertyPage* CreatePropertyPage(const QString& clsid, QWidget* parent, QString* error = nullptr);

// Loads `libraryPath` and calls its DllRegisterServer / DllUnregisterServer.
HResult RegisterServerLibrary(const QString& libraryPath, QString* error = nullptr);
HResult UnregisterServerLibrary(const QString& libraryPath, QString* error = nullptr);

}  // namespace vrayu
