// Single stepping through the "DEBUG" dialog with a scripted provider: the
// statement shown, the outcome of the one before, Show Var, Run and Cancel.
#include "functions/debug.h"
#include "test_context.h"
#include "ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarn {
namespace {

// Runs a script answering the dialogs from `answers`; returns the texts of
// the dialogs shown (without the button list).
struct DebugRun {
    std::vector<std::string> dialogs;
    std::vector<std::string> debug_output;
    int outcome = 0;
    std::string z;
};

DebugRun RunDebugged(const std::string& script, const std::vector<std::string>& answers) {
    auto ui = std::make_unique<ScriptedUi>(answers);
    ScriptedUi* scripted = ui.get();
    SetUi(std::move(ui));
    DebugRun r;
    {
        test::Context c;
        r.outcome = c.Run(script);
        r.z = c.Var("z");
    }
    for (const std::string& t : scripted->Transcript()) {
        if (t.rfind("debug:", 0) == 0) r.debug_output.push_back(t.substr(6));
        else if (t.rfind("buttons:DEBUG|", 0) == 0) r.dialogs.push_back(t);
    }
    SetUi(MakeQuietUi());
    return r;
}

bool Shows(const std::string& dialog, const std::string& text) { return dialog.find(text) != std::string::npos; }

TEST(Debug, OutcomeWords) {
    const struct {
        int kind, truth;
        const char* words;
    } cases[] = {
        {kDebugExpression, 1, "VALUE=>"},
        {kDebugSingleIf, 1, "==>TRUE=>"},
        {kDebugSingleIf, 0, "==>FALSE=> (skipped)"},
        {kDebugSkipped, 1, "STATEMENT SKIPPED"},
        {kDebugWhile, 1, "WHILE==>TRUE"},
        {kDebugWhile, 0, "WHILE==>FALSE"},
        {kDebugEnd, 1, "END OPERATOR"},
        {kDebugSwitch, 1, "SWITCH==>"},
        {kDebugBreak, 1, "BREAKING"},
        {kDebugBreak, 0, "BREAK IGNORED"},
        {kDebugContinue, 1, "CONTINUING"},
        {kDebugContinue, 0, "CONTINUE IGNORED"},
        {kDebugFor, 1, "FOR TRUE==>"},
        {kDebugFor, 0, "FOR FALSE==>"},
        {kDebugGosub, 1, "GOSUB"},
        {kDebugGosub, 0, "RETURN"},
        {kDebugBlockIf, 1, "IF DO==>TRUE"},
        {kDebugBlockIf, 0, "IF DO==>FALSE"},
        {kDebugBlockElse, 1, "ELSE DO==>TRUE"},
        {kDebugBlockElse, 0, "ELSE DO==>FALSE"},
        {kDebugCase, 1, "CASE TRUE==>"},
        {kDebugCase, 0, "CASE FALSE==>"},
        {13, 1, ""},
        {-1, 1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DebugOutcome(c.kind, c.truth), c.words) << c.kind << "/" << c.truth;
    EXPECT_EQ(DebugErrorOutcome(3057, true), "TERMINAL Tarn ERROR=>3057");
    EXPECT_EQ(DebugErrorOutcome(1017, false), "Tarn ERROR SUPPRESSED =>1017");
    EXPECT_EQ(DebugErrorOutcome(9013, true), "TERMINAL EXTENDER ERROR=>9013");
    EXPECT_EQ(DebugErrorOutcome(1213, false), "EXTENDER ERROR SUPPRESSED =>1213");
    EXPECT_EQ(DebugErrorOutcome(2214, true), "TERMINAL EXTENDER ERROR=>2214");
}

TEST(Debug, StepsShowTheStatementAndThePreviousOutcome) {
    const DebugRun r = RunDebugged("p = debug(1)\r\nx = 5\r\nif x == 4 then y = 1\r\nz = x + 1\r\n",
                                   {"button:Next", "button:Next", "button:Next", "button:Next"});
    ASSERT_EQ(r.dialogs.size(), 4u);
    EXPECT_TRUE(Shows(r.dialogs[0], "Next Statement...\nx = 5\n\n*** Debug Initialized ***"));
    EXPECT_TRUE(Shows(r.dialogs[1], "if x == 4 then y = 1\n\nVALUE=>5"));
    EXPECT_TRUE(Shows(r.dialogs[2], "z = x + 1\n\n==>FALSE=> (skipped)"));
    EXPECT_TRUE(Shows(r.dialogs[3], "END OF JOB"));
    EXPECT_EQ(r.z, "6");
    EXPECT_EQ(r.outcome, 1);
}

TEST(Debug, StructuresAndSuppressedErrors) {
    const std::string script =
        "debug(1)\r\nerrormode(@off)\r\nx = timediffdays(\"bad\", \"1999:01:01\")\r\n"
        "while 0\r\nz = 1\r\nendwhile\r\nif 1\r\nz = 2\r\nelse\r\nz = 3\r\nendif\r\n";
    const DebugRun r = RunDebugged(script, std::vector<std::string>(20, "button:Next"));
    ASSERT_EQ(r.dialogs.size(), 11u);
    EXPECT_TRUE(Shows(r.dialogs[1], "\nx = timediffdays(\"bad\", \"1999:01:01\")\n\nVALUE=>"));
    EXPECT_TRUE(Shows(r.dialogs[2], "\nwhile 0\n\nTarn ERROR SUPPRESSED =>1017"));
    EXPECT_TRUE(Shows(r.dialogs[3], "\nz = 1\n\nWHILE==>FALSE"));
    EXPECT_TRUE(Shows(r.dialogs[4], "\nendwhile\n\nSTATEMENT SKIPPED"));
    EXPECT_TRUE(Shows(r.dialogs[5], "\nif 1\n\nEND OPERATOR"));
    EXPECT_TRUE(Shows(r.dialogs[6], "\nz = 2\n\nIF DO==>TRUE"));
    EXPECT_TRUE(Shows(r.dialogs[7], "\nelse\n\nVALUE=>2"));
    EXPECT_TRUE(Shows(r.dialogs[8], "\nz = 3\n\nELSE DO==>FALSE"));
    EXPECT_TRUE(Shows(r.dialogs[9], "\nendif\n\nSTATEMENT SKIPPED"));
    EXPECT_TRUE(Shows(r.dialogs[10], "END OF JOB"));
    EXPECT_EQ(r.z, "2");
}

TEST(Debug, ShowVarRunAndCancel) {
    // Show Var: the typed text up to "=" or a blank names the variable.
    const DebugRun shown =
        RunDebugged("debug(1)\r\nx = 5\r\nz = 1\r\n",
                    {"button:Next", "button:Show Var", "text:x = 9", "button:Show Var", "text:never", "button:Run"});
    ASSERT_EQ(shown.dialogs.size(), 4u);
    EXPECT_TRUE(Shows(shown.dialogs[2], "VALUE=>5\nx = \"5\"|"));
    EXPECT_TRUE(Shows(shown.dialogs[3], "VALUE=>5\nnever = ??? Unknown Variable|"));
    EXPECT_EQ(shown.z, "1");  // Run left debug mode: no END OF JOB dialog
    // Cancel ends the script before the shown statement.
    const DebugRun cancelled = RunDebugged("debug(1)\r\nz = 1\r\n", {"button:Cancel"});
    EXPECT_EQ(cancelled.dialogs.size(), 1u);
    EXPECT_EQ(cancelled.z, "<undefined>");
    EXPECT_EQ(cancelled.outcome, 0);
}

TEST(Debug, ModeValuesAndSwitchingOff) {
    const DebugRun r =
        RunDebugged("a = debug(5)\r\nb = debug(0)\r\nc = debug(-3)\r\nd = debug(0)\r\nz = a * 100 + b * 10 + d\r\n",
                    {"button:Next", "button:Next"});
    // debug(0) stops the dialogs from the next statement on.
    EXPECT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.z, "9");  // 0, 1, then -1 from the negative setting
}

TEST(Debug, QuietModeShowsNoDialogs) {
    const DebugRun r = RunDebugged("debug(1)\r\nintcontrol(38, 1, \"\", \"\", \"\")\r\nz = 1\r\nz = 2\r\n",
                                   {"button:Next", "button:Next"});
    EXPECT_EQ(r.dialogs.size(), 1u);
    EXPECT_EQ(r.z, "2");
}

TEST(Debug, DebugDataGoesToTheDebuggerOutput) {
    const DebugRun r = RunDebugged("r = debugdata(\"label\", \"text\")\r\nr = debugdata(\"\", \"alone\")\r\n", {});
    EXPECT_EQ(r.debug_output, (std::vector<std::string>{"label: text\n", "alone\n"}));
}

TEST(Debug, LoopsSwitchGosubAndTerminalErrors) {
    const std::string script =
        "debug(1)\r\nfor i = 1 to 1\r\nbreak\r\nnext\r\nswitch 2\r\ncase 1\r\nz = 1\r\ncase 2\r\n"
        "z = 2\r\nendswitch\r\ngosub sub\r\nexit\r\n:sub\r\nreturn\r\n";
    const DebugRun r = RunDebugged(script, std::vector<std::string>(30, "button:Next"));
    auto shown = [&](const std::string& text) {
        for (const std::string& d : r.dialogs)
            if (Shows(d, text)) return true;
        return false;
    };
    EXPECT_TRUE(shown("\nbreak\n\nFOR TRUE==>"));
    EXPECT_TRUE(shown("\nnext\n\nBREAKING"));
    EXPECT_TRUE(shown("\ncase 1\n\nSWITCH==>"));
    EXPECT_TRUE(shown("\nz = 1\n\nCASE FALSE==>"));
    EXPECT_TRUE(shown("\nz = 2\n\nCASE TRUE==>"));
    EXPECT_TRUE(shown("\n:sub\n\nGOSUB"));
    EXPECT_TRUE(shown("\nexit\n\nRETURN"));
    EXPECT_EQ(r.z, "2");
    // An error that stops the script is the last outcome shown.
    const DebugRun stopped = RunDebugged("debug(1)\r\nz = 1 / 0\r\n", {"button:Next", "button:Next", "ok", "ok"});
    ASSERT_FALSE(stopped.dialogs.empty());
    EXPECT_TRUE(Shows(stopped.dialogs.back(), "TERMINAL Tarn ERROR=>3062"));
}

}  // namespace
}  // namespace tarn
