// The host's say over object access: the helper is loaded only when the
// host answers request -2 with a non-zero number, and asked once.
#include "errors.h"
#include "test_context.h"

#include <gtest/gtest.h>

namespace tarn::fn {
namespace {

int g_asked = 0;
std::int32_t g_answer = 0;

intptr_t Host(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer answer, TarnAnswer* record, void*,
              const char*, const char*, const char*, const char*, const char*) {
    if (request != TARN_CB_OBJECTS) return 0;
    ++g_asked;
    return answer(0, 0, record, 0, g_answer, nullptr);
}

TEST(ObjectHost, HelperOnlyWithTheHostsConsent) {
    test::Context c;
    c.Run("o = objectopen(\"session:org.vrayu.None\")");
    EXPECT_EQ(S(c.ctx).outcome_code, err::OleNotSupported);  // no callback at all
    c.callback = Host;
    g_asked = 0;
    g_answer = 0;
    c.Run("o = objectopen(\"session:org.vrayu.None\")");
    EXPECT_EQ(S(c.ctx).outcome_code, err::OleNotSupported);
    EXPECT_EQ(S(c.ctx).object_helper, 0);
    c.Run("x = o.Member");
    EXPECT_EQ(S(c.ctx).outcome_code, err::OleNotInitialized);

    g_answer = 1;
    c.Run("o = objectopen(\"no object name\")");
    EXPECT_EQ(S(c.ctx).outcome_code, err::OleInvalidParameters);
    EXPECT_NE(S(c.ctx).object_helper, 0);
    c.Run("o = objectclose(0)");
    EXPECT_EQ(S(c.ctx).outcome_code, err::OleNullObjectHandle);
    EXPECT_EQ(g_asked, 2);  // the refusal, then once for the loaded helper
}

}  // namespace
}  // namespace tarn::fn
