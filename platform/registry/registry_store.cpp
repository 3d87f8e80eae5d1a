#include "registry_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "database.h"
#include "private_folder.h"

namespace vrayu::registry {

using detail::Database;

namespace {

// The current user's root has a database of its own; the machine-wide roots
// share the other.
bool UserRoot(Root root) { return root == Root::CurrentUser; }

constexpr Root kAllRoots[] = {Root::ClassesRoot, Root::CurrentUser,   Root::LocalMachine,
                              Root::Users,       Root::CurrentConfig, Root::DynData};

// Text file of a root in the earlier store.
std::filesystem::path TextFile(const std::filesystem::path& dir, Root root) {
    return dir / (std::string(RootName(root)) + ".reg");
}

// Open connections by file, reused while the file is the same one (a store
// deleted or replaced under a running program is opened afresh) and only in
// the process that opened them (a connection does not survive fork).
struct OpenDatabase {
    std::shared_ptr<Database> db;
    dev_t dev;
    ino_t ino;
    pid_t pid;
};

std::mutex g_openLock;
std::map<std::string, OpenDatabase>& OpenDatabases() {
    static auto* open = new std::map<std::string, OpenDatabase>;
    return *open;
}

// Says once per file and process that a store file is damaged; the file is
// left as it is for the user to look at or restore.
void ReportDamage(const std::string& file) {
    static std::mutex lock;
    static std::set<std::string> told;
    std::lock_guard g(lock);
    if (told.insert(file).second)
        std::fprintf(stderr, "registry store: %s is damaged or not a store; it is left untouched\n", file.c_str());
}

Status Reported(Status s, const std::string& file) {
    if (s == Status::Corrupt) ReportDamage(file);
    return s;
}

std::optional<std::string> ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return ss.str();
}

// An empty root, for reads of a store not made yet.
const Hive& EmptyHive() {
    static const Hive* empty = [] {
        auto* h = new Hive;
        h->HasKey("");  // made now, not under a reader's lock
        return h;
    }();
    return *empty;
}

}  // namespace

std::filesystem::path Store::DefaultDirectory() {
    if (const char* dir = std::getenv("VRAYU_REGISTRY_DIR"); dir && *dir) return dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::filesystem::path(config) / "vrayu" / "registry";
    const auto home = HomeFolder();
    if (home.empty()) return {};
    return home / ".config" / "vrayu" / "registry";
}

Store::Store() : dir_(DefaultDirectory()) {}
Store::Store(std::filesystem::path directory) : dir_(std::move(directory)) {}

std::filesystem::path Store::DatabaseFile(Root root) const {
    return dir_ / (UserRoot(root) ? "HKEY_CURRENT_USER.db" : "HKEY_LOCAL_MACHINE.db");
}

std::shared_ptr<Database> Store::Connect(Root root, bool create, Status* status) const {
    *status = Status::Ok;
    if (dir_.empty()) {
        *status = Status::IoError;
        return nullptr;
    }
    const auto file = DatabaseFile(root);
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            *status = Status::IoError;
            return nullptr;
        }
        // First open: the roots' text files of the earlier store, if any,
        // become the first contents (all or nothing) and are kept as backups.
        std::vector<Root> texts;
        std::error_code ec;
        for (Root r : kAllRoots)
            if (UserRoot(r) == UserRoot(root) && std::filesystem::exists(TextFile(dir_, r), ec)) texts.push_back(r);
        if (texts.empty() && !create) return nullptr;
        if (!PrivateFolder(dir_, true)) {
            *status = Status::IoError;
            return nullptr;
        }
        *status = Database::CreateFile(file, [&](Database& db) {
            std::shared_ptr<Database> view(&db, [](Database*) {});
            for (Root r : texts) {
                const auto text = ReadText(TextFile(dir_, r));
                if (!text) return Status::IoError;
                Hive hive(view, r);
                if (ParseInto(*text, hive) != Status::Ok) return Reported(Status::Corrupt, TextFile(dir_, r));
            }
            return Status::Ok;
        });
        if (*status != Status::Ok) return nullptr;
        for (Root r : texts) {
            const auto text = TextFile(dir_, r);
            const auto backup = text.string() + ".bak";
            if (::rename(text.c_str(), backup.c_str()) == 0) ::chmod(backup.c_str(), 0600);
            ::unlink((text.string() + ".lock").c_str());
        }
        if (::stat(file.c_str(), &st) != 0) {
            *status = Status::IoError;
            return nullptr;
        }
    }
    // Only the user's own folder and files: never state someone else can change.
    if (st.st_uid != ::geteuid()) {
        *status = Status::IoError;
        return nullptr;
    }
    const pid_t pid = ::getpid();
    std::lock_guard lock(g_openLock);
    auto& open = OpenDatabases();
    auto it = open.find(file.string());
    if (it != open.end()) {
        if (it->second.dev == st.st_dev && it->second.ino == st.st_ino && it->second.pid == pid) return it->second.db;
        // A connection inherited through fork must not be used or closed here.
        if (it->second.pid != pid) new std::shared_ptr<Database>(std::move(it->second.db));
        open.erase(it);
    }
    if (!PrivateFolder(dir_, false)) {
        *status = Status::IoError;
        return nullptr;
    }
    auto db = Database::OpenFile(file, status);
    if (!db) {
        Reported(*status, file.string());
        return nullptr;
    }
    open[file.string()] = {db, st.st_dev, st.st_ino, pid};
    return db;
}

