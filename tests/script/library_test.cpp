#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "builtins.h"
#include "test_context.h"

namespace tarn {
namespace {

ScriptedUi* UseScripted(std::vector<std::string> answers = {}) {
    auto ui = std::make_unique<ScriptedUi>(std::move(answers));
    ScriptedUi* p = ui.get();
    SetUi(std::move(ui));
    return p;
}

TEST(Library, Handshake) {
    ScriptedUi* ui = UseScripted();
    EXPECT_EQ(DoDaDllInit(0, 0, 0x1300, 0, 0, nullptr, nullptr), TARN_CONTEXT_SIZE);
    EXPECT_EQ(DoDaDllInit(0, 0, 0x1200, 0, 0, nullptr, nullptr), 0);
    ASSERT_EQ(ui->Transcript().size(), 1u);
    EXPECT_EQ(ui->Transcript()[0], "box:DLL mismatch|Version Interface Incompatible");
    test::Context c;
    EXPECT_EQ(DoDaDllInit(0, c.ctx_h, 0, 5, 0, nullptr, nullptr), 0);
    EXPECT_EQ(DoDaDllInit(0, c.ctx_h, 0, 1, 0, "host", nullptr), 52);
}

TEST(Library, ParametersSplit) {
    test::Context c;
    EXPECT_EQ(DLLServices(c.ctx_h, 11, "one \"two words\" 'it''s'", nullptr, 0, 0), 3);
    EXPECT_EQ(c.Var("Param0"), "3");
    EXPECT_EQ(c.Var("param1"), "one");
    EXPECT_EQ(c.Var("param2"), "two words");
    EXPECT_EQ(c.Var("param3"), "it's");
    EXPECT_EQ(DLLServices(c.ctx_h, 11, "x", nullptr, 0, 0), 1);
    EXPECT_EQ(c.Var("param2"), "<undefined>");
}

TEST(Library, SetAndGetVariables) {
    test::Context c;
    EXPECT_EQ(DLLServices(c.ctx_h, 1, "Greeting", const_cast<char*>("hi there"), 0, 0), 1);
    EXPECT_EQ(c.Var("greeting"), "hi there");
    char small[4];
    EXPECT_EQ(DLLServices(c.ctx_h, 2, "greeting", small, sizeof small, 0), 1);
    EXPECT_STREQ(small, "hi ");
    // Long names fold characters 31 on into positions 6 on.
    DLLServices(c.ctx_h, 1, "abcdefghijabcdefghijabcdefghijA", const_cast<char*>("v"), 0, 0);
    std::string folded = "abcdefghijabcdefghijabcdefghij";
    folded[6] = static_cast<char>(folded[6] + 'a');
    EXPECT_NE(find_var(c.ctx, folded.c_str()), 0xFFFFu);
    EXPECT_EQ(find_var(c.ctx, "nosuch"), 0xFFFFu);
    EXPECT_EQ(S(c.ctx).error, 3051);
    c.Run("x = y");
    EXPECT_EQ(find_var(c.ctx, "y"), 0xFFFFu);
    EXPECT_EQ(S(c.ctx).error, 3052);
}

TEST(Library, QuietModeLogsAndCancels) {
    test::Context c;
    UseScripted({"ok", "ok"});
    const std::string log = testing::TempDir() + "/quiet.log";
    std::remove(log.c_str());
    EXPECT_EQ(DLLServices(c.ctx_h, 23, log.c_str(), nullptr, 1, 0), 0);
    EXPECT_EQ(c.Run("x = 1\nmessage(\"Cap\", \"Body\")\ny = pause(\"P\", \"T\")\nz = 3\n"), 0);
    EXPECT_EQ(c.Var("x"), "1");
    EXPECT_EQ(c.Var("z"), "<undefined>");
    EXPECT_STREQ(S(c.ctx).quiet_caption, "P");
    std::ifstream in(log, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    // "MM/DD/YY  HH:MM:SS  host" then the caption and text blocks.
    ASSERT_GT(text.size(), 20u);
    EXPECT_EQ(text[2], '/');
    EXPECT_EQ(text.substr(8, 2), "  ");
    EXPECT_NE(text.find("  test\r\n\r\nCap\r\n\r\nBody\r\n\r\n<HR>\r\n\r\n"), std::string::npos) << text;
    EXPECT_EQ(DLLServices(c.ctx_h, 23, "", nullptr, 0, 0), 1);
}

TEST(Library, Utf16ScriptRunsLikeAnsi) {
    test::Context c;
    const std::string ansi = "x = \"caf\xE9\"\r\n";
    std::string wide = "\xFF\xFE";
    for (char ch : ansi) {
        wide.push_back(ch);
        wide.push_back('\0');
    }
    const TarnHandle h = GlobalAlloc(GHND, wide.size() + 2);
    std::memcpy(GlobalLock(h), wide.data(), wide.size());
    GlobalUnlock(h);
    EXPECT_EQ(ProcessDaBatBuffer(0, c.ctx_h, h, nullptr, nullptr), 1);
    GlobalFree(h);
    EXPECT_EQ(c.Var("x"), "caf\xE9");
}

// A host callback answering host functions with each status.
intptr_t HostCallback(TarnHandle, TarnHandle, intptr_t word, intptr_t request, TarnViperAnswer answer,
                      TarnAnswer* record, void*, const char* t1, const char* t2, const char*, const char*,
                      const char*) {
    EXPECT_EQ(word, static_cast<intptr_t>(TARN_CALLBACK_WORD));
    if (request == 0) return answer(0, 0, record, 1, 0, (std::string(t1) + "+" + t2).c_str());
    if (request == 1) return answer(0, 0, record, 0, 42, nullptr);
    if (request == 2) return answer(-2, 0, record, 1, 0, "77: broken");
    if (request == 3) return answer(-5, 0, record, 0, 0, nullptr);
    return 0;
}

TEST(Library, HostFunctionsAnswerThroughViperAnswer) {
    test::Context c;
    ScriptedUi* ui = UseScripted();
    static const KeywordEntry host[] = {
        {0, 2, 0x00030002, 4, "join"},  // two strings
        {1, 2, 0, 6, "answer"},        {2, 2, 0, 4, "fail"}, {3, 2, 0, 6, "cancel"}, {4, 0, 0, 0, ""},
    };
    c.callback = HostCallback;
    c.host_table = host;
    c.Run("a = join(\"x\", 5)\nb = answer()\nerrormode(@notify)\nc = 1\nd = fail()\ne = lasterror()\n");
    EXPECT_EQ(c.Var("a"), "x+5");
    EXPECT_EQ(c.Var("b"), "42");
    EXPECT_EQ(c.Var("d"), "<undefined>");
    ASSERT_FALSE(ui->Transcript().empty());
    EXPECT_EQ(ui->Transcript()[0].rfind("box:Tarn Extender Error:  77: broken|d = fail()", 0), 0u);
    EXPECT_EQ(c.Run("x = cancel()\ny = 1\n"), 0);
    EXPECT_EQ(S(c.ctx).outcome_code, 9999);
    EXPECT_EQ(c.Var("y"), "<undefined>");
}

intptr_t StopAtThird(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer, TarnAnswer*, void*,
                     const char* t1, const char*, const char*, const char*, const char*) {
    static int statements = 0;
    if (request == TARN_CB_STATEMENT) {
        EXPECT_STREQ(t1, "2");
        if (++statements == 3) return -6;
    }
    return 0;
}

TEST(Library, StatementNotificationCanStop) {
    test::Context c;
    DLLServices(c.ctx_h, 3, nullptr, nullptr, TARN_HOST_NOTIFY_STATEMENTS, 0);
    c.callback = StopAtThird;
    EXPECT_EQ(c.Run("a = 1\nb = 2\nc = 3\nd = 4\n"), 0);
    EXPECT_EQ(c.Var("b"), "2");
    EXPECT_EQ(c.Var("c"), "<undefined>");
}

TEST(Library, ErrorBoxTextAndButtons) {
    test::Context c;
    ScriptedUi* ui = UseScripted({"ok", "cancel"});
    c.Run("errormode(@notify)\nx = \"a\" + 1\ny = 1\nz = \"b\" * 2\nw = 1\n");
    ASSERT_EQ(ui->Transcript().size(), 1u);  // 3057 is severe: OK, stop
    EXPECT_EQ(ui->Transcript()[0],
              "box:3057:  Variable could not be converted to a valid number|x = \"a\" + 1\r\n\r\nTarn "
              "Version:" TARN_VERSION_TEXT);
    EXPECT_EQ(c.Var("y"), "<undefined>");
    // A moderate error in notify mode asks OK/Cancel; OK goes on.
    ui = UseScripted({"ok"});
    c.Run("errormode(@notify)\nx = average()\ny = 1\n");
    EXPECT_EQ(c.Var("y"), "1");
    ASSERT_EQ(ui->Transcript().size(), 1u);
    EXPECT_EQ(ui->Transcript()[0].rfind("box:2060:  AVERAGE function syntax error|", 0), 0u);
}

TEST(Library, TerminationRequest) {
    test::Context c;
    DLLServices(c.ctx_h, 7, nullptr, nullptr, 0, 0);
    // A request made before the run is cleared by the run itself.
    EXPECT_EQ(c.Run("a = 1\n"), 1);
}

TEST(Library, CachedJumpRewritesScriptText) {
    test::Context c;
    std::string text = "n = 0\n:top\nn = n + 1\nif n < 3 then goto top\ngoto end\nx = 1\n:end\n";
    const TarnHandle h = GlobalAlloc(GHND, text.size() + 1);
    std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    ProcessDaBatBuffer(0, c.ctx_h, h, nullptr, nullptr);
    const char* after = static_cast<const char*>(GlobalLock(h));
    const std::size_t at = text.find("goto end");
    EXPECT_EQ(static_cast<unsigned char>(after[at]), 0x9F);
    const std::size_t label = text.find(":end");
    char digits[5] = {};
    for (int i = 0; i < 4; ++i)
        digits[i] = static_cast<char>(after[at + 1 + i] - 0x40 + (after[at + 1 + i] - 0x40 < 10 ? '0' : 'a' - 10));
    EXPECT_EQ(std::strtoul(digits, nullptr, 16), label);
    // Inside "if ... then goto" nothing is written.
    EXPECT_EQ(std::string(after + text.find("then goto"), 9), "then goto");
    GlobalUnlock(h);
    // The cached text runs again the same way.
    ProcessDaBatBuffer(0, c.ctx_h, h, nullptr, nullptr);
    GlobalFree(h);
    EXPECT_EQ(c.Var("n"), "3");
    EXPECT_EQ(c.Var("x"), "<undefined>");
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

TarnHandle g_ctx_for_stop = 0;
intptr_t StopFromHost(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer answer, TarnAnswer* record,
                      void*, const char*, const char*, const char*, const char*, const char*) {
    if (request == 0) {
        DLLServices(g_ctx_for_stop, 7, nullptr, nullptr, 5, 0);
        return answer(0, 0, record, 0, 1, nullptr);
    }
    return 0;
}

TEST(Library, TerminationFromHostShowsMessageUnlessSuppressed) {
    test::Context c;
    g_ctx_for_stop = c.ctx_h;
    static const KeywordEntry host[] = {{0, 2, 0, 4, "stop"}, {1, 0, 0, 0, ""}};
    c.callback = StopFromHost;
    c.host_table = host;
    ScriptedUi* ui = UseScripted();
    EXPECT_EQ(c.Run("a = stop()\nb = 1\n"), 0);
    EXPECT_EQ(c.Var("a"), "1");
    EXPECT_EQ(c.Var("b"), "<undefined>");
    ASSERT_EQ(ui->Transcript().size(), 1u);
    EXPECT_EQ(ui->Transcript()[0], "box:Execution ended|Execution terminated by user request or error");
    int code = 0;
    char text[300];
    EXPECT_EQ(TarnLastOutcome(c.ctx_h, &code, text, sizeof text), 0);
    EXPECT_EQ(code, 9013);  // a termination request, as the host reports it
    EXPECT_STREQ(text, "Execution terminated by user request or error");
    // Exit flag 4 (intcontrol 12) suppresses the message.
    S(c.ctx).exit_flags = 4;
    ui = UseScripted();
    c.Run("a = stop()\nb = 1\n");
    EXPECT_TRUE(ui->Transcript().empty());
}

TEST(Library, ReturnAndExitEndOnlyTheirScript) {
    test::Context c;
    const std::string file = testing::TempDir() + "/callee.tarn";
    std::ofstream(file) << "inner = 1\nexit\ninner = 2\n";
    EXPECT_EQ(c.Run("r = call(\"" + file + "\", \"\")\nafter = 1\nreturn\nafter = 2\n"), 1);
    EXPECT_EQ(c.Var("inner"), "1");
    EXPECT_EQ(c.Var("r"), "1");
    EXPECT_EQ(c.Var("after"), "1");
}

intptr_t CallNotice(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer, TarnAnswer*, void*,
                    const char* t1, const char* t2, const char* t3, const char*, const char*) {
    static std::string* log = nullptr;
    if (!t1) return reinterpret_cast<intptr_t>(log = new std::string);
    if (request == TARN_CB_CALL && log)
        *log += std::string(t1) + ":" + (std::string(t2).find("callee2") != std::string::npos ? "file" : "?") + ":" +
                t3 + ";";
    if (request == -99) {
        const std::string r = *log;
        log->clear();
        return static_cast<intptr_t>(r == "before:file:;after:file:0;");
    }
    return 0;
}

TEST(Library, CallNotifiesHostWhenAsked) {
    test::Context c;
    CallNotice(0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    const std::string file = testing::TempDir() + "/callee2.tarn";
    std::ofstream(file) << "x = 1\n";
    DLLServices(c.ctx_h, 3, nullptr, nullptr, TARN_HOST_NOTIFY_CALL, 0);
    c.callback = CallNotice;
    c.Run("call(\"" + file + "\", \"a b\")\n");
    EXPECT_EQ(CallNotice(0, 0, 0, -99, nullptr, nullptr, nullptr, "", "", "", "", ""), 1);
    EXPECT_EQ(c.Var("param0"), "2");
}

}  // namespace
}  // namespace tarn

#include <thread>

namespace tarn {
namespace {

TEST(Library, ContextsRunSideBySideOnThreads) {
    SetUi(MakeQuietUi());
    std::vector<std::thread> threads;
    std::vector<std::string> results(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &results] {
            test::Context c;
            c.Run("n = 0\nfor i = 1 to " + std::to_string(1000 * (t + 1)) + "\n  n = n + 1\nnext\n");
            results[static_cast<std::size_t>(t)] = c.Var("n");
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(results[static_cast<std::size_t>(t)], std::to_string(1000 * (t + 1)));
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

TEST(Library, HostFunctionWithTooManyArgumentsDefined) {
    test::Context c;
    SetUi(MakeQuietUi());
    static const KeywordEntry host[] = {{0, 2, 25, 4, "many"}, {1, 2, 0x00010001, 3, "one"}, {2, 0, 0, 0, ""}};
    c.host_table = host;
    EXPECT_EQ(c.Run("x = many(1)\n"), 0);
    EXPECT_EQ(S(c.ctx).outcome_code, 3070);
    // No callback: a host function cannot run.
    EXPECT_EQ(c.Run("x = one(\"a\")\n"), 0);
    EXPECT_EQ(S(c.ctx).outcome_code, 3046);
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

// The scripted provider's answers to button and list dialogs, and what it
// records of them.
TEST(ScriptedUiChoices, ButtonsAndLists) {
    ScriptedUi ui({"button:overwrite all", "button#8", "button#9", "button:A&&B", "yes", "item:pear", "item#2",
                   "item#0", "ok", "text:pear"});
    const std::vector<std::string> buttons{"O&verwrite", "Overwrite &All", "&Skip", "x", "y", "z", "w", "&Cancel"};
    EXPECT_EQ(ui.ChooseButton("Confirm", "Replace?", buttons), 1);
    EXPECT_EQ(ui.ChooseButton("Confirm", "Replace?", buttons), 7);
    EXPECT_EQ(ui.ChooseButton("Confirm", "Replace?", buttons), -1);  // no ninth button
    EXPECT_EQ(ui.ChooseButton("T", "", {"A&&B"}), 0);
    EXPECT_EQ(ui.ChooseButton("T", "", {"&Yes"}), -1);  // a box answer is no button
    const std::vector<std::string> items{"apple", "pear"};
    EXPECT_EQ(ui.ChooseItem("Fruit", items), std::optional<int>(1));
    EXPECT_EQ(ui.ChooseItem("Fruit", items), std::optional<int>(1));
    EXPECT_EQ(ui.ChooseItem("Fruit", items), std::nullopt);
    EXPECT_EQ(ui.ChooseItem("Fruit", items), std::optional<int>(-1));
    EXPECT_EQ(ui.ChooseItem("Fruit", items), std::nullopt);  // a typed answer is no choice
    EXPECT_EQ(ui.ChooseItem("Fruit", items), std::nullopt);  // answers ran out
    EXPECT_EQ(ui.Transcript()[0], "buttons:Confirm|Replace?|O&verwrite|Overwrite &All|&Skip|x|y|z|w|&Cancel");
    EXPECT_EQ(ui.Transcript()[5], "list:Fruit|apple|pear");
}

TEST(ScriptedUiChoices, Mnemonics) {
    EXPECT_EQ(WithoutMnemonic("Overwrite &All"), "Overwrite All");
    EXPECT_EQ(WithoutMnemonic("Save && &Quit"), "Save & Quit");
    EXPECT_EQ(WithoutMnemonic("&"), "");
    EXPECT_EQ(WithoutMnemonic(""), "");
}

}  // namespace
}  // namespace tarn
