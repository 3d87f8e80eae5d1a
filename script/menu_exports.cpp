// The menu-file exports: a host's menu built from a menu file, the script
// of a chosen item handed back, and keystrokes matched against the menu's
// hot keys. The file format and the walk are functions/logic/menu_file.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "builtins.h"
#include "export_guard.h"
#include "functions/logic/hotkeys.h"
#include "functions/logic/menu_file.h"
#include "messages.h"
#include "statements.h"
#include "variables.h"

namespace tarn {
namespace {

constexpr std::size_t kPiece = 32767;  // bytes read at a time

// The messages of reading a menu file: building the menu, or scanning it
// again for an item.
struct ReadMessages {
    int open, alloc, lock, read;
};
constexpr ReadMessages kBuildRead{504, 505, 506, 507};
constexpr ReadMessages kScanRead{522, 523, 524, 525};

constexpr int kStale = 528;
constexpr int kScanFailed = 527;
constexpr int kMenuBar = 513;
constexpr int kFirstPopup = 516;  // 517, 518 for levels 2 and 3

// A menu file read whole into a work area of movable memory, in the 8-bit
// code page. `message` is 0, or the message of what failed.
class MenuText {
public:
    MenuText(const char* path, const ReadMessages& m) {
        const int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            message = m.open;
            return;
        }
        Read(fd, m);
        close(fd);
        if (!message && HasUtf16Mark(text)) {
            if (auto converted = FromUtf16(text)) {
                converted_ = std::move(*converted);
                text = converted_;
            } else {
                message = err::UnicodeBatch;
            }
        }
    }
    ~MenuText() {
        if (locked_) GlobalUnlock(area_);
        if (area_) GlobalFree(area_);
    }
    MenuText(const MenuText&) = delete;
    MenuText& operator=(const MenuText&) = delete;

    int message = 0;
    std::string_view text;

private:
    void Read(int fd, const ReadMessages& m) {
        struct stat st {};
        if (fstat(fd, &st) != 0 || st.st_size < 0) {
            message = m.read;
            return;
        }
        const auto size = static_cast<std::size_t>(st.st_size);
        area_ = GlobalAlloc(GHND, size + 1);
        if (!area_) {
            message = m.alloc;
            return;
        }
        locked_ = static_cast<char*>(GlobalLock(area_));
        if (!locked_) {
            message = m.lock;
            return;
        }
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = read(fd, locked_ + got, std::min(kPiece, size - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                message = m.read;  // an error, or the file shrank under us
                return;
            }
            got += static_cast<std::size_t>(n);
        }
        text = std::string_view(locked_, size);
    }

