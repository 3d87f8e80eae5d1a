// A D-Bus service for the object tests, on the session bus the test
// started: org.vrayu.TarnTest at /org/vrayu/TarnTest, and a stand-in of
// the desktop notification service (org.freedesktop.Notifications) that
// records each notification in the file named by its first argument.
// Prints "ready" when both names are owned.
#include <gio/gio.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kTestXml = R"(<node>
  <interface name="org.vrayu.TarnTest">
    <method name="Add"><arg type="i" direction="in"/><arg type="i" direction="in"/><arg type="i" direction="out"/></method>
    <method name="Echo"><arg type="s" direction="in"/><arg type="s" direction="out"/></method>
    <method name="Join"><arg type="as" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="out"/></method>
    <method name="Info"><arg type="s" direction="out"/><arg type="d" direction="out"/><arg type="x" direction="out"/></method>
    <method name="Names"><arg type="as" direction="out"/></method>
    <method name="Fail"/>
    <method name="Touch"/>
    <property name="Greeting" type="s" access="readwrite"/>
    <property name="Count" type="u" access="read"/>
  </interface>
</node>)";

constexpr const char* kNotifyXml = R"(<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
  </interface>
</node>)";

std::string g_greeting = "hello";
std::string g_log_path;
guint32 g_notifications = 0;
int g_owned = 0;

void TestCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* args,
              GDBusMethodInvocation* call, gpointer) {
    const std::string m = method;
    if (m == "Add") {
        gint32 a, b;
        g_variant_get(args, "(ii)", &a, &b);
        g_dbus_method_invocation_return_value(call, g_variant_new("(i)", a + b));
    } else if (m == "Echo") {
        const gchar* s;
        g_variant_get(args, "(&s)", &s);
        g_dbus_method_invocation_return_value(call, g_variant_new("(s)", s));
    } else if (m == "Join") {
        GVariantIter* it;
        const gchar* sep;
        g_variant_get(args, "(as&s)", &it, &sep);
        std::string joined;
        const gchar* item;
        bool first = true;
        while (g_variant_iter_loop(it, "&s", &item)) {
            if (!first) joined += sep;
            joined += item;
            first = false;
        }
        g_variant_iter_free(it);
        g_dbus_method_invocation_return_value(call, g_variant_new("(s)", joined.c_str()));
    } else if (m == "Info") {
        g_dbus_method_invocation_return_value(call, g_variant_new("(sdx)", "test", 1.5, G_GINT64_CONSTANT(5000000000)));
    } else if (m == "Names") {
        const gchar* names[] = {"one", "two", nullptr};
        g_dbus_method_invocation_return_value(call, g_variant_new("(^as)", names));
    } else if (m == "Touch") {
        g_dbus_method_invocation_return_value(call, nullptr);
    } else {
        g_dbus_method_invocation_return_dbus_error(call, "org.vrayu.TarnTest.Error.Failed", "it failed on purpose");
    }
}

GVariant* TestGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name, GError**, gpointer) {
    if (std::string(name) == "Greeting") return g_variant_new_string(g_greeting.c_str());
    return g_variant_new_uint32(7);
}

gboolean TestSet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* value, GError**,
                 gpointer) {
    g_greeting = g_variant_get_string(value, nullptr);
    return TRUE;
}

void NotifyCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* args,
                GDBusMethodInvocation* call, gpointer) {
    if (std::string(method) == "GetServerInformation") {
        g_dbus_method_invocation_return_value(call, g_variant_new("(ssss)", "tarn-test", "vrayu", "1", "1.2"));
        return;
    }
    gchar* printed = g_variant_print(args, FALSE);
    if (std::FILE* f = std::fopen(g_log_path.c_str(), "a")) {
        std::fprintf(f, "%s\n", printed);
        std::fclose(f);
    }
    g_free(printed);
    g_dbus_method_invocation_return_value(call, g_variant_new("(u)", ++g_notifications));
}

const GDBusInterfaceVTable kTestTable = {TestCall, TestGet, TestSet, {}};
const GDBusInterfaceVTable kNotifyTable = {NotifyCall, nullptr, nullptr, {}};

void Register(GDBusConnection* bus, const char* xml, const char* path, const GDBusInterfaceVTable* table) {
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, nullptr);
    g_dbus_connection_register_object(bus, path, node->interfaces[0], table, nullptr, nullptr, nullptr);
    g_dbus_node_info_unref(node);
}

void Acquired(GDBusConnection*, const gchar*, gpointer) {
    if (++g_owned == 2) {
        std::printf("ready\n");
        std::fflush(stdout);
    }
}

void Lost(GDBusConnection*, const gchar* name, gpointer loop) {
    std::fprintf(stderr, "test service: lost %s\n", name);
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
}

}  // namespace

int main(int argc, char** argv) {
    g_log_path = argc > 1 ? argv[1] : "/dev/null";
    GError* e = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &e);
    if (!bus) {
        std::fprintf(stderr, "test service: %s\n", e->message);
        return 1;
    }
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    Register(bus, kTestXml, "/org/vrayu/TarnTest", &kTestTable);
    Register(bus, kNotifyXml, "/org/freedesktop/Notifications", &kNotifyTable);
    g_bus_own_name_on_connection(bus, "org.vrayu.TarnTest", G_BUS_NAME_OWNER_FLAGS_NONE, Acquired, Lost, loop, nullptr);
    g_bus_own_name_on_connection(bus, "org.freedesktop.Notifications", G_BUS_NAME_OWNER_FLAGS_NONE, Acquired, Lost,
                                 loop, nullptr);
    g_main_loop_run(loop);
    return 0;
}
