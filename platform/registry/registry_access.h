// The three small registry operations the editor uses, with the root chosen
// by six flags (classes root, current user, local machine, users, current
// configuration, dynamic data): the first flag that is true selects the root;
// with none true an operation does nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "registry_store.h"

namespace vrayu::registry {

struct RootFlags {
    bool classesRoot = false;
    bool currentUser = false;
    bool localMachine = false;
    bool users = false;
    bool currentConfig = false;
    bool dynData = false;
};

std::optional<Root> SelectRoot(const RootFlags& flags);

// Longest text a read returns: the 255-character buffer less its terminator.
inline constexpr std::size_t kMaxReadLength = 254;

// The string value, cut to kMaxReadLength characters; "" on any failure (no
// root selected, missing key or value, a value that is not a string).
std::string ReadStringValue(const Store& store, std::string_view keyPath, std::string_view valueName,
                            const RootFlags& flags);
// Creates or opens the key and sets the value as a plain string. Failures are
// not reported (the caller carries on either way).
void WriteStringValue(Store& store, std::string_view keyPath, std::string_view valueName, std::string_view data,
                      const RootFlags& flags);
bool KeyExists(const Store& store, std::string_view keyPath, const RootFlags& flags);

// The same on the default store (Store::DefaultDirectory(), read afresh on
// every call so an environment override always holds).
std::string ReadStringValue(std::string_view keyPath, std::string_view valueName, const RootFlags& flags);
void WriteStringValue(std::string_view keyPath, std::string_view valueName, std::string_view data,
                      const RootFlags& flags);
bool KeyExists(std::string_view keyPath, const RootFlags& flags);

}  // namespace vrayu::registry