    TarnHandle area_ = 0;
    char* locked_ = nullptr;
    std::string converted_;
};

bool HasPath(const TarnMenuFileRecord* record) {
    return record && std::memchr(record->path, 0, sizeof record->path) && record->path[0];
}

// Last write of a file in the DOS forms; false when it cannot be read.
bool LastWrite(const char* path, std::uint16_t* date, std::uint16_t* time) {
    struct stat st {};
    if (stat(path, &st) != 0) return false;
    std::tie(*date, *time) = menu::DosDateTime(st.st_mtime);
    return true;
}

class Teller {
public:
    Teller(ScriptContext* ctx, const char* title, bool silent)
        : ctx_(ctx), caption_(title && *title ? title : "Tarn Menu"), silent_(silent) {}
    // A failure message; false, so that `return tell(...)` reads as failing.
    bool Fail(int code, std::string_view where = {}) const {
        if (!silent_) {
            std::string text(MessageText(code));
            if (!where.empty()) text.append("\r\n\r\n").append(where);
            ShowMessage(ctx_, caption_, text, Buttons::Ok, Icon::Stop);
        }
        return false;
    }
    void Stale() const {
        if (silent_) return;
        std::string text(MessageText(kStale));
        text += "\r\nto reflect recent changes.\r\nReselect menu option when reload complete.";
        ShowMessage(ctx_, caption_, text, Buttons::Ok, Icon::Information);
    }

private:
    ScriptContext* ctx_;
    std::string caption_;
    bool silent_;
};

// "PATH, line N" (or "PATH, at its end") where a walk failed.
std::string Where(const char* path, const menu::MenuWalk& w) {
    return std::string(path) + (w.bad_line ? ", line " + std::to_string(w.bad_line) : std::string(", at its end"));
}

// The message of a menu that failed to take a popup of `level` (1 to 3),
// or an item or separator of `level` (1 to 4).
int PopupMessage(int level) { return kFirstPopup + level - 1; }
int HolderMessage(int level) { return level == 1 ? kMenuBar : PopupMessage(level - 1); }

bool Build(const menu::MenuWalk& w, const TarnMenuBuilder& b, const Teller& tell) {
    const intptr_t bar = b.create_bar(b.data);
    if (!bar) return tell.Fail(kMenuBar);
    intptr_t holder[5] = {bar, 0, 0, 0, 0};  // the menu holding entries of level n is holder[n - 1]
    for (const menu::MenuEntry& e : w.entries) {
        const intptr_t menu = holder[e.level - 1];
        const std::string title(e.title);
        switch (e.kind) {
            case menu::EntryKind::Popup:
                holder[e.level] = b.create_popup(b.data, menu, title.c_str());
                if (!holder[e.level]) return tell.Fail(PopupMessage(e.level));
                break;
            case menu::EntryKind::Item:
                if (!b.append_item(b.data, menu, title.c_str(), TARN_MENU_FIRST_ID + e.position - 1,
                                   std::string(e.hotkey).c_str()))
                    return tell.Fail(HolderMessage(e.level));
                break;
            case menu::EntryKind::Separator:
                if (b.append_separator && !b.append_separator(b.data, menu)) return tell.Fail(HolderMessage(e.level));
                break;
        }
    }
    return true;
}

// The hot-key table: a 16-bit count, then pairs of key code and command id.
TarnHandle HotKeyTable(const menu::MenuWalk& w) {
    std::vector<std::uint16_t> words{0};
    for (const menu::MenuEntry& e : w.entries) {
        if (e.kind != menu::EntryKind::Item || !e.key_code) continue;
        words.push_back(e.key_code);
        words.push_back(static_cast<std::uint16_t>(TARN_MENU_FIRST_ID + e.position - 1));
        ++words[0];
    }
    const TarnHandle h = GlobalAlloc(GHND, words.size() * sizeof(std::uint16_t));
    if (!h) return 0;
    std::memcpy(GlobalLock(h), words.data(), words.size() * sizeof(std::uint16_t));
    GlobalUnlock(h);
    return h;
}

}  // namespace
}  // namespace tarn

using namespace tarn;

