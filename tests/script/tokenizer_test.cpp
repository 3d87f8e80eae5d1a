#include "tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keywords.h"
#include "test_context.h"

namespace tarn {
namespace {

struct Tok {
    int type;
    int code;
    std::string text;
    bool operator==(const Tok&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Tok& t) {
    return o << "{" << t.type << "," << t.code << ",\"" << t.text << "\"}";
}

std::vector<Tok> Tokens(test::Context& c, const char* line, int* error = nullptr) {
    static char buf[300];
    std::snprintf(buf, sizeof buf, "%s", line);
    State& s = S(c.ctx);
    s.error = 0;
    StartLine(c.ctx, buf);
    std::vector<Tok> out;
    while (get_token(c.ctx) != kTokEnd)
        out.push_back({s.token_type, s.token_type == kTokKeyword ? s.token_code : -1, s.token});
    if (error) *error = s.error;
    return out;
}

TEST(KeywordTable, SortedIndexedAndComplete) {
    EXPECT_EQ(CheckKeywordTable(kKeywordTable, kKeywordCount), 0);
    int functions = 0, constants = 0;
    for (const KeywordEntry& e : kKeywordTable) {
        EXPECT_EQ(e.name_length, static_cast<int>(strnlen(e.name, 14))) << e.name;
        functions += e.kind == TARN_KW_FUNCTION || e.kind == TARN_KW_VARFUNCTION;
        constants += e.kind == TARN_KW_CONSTANT;
    }
    EXPECT_EQ(functions, 340);  // the listed functions plus "callext"
    EXPECT_EQ(constants, 87);
    // Descriptors: askline sss, binarypokeflt iif, strcat variadic string.
    const auto& askline = kKeywordTable[KeywordCode("askline")];
    EXPECT_EQ(ArgCount(askline.value), 3);
    EXPECT_TRUE(ArgIsString(askline.value, 2));
    const auto& poke = kKeywordTable[KeywordCode("binarypokeflt")];
    EXPECT_TRUE(ArgIsFloat(poke.value, 2));
    EXPECT_FALSE(ArgIsFloat(poke.value, 1));
    EXPECT_EQ(ArgCount(kKeywordTable[KeywordCode("strcat")].value), TARN_VARIADIC);
    EXPECT_EQ(kKeywordTable[KeywordCode("@hidden")].value, 0xFFFFFFFFu);
    EXPECT_EQ(kKeywordTable[KeywordCode("@pi")].value, 0xF0F0F000u);
    EXPECT_EQ(kKeywordTable[KeywordCode("@crlf")].value, 0xFFF0F000u);
}

TEST(KeywordTable, BrokenTablesAreDetected) {
    KeywordEntry t[3] = {{0, 0, 0, 1, "a"}, {1, 0, 0, 1, "c"}, {2, 0, 0, 1, "b"}};
    EXPECT_EQ(CheckKeywordTable(t, 3), 1);
    KeywordEntry u[2] = {{0, 0, 0, 1, "a"}, {5, 0, 0, 1, "b"}};
    EXPECT_EQ(CheckKeywordTable(u, 2), 2);
}

TEST(Tokenizer, OperatorsWordsAndLiterals) {
    test::Context c;
    EXPECT_EQ(Tokens(c, "a<=b"), (std::vector<Tok>{{2, -1, "a"}, {1, kw::LessEq, "<="}, {2, -1, "b"}}));
    EXPECT_EQ(Tokens(c, "strlen(x)")[0], (Tok{1, KeywordCode("strlen"), "strlen"}));
    EXPECT_EQ(Tokens(c, "strlenx")[0], (Tok{2, -1, "strlenx"}));
    EXPECT_EQ(Tokens(c, "@TRUE")[0], (Tok{1, KeywordCode("@true"), "@true"}));
    EXPECT_EQ(Tokens(c, "1.5e+3")[0], (Tok{5, -1, "1.5e+3"}));
    EXPECT_EQ(Tokens(c, "1.5e+y"), (std::vector<Tok>{{5, -1, "1.5e"}, {1, kw::Plus, "+"}, {2, -1, "y"}}));
    EXPECT_EQ(Tokens(c, "'it''s' `b`"), (std::vector<Tok>{{4, -1, "it's"}, {4, -1, "b"}}));
    EXPECT_EQ(Tokens(c, "x ; y z").size(), 1u);
    EXPECT_EQ(Tokens(c, "obj.prop = 1")[0], (Tok{1, 24, "obj.prop"}));
    EXPECT_EQ(Tokens(c, "ENDIF")[0], (Tok{1, kw::Endif, "endif"}));
    EXPECT_EQ(Tokens(c, "\"open")[0], (Tok{4, -1, "open"}));
}

TEST(Tokenizer, Errors) {
    test::Context c;
    int e = 0;
    Tokens(c, "1.2.3", &e);
    EXPECT_EQ(e, 3338);
    Tokens(c, "1e5e", &e);
    EXPECT_EQ(e, 3339);
    Tokens(c, "a $ b", &e);
    EXPECT_EQ(e, 3054);
    Tokens(c, "abcdefghijabcdefghijabcdefghij", &e);
    EXPECT_EQ(e, 0);
    Tokens(c, "abcdefghijabcdefghijabcdefghijk", &e);
    EXPECT_EQ(e, 3055);
}

TEST(Tokenizer, StringTokenAndPutback) {
    test::Context c;
    State& s = S(c.ctx);
    char line[] = "  label_1 rest";
    StartLine(c.ctx, line);
    EXPECT_EQ(get_string_token(c.ctx), kTokString);
    EXPECT_STREQ(s.token, "label_1");
    get_token(c.ctx);
    EXPECT_STREQ(s.token, "rest");
    putback(c.ctx);
    get_token(c.ctx);
    EXPECT_STREQ(s.token, "rest");
    char bad[] = "(x";
    StartLine(c.ctx, bad);
    get_string_token(c.ctx);
    EXPECT_EQ(s.error, 3054);
    s.error = 0;
    std::string longword(260, 'w');
    StartLine(c.ctx, longword.c_str());
    get_string_token(c.ctx);
    EXPECT_EQ(s.error, 3053);
}

TEST(Tokenizer, HostTableWords) {
    test::Context c;
    static const KeywordEntry host[] = {{0, 2, 0x00010001, 5, "hello"}, {1, 2, 0, 0, ""}};
    S(c.ctx).host_table = host;
    EXPECT_EQ(Tokens(c, "hello(1)")[0], (Tok{1, 900, "hello"}));
    S(c.ctx).host_table = nullptr;
}

}  // namespace
}  // namespace tarn
