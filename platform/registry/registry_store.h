// The registry store: keys are paths of names joined by "\" and, as on the
// system the code was written for, compared without regard to ASCII case.
// Each key holds a default value (empty name) and named values with a type.
//
// The store is a folder of SQLite databases (WAL): the current user's root in
// one, the machine-wide roots in the other. Every change is one transaction,
// so two processes never lose each other's updates and a failed or
// interrupted write leaves the store as it was; reads are index look-ups.
// Text files of the earlier store in the folder are imported on first open
// and kept beside the database with the ending ".bak".
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vrayu::registry {

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
    InvalidArgument,  // empty or malformed key path, or one too deep
    IoError,          // the store could not be read or written
    Corrupt,          // the store file is damaged or not a store: left untouched
};

// Deepest key path the registry allows, in names.
inline constexpr std::size_t kMaxKeyDepth = 512;

namespace detail {
class Database;
}

// The contents of one root: a view of a root in the store (inside a
// Store::Update), or a hive of its own in memory (Parse, or default-made).
// Movable, not copyable.
class Hive {
public:
    Hive();  // empty, in memory
    ~Hive();
    Hive(Hive&&) noexcept;
    Hive& operator=(Hive&&) noexcept;

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
    std::optional<Value> FindValue(std::string_view path, std::string_view name) const;
    // The key must exist.
    Status SetValue(std::string_view path, std::string_view name, Value value);
    Status DeleteValue(std::string_view path, std::string_view name);

    // The readable text form ("VRAYU-REGISTRY 1", then "[key]" sections).
    std::string Serialize() const;
    // No value when the text is not a store file or nests keys too deep.
    static std::optional<Hive> Parse(std::string_view text);

private:
    friend class Store;
    friend Status ParseInto(std::string_view text, Hive& hive);
    Hive(std::shared_ptr<detail::Database> db, Root root) : db_(std::move(db)), root_(static_cast<int>(root)) {}
    detail::Database& Db() const;
    std::optional<std::int64_t> KeyId(std::string_view folded) const;

    mutable std::shared_ptr<detail::Database> db_;  // made on first use for a hive in memory
    int root_ = 0;
};

// Replaces nothing: adds the keys and values of the text form to `hive`.
Status ParseInto(std::string_view text, Hive& hive);

// Trims leading and trailing "\" and rejects empty names inside the path
// ("a\\b"); the root itself is "".
std::optional<std::string> NormalizePath(std::string_view path);

class Store {
public:
    // The folder named by VRAYU_REGISTRY_DIR, else $XDG_CONFIG_HOME/vrayu/registry,
    // else ~/.config/vrayu/registry with the home folder from $HOME or, when
    // that is unset, the password database; "" when there is no home folder
    // (every operation then fails: never a shared folder).
    static std::filesystem::path DefaultDirectory();

    Store();
    explicit Store(std::filesystem::path directory);
    const std::filesystem::path& Directory() const { return dir_; }
    // The database file that holds a root.
    std::filesystem::path DatabaseFile(Root root) const;

    // A consistent copy of one root (a store not yet made is an empty root).
    Status Read(Root root, Hive& out) const;
    // Runs `edit` on the root inside one write transaction and commits when
    // it returns Ok; nothing is written otherwise.
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

    // The root in the readable text form, and the root replaced by one.
    Status ExportText(Root root, std::string* text) const;
    Status ImportText(Root root, std::string_view text);

private:
    // The open database of a root; none (with Ok) when it does not exist yet
    // and `create` is false.
    std::shared_ptr<detail::Database> Connect(Root root, bool create, Status* status) const;
    // Runs `read` on a view of the root, under the connection's lock.
    Status View(Root root, const std::function<void(const Hive&)>& read) const;
    std::filesystem::path dir_;
};

}  // namespace vrayu::registry
