// The key and value operations of a hive, as statements on its database.
// Every operation touches only the rows it names: look-ups go through the
// index on (root, folded path), enumeration through (parent, folded path),
// and a tree is the range of folded paths that begin with its path and "\".
#include "database.h"
#include "key_path.h"
#include "registry_store.h"

#include <new>

namespace vrayu::registry {

using detail::Database;
using detail::Fold;
using detail::Query;

namespace {

// A row that cannot be read back is damage, not an absent value.
std::optional<Value> ReadDataOrFail(Database& db, const Query& q, int col) {
    auto v = detail::ReadValue(q, col);
    if (!v) db.Check(SQLITE_CORRUPT);
    return v;
}

}  // namespace

Hive::Hive() = default;
Hive::~Hive() = default;
Hive::Hive(Hive&&) noexcept = default;
Hive& Hive::operator=(Hive&&) noexcept = default;

Database& Hive::Db() const {
    if (!db_) {
        Status s;
        db_ = Database::OpenMemory(&s);
        if (!db_) throw std::bad_alloc();
    }
    return *db_;
}

std::optional<std::int64_t> Hive::KeyId(std::string_view folded) const {
    Query q(Db(), "SELECT id FROM key WHERE root = ?1 AND folded = ?2");
    q.Bind(root_).Bind(folded);
    if (!q.Step()) return std::nullopt;
    return q.Int(0);
}

bool Hive::HasKey(std::string_view path) const {
    std::lock_guard lock(Db().mutex);
    auto norm = NormalizePath(path);
    return norm && KeyId(Fold(*norm));
}

Status Hive::CreateKey(std::string_view path) {
    std::lock_guard lock(Db().mutex);
    auto norm = NormalizePath(path);
    if (!norm || detail::Depth(*norm) > kMaxKeyDepth) return Status::InvalidArgument;
    const std::string folded = Fold(*norm);
    if (KeyId(folded)) return Status::Ok;
    // Ends of the path's prefixes, the whole path last.
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < folded.size(); ++i)
        if (folded[i] == '\\') ends.push_back(i);
    ends.push_back(folded.size());
    // The deepest key above that exists already (at least the root).
    std::size_t first = ends.size() - 1;
    std::optional<std::int64_t> parent;
    while (first > 0 && !(parent = KeyId(std::string_view(folded).substr(0, ends[first - 1])))) --first;
    if (!parent && !(parent = KeyId(""))) return Db().Failure() == Status::Ok ? Status::Corrupt : Db().Failure();
    for (std::size_t i = first; i < ends.size(); ++i) {
        Query q(Db(), "INSERT INTO key(root, parent, folded, path) VALUES (?1, ?2, ?3, ?4) RETURNING id");
        q.Bind(root_)
            .Bind(*parent)
            .Bind(std::string_view(folded).substr(0, ends[i]))
            .Bind(std::string_view(*norm).substr(0, ends[i]));
        if (!q.Step()) return Db().Failure();
        parent = q.Int(0);
    }
    return Status::Ok;
}

Status Hive::DeleteKey(std::string_view path) {
    std::lock_guard lock(Db().mutex);
    auto norm = NormalizePath(path);
    if (!norm || norm->empty()) return Status::InvalidArgument;
    const auto id = KeyId(Fold(*norm));
    if (!id) return Status::NotFound;
    {
        Query sub(Db(), "SELECT 1 FROM key WHERE parent = ?1 LIMIT 1");
        if (sub.Bind(*id).Step()) return Status::HasSubkeys;
    }
    if (Status s = Query(Db(), "DELETE FROM value WHERE key = ?1").Bind(*id).Run(); s != Status::Ok) return s;
    return Query(Db(), "DELETE FROM key WHERE id = ?1").Bind(*id).Run();
}

