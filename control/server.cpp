// The library's exports: the class object of the control, unloading, and
// self-registration in the registry store's classes root.
#include <dlfcn.h>
#include <stdlib.h>

#include <QByteArray>
#include <QString>
#include <atomic>
#include <string>

#include "data_page.h"
#include "registry_store.h"
#include "served_object.h"
#include "transliterate.h"

namespace vrayu {
namespace {

using registry::Hive;
using registry::Root;
using registry::Status;
using registry::Value;

std::atomic<int> g_locks{0};

bool SameId(const char* a, const char* b) {
    return a && b && QString::fromLatin1(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

class TransliterateFactory final : public ClassFactory {
public:
    HResult CreateInstance(QWidget* parent, TransliterateControl** control) override {
        if (!control) return kE_Pointer;
        auto* t = new Transliterate(parent);
        t->InitNew();
        *control = t;
        return kS_OK;
    }
    HResult LockServer(bool lock) override {
        g_locks += lock ? 1 : -1;
        return kS_OK;
    }
};

class DataPageFactory final : public PropertyPageFactory {
public:
    HResult CreatePage(QWidget* parent, PropertyPage** page) override {
        if (!page) return kE_Pointer;
        *page = new DataPage(parent);
        return kS_OK;
    }
};

// The path of this library, as the registry records it.
std::string LibraryPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&LibraryPath), &info) || !info.dli_fname) return {};
    // The name dlopen was given may be relative; the registry needs the file.
    char* resolved = realpath(info.dli_fname, nullptr);
    if (!resolved) return info.dli_fname;
    std::string path = resolved;
    free(resolved);
    return path;
}

Status SetDefault(Hive& h, const std::string& key, const std::string& value) {
    if (Status s = h.CreateKey(key); s != Status::Ok) return s;
    return h.SetValue(key, "", Value::String(value));
}

Status SetNamed(Hive& h, const std::string& key, const std::string& name, const std::string& value) {
    if (Status s = h.CreateKey(key); s != Status::Ok) return s;
    return h.SetValue(key, name, Value::String(value));
}

// Everything registration writes, as one edit of the classes root.
Status WriteRegistration(Hive& h, const std::string& path) {
    const std::string clsid = std::string("CLSID\\") + kTransliterateClsid;
    const std::string page = std::string("CLSID\\") + kDataPageClsid;
    const std::string typelib = std::string("TypeLib\\") + kVrayuTypeLibId;
    const std::string version = std::string(typelib) + "\\" + kVrayuTypeLibVersion;
    const std::string progId = kTransliterateProgId;
    Status s = Status::Ok;
    auto put = [&](Status r) {
        if (s == Status::Ok) s = r;
    };
    put(SetDefault(h, progId, progId));
    put(SetDefault(h, progId + "\\CLSID", kTransliterateClsid));
    put(SetDefault(h, clsid, progId));
    put(SetDefault(h, clsid + "\\InprocServer32", path));
    put(SetNamed(h, clsid + "\\InprocServer32", "ThreadingModel", "Apartment"));
    put(SetDefault(h, clsid + "\\ProgID", progId));
    put(SetDefault(h, clsid + "\\VERSION", kVrayuTypeLibVersion));
    put(SetDefault(h, clsid + "\\TypeLib", kVrayuTypeLibId));
    put(h.CreateKey(clsid + "\\Control"));
    put(h.CreateKey(clsid + "\\Programmable"));
    put(SetDefault(h, page, "Vrayu.Data"));
    put(SetDefault(h, page + "\\InprocServer32", path));
    put(SetNamed(h, page + "\\InprocServer32", "ThreadingModel", "Apartment"));
    put(SetDefault(h, version, kVrayuTypeLibHelp));
    put(SetDefault(h, version + "\\0\\linux", path));
    put(SetDefault(h, version + "\\FLAGS", "2"));
    const struct {
        const char* iid;
        const char* name;
    } interfaces[] = {
        {kTransliterateIid, "_Transliterate"}, {kTransliterateEventsIid, "__Transliterate"}, {kDataPageIid, "_Data"}};
    for (const auto& i : interfaces) {
        const std::string key = std::string("Interface\\") + i.iid;
        put(SetDefault(h, key, i.name));
        put(SetDefault(h, key + "\\TypeLib", kVrayuTypeLibId));
        put(SetNamed(h, key + "\\TypeLib", "Version", kVrayuTypeLibVersion));
    }
    return s;
}

Status RemoveRegistration(Hive& h) {
    const std::string keys[] = {
        kTransliterateProgId,
        std::string("CLSID\\") + kTransliterateClsid,
        std::string("CLSID\\") + kDataPageClsid,
        std::string("TypeLib\\") + kVrayuTypeLibId,
        std::string("Interface\\") + kTransliterateIid,
        std::string("Interface\\") + kTransliterateEventsIid,
        std::string("Interface\\") + kDataPageIid,
    };
    for (const auto& key : keys) h.DeleteTree(key);  // a missing key is fine
    return Status::Ok;
}

}  // namespace
}  // namespace vrayu

using namespace vrayu;

extern "C" {

__attribute__((visibility("default"))) HResult DllGetClassObject(const char* clsid, const char* iid, void** object) {
    if (!object) return kE_Pointer;
    *object = nullptr;
    const bool control = SameId(clsid, kTransliterateClsid), page = SameId(clsid, kDataPageClsid);
    if (!control && !page) return kClassE_ClassNotAvailable;
    if (!SameId(iid, kIClassFactoryIid)) return kE_NoInterface;
    static TransliterateFactory controlFactory;
    static DataPageFactory pageFactory;
    if (control) *object = static_cast<ClassFactory*>(&controlFactory);
    else *object = static_cast<PropertyPageFactory*>(&pageFactory);
    return kS_OK;
}

__attribute__((visibility("default"))) HResult DllCanUnloadNow() {
    return ServedObject::LiveCount() == 0 && g_locks.load() == 0 ? kS_OK : kS_FALSE;
}

__attribute__((visibility("default"))) HResult DllRegisterServer() {
    try {
        const std::string path = LibraryPath();
        if (path.empty()) return kSelfReg_E_Class;
        registry::Store store;
        const Status s = store.Update(Root::ClassesRoot, [&](Hive& h) { return WriteRegistration(h, path); });
        return s == Status::Ok ? kS_OK : kSelfReg_E_Class;
    } catch (...) {
        return kE_Fail;
    }
}

__attribute__((visibility("default"))) HResult DllUnregisterServer() {
    try {
        registry::Store store;
        const Status s = store.Update(Root::ClassesRoot, [](Hive& h) { return RemoveRegistration(h); });
        return s == Status::Ok ? kS_OK : kSelfReg_E_Class;
    } catch (...) {
        return kE_Fail;
    }
}

}  // extern "C"
