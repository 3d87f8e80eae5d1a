// The registry store as it was before the databases: one text file per
// root, re-read for every read and rewritten (with fsync and rename, under a
// flock) for every write. Kept only so the benchmark can show both side by
// side in one run; nothing else links it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vrayu::registry_baseline {

// The predefined roots, in the order the registry operations name them.
enum class Root { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };

// "HKEY_CLASSES_ROOT", ...: also the file name of the root in the store.
std::string_view RootName(Root root);
// Accepts the long names and the short forms "HKCR", "HKCU", "HKLM", "HKU",
// "HKCC", "HKDD" (any case).
std::optional<Root> RootFromName(std::string_view name);

// Value types, numbered as the classic registry numbers them.
enum class ValueType : std::uint32_t {
    String = 1,        // REG_SZ
    ExpandString = 2,  // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    DWord = 4,         // REG_DWORD
    MultiString = 7,   // REG_MULTI_SZ
};

struct Value {
    ValueType type = ValueType::String;
    std::string text;                  // String, ExpandString (bytes as stored)
    std::vector<std::string> strings;  // MultiString
    std::string bytes;                 // Binary
    std::uint32_t dword = 0;           // DWord

    static Value String(std::string s) { return {ValueType::String, std::move(s), {}, {}, 0}; }
    static Value ExpandString(std::string s) { return {ValueType::ExpandString, std::move(s), {}, {}, 0}; }
    static Value Binary(std::string b) { return {ValueType::Binary, {}, {}, std::move(b), 0}; }
    static Value DWord(std::uint32_t d) { return {ValueType::DWord, {}, {}, {}, d}; }
    static Value MultiString(std::vector<std::string> v) { return {ValueType::MultiString, {}, std::move(v), {}, 0}; }

    bool operator==(const Value&) const = default;
};

enum class Status {
    Ok,
    NotFound,         // key or value does not exist
    HasSubkeys,       // a key with subkeys cannot be deleted by DeleteKey
    InvalidArgument,  // empty or malformed key path
    IoError,          // the store could not be read or written
};

// The contents of one root, in memory.
class Hive {
public:
    bool HasKey(std::string_view path) const;
    // Creates the key and every missing key above it; the root ("") exists always.
    Status CreateKey(std::string_view path);
    // Deletes a key that has no subkeys.
    Status DeleteKey(std::string_view path);
    // Deletes a key with everything below it.
    Status DeleteTree(std::string_view path);
    // Names of the direct subkeys, as created, in case-insensitive order.
    std::vector<std::string> SubKeys(std::string_view path) const;
    // Values of a key, in the order they were first set.
    std::vector<std::pair<std::string, Value>> Values(std::string_view path) const;
    const Value* FindValue(std::string_view path, std::string_view name) const;
    // The key must exist.
    Status SetValue(std::string_view path, std::string_view name, Value value);
    Status DeleteValue(std::string_view path, std::string_view name);

    std::string Serialize() const;
    // No value when the text is not a store file.
    static std::optional<Hive> Parse(std::string_view text);

private:
    struct Key {
        std::string path;  // as created
        std::vector<std::pair<std::string, Value>> values;
    };
    Key* Find(std::string_view path);
    const Key* Find(std::string_view path) const;

    std::map<std::string, Key> keys_;  // by lower-case path
};

// Trims leading and trailing "\" and rejects empty names inside the path
// ("a\\b"); the root itself is "".
std::optional<std::string> NormalizePath(std::string_view path);

class Store {
public:
    // The folder named by VRAYU_REGISTRY_DIR, else $XDG_CONFIG_HOME/vrayu/registry
    // (~/.config/vrayu/registry).
    static std::filesystem::path DefaultDirectory();

    Store();
    explicit Store(std::filesystem::path directory);
    const std::filesystem::path& Directory() const { return dir_; }

    // A consistent snapshot of one root (a missing file is an empty root).
    Status Read(Root root, Hive& out) const;
    // Runs `edit` on the current contents under the exclusive lock and
    // writes the result when it returns Ok; nothing is written otherwise.
    Status Update(Root root, const std::function<Status(Hive&)>& edit);

    bool KeyExists(Root root, std::string_view path) const;
    Status CreateKey(Root root, std::string_view path);
    Status DeleteKey(Root root, std::string_view path);
    Status DeleteTree(Root root, std::string_view path);
    std::vector<std::string> SubKeys(Root root, std::string_view path) const;
    std::vector<std::pair<std::string, Value>> Values(Root root, std::string_view path) const;
    std::optional<Value> ReadValue(Root root, std::string_view path, std::string_view name) const;
    // Creates the key when it is missing, then sets the value.
    Status WriteValue(Root root, std::string_view path, std::string_view name, Value value);
    Status DeleteValue(Root root, std::string_view path, std::string_view name);

private:
    std::filesystem::path FileOf(Root root) const;
    std::filesystem::path dir_;
};

}  // namespace vrayu::registry_baseline
