#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "builtins.h"
#include "test_context.h"

namespace tarn {
namespace {

// Records the menu a host would get as one line: popup{...},
// title=id[hot key], "-" for separators.
struct Recorder {
    std::map<intptr_t, std::string> menus;
    intptr_t next = 1;
    bool fail_popups = false;
    static intptr_t Bar(void* d) {
        auto* r = static_cast<Recorder*>(d);
        r->menus[r->next] = "";
        return r->next++;
    }
    static intptr_t Popup(void* d, intptr_t parent, const char* title) {
        auto* r = static_cast<Recorder*>(d);
        if (r->fail_popups) return 0;
        r->menus[r->next] = "";
        r->Add(parent, std::string(title) + "{#" + std::to_string(r->next) + "}");
        return r->next++;
    }
    static int Item(void* d, intptr_t menu, const char* title, intptr_t id, const char* hotkey) {
        static_cast<Recorder*>(d)->Add(
            menu, std::string(title) + "=" + std::to_string(id) + (*hotkey ? "[" + std::string(hotkey) + "]" : ""));
        return 1;
    }
    static int Separator(void* d, intptr_t menu) {
        static_cast<Recorder*>(d)->Add(menu, "-");
        return 1;
    }
    void Add(intptr_t menu, const std::string& text) { menus[menu] += (menus[menu].empty() ? "" : ";") + text; }
    // The tree from the bar down.
    std::string Tree(intptr_t menu = 1) {
        std::string s = menus[menu];
        for (std::size_t at; (at = s.find("{#")) != std::string::npos;) {
            const std::size_t end = s.find('}', at);
            const intptr_t child = std::stoi(s.substr(at + 2, end - at - 2));
            s = s.substr(0, at + 1) + Tree(child) + s.substr(end);
        }
        return s;
    }
    TarnMenuBuilder builder{this, Bar, Popup, Item, Separator};
};

class MenuExports : public testing::Test {
protected:
    void SetUp() override {
        auto ui = std::make_unique<ScriptedUi>(std::vector<std::string>{});
        ui_ = ui.get();
        SetUi(std::move(ui));
        // One file per test: ctest runs the tests side by side.
        path_ = testing::TempDir() + "/menu_exports_" + testing::UnitTest::GetInstance()->current_test_info()->name() +
                ".mnu";
        std::snprintf(record_.path, sizeof record_.path, "%s", path_.c_str());
    }
    void TearDown() override {
        if (hotkeys_) GlobalFree(hotkeys_);
        std::filesystem::remove(path_);
    }
    void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    intptr_t Load() {
        if (hotkeys_) GlobalFree(hotkeys_);
        return LoadStandardMenu(c_.ctx_h, 0, &record_, &menu_.builder, &hotkeys_, "Menus");
    }
    // The script of an item, "" when none, "stale" for -1.
    std::string Script(intptr_t item, intptr_t count = 0) {
        const intptr_t h = ParseStandardMenu(c_.ctx_h, 0, item, 0, count, 0, &record_, "Menus");
        if (h == -1) return "stale";
        if (h == 0) return "";
        std::string s = static_cast<const char*>(GlobalLock(h));
        GlobalUnlock(h);
        GlobalFree(h);
        return s;
    }
    // Sets the file's last write to `seconds` past a fixed time.
    void Touch(int seconds) {
        const timespec t[2] = {{1'700'000'000 + seconds, 0}, {1'700'000'000 + seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path_.c_str(), t, 0), 0);
    }
    std::string LastBox() const { return ui_->Transcript().empty() ? "" : ui_->Transcript().back(); }

