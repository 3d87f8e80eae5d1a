#include "database.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vrayu::registry::detail {
namespace {

// "VRG1": marks a file as a store of this system.
constexpr int kApplicationId = 0x56524731;
constexpr int kSchemaVersion = 1;
// How long a writer waits for another process's write to end.
constexpr int kBusyTimeoutMs = 10000;

constexpr const char* kSchema = R"(
CREATE TABLE key(
  id INTEGER PRIMARY KEY,
  root INTEGER NOT NULL,
  parent INTEGER,
  folded TEXT NOT NULL,
  path TEXT NOT NULL);
CREATE UNIQUE INDEX key_by_path ON key(root, folded);
CREATE INDEX key_by_parent ON key(parent, folded);
CREATE TABLE value(
  id INTEGER PRIMARY KEY,
  key INTEGER NOT NULL,
  folded TEXT NOT NULL,
  name TEXT NOT NULL,
  type INTEGER NOT NULL,
  data);
CREATE UNIQUE INDEX value_by_name ON value(key, folded);
INSERT INTO key(root, parent, folded, path) VALUES (0, NULL, '', ''), (1, NULL, '', ''), (2, NULL, '', ''),
  (3, NULL, '', ''), (4, NULL, '', ''), (5, NULL, '', '');
)";

Status StatusOf(int rc) {
    switch (rc & 0xff) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE: return Status::Ok;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return Status::Corrupt;
        default: return Status::IoError;
    }
}

}  // namespace

Database::~Database() {
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

sqlite3_stmt* Database::Statement(const char* sql) {
    auto it = statements_.find(sql);
    if (it != statements_.end()) return it->second;
    sqlite3_stmt* stmt = nullptr;
    if (Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr)) != Status::Ok)
        return nullptr;
    statements_.emplace(sql, stmt);
    return stmt;
}

Status Database::Exec(const char* sql) { return Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }

Status Database::Check(int rc) {
    const Status s = StatusOf(rc);
    if (s != Status::Ok && failure_ == Status::Ok) failure_ = s;
    return s;
}

Status Database::CreateSchema() {
    char pragmas[96];
    std::snprintf(pragmas, sizeof pragmas, "PRAGMA application_id=%d; PRAGMA user_version=%d;", kApplicationId,
                  kSchemaVersion);
    if (Status s = Exec(pragmas); s != Status::Ok) return s;
    return Exec(kSchema);
}

// Durability: WAL with synchronous=NORMAL. A commit has reached the WAL
// through write(2) before it returns, so it survives the process being
// killed; the WAL is flushed to disk at each checkpoint. A power cut can
// lose the last commits before the next checkpoint but never tears the
// store (the same promise the system's registry makes with its lazy
// flushing); FULL would add one fsync to every write. Checkpoints (two
// fsyncs each) come every 4000 pages of WAL rather than 1000: a burst of
// writes pays a quarter of the flushes; the WAL is cut back to 4 MB after.
// Reads map the file (no read call per page), so a large store costs the
// same per look-up as a small one.
Status Database::Configure() {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    return Exec(
        "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=4000; PRAGMA journal_size_limit=4194304;"
        "PRAGMA mmap_size=268435456;");
}

std::shared_ptr<Database> Database::OpenMemory(Status* status) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::shared_ptr<Database> out(new Database(db, "(memory)"));
    *status = rc == SQLITE_OK ? out->CreateSchema() : Status::IoError;
    return *status == Status::Ok ? out : nullptr;
}

std::shared_ptr<Database> Database::OpenFile(const std::filesystem::path& file, Status* status) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::shared_ptr<Database> out(new Database(db, file.string()));
    *status = StatusOf(rc);
    if (*status == Status::Ok) *status = out->Configure();
    if (*status == Status::Ok) {
        // A file of someone else's (or an empty one) is not read as an empty store.
        Query q(*out, "PRAGMA application_id");
        *status = q.Step() && q.Int(0) == kApplicationId ? Status::Ok : Status::Corrupt;
        if (out->Failure() != Status::Ok) *status = out->Failure();
    }
    if (*status == Status::Ok) {
        Query q(*out, "PRAGMA journal_mode");
        if (!q.Step() || q.Text(0) != "wal") *status = out->Exec("PRAGMA journal_mode=WAL;");
    }
    return *status == Status::Ok ? out : nullptr;
}

