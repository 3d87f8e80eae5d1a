// The object helper's names and conversions, without a bus.
#include <gtest/gtest.h>

#include <string>

#include "dbus_values.h"
#include "object_name.h"

namespace tarn::objects {
namespace {

TEST(ObjectName, BusServiceAndPath) {
    auto n = ParseObjectName("system:org.freedesktop.login1/org/freedesktop/login1/seat/seat0");
    ASSERT_TRUE(n);
    EXPECT_EQ(n->bus, Bus::System);
    EXPECT_EQ(n->service, "org.freedesktop.login1");
    EXPECT_EQ(n->path, "/org/freedesktop/login1/seat/seat0");
    n = ParseObjectName("org.example.App");  // session bus, path from the name
    ASSERT_TRUE(n);
    EXPECT_EQ(n->bus, Bus::Session);
    EXPECT_EQ(n->path, "/org/example/App");
    EXPECT_TRUE(ParseObjectName("SESSION:org.example.App/"));
    EXPECT_FALSE(ParseObjectName("tcp:org.example.App"));
    EXPECT_FALSE(ParseObjectName("org.example.App/bad//path"));
    EXPECT_FALSE(ParseObjectName("noservice"));
    EXPECT_FALSE(ParseObjectName(""));
}

TarnObjectValue Int(std::int32_t i) { return {TARN_INT, i, 0.0, nullptr, 0}; }
TarnObjectValue Text(const std::string& s) { return {TARN_STRING, 0, 0.0, s.data(), s.size()}; }

// The value converted to `type` and printed, or "error: ..." when refused.
std::string To(const TarnObjectValue& v, const char* type) {
    std::string error;
    GVariant* r = ToVariant(
        v, G_VARIANT_TYPE(type), [](std::int32_t) { return std::string("/obj/1"); }, &error);
    if (!r) return "error: " + error;
    g_variant_ref_sink(r);
    gchar* p = g_variant_print(r, TRUE);
    std::string s = p;
    g_free(p);
    g_variant_unref(r);
    return s;
}

TEST(ObjectValues, ToTheMembersTypes) {
    EXPECT_EQ(To(Int(255), "y"), "byte 0xff");
    EXPECT_EQ(To(Int(256), "y"), "error: number out of range for the type");
    EXPECT_EQ(To(Int(-1), "u"), "error: number out of range for the type");
    EXPECT_EQ(To(Text("5000000000"), "x"), "int64 5000000000");
    EXPECT_EQ(To(Text("4.5"), "i"), "error: not a whole number");
    EXPECT_EQ(To({TARN_FLOAT, 0, 3.0, nullptr, 0}, "i"), "3");
    EXPECT_EQ(To(Text("true"), "b"), "true");
    EXPECT_EQ(To(Int(0), "b"), "false");
    EXPECT_EQ(To(Int(12), "s"), "'12'");
    EXPECT_EQ(To(Int(12), "v"), "<12>");
    EXPECT_EQ(To({TARN_OBJECT, 1, 0.0, nullptr, 0}, "o"), "objectpath '/obj/1'");
    EXPECT_EQ(To(Text("not a path"), "o"), "error: not an object path");
    EXPECT_EQ(To(Text("['a', 'b']"), "as"), "['a', 'b']");
    EXPECT_EQ(To(Text("{'k': <1>}"), "a{sv}"), "{'k': <1>}");
    EXPECT_EQ(To(Text("[1,"), "ai").rfind("error: ", 0), 0u);
    // ISO-8859-1 text becomes UTF-8; UTF-8 text stays as it is.
    EXPECT_EQ(To(Text("caf\xe9"), "s"), "'caf\xc3\xa9'");
    EXPECT_EQ(To(Text("\xe0\xb0\xb8"), "s"), "'\xe0\xb0\xb8'");
}

TEST(ObjectValues, FromTheBus) {
    std::string storage;
    auto from = [&](GVariant* v) {
        g_variant_ref_sink(v);
        const TarnObjectValue r = FromVariant(v, &storage);
        g_variant_unref(v);
        return r;
    };
    TarnObjectValue r = from(g_variant_new_uint32(4000000000u));
    EXPECT_EQ(r.type, TARN_FLOAT);
    EXPECT_EQ(r.real, 4000000000.0);
    r = from(g_variant_new_boolean(TRUE));
    EXPECT_EQ(r.type, TARN_INT);
    EXPECT_EQ(r.integer, 1);
    r = from(g_variant_new_variant(g_variant_new_string("inner")));
    EXPECT_EQ(std::string(r.text, r.length), "inner");
    const gchar* items[] = {"a", "b", nullptr};
    r = from(g_variant_new_strv(items, -1));
    EXPECT_EQ(std::string(r.text, r.length), "a\tb");
    r = from(g_variant_new_parsed("[1, 2]"));
    EXPECT_EQ(std::string(r.text, r.length), "[1, 2]");
}

}  // namespace
}  // namespace tarn::objects
