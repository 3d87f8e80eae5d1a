// One SQLite database holding registry keys: a store file (the user's roots
// or the machine's) or a private in-memory one for a hive standing alone.
//
// Tables: `key` (one row per key: root, parent, case-folded path, path as
// created) and `value` (one row per value: key, folded name, name, type,
// data; row order is the order the values were first set). Each root's own
// key ("") is a row created with the schema.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "registry_store.h"

namespace vrayu::registry::detail {

class Database {
public:
    // A fresh, empty in-memory database.
    static std::shared_ptr<Database> OpenMemory(Status* status);
    // An existing store file; Corrupt when it is not one of ours.
    static std::shared_ptr<Database> OpenFile(const std::filesystem::path& file, Status* status);
    // Builds a new store file beside `file` (0600), lets `fill` put the first
    // contents in (one transaction), and moves it into place with link(2):
    // when another process got there first, its file wins and ours goes.
    static Status CreateFile(const std::filesystem::path& file, const std::function<Status(Database&)>& fill);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A prepared statement, kept for the life of the connection.
    sqlite3_stmt* Statement(const char* sql);
    Status Exec(const char* sql);
    // Records the first failure since the last ClearFailure.
    Status Check(int rc);
    Status Failure() const { return failure_; }
    void ClearFailure() { failure_ = Status::Ok; }
    const std::string& Name() const { return name_; }

    // Every use of the connection holds this; the depth is 1 inside a write.
    std::recursive_mutex mutex;
    int transactionDepth = 0;

private:
    explicit Database(sqlite3* db, std::string name) : db_(db), name_(std::move(name)) {}
    Status CreateSchema();
    Status Configure();
    sqlite3* db_;
    std::string name_;
    std::unordered_map<const char*, sqlite3_stmt*> statements_;
    Status failure_ = Status::Ok;
};

// Binds in order, steps and resets a cached statement.
class Query {
public:
    Query(Database& db, const char* sql) : db_(db), stmt_(db.Statement(sql)) {}
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(std::int64_t n);
    Query& Bind(std::string_view text);
    Query& BindBlob(std::string_view bytes);
    // True while a row is there; a failure ends the rows and is recorded.
    bool Step();
    // Runs a statement that returns no rows.
    Status Run();
    std::int64_t Int(int col) const;
    std::string Text(int col) const;
    int ColumnType(int col) const;
    int Changes() const;

private:
    Database& db_;
    sqlite3_stmt* stmt_;
    int next_ = 1;
};

// A value's data bound in the column form of its type (text, blob, integer;
// a multi-string as a blob of length-prefixed strings), and read back from
// the columns `col` (type) and `col + 1` (data): none when the row does not
// hold a value this store writes.
void BindValue(Query& q, const Value& v);
std::optional<Value> ReadValue(const Query& q, int col);

}  // namespace vrayu::registry::detail