Status Database::CreateFile(const std::filesystem::path& file, const std::function<Status(Database&)>& fill) {
    std::string temp = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());  // O_EXCL, mode 0600
    if (fd < 0) return Status::IoError;
    ::close(fd);
    Status s = Status::Ok;
    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(temp.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        Database db(raw, temp);
        s = StatusOf(rc);
        if (s == Status::Ok) s = db.Exec("PRAGMA journal_mode=WAL; BEGIN;");
        if (s == Status::Ok) s = db.CreateSchema();
        if (s == Status::Ok) s = fill(db);
        if (s == Status::Ok) s = db.Exec("COMMIT;");
    }  // closing checkpoints the WAL into the file and removes it
    if (s == Status::Ok) {
        const int sync = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
        if (sync < 0 || ::fsync(sync) != 0) s = Status::IoError;
        if (sync >= 0) ::close(sync);
    }
    if (s == Status::Ok && ::link(temp.c_str(), file.c_str()) != 0 && errno != EEXIST) s = Status::IoError;
    ::unlink(temp.c_str());
    if (s == Status::Ok) {
        const int dir = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return s;
}

// ---- Query

Query::~Query() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

Query& Query::Bind(std::int64_t n) {
    if (stmt_) db_.Check(sqlite3_bind_int64(stmt_, next_++, n));
    return *this;
}

Query& Query::Bind(std::string_view text) {
    if (stmt_) db_.Check(sqlite3_bind_text64(stmt_, next_++, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Query& Query::BindBlob(std::string_view bytes) {
    // A zero-length blob, not NULL, for empty data.
    if (stmt_)
        db_.Check(
            sqlite3_bind_blob64(stmt_, next_++, bytes.data() ? bytes.data() : "", bytes.size(), SQLITE_TRANSIENT));
    return *this;
}

bool Query::Step() {
    if (!stmt_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    db_.Check(rc);
    return false;
}

Status Query::Run() {
    if (!stmt_) return db_.Failure() == Status::Ok ? Status::IoError : db_.Failure();
    const int rc = sqlite3_step(stmt_);
    return rc == SQLITE_DONE ? Status::Ok : db_.Check(rc == SQLITE_ROW ? SQLITE_MISUSE : rc);
}

std::int64_t Query::Int(int col) const { return sqlite3_column_int64(stmt_, col); }

std::string Query::Text(int col) const {
    const void* p = sqlite3_column_blob(stmt_, col);
    const int n = sqlite3_column_bytes(stmt_, col);
    return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}

int Query::ColumnType(int col) const { return sqlite3_column_type(stmt_, col); }

int Query::Changes() const { return sqlite3_changes(sqlite3_db_handle(stmt_)); }

// ---- value columns

// Binds a value's data in the column form of its type.
void BindValue(Query& q, const Value& v) {
    switch (v.type) {
        case ValueType::String:
        case ValueType::ExpandString: q.Bind(v.text); return;
        case ValueType::Binary: q.BindBlob(v.bytes); return;
        case ValueType::DWord: q.Bind(static_cast<std::int64_t>(v.dword)); return;
        case ValueType::MultiString: {
            // Each string with its length before it (4 bytes, low byte first).
            std::string packed;
            for (const auto& s : v.strings) {
                const auto n = static_cast<std::uint32_t>(s.size());
                for (int i = 0; i < 4; ++i) packed.push_back(static_cast<char>((n >> (8 * i)) & 0xff));
                packed += s;
            }
            q.BindBlob(packed);
            return;
        }
    }
    q.BindBlob("");
}

// The value in columns `col` (type) and `col + 1` (data); none when the row
// does not hold a value this store writes.
std::optional<Value> ReadValue(const Query& q, int col) {
    const auto type = q.Int(col);
    switch (static_cast<ValueType>(type)) {
        case ValueType::String: return Value::String(q.Text(col + 1));
        case ValueType::ExpandString: return Value::ExpandString(q.Text(col + 1));
        case ValueType::Binary: return Value::Binary(q.Text(col + 1));
        case ValueType::DWord: return Value::DWord(static_cast<std::uint32_t>(q.Int(col + 1)));
        case ValueType::MultiString: {
            const std::string packed = q.Text(col + 1);
            std::vector<std::string> strings;
            for (std::size_t pos = 0; pos < packed.size();) {
                if (packed.size() - pos < 4) return std::nullopt;
                std::uint32_t n = 0;
                for (int i = 0; i < 4; ++i)
                    n |= static_cast<std::uint32_t>(static_cast<unsigned char>(packed[pos + i])) << (8 * i);
                pos += 4;
                if (packed.size() - pos < n) return std::nullopt;
                strings.push_back(packed.substr(pos, n));
                pos += n;
            }
            return Value::MultiString(std::move(strings));
        }
    }
    return std::nullopt;
}

}  // namespace vrayu::registry::detail