extern "C" {

intptr_t LoadStandardMenu(TarnHandle context, TarnHandle window, TarnMenuFileRecord* record,
                          const TarnMenuBuilder* builder, TarnHandle* hotkeys, const char* title) {
    (void)window;
    if (hotkeys) *hotkeys = 0;
    LockedContext l(context);
    return Guarded<intptr_t>(
        0,
        [&]() -> intptr_t {
            if (context && !l) return 0;
            if (!HasPath(record) || !builder || !builder->create_bar || !builder->create_popup || !builder->append_item)
                return 0;
            const Teller tell(l.get(), title, false);
            std::uint16_t date = 0, time = 0;
            // The time is taken before the text: a change while reading shows as stale later.
            if (!LastWrite(record->path, &date, &time)) return tell.Fail(kBuildRead.open);
            const MenuText file(record->path, kBuildRead);
            if (file.message) return tell.Fail(file.message);
            const menu::MenuWalk w = menu::WalkMenu(file.text);
            if (w.message) return tell.Fail(w.message, Where(record->path, w));
            TarnHandle table = 0;
            if (hotkeys && !(table = HotKeyTable(w))) return tell.Fail(kBuildRead.alloc);
            if (!Build(w, *builder, tell)) {
                if (table) GlobalFree(table);
                return 0;
            }
            if (hotkeys) *hotkeys = table;
            record->date = date;
            record->time = time;
            return w.items;
        },
        l.get());
}

intptr_t ParseStandardMenu(TarnHandle context, TarnHandle window, intptr_t item, intptr_t flags, intptr_t item_count,
                           intptr_t ignored, const TarnMenuFileRecord* record, const char* title) {
    (void)window;
    (void)ignored;
    LockedContext l(context);
    return Guarded<intptr_t>(
        0,
        [&]() -> intptr_t {
            if (!l || !HasPath(record)) return 0;
            ScriptContext* ctx = l.get();
            const Teller tell(ctx, title, (flags & TARN_MENU_SILENT) != 0);
            std::uint16_t date = 0, time = 0;
            if (!LastWrite(record->path, &date, &time)) return tell.Fail(kScanRead.open);
            if (date != record->date || time != record->time) {
                tell.Stale();
                return -1;
            }
            const MenuText file(record->path, kScanRead);
            if (file.message) return tell.Fail(file.message);
            const menu::MenuWalk w = menu::WalkMenu(file.text);
            if (w.message) return tell.Fail(kScanFailed, Where(record->path, w));
            if (item_count && w.items != item_count) {
                tell.Stale();
                return -1;
            }
            const menu::MenuEntry* chosen = nullptr;
            for (const menu::MenuEntry& e : w.entries)
                if (e.kind == menu::EntryKind::Item && e.position == item) chosen = &e;
            if (!chosen) return tell.Fail(kScanFailed);
            Attached a(ctx);
            if (!a.ok()) return 0;
            const std::int16_t saved = S(ctx).error;
            SetParameters(ctx, "");
            S(ctx).error = saved;
            const std::string script = menu::ItemScript(*chosen);
            const TarnHandle h = GlobalAlloc(GHND, script.size() + 1);
            if (!h) return 0;
            std::memcpy(GlobalLock(h), script.c_str(), script.size() + 1);
            GlobalUnlock(h);
            return h;
        },
        l.get());
}

intptr_t MenuSelectProcessing(TarnHandle context, TarnHandle window, intptr_t command_id, intptr_t item_count,
                              const TarnMenuFileRecord* record, const char* title) {
    if (command_id < TARN_MENU_FIRST_ID || (item_count > 0 && command_id >= TARN_MENU_FIRST_ID + item_count)) return 0;
    return ParseStandardMenu(context, window, command_id - TARN_MENU_FIRST_ID + 1, 0, item_count, 0, record, title);
}

intptr_t HotKeyCheck(TarnHandle table, TarnHandle window, unsigned message, uintptr_t key, const TarnHotKeyHost* host) {
    return Guarded<intptr_t>(0, [&]() -> intptr_t {
        const Locked t(table);
        const std::size_t size = GlobalSize(table) / sizeof(std::uint16_t);
        if (!t || size == 0) return 0;
        const auto* words = static_cast<const std::uint16_t*>(t.get());
        const std::size_t count = std::min<std::size_t>(words[0], (size - 1) / 2);
        const unsigned held = host && host->modifiers ? host->modifiers(host->data) : 0;
        const std::uint16_t code = menu::KeystrokeCode(
            message, key, static_cast<std::uint16_t>(held & (menu::kShift | menu::kCtrl | menu::kAlt)));
        if (!code) return 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (words[1 + 2 * i] != code) continue;
            if (host && host->post_command && (!host->window_enabled || host->window_enabled(host->data, window)))
                host->post_command(host->data, window, words[2 + 2 * i]);
            return 1;
        }
        return 0;
    });
}

}  // extern "C"
