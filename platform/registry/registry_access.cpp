#include "registry_access.h"

namespace vrayu::registry {

std::optional<Root> SelectRoot(const RootFlags& f) {
    // ORDER Root
    const bool flags[] = {f.classesRoot, f.currentUser, f.localMachine, f.users, f.currentConfig, f.dynData};
    for (int i = 0; i < 6; ++i)
        if (flags[i]) return static_cast<Root>(i);
    return std::nullopt;
}

std::string ReadStringValue(const Store& store, std::string_view keyPath, std::string_view valueName,
                            const RootFlags& flags) {
    const auto root = SelectRoot(flags);
    if (!root) return "";
    const auto value = store.ReadValue(*root, keyPath, valueName);
    if (!value || (value->type != ValueType::String && value->type != ValueType::ExpandString)) return "";
    return value->text.substr(0, kMaxReadLength);
}

void WriteStringValue(Store& store, std::string_view keyPath, std::string_view valueName, std::string_view data,
                      const RootFlags& flags) {
    if (const auto root = SelectRoot(flags))
        store.WriteValue(*root, keyPath, valueName, Value::String(std::string(data)));
}

bool KeyExists(const Store& store, std::string_view keyPath, const RootFlags& flags) {
    const auto root = SelectRoot(flags);
    return root && store.KeyExists(*root, keyPath);
}

std::string ReadStringValue(std::string_view keyPath, std::string_view valueName, const RootFlags& flags) {
    if (!SelectRoot(flags)) return "";
    return ReadStringValue(Store(), keyPath, valueName, flags);
}

void WriteStringValue(std::string_view keyPath, std::string_view valueName, std::string_view data,
                      const RootFlags& flags) {
    if (!SelectRoot(flags)) return;
    Store store;
    WriteStringValue(store, keyPath, valueName, data, flags);
}

bool KeyExists(std::string_view keyPath, const RootFlags& flags) {
    if (!SelectRoot(flags)) return false;
    return KeyExists(Store(), keyPath, flags);
}

}  // namespace vrayu::registry