Status Store::View(Root root, const std::function<void(const Hive&)>& read) const {
    Status s;
    auto db = Connect(root, false, &s);
    if (!db) {
        if (s == Status::Ok) read(EmptyHive());
        return s;
    }
    std::lock_guard lock(db->mutex);
    if (db->transactionDepth == 0) db->ClearFailure();
    read(Hive(db, root));
    return Reported(db->Failure(), db->Name());
}

Status Store::Update(Root root, const std::function<Status(Hive&)>& edit) {
    Status s;
    auto db = Connect(root, true, &s);
    if (!db) return s;
    std::lock_guard lock(db->mutex);
    // An Update inside another one's edit cannot begin and fails both.
    if (db->transactionDepth == 0) db->ClearFailure();
    if (s = db->Exec("BEGIN IMMEDIATE"); s != Status::Ok) return Reported(s, db->Name());
    auto undo = [&] { db->Exec("ROLLBACK"); };
    ++db->transactionDepth;
    try {
        Hive hive(db, root);
        s = edit(hive);
    } catch (...) {
        --db->transactionDepth;
        undo();
        throw;
    }
    --db->transactionDepth;
    // A statement that failed inside the edit fails the whole of it.
    if (s == Status::Ok) s = db->Failure();
    if (s == Status::Ok) s = db->Exec("COMMIT");
    if (s != Status::Ok) undo();
    return Reported(s, db->Name());
}

Status Store::Read(Root root, Hive& out) const {
    std::string text;
    if (Status s = ExportText(root, &text); s != Status::Ok) return s;
    auto hive = Hive::Parse(text);
    if (!hive) return Status::IoError;
    out = std::move(*hive);
    return Status::Ok;
}

Status Store::ExportText(Root root, std::string* text) const {
    return View(root, [&](const Hive& h) { *text = h.Serialize(); });
}

Status Store::ImportText(Root root, std::string_view text) {
    return Update(root, [&](Hive& h) {
        detail::Database& db = h.Db();
        const Status s = detail::Query(db, "DELETE FROM value WHERE key IN (SELECT id FROM key WHERE root = ?1)")
                             .Bind(h.root_)
                             .Run();
        if (s != Status::Ok) return s;
        if (Status k = detail::Query(db, "DELETE FROM key WHERE root = ?1 AND folded <> ''").Bind(h.root_).Run();
            k != Status::Ok)
            return k;
        return ParseInto(text, h);
    });
}

bool Store::KeyExists(Root root, std::string_view path) const {
    bool found = false;
    View(root, [&](const Hive& h) { found = h.HasKey(path); });
    return found;
}

Status Store::CreateKey(Root root, std::string_view path) {
    return Update(root, [&](Hive& h) { return h.CreateKey(path); });
}

Status Store::DeleteKey(Root root, std::string_view path) {
    return Update(root, [&](Hive& h) { return h.DeleteKey(path); });
}

Status Store::DeleteTree(Root root, std::string_view path) {
    return Update(root, [&](Hive& h) { return h.DeleteTree(path); });
}

std::vector<std::string> Store::SubKeys(Root root, std::string_view path) const {
    std::vector<std::string> out;
    View(root, [&](const Hive& h) { out = h.SubKeys(path); });
    return out;
}

std::vector<std::pair<std::string, Value>> Store::Values(Root root, std::string_view path) const {
    std::vector<std::pair<std::string, Value>> out;
    View(root, [&](const Hive& h) { out = h.Values(path); });
    return out;
}

std::optional<Value> Store::ReadValue(Root root, std::string_view path, std::string_view name) const {
    std::optional<Value> out;
    if (View(root, [&](const Hive& h) { out = h.FindValue(path, name); }) != Status::Ok) return std::nullopt;
    return out;
}

Status Store::WriteValue(Root root, std::string_view path, std::string_view name, Value value) {
    return Update(root, [&](Hive& h) {
        if (Status s = h.CreateKey(path); s != Status::Ok) return s;
        return h.SetValue(path, name, std::move(value));
    });
}

Status Store::DeleteValue(Root root, std::string_view path, std::string_view name) {
    return Update(root, [&](Hive& h) { return h.DeleteValue(path, name); });
}

}  // namespace vrayu::registry
