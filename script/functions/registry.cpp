// The reg family over the system's one registry store (platform/registry).
// Key handles are numbers of a process-wide table mapping to a root and a
// key path; the predefined roots are the "@reg" constants themselves.
#include "functions/logic/atomic_file.h"
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/ini_file.h"
#include "functions/logic/registry_item.h"
#include "registry_store.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include <unistd.h>

namespace tarn::fn {
namespace {

namespace reg = vrayu::registry;
using reg::Root;
using reg::ValueType;

constexpr std::uint32_t kRootBase = 0x80000000u;
constexpr int kFirstHandle = 0x1000;

struct OpenKey {
    Root root;
    std::string path;  // "" is the root itself
};

struct KeyTable {
    std::mutex lock;
    std::map<std::int32_t, OpenKey> keys;
    std::int32_t next = kFirstHandle;
    // Hives loaded with regloadhive: root, lower-case subkey -> file.
    std::map<std::pair<int, std::string>, std::string> hives;
};

KeyTable& Table() {
    static KeyTable t;
    return t;
}

std::optional<OpenKey> Lookup(std::int32_t h) {
    const auto u = static_cast<std::uint32_t>(h);
    if (u >= kRootBase && u <= kRootBase + 3) {
        static constexpr Root kRoots[] = {Root::ClassesRoot, Root::CurrentUser, Root::LocalMachine, Root::Users};
        return OpenKey{kRoots[u - kRootBase], ""};
    }
    KeyTable& t = Table();
    std::lock_guard g(t.lock);
    auto it = t.keys.find(h);
    if (it == t.keys.end()) return std::nullopt;
    return it->second;
}

std::int32_t NewHandle(OpenKey k) {
    KeyTable& t = Table();
    std::lock_guard g(t.lock);
    const std::int32_t h = t.next++;
    t.keys.emplace(h, std::move(k));
    return h;
}

// The key named by handle + subkey; nothing (and the error set) when the
// handle is unknown or the path malformed.
std::optional<OpenKey> Resolve(Call& c, std::int32_t h, std::string_view subkey, int error) {
    auto base = Lookup(h);
    if (!base) {
        c.Fail(error);
        return std::nullopt;
    }
    std::string path = base->path;
    if (!subkey.empty()) path += (path.empty() ? "" : "\\") + std::string(subkey);
    auto norm = reg::NormalizePath(path);
    if (!norm) {
        c.Fail(error);
        return std::nullopt;
    }
    return OpenKey{base->root, *norm};
}

// Parses the item argument; false with its error set.
bool Item(Call& c, std::string_view text, RegItem* out) {
    const int e = ParseRegItem(text, out);
    if (e) c.Fail(e);
    return e == 0;
}

// --- keys -----------------------------------------------------------------

void RegOpenKey(Call& c) {
    if (c.Str(1).size() > kRegSubkeyMax) return c.Fail(kRegSubkeyTooLong);
    auto k = Resolve(c, c.Int(0), c.Str(1), err::RegOpenKeyFunctionFailed);
    if (!k) return;
    if (!reg::Store().KeyExists(k->root, k->path)) return c.Fail(err::RegOpenKeyFunctionFailed);
    c.ReturnInt(NewHandle(*k));
}

void RegCreateKey(Call& c) {
    if (c.Str(1).size() > kRegSubkeyMax) return c.Fail(kRegSubkeyTooLong);
    auto k = Resolve(c, c.Int(0), c.Str(1), err::RegCreateKeyFunctionFailed);
    if (!k) return;
    if (!k->path.empty() && reg::Store().CreateKey(k->root, k->path) != reg::Status::Ok)
        return c.Fail(err::RegCreateKeyFunctionFailed);
    c.ReturnInt(NewHandle(*k));
}

// Closing a predefined root is allowed and does nothing.
void RegCloseKey(Call& c) {
    const auto u = static_cast<std::uint32_t>(c.Int(0));
    if (u >= kRootBase && u <= kRootBase + 3) return c.ReturnInt(1);
    KeyTable& t = Table();
    std::lock_guard g(t.lock);
    if (t.keys.erase(c.Int(0)) == 0) return c.Fail(err::RegCloseKeyFunctionFailed);
    c.ReturnInt(1);
}

// Deletes the key with everything below it.
void RegDeleteKey(Call& c) {
    if (c.Str(1).empty()) return c.Fail(err::RegDeleteKeySubkeyCannotBlank);
    if (c.Str(1).size() > kRegSubkeyMax) return c.Fail(kRegSubkeyTooLong);
    auto k = Resolve(c, c.Int(0), c.Str(1), err::RegDeleteKeyFunctionFailed);
    if (!k) return;
    if (reg::Store().DeleteTree(k->root, k->path) != reg::Status::Ok) return c.Fail(err::RegDeleteKeyFunctionFailed);
    c.ReturnInt(1);
}

void RegExistKey(Call& c) {
    auto base = Lookup(c.Int(0));
    if (!base) return c.ReturnInt(0);
    std::string path = base->path;
    if (!c.Str(1).empty()) path += (path.empty() ? "" : "\\") + std::string(c.Str(1));
    auto norm = reg::NormalizePath(path);
    c.ReturnInt(norm && reg::Store().KeyExists(base->root, *norm) ? 1 : 0);
}

std::string JoinItems(Call& c, const std::vector<std::string>& names) {
    std::string out;
    const std::string delim = ItemDelim(c);
    for (std::size_t i = 0; i < names.size(); ++i) out += (i ? delim : "") + names[i];
    return out;
}

// Name of the subkey at a 0-based index; "" past the last one.
void RegQueryKey(Call& c) {
    auto k = Resolve(c, c.Int(0), "", err::REGFunctionsUnableOpenCreateSpecified);
    if (!k) return;
    const auto subs = reg::Store().SubKeys(k->root, k->path);
    const int i = c.Int(1);
    ReturnTextOrMemError(c, i >= 0 && i < static_cast<int>(subs.size()) ? subs[i] : "");
}

void RegQueryKeys(Call& c) {
    auto k = Resolve(c, c.Int(0), "", err::REGFunctionsUnableOpenCreateSpecified);
    if (!k) return;
    if (!reg::Store().KeyExists(k->root, k->path)) return c.Fail(err::REGFunctionsUnableOpenCreateSpecified);
    ReturnTextOrMemError(c, JoinItems(c, reg::Store().SubKeys(k->root, k->path)));
}

// Names of the named values of a subkey (the default value has no name and
// is not listed).
void RegQueryItem(Call& c) {
    auto k = Resolve(c, c.Int(0), c.Str(1), err::RegQueryItemUnableOpenSpecifiedSubkey);
    if (!k) return;
    reg::Store store;
    if (!store.KeyExists(k->root, k->path)) return c.Fail(err::RegQueryItemUnableOpenSpecifiedSubkey);
    std::vector<std::string> names;
    for (const auto& [name, v] : store.Values(k->root, k->path))
        if (!name.empty()) names.push_back(name);
    ReturnTextOrMemError(c, JoinItems(c, names));
}

// --- values ---------------------------------------------------------------

// The value an item names: the key must exist (1452); a missing named value
// is `missing`; a missing default value reads as an empty string.
std::optional<reg::Value> ReadItem(Call& c, int missing) {
    RegItem item;
    if (!Item(c, c.Str(1), &item)) return std::nullopt;
    auto k = Resolve(c, c.Int(0), item.subkey, err::REGFunctionsUnableOpenCreateSpecified);
    if (!k) return std::nullopt;
    reg::Store store;
    if (!store.KeyExists(k->root, k->path)) {
        c.Fail(err::REGFunctionsUnableOpenCreateSpecified);
        return std::nullopt;
    }
    auto v = store.ReadValue(k->root, k->path, item.name);
    if (!v && item.name.empty()) return reg::Value::String("");
    if (!v) c.Fail(missing);
    return v;
}

// Text of a value of the given type; false with the error set.
bool QueryAs(Call& c, int type, std::string_view delim, std::string* out) {
    auto v = ReadItem(c, err::RegQueryValueFunctionFailed);
    if (!v) return false;
    const auto err = RegValueText(*v, type, delim, out);
    if (err) c.Fail(err);
    return err == 0;
}

void Query(Call& c, int type, std::string_view delim = "|") {
    if (type == 7 && delim.size() != 1) return c.Fail(err::RegQueryMulSzRegSetMulSzInvalidDelimiter);
    std::string text;
    if (QueryAs(c, type, delim, &text)) ReturnTextOrMemError(c, text);
}

void RegQueryValue(Call& c) { Query(c, 1); }
void RegQueryExpSz(Call& c) { Query(c, 2); }
void RegQueryBin(Call& c) { Query(c, 3); }
void RegQueryDword(Call& c) { Query(c, 4); }
void RegQueryMulSz(Call& c) { Query(c, 7, c.Str(2)); }
void RegQueryEx(Call& c) {
    const int type = c.Int(3);
    if (type != 1 && type != 2 && type != 3 && type != 4 && type != 7) return c.Fail(err::RegQueryExInvalidType);
    Query(c, type, c.Str(2));
}

void Set(Call& c, int type, std::string_view text, std::string_view delim) {
    if (type == 7 && delim.size() != 1) return c.Fail(err::RegQueryMulSzRegSetMulSzInvalidDelimiter);
    reg::Value value;
    if (const int e = RegValueFromText(type, text, delim, &value)) return c.Fail(e);
    RegItem item;
    if (!Item(c, c.Str(1), &item)) return;
    auto k = Resolve(c, c.Int(0), item.subkey, err::REGFunctionsUnableOpenCreateSpecified);
    if (!k) return;
    const auto st = reg::Store().WriteValue(k->root, k->path, item.name, std::move(value));
    if (st == reg::Status::InvalidArgument) return c.Fail(err::REGFunctionsUnableOpenCreateSpecified);
    if (st != reg::Status::Ok) return c.Fail(err::RegSetValueFunctionFailed);
    c.ReturnInt(1);
}

void RegSetValue(Call& c) { Set(c, 1, c.Str(2), "|"); }
void RegSetExpSz(Call& c) { Set(c, 2, c.Str(2), "|"); }
void RegSetBin(Call& c) { Set(c, 3, c.Str(2), "|"); }
void RegSetDword(Call& c) { Set(c, 4, c.Str(2), "|"); }
void RegSetMulSz(Call& c) { Set(c, 7, c.Str(2), c.Str(3)); }
void RegSetEx(Call& c) {
    const int type = c.Int(4);
    if (type != 1 && type != 2 && type != 3 && type != 4 && type != 7) return c.Fail(err::RegSetExInvalidType);
    Set(c, type, c.Str(2), c.Str(3));
}

void RegDelValue(Call& c) {
    RegItem item;
    if (!Item(c, c.Str(1), &item)) return;
    auto k = Resolve(c, c.Int(0), item.subkey, err::REGFunctionsUnableOpenCreateSpecified);
    if (!k) return;
    reg::Store store;
    if (!store.KeyExists(k->root, k->path)) return c.Fail(err::REGFunctionsUnableOpenCreateSpecified);
    if (store.DeleteValue(k->root, k->path, item.name) != reg::Status::Ok)
        return c.Fail(err::RegQueryValueFunctionFailed);
    c.ReturnInt(1);
}

void RegExistValue(Call& c) {
    RegItem item;
    if (ParseRegItem(c.Str(1), &item) != 0) return c.ReturnInt(0);
    auto base = Lookup(c.Int(0));
    if (!base) return c.ReturnInt(0);
    std::string path = base->path;
    if (!item.subkey.empty()) path += (path.empty() ? "" : "\\") + item.subkey;
    auto norm = reg::NormalizePath(path);
    c.ReturnInt(norm && reg::Store().ReadValue(base->root, *norm, item.name) ? 1 : 0);
}

void RegEntryType(Call& c) {
    RegItem item;
    if (!Item(c, c.Str(1), &item)) return;
    auto k = Resolve(c, c.Int(0), item.subkey, err::RegEntryTypeUnableAccessRegistryValue);
    if (!k) return;
    auto v = reg::Store().ReadValue(k->root, k->path, item.name);
    if (!v) return c.Fail(err::RegEntryTypeUnableAccessRegistryValue);
    c.ReturnInt(static_cast<int>(v->type));
}

// --- connections, application paths, hives ----------------------------------

// Only this machine's registry exists: a blank name, "\\host" or "host" of
// this machine gives the root handle back; any other computer has no
// registry service to reach.
void RegConnect(Call& c) {
    std::string name(c.Str(0));
    while (!name.empty() && (name[0] == '\\' || name[0] == '/')) name.erase(0, 1);
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const auto u = static_cast<std::uint32_t>(c.Int(1));
    if (u != kRootBase + 2 && u != kRootBase + 3) return c.Fail(err::RegConnectInvalidHandle);
    if (!name.empty() && name != host && name != "localhost") return c.Fail(err::RegConnectRemoteRegistryServiceNot);
    c.ReturnInt(c.Int(1));
}

// Registers a program's path under "App Paths" (where program starts look
// first): the default value is the program's full path, "Path" the folder
// list given.
void RegApp(Call& c) {
    namespace fs = std::filesystem;
    std::string prog(c.Str(0));
    for (char& ch : prog)
        if (ch == '\\') ch = '/';
    std::error_code ec;
    fs::path full = fs::absolute(prog, ec);
    if (!fs::is_regular_file(full, ec) && !c.Str(1).empty()) {
        std::string dir(c.Str(1));
        dir = dir.substr(0, dir.find(';'));
        full = fs::absolute(fs::path(dir) / fs::path(prog).filename(), ec);
    }
    if (!fs::is_regular_file(full, ec)) return c.Fail(err::RegAppFileNotFound);
    const std::string key = std::string(kAppPathsKey) + "\\" + full.filename().string();
    reg::Store store;
    if (store.WriteValue(Root::LocalMachine, key, "", reg::Value::String(full.lexically_normal().string())) !=
            reg::Status::Ok ||
        store.WriteValue(Root::LocalMachine, key, "Path", reg::Value::String(std::string(c.Str(1)))) != reg::Status::Ok)
        return c.Fail(err::RegAppErrorWritingRegistry);
    c.ReturnInt(1);
}

// Copies a key with its values and subkeys from one hive to another; the
// first key or value that cannot be written (too deep a key) stops it.
reg::Status CopyTree(const reg::Hive& from, const std::string& fromPath, reg::Hive& to, const std::string& toPath) {
    if (auto s = to.CreateKey(toPath); s != reg::Status::Ok) return s;
    for (auto& [name, v] : from.Values(fromPath))
        if (auto s = to.SetValue(toPath, name, v); s != reg::Status::Ok) return s;
    for (const auto& sub : from.SubKeys(fromPath))
        if (auto s = CopyTree(from, fromPath.empty() ? sub : fromPath + "\\" + sub, to,
                              toPath.empty() ? sub : toPath + "\\" + sub);
            s != reg::Status::Ok)
            return s;
    return reg::Status::Ok;
}

std::string Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// A hive is a store file (the text form of one root); it is loaded as a
// subkey of @regmachine or @regusers, and unloading writes the subkey back
// to its file and removes it.
bool HiveRoot(Call& c, Root* root) {
    const auto u = static_cast<std::uint32_t>(c.Int(0));
    if (u != kRootBase + 2 && u != kRootBase + 3) {
        c.Fail(err::RegLoadUnloadHiveInvalidKeyHandle);
        return false;
    }
    *root = u == kRootBase + 2 ? Root::LocalMachine : Root::Users;
    return true;
}

void RegLoadHive(Call& c) {
    Root root;
    if (!HiveRoot(c, &root)) return;
    auto sub = reg::NormalizePath(c.Str(1));
    if (!sub || sub->empty() || sub->find('\\') != std::string::npos)
        return c.Fail(err::RegLoadHiveBadKeyDuplicateSubkey);
    std::ifstream in(std::string(c.Str(2)), std::ios::binary);
    if (!in) return c.Fail(err::RegLoadHiveSpecifiedFileNotFound);
    std::ostringstream ss;
    ss << in.rdbuf();
    auto hive = reg::Hive::Parse(ss.str());
    if (!hive) return c.Fail(err::RegLoadHiveSpecifiedFileNotValid);
    const auto st = reg::Store().Update(root, [&](reg::Hive& h) {
        if (h.HasKey(*sub)) return reg::Status::InvalidArgument;
        return CopyTree(*hive, "", h, *sub);
    });
    if (st == reg::Status::InvalidArgument) return c.Fail(err::RegLoadHiveBadKeyDuplicateSubkey);
    if (st != reg::Status::Ok) return c.Fail(err::RegLoadUnloadHiveFunctionFailed);
    KeyTable& t = Table();
    std::lock_guard g(t.lock);
    t.hives[{static_cast<int>(root), Lower(*sub)}] = std::filesystem::absolute(std::string(c.Str(2))).string();
    c.ReturnInt(1);
}

void RegUnloadHive(Call& c) {
    Root root;
    if (!HiveRoot(c, &root)) return;
    auto sub = reg::NormalizePath(c.Str(1));
    if (!sub || sub->empty()) return c.Fail(err::RegUnloadHiveInvalidSubkey);
    std::string file;
    {
        KeyTable& t = Table();
        std::lock_guard g(t.lock);
        auto it = t.hives.find({static_cast<int>(root), Lower(*sub)});
        if (it == t.hives.end()) return c.Fail(err::RegUnloadHiveBadKeySubkey);
        file = it->second;
        t.hives.erase(it);
    }
    bool saved = false;
    const auto st = reg::Store().Update(root, [&](reg::Hive& h) {
        if (!h.HasKey(*sub)) return reg::Status::NotFound;
        reg::Hive out;
        if (auto s = CopyTree(h, *sub, out, ""); s != reg::Status::Ok) return s;
        saved = ReplaceFile(file, out.Serialize());
        if (!saved) return reg::Status::IoError;
        return h.DeleteTree(*sub);
    });
    if (st == reg::Status::NotFound) return c.Fail(err::RegUnloadHiveBadKeySubkey);
    if (st != reg::Status::Ok) return c.Fail(err::RegLoadUnloadHiveFunctionFailed);
    c.ReturnInt(1);
}

constexpr BuiltinEntry kRegistry[] = {
    {"regopenkey", RegOpenKey},
    {"regcreatekey", RegCreateKey},
    {"regclosekey", RegCloseKey},
    {"regdeletekey", RegDeleteKey},
    {"regexistkey", RegExistKey},
    {"regquerykey", RegQueryKey},
    {"regquerykeys", RegQueryKeys},
    {"regqueryitem", RegQueryItem},
    {"regqueryvalue", RegQueryValue},
    {"regqueryexpsz", RegQueryExpSz},
    {"regquerybin", RegQueryBin},
    {"regquerydword", RegQueryDword},
    {"regquerymulsz", RegQueryMulSz},
    {"regqueryex", RegQueryEx},
    {"regsetvalue", RegSetValue},
    {"regsetexpsz", RegSetExpSz},
    {"regsetbin", RegSetBin},
    {"regsetdword", RegSetDword},
    {"regsetmulsz", RegSetMulSz},
    {"regsetex", RegSetEx},
    {"regdelvalue", RegDelValue},
    {"regexistvalue", RegExistValue},
    {"regentrytype", RegEntryType},
    {"regconnect", RegConnect},
    {"regapp", RegApp},
    {"regloadhive", RegLoadHive},
    {"regunloadhive", RegUnloadHive},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(registry, tarn::fn::kRegistry)