Status Hive::DeleteTree(std::string_view path) {
    std::lock_guard lock(Db().mutex);
    auto norm = NormalizePath(path);
    if (!norm || norm->empty()) return Status::InvalidArgument;
    const std::string folded = Fold(*norm);
    const auto id = KeyId(folded);
    if (!id) return Status::NotFound;
    // Everything below is the range [path "\", path "]"): "]" follows "\".
    // Siblings such as "path 2" or "path-x" sort elsewhere and stay.
    const std::string from = folded + "\\", to = folded + "]";
    Status s = Query(Db(),
                     "DELETE FROM value WHERE key IN "
                     "(SELECT id FROM key WHERE root = ?1 AND folded >= ?2 AND folded < ?3)")
                   .Bind(root_)
                   .Bind(from)
                   .Bind(to)
                   .Run();
    if (s == Status::Ok) s = Query(Db(), "DELETE FROM value WHERE key = ?1").Bind(*id).Run();
    if (s == Status::Ok)
        s = Query(Db(), "DELETE FROM key WHERE root = ?1 AND folded >= ?2 AND folded < ?3")
                .Bind(root_)
                .Bind(from)
                .Bind(to)
                .Run();
    if (s == Status::Ok) s = Query(Db(), "DELETE FROM key WHERE id = ?1").Bind(*id).Run();
    return s;
}

std::vector<std::string> Hive::SubKeys(std::string_view path) const {
    std::lock_guard lock(Db().mutex);
    std::vector<std::string> out;
    auto norm = NormalizePath(path);
    const auto id = norm ? KeyId(Fold(*norm)) : std::nullopt;
    if (!id) return out;
    Query q(Db(), "SELECT path FROM key WHERE parent = ?1 ORDER BY folded");
    q.Bind(*id);
    while (q.Step()) {
        std::string sub = q.Text(0);
        out.push_back(sub.substr(sub.rfind('\\') + 1));  // npos + 1 is 0
    }
    return out;
}

std::vector<std::pair<std::string, Value>> Hive::Values(std::string_view path) const {
    std::lock_guard lock(Db().mutex);
    std::vector<std::pair<std::string, Value>> out;
    auto norm = NormalizePath(path);
    const auto id = norm ? KeyId(Fold(*norm)) : std::nullopt;
    if (!id) return out;
    Query q(Db(), "SELECT name, type, data FROM value WHERE key = ?1 ORDER BY id");
    q.Bind(*id);
    while (q.Step())
        if (auto v = ReadDataOrFail(Db(), q, 1)) out.emplace_back(q.Text(0), std::move(*v));
    return out;
}

std::optional<Value> Hive::FindValue(std::string_view path, std::string_view name) const {
    std::lock_guard lock(Db().mutex);
    auto norm = NormalizePath(path);
    if (!norm) return std::nullopt;
    Query q(Db(),
            "SELECT v.type, v.data FROM key k JOIN value v ON v.key = k.id "
            "WHERE k.root = ?1 AND k.folded = ?2 AND v.folded = ?3");
    q.Bind(root_).Bind(Fold(*norm)).Bind(Fold(name));
    if (!q.Step()) return std::nullopt;
    return ReadDataOrFail(Db(), q, 0);
}

Status Hive::SetValue(std::string_view path, std::string_view name, Value value) {
    std::lock_guard lock(Db().mutex);
    auto norm = NormalizePath(path);
    if (!norm) return Status::InvalidArgument;
    const auto id = KeyId(Fold(*norm));
    if (!id) return Status::NotFound;
    // A value set again keeps its place and its first spelling.
    Query q(Db(),
            "INSERT INTO value(key, folded, name, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
            "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    q.Bind(*id).Bind(Fold(name)).Bind(name).Bind(static_cast<std::int64_t>(value.type));
    detail::BindValue(q, value);
    return q.Run();
}

Status Hive::DeleteValue(std::string_view path, std::string_view name) {
    std::lock_guard lock(Db().mutex);
    auto norm = NormalizePath(path);
    const auto id = norm ? KeyId(Fold(*norm)) : std::nullopt;
    if (!id) return Status::NotFound;
    Query q(Db(), "DELETE FROM value WHERE key = ?1 AND folded = ?2");
    q.Bind(*id).Bind(Fold(name));
    if (Status s = q.Run(); s != Status::Ok) return s;
    return q.Changes() ? Status::Ok : Status::NotFound;
}

}  // namespace vrayu::registry
