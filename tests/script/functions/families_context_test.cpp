// The families inside a real context: settings that intcontrol changes, the
// host's "itemizenull" function, and the file slots at shutdown.
#include "functions/intcontrol.h"
#include "temp_dir.h"
#include "test_context.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarn::fn {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct HostCall {
    intptr_t request;
    std::string text1;
};
std::vector<HostCall> g_calls;

intptr_t Host(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer answer, TarnAnswer* record, void*,
              const char* t1, const char*, const char*, const char*, const char*) {
    g_calls.push_back({request, t1});
    std::string text = std::string("from host ") + t1;
    return answer(0, 0, record, 1, 0, text.c_str());
}

KeywordEntry Entry(int16_t index, const char* name) {
    KeywordEntry e{index, TARN_KW_FUNCTION, TARN_ARG_STRING(0) | 1, static_cast<int16_t>(std::strlen(name)), {}};
    std::strncpy(e.name, name, sizeof e.name);
    return e;
}

TEST(FamiliesInContext, EmptyListingGoesToTheHost) {
    TempDir tmp;
    const KeywordEntry table[] = {Entry(0, "hostthing"), Entry(1, "itemizenull"), KeywordEntry{}};
    tarn::test::Context c;
    c.host_table = table;
    c.callback = Host;
    g_calls.clear();
    ASSERT_EQ(c.Run("a = fileitemize(\"\")\r\nb = diritemize(\"\")\r\n"), 1);
    EXPECT_EQ(c.Var("a"), "from host 0");
    EXPECT_EQ(c.Var("b"), "from host 1");
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].request, 1);
    // Without the entry an empty list lists nothing.
    tarn::test::Context plain;
    ASSERT_EQ(plain.Run("a = fileitemize(\"\")\r\n"), 1);
    EXPECT_EQ(plain.Var("a"), "");
}

TEST(FamiliesInContext, DelimiterHiddenTerminatorAndYears) {
    TempDir tmp;
    writeFile("a.txt", "A");
    writeFile("b.txt", "B");
    writeFile(".h.txt", "H");
    tarn::test::Context c;
    S(c.ctx).item_delimiter = ',';
    S(c.ctx).hidden_files = 1;
    S(c.ctx).line_terminator = 2;
    S(c.ctx).four_digit_years = 0;
    ASSERT_EQ(c.Run("a = fileitemize(\"*.txt\")\r\n"
                    "r = filecopy(\"a.txt,b.txt\", \"*.bak\", 0)\r\n"
                    "h = fileopen(\"out.txt\", \"WRITE\")\r\n"
                    "r = filewrite(h, \"x\")\r\n"
                    "r = fileclose(h)\r\n"
                    "t = timeadd(\"1998:12:31:23:59:59\", \"0:0:0:0:0:1\")\r\n"),
              1);
    EXPECT_EQ(c.Var("a"), ".h.txt,a.txt,b.txt");
    EXPECT_EQ(readFile("a.bak"), "A");
    EXPECT_EQ(readFile("b.bak"), "B");
    EXPECT_EQ(readFile("out.txt"), "x\n");
    EXPECT_EQ(c.Var("t"), "99:01:01:00:00:00");
}

TEST(FamiliesInContext, ShutdownClosesOpenFiles) {
    TempDir tmp;
    auto first = std::make_unique<tarn::test::Context>();
    ASSERT_EQ(first->Run("h = fileopen(\"f.txt\", \"WRITE\")\r\nr = filewrite(h, \"kept\")\r\n"), 1);
    {
        tarn::test::Context second;
        second.Run("errormode(@off)\r\nh = fileopen(\"f.txt\", \"WRITE\")\r\n");
        EXPECT_NE(S(second.ctx).outcome_code, 0);  // the first still holds it
    }
    first.reset();  // shutdown closes the slot and its lock
    tarn::test::Context third;
    EXPECT_EQ(third.Run("h = fileopen(\"f.txt\", \"APPEND\")\r\nr = filewrite(h, \"more\")\r\n"), 1);
    EXPECT_EQ(readFile("f.txt"), "kept\r\nmore\r\n");
}

struct IntcontrolCall {
    intptr_t request;
    std::vector<std::string> texts;
};
std::vector<IntcontrolCall> g_intcontrol;

intptr_t IntcontrolHost(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer answer, TarnAnswer* record,
                        void*, const char* t1, const char* t2, const char* t3, const char* t4, const char* t5) {
    g_intcontrol.push_back({request, {t1, t2, t3, t4, t5}});
    if (std::string(t1) == "150") return answer(-1, 0, record, 1, 0, "42: host refused");
    return answer(0, 0, record, 0, 77, nullptr);
}

// Requests without an entry of their own go to the host's "intcontrol".
TEST(FamiliesInContext, UnknownIntcontrolRequestsGoToTheHost) {
    const KeywordEntry table[] = {Entry(0, "hostthing"), Entry(1, "intcontrol"), KeywordEntry{}};
    tarn::test::Context c;
    c.host_table = table;
    c.callback = IntcontrolHost;
    g_intcontrol.clear();
    ASSERT_EQ(c.Run("a = intcontrol(200, \"p1\", \"p2\", \"p3\", \"p4\")\r\n"
                    "b = intcontrol(4, \"\", \"\", \"\", \"\")\r\n"
                    "d = intcontrol(29, \",\", \"\", \"\", \"\")\r\n"),
              1);
    EXPECT_EQ(c.Var("a"), "77");
    EXPECT_EQ(c.Var("b"), "77");
    EXPECT_EQ(c.Var("d"), "\t");
    ASSERT_EQ(g_intcontrol.size(), 2u);  // 29 has its own entry
    EXPECT_EQ(g_intcontrol[0].request, 1);
    EXPECT_EQ(g_intcontrol[0].texts, (std::vector<std::string>{"200", "p1", "p2", "p3", "p4"}));
    EXPECT_EQ(g_intcontrol[1].texts[0], "4");
    // A host error ends the script as a host function's error does, with
    // the number before ":" as the last error.
    EXPECT_EQ(c.Run("errormode(@off)\r\na = intcontrol(150, \"\", \"\", \"\", \"\")\r\n"), 0);
    EXPECT_EQ(S(c.ctx).last_error, 42);
    // Without the entry such a request is error 3171.
    tarn::test::Context plain;
    EXPECT_EQ(plain.Run("a = intcontrol(200, \"\", \"\", \"\", \"\")\r\n"), 0);
    EXPECT_EQ(S(plain.ctx).outcome_code, 3171);
}

TEST(Intcontrol, NumberOfFirstParameter) {
    EXPECT_EQ(intcontrolNumber("12"), 12);
    EXPECT_EQ(intcontrolNumber(" -12x"), -12);
    EXPECT_EQ(intcontrolNumber("+7"), 7);
    EXPECT_EQ(intcontrolNumber(""), 0);
    EXPECT_EQ(intcontrolNumber("abc"), 0);
    EXPECT_EQ(intcontrolNumber("-"), 0);
    EXPECT_EQ(intcontrolNumber("99999999999"), INT32_MAX);
    EXPECT_EQ(intcontrolNumber("-99999999999"), INT32_MIN);
    // Only the first 19 characters count.
    EXPECT_EQ(intcontrolNumber(std::string(18, ' ') + "57"), 5);
    EXPECT_TRUE(intcontrolHasRequest(29));
    EXPECT_FALSE(intcontrolHasRequest(4));
}

}  // namespace
}  // namespace tarn::fn