    test::Context c_;
    ScriptedUi* ui_ = nullptr;
    Recorder menu_;
    TarnMenuFileRecord record_{};
    TarnHandle hotkeys_ = 0;
    std::string path_;
};

constexpr const char* kMenu =
    "; tools\r\n"
    "&Tools\r\n"
    " &Notes\tCtrl+F1\r\n"
    "\tx = 1\r\n"
    " -\r\n"
    " More\r\n"
    "  Deep\tCtrl+A\r\n"
    "\ty = 2\r\n"
    "\tz = x + y\r\n"
    "Run\r\n"
    "\tr = 3\r\n";

TEST_F(MenuExports, LoadBuildsTheTreeAndHotKeys) {
    Write(kMenu);
    EXPECT_EQ(Load(), 3);
    EXPECT_EQ(menu_.Tree(), "&Tools{&Notes=1000[Ctrl+F1];-;More{Deep=1001[Ctrl+A]}};Run=1002");
    struct stat st {};
    ASSERT_EQ(stat(path_.c_str(), &st), 0);
    std::tm tm{};
    localtime_r(&st.st_mtime, &tm);
    EXPECT_EQ(record_.time >> 11, tm.tm_hour);
    EXPECT_EQ(record_.date & 31, tm.tm_mday);
    const auto* words = static_cast<const uint16_t*>(GlobalLock(hotkeys_));
    EXPECT_EQ(std::vector<uint16_t>(words, words + 5), (std::vector<uint16_t>{2, 0x5070, 1000, 0x4041, 1001}));
    GlobalUnlock(hotkeys_);
    EXPECT_TRUE(ui_->Transcript().empty());
}

TEST_F(MenuExports, Utf16FileWithByteOrderMark) {
    std::string le = "\xFF\xFE";
    for (char ch : std::string(kMenu)) le += std::string{ch, '\0'};
    Write(le);
    EXPECT_EQ(Load(), 3);
    EXPECT_EQ(menu_.Tree(), "&Tools{&Notes=1000[Ctrl+F1];-;More{Deep=1001[Ctrl+A]}};Run=1002");
    EXPECT_EQ(Script(2), "y = 2\r\nz = x + y\r\n");
    Write(std::string("\xFE\xFF\0A\0\n\0\t\0xy", 11));  // big-endian, odd length with a stray byte
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(LastBox(), "box:Menus|Error converting Unicode batch/menu file");
}

TEST_F(MenuExports, LoadFailuresTellWhatFailed) {
    Write(" Sub\n\tx = 1\n");
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(LastBox(), "box:Menus|Need First level menu title.  Not found.\r\n\r\n" + path_ + ", line 1");
    EXPECT_EQ(hotkeys_, 0);
    Write("A\n B\n  C\n   D\n");
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(LastBox(),
              "box:Menus|Need batch code after fourth level menutitle.  Not found\r\n\r\n" + path_ + ", at its end");
    Write(kMenu);
    menu_.fail_popups = true;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(LastBox(), "box:Menus|First level popup menu creation failed.");
    std::filesystem::remove(path_);
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(LastBox(), "box:Menus|Menu file file open error. Maybe it does not exist???");
}

TEST_F(MenuExports, ParseHandsBackTheItemAndClearsParameters) {
    Write(kMenu);
    ASSERT_EQ(Load(), 3);
    DLLServices(c_.ctx_h, 11, "one two", nullptr, 0, 0);
    EXPECT_EQ(Script(1, 3), "x = 1\r\n");
    EXPECT_EQ(c_.Var("Param0"), "0");
    EXPECT_EQ(c_.Var("param1"), "<undefined>");
    // The command id of the third item, as the host's menu gives it, runs.
    const intptr_t h = MenuSelectProcessing(c_.ctx_h, 0, 1002, 3, &record_, "Menus");
    ASSERT_GT(h, 0);
    ProcessDaBatBuffer(0, c_.ctx_h, h, nullptr, nullptr);
    GlobalFree(h);
    EXPECT_EQ(c_.Var("r"), "3");
    EXPECT_EQ(MenuSelectProcessing(c_.ctx_h, 0, 999, 3, &record_, "Menus"), 0);
    EXPECT_EQ(MenuSelectProcessing(c_.ctx_h, 0, 1003, 3, &record_, "Menus"), 0);
    EXPECT_TRUE(ui_->Transcript().empty());
    EXPECT_EQ(Script(4), "");
    EXPECT_EQ(LastBox(), "box:Menus|Menu file ended unexpectedly, or menu is invalid.");
}

TEST_F(MenuExports, ChangedFileIsStale) {
    Write(kMenu);
    Touch(0);
    ASSERT_EQ(Load(), 3);
    Touch(10);
    EXPECT_EQ(Script(1), "stale");
    EXPECT_EQ(LastBox(),
              "box:Menus|Tarn Processor menu(s) will reloaded\r\nto reflect recent changes.\r\n"
              "Reselect menu option when reload complete.");
    // A change within the same two-second step shows in the count of items.
    Write(std::string(kMenu) + "Two\n\tt = 1\n");
    Touch(0);
    EXPECT_EQ(Script(1, 3), "stale");
    EXPECT_EQ(Script(4, 0), "t = 1\r\n");
    // A broken file under the old time fails the scan.
    Write("A\n B\n");
    Touch(0);
    EXPECT_EQ(Script(1), "");
    EXPECT_EQ(LastBox().substr(0, 61), "box:Menus|Menu file ended unexpectedly, or menu is invalid.\r\n");
    const std::size_t boxes = ui_->Transcript().size();
    EXPECT_EQ(ParseStandardMenu(c_.ctx_h, 0, 1, TARN_MENU_SILENT, 0, 0, &record_, "Menus"), 0);
    EXPECT_EQ(ui_->Transcript().size(), boxes);
}

struct Posted {
    unsigned modifiers = 0;
    bool enabled = true;
    std::vector<intptr_t> commands;
    TarnHotKeyHost host{this, [](void* d) { return static_cast<Posted*>(d)->modifiers; },
                        [](void* d, TarnHandle) -> int { return static_cast<Posted*>(d)->enabled; },
                        [](void* d, TarnHandle, intptr_t id) { static_cast<Posted*>(d)->commands.push_back(id); }};
};

TEST_F(MenuExports, HotKeyCheckPostsTheCommand) {
    Write(kMenu);
    ASSERT_EQ(Load(), 3);
    Posted p;
    p.modifiers = TARN_HOTKEY_CTRL;
    EXPECT_EQ(HotKeyCheck(hotkeys_, 7, TARN_MSG_KEYDOWN, 112, &p.host), 1);  // Ctrl+F1
    EXPECT_EQ(HotKeyCheck(hotkeys_, 7, TARN_MSG_KEYDOWN, 'A', &p.host), 0);  // the key-down of Ctrl+A
    EXPECT_EQ(HotKeyCheck(hotkeys_, 7, TARN_MSG_CHAR, 1, &p.host), 1);       // its character
    EXPECT_EQ(HotKeyCheck(hotkeys_, 7, TARN_MSG_KEYDOWN, 17, &p.host), 0);
    p.modifiers = TARN_HOTKEY_CTRL | TARN_HOTKEY_SHIFT;
    EXPECT_EQ(HotKeyCheck(hotkeys_, 7, TARN_MSG_KEYDOWN, 112, &p.host), 0);
    p.modifiers = TARN_HOTKEY_CTRL;
    p.enabled = false;
    EXPECT_EQ(HotKeyCheck(hotkeys_, 7, TARN_MSG_KEYDOWN, 112, &p.host), 1);
    EXPECT_EQ(p.commands, (std::vector<intptr_t>{1000, 1001}));
    EXPECT_EQ(HotKeyCheck(0, 7, TARN_MSG_KEYDOWN, 112, &p.host), 0);
}

}  // namespace
}  // namespace tarn
