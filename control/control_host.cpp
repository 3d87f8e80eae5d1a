#include "control_host.h"

#include <dlfcn.h>

#include <QHash>

#include "registry_store.h"

namespace vrayu {
namespace {

using registry::Root;

QString DefaultString(const std::string& key) {
    registry::Store store;
    const auto value = store.ReadValue(Root::ClassesRoot, key, "");
    if (!value || (value->type != registry::ValueType::String && value->type != registry::ValueType::ExpandString))
        return {};
    return QString::fromStdString(value->text);
}

void SetError(QString* error, const QString& text) {
    if (error) *error = text;
}

// Libraries stay loaded for the life of the process, as in-process servers
// do while any object of theirs may still exist.
void* OpenLibrary(const QString& path, QString* error) {
    static QHash<QString, void*> loaded;
    if (void* handle = loaded.value(path)) return handle;
    void* handle = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        SetError(error, QStringLiteral("Cannot load %1: %2").arg(path, QString::fromLocal8Bit(dlerror())));
        return nullptr;
    }
    loaded.insert(path, handle);
    return handle;
}

HResult CallRegistration(const QString& libraryPath, const char* entry, QString* error) {
    void* handle = OpenLibrary(libraryPath, error);
    if (!handle) return kE_Fail;
    auto fn = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, entry));
    if (!fn) {
        SetError(error, QStringLiteral("%1 has no %2").arg(libraryPath, QLatin1String(entry)));
        return kE_Fail;
    }
    const HResult hr = fn();
    if (!Succeeded(hr))
        SetError(error, QStringLiteral("%1 failed (0x%2)")
                            .arg(QLatin1String(entry))
                            .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0')));
    return hr;
}

}  // namespace

QString ClsidFromProgId(const QString& progId) { return DefaultString(progId.toStdString() + "\\CLSID"); }

QString InprocServerPath(const QString& clsid) {
    return DefaultString("CLSID\\" + clsid.toStdString() + "\\InprocServer32");
}

namespace {

// The class object of a registered class, from its server library.
void* ClassObject(const QString& clsid, QString* error) {
    const QString path = InprocServerPath(clsid);
    if (path.isEmpty()) {
        SetError(error, QStringLiteral("The class %1 has no server library.").arg(clsid));
        return nullptr;
    }
    void* handle = OpenLibrary(path, error);
    if (!handle) return nullptr;
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    if (!getClassObject) {
        SetError(error, QStringLiteral("%1 has no DllGetClassObject").arg(path));
        return nullptr;
    }
    void* object = nullptr;
    const QByteArray clsidText = clsid.toLatin1();
    const HResult hr = getClassObject(clsidText.constData(), kIClassFactoryIid, &object);
    if (!Succeeded(hr) || !object) {
        SetError(error, QStringLiteral("%1 does not serve %2").arg(path, clsid));
        return nullptr;
    }
    return object;
}

}  // namespace

TransliterateControl* CreateControl(const QString& progId, QWidget* parent, QString* error) {
    const QString clsid = ClsidFromProgId(progId);
    if (clsid.isEmpty()) {
        SetError(error, QStringLiteral("The class %1 is not registered.").arg(progId));
        return nullptr;
    }
    void* object = ClassObject(clsid, error);
    if (!object) return nullptr;
    TransliterateControl* control = nullptr;
    const HResult hr = static_cast<ClassFactory*>(object)->CreateInstance(parent, &control);
    if (!Succeeded(hr) || !control) {
        SetError(error, QStringLiteral("Creating %1 failed").arg(progId));
        return nullptr;
    }
    return control;
}

PropertyPage* CreatePropertyPage(const QString& clsid, QWidget* parent, QString* error) {
    void* object = ClassObject(clsid, error);
    if (!object) return nullptr;
    PropertyPage* page = nullptr;
    if (!Succeeded(static_cast<PropertyPageFactory*>(object)->CreatePage(parent, &page)) || !page) {
        SetError(error, QStringLiteral("Creating the property page %1 failed").arg(clsid));
        return nullptr;
    }
    return page;
}

HResult RegisterServerLibrary(const QString& libraryPath, QString* error) {
    return CallRegistration(libraryPath, "DllRegisterServer", error);
}

HResult UnregisterServerLibrary(const QString& libraryPath, QString* error) {
    return CallRegistration(libraryPath, "DllUnregisterServer", error);
}

}  // namespace vrayu
