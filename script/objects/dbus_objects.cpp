// libtarn-objects.so: the object helper of the script library, mapping
// objects onto D-Bus. An object is a service's object path on the session
// or system bus; its members are found by introspection: properties are
// read and written through org.freedesktop.DBus.Properties, methods are
// called with arguments converted to their signature (dbus_values.h).
// Exports: the helper's ordinals 3 to 6 (tarn_extender.h). No exception
// leaves an export.
#include <gio/gio.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "dbus_values.h"
#include "object_name.h"
#include "tarn_extender.h"

namespace tarn::objects {
namespace {

// Message numbers of the script library the helper answers with.
enum : std::int32_t {
    kInitiateFailed = 1129,
    kMemberNotFound = 1255,
    kTypeMismatch = 1257,
    kException = 1261,
    kBadParamCount = 1266,
    kReadOnly = 1276,
    kInvalidParameters = 1570,
    kTooManyObjects = 3157,
    kNameTooLong = 3243,
    kNoSuchObject = 3246,
};

constexpr std::size_t kMaxObjects = 256;
constexpr std::size_t kMaxName = 255;
constexpr int kTimeoutMs = 25000;

struct Object {
    ScriptContext* owner = nullptr;
    GDBusConnection* bus = nullptr;
    std::string service, path;
    GDBusNodeInfo* node = nullptr;  // introspection, null when the object gives none
};

std::mutex g_lock;
std::map<std::int32_t, Object> g_objects;
std::int32_t g_next = 0;

void Detail(char* detail, const std::string& text) { std::snprintf(detail, TARN_OBJECT_DETAIL, "%s", text.c_str()); }

std::int32_t Fail(char* detail, std::int32_t code, GError* e) {
    if (e) {
        gchar* remote = g_dbus_error_get_remote_error(e);
        g_dbus_error_strip_remote_error(e);
        Detail(detail, remote ? std::string(remote) + ": " + e->message : std::string(e->message));
        g_free(remote);
        g_error_free(e);
    }
    return code;
}

void Release(Object& o) {
    if (o.node) g_dbus_node_info_unref(o.node);
    if (o.bus) g_object_unref(o.bus);
    o = Object{};
}

// A call on the bus itself or an object; null with `*e` set on failure.
GVariant* CallSync(GDBusConnection* bus, const char* service, const char* path, const char* iface, const char* method,
                   GVariant* args, GError** e) {
    return g_dbus_connection_call_sync(bus, service, path, iface, method, args, nullptr, G_DBUS_CALL_FLAGS_NONE,
                                       kTimeoutMs, nullptr, e);
}

bool HasOwner(GDBusConnection* bus, const std::string& service) {
    GVariant* r = CallSync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                           g_variant_new("(s)", service.c_str()), nullptr);
    if (!r) return false;
    gboolean has = FALSE;
    g_variant_get(r, "(b)", &has);
    g_variant_unref(r);
    return has;
}

std::int32_t Open(ScriptContext* ctx, const char* text, bool start, std::int32_t* out, char* detail) {
    if (std::strlen(text) > kMaxName) return kNameTooLong;
    const std::optional<ObjectName> name = ParseObjectName(text);
    if (!name) {
        Detail(detail, std::string("not an object name: ") + text);
        return kInvalidParameters;
    }
    GError* e = nullptr;
    GDBusConnection* bus =
        g_bus_get_sync(name->bus == Bus::System ? G_BUS_TYPE_SYSTEM : G_BUS_TYPE_SESSION, nullptr, &e);
    if (!bus) return Fail(detail, kInitiateFailed, e);
    Object o;
    o.owner = ctx;
    o.bus = bus;
    o.service = name->service;
    o.path = name->path;
    if (!HasOwner(bus, o.service)) {
        if (!start) {
            Detail(detail, o.service + " is not running");
            Release(o);
            return kNoSuchObject;
        }
        GVariant* r = CallSync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "StartServiceByName", g_variant_new("(su)", o.service.c_str(), 0u), &e);
        if (!r) {
            Release(o);
            return Fail(detail, kNoSuchObject, e);
        }
        g_variant_unref(r);
    }
    GVariant* xml = CallSync(bus, o.service.c_str(), o.path.c_str(), "org.freedesktop.DBus.Introspectable",
                             "Introspect", nullptr, &e);
    if (!xml) {
        Release(o);
        return Fail(detail, kNoSuchObject, e);
    }
    const gchar* text_xml = nullptr;
    g_variant_get(xml, "(&s)", &text_xml);
    o.node = g_dbus_node_info_new_for_xml(text_xml, nullptr);
    g_variant_unref(xml);
    if (!o.node || !o.node->interfaces || !o.node->interfaces[0]) {
        Detail(detail, o.path + " has no interfaces at " + o.service);
        Release(o);
        return kNoSuchObject;
    }
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_objects.size() >= kMaxObjects) {
        Release(o);
        return kTooManyObjects;
    }
    do {
        g_next = g_next == INT32_MAX ? 1 : g_next + 1;
    } while (g_objects.count(g_next));
    g_objects[g_next] = o;
    *out = g_next;
    return 0;
}

// The object of a number, copied with its own references (the lock is not
// held during calls); false when there is none.
bool Find(std::int32_t id, Object* o) {
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_objects.find(id);
    if (it == g_objects.end()) return false;
    *o = it->second;
    g_object_ref(o->bus);
    g_dbus_node_info_ref(o->node);
    return true;
}

struct Member {
    GDBusInterfaceInfo* iface = nullptr;
    GDBusMethodInfo* method = nullptr;
    GDBusPropertyInfo* property = nullptr;
};

// The member `name` of interface `iface` ("" for any: the object's own
// interfaces before the standard ones).
Member Resolve(const Object& o, const std::string& iface, const std::string& name) {
    Member best;
    for (GDBusInterfaceInfo** i = o.node->interfaces; *i; ++i) {
        if (!iface.empty() && iface != (*i)->name) continue;
        Member m;
        m.iface = *i;
        m.method = g_dbus_interface_info_lookup_method(*i, name.c_str());
        m.property = g_dbus_interface_info_lookup_property(*i, name.c_str());
        if (!m.method && !m.property) continue;
        const bool standard = std::strncmp((*i)->name, "org.freedesktop.DBus.", 21) == 0;
        if (!standard) return m;
        if (!best.iface) best = m;
    }
    return best;
}

std::int32_t GiveResult(GVariant* v, void (*set_result)(void*, const TarnObjectValue*), void* sink) {
    std::string storage;
    const TarnObjectValue r = FromVariant(v, &storage);
    set_result(sink, &r);
    return 0;
}

std::int32_t GetProperty(const Object& o, const Member& m, void (*set_result)(void*, const TarnObjectValue*),
                         void* sink, char* detail) {
    GError* e = nullptr;
    GVariant* r = CallSync(o.bus, o.service.c_str(), o.path.c_str(), "org.freedesktop.DBus.Properties", "Get",
                           g_variant_new("(ss)", m.iface->name, m.property->name), &e);
    if (!r) return Fail(detail, kException, e);
    GVariant* value = g_variant_get_child_value(r, 0);
    GiveResult(value, set_result, sink);
    g_variant_unref(value);
    g_variant_unref(r);
    return 0;
}

std::int32_t SetProperty(const Object& o, const Member& m, const TarnObjectValue& v, char* detail) {
    if (!(m.property->flags & G_DBUS_PROPERTY_INFO_FLAGS_WRITABLE)) return kReadOnly;
    std::string error;
    GVariantType* type = g_variant_type_new(m.property->signature);
    GVariant* value = ToVariant(
        v, type, [](std::int32_t) { return std::string(); }, &error);
    g_variant_type_free(type);
    if (!value) {
        Detail(detail, std::string(m.property->name) + ": " + error);
        return kTypeMismatch;
    }
    GError* e = nullptr;
    GVariant* r = CallSync(o.bus, o.service.c_str(), o.path.c_str(), "org.freedesktop.DBus.Properties", "Set",
                           g_variant_new("(ssv)", m.iface->name, m.property->name, value), &e);
    if (!r) return Fail(detail, kException, e);
    g_variant_unref(r);
    return 0;
}

std::string PathOf(std::int32_t id) {
    std::lock_guard<std::mutex> hold(g_lock);
    const auto it = g_objects.find(id);
    return it == g_objects.end() ? std::string() : it->second.path;
}

std::int32_t CallMethod(const Object& o, const Member& m, const TarnObjectValue* args, std::int32_t count,
                        void (*set_result)(void*, const TarnObjectValue*), void* sink, char* detail) {
    std::int32_t expected = 0;
    while (m.method->in_args && m.method->in_args[expected]) ++expected;
    if (expected != count) {
        Detail(detail, std::string(m.method->name) + " takes " + std::to_string(expected) + " argument(s)");
        return kBadParamCount;
    }
    std::vector<GVariant*> values;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string error;
        GVariantType* type = g_variant_type_new(m.method->in_args[i]->signature);
        GVariant* v = ToVariant(args[i], type, PathOf, &error);
        g_variant_type_free(type);
        if (!v) {
            for (GVariant* x : values) g_variant_unref(g_variant_ref_sink(x));
            Detail(detail, std::string(m.method->name) + " argument " + std::to_string(i + 1) + ": " + error);
            return kTypeMismatch;
        }
        values.push_back(v);
    }
    GError* e = nullptr;
    GVariant* r = CallSync(o.bus, o.service.c_str(), o.path.c_str(), m.iface->name, m.method->name,
                           g_variant_new_tuple(values.data(), values.size()), &e);
    if (!r) return Fail(detail, kException, e);
    const gsize n = g_variant_n_children(r);
    if (n == 1) {
        GVariant* only = g_variant_get_child_value(r, 0);
        GiveResult(only, set_result, sink);
        g_variant_unref(only);
    } else if (n > 1) {
        // Several results: their texts as an item list (tabs).
        std::string joined;
        for (gsize i = 0; i < n; ++i) {
            GVariant* item = g_variant_get_child_value(r, i);
            std::string storage;
            const TarnObjectValue x = FromVariant(item, &storage);
            g_variant_unref(item);
            if (i) joined += '\t';
            if (x.type == TARN_INT) joined += std::to_string(x.integer);
            else if (x.type == TARN_FLOAT) joined += std::to_string(x.real);
            else joined.append(x.text, x.length);
        }
        const TarnObjectValue all{TARN_STRING, 0, 0.0, joined.data(), joined.size()};
        set_result(sink, &all);
    }
    g_variant_unref(r);
    return 0;
}

std::int32_t MemberAccess(std::int32_t id, const char* member, std::int32_t request, const TarnObjectValue* args,
                          std::int32_t count, void (*set_result)(void*, const TarnObjectValue*), void* sink,
                          char* detail) {
    Object o;
    if (!Find(id, &o)) return kNoSuchObject;
    const std::string full = member;
    const std::size_t dot = full.rfind('.');
    const std::string iface = dot == std::string::npos ? "" : full.substr(0, dot);
    const std::string name = dot == std::string::npos ? full : full.substr(dot + 1);
    const Member m = Resolve(o, iface, name);
    std::int32_t rc = kMemberNotFound;
    if (!m.iface) {
        Detail(detail, full + " is no member of " + o.path);
    } else if (request == TARN_OBJ_GET && m.property) {
        rc = GetProperty(o, m, set_result, sink, detail);
    } else if (request == TARN_OBJ_PUT && m.property && count == 1) {
        rc = SetProperty(o, m, args[0], detail);
    } else if ((request == TARN_OBJ_CALL || request == TARN_OBJ_GET) && m.method) {
        rc = CallMethod(o, m, args, count, set_result, sink, detail);
    } else {
        Detail(detail, full + (m.method ? " is a method" : " is a property"));
    }
    g_object_unref(o.bus);
    g_dbus_node_info_unref(o.node);
    return rc;
}

void AppendMembers(std::string& out, GDBusInterfaceInfo* i) {
    for (GDBusMethodInfo** m = i->methods; m && *m; ++m) {
        out += std::string("method ") + i->name + "." + (*m)->name + " (";
        for (GDBusArgInfo** a = (*m)->in_args; a && *a; ++a) out += (*a)->signature;
        out += ")(";
        for (GDBusArgInfo** a = (*m)->out_args; a && *a; ++a) out += (*a)->signature;
        out += ")\n";
    }
    for (GDBusPropertyInfo** p = i->properties; p && *p; ++p)
        out += std::string("property ") + i->name + "." + (*p)->name + " " + (*p)->signature + "\n";
}

}  // namespace
}  // namespace tarn::objects

using namespace tarn::objects;

extern "C" TARN_API std::int32_t TarnObjectOrdinal3(ScriptContext* ctx, std::int32_t request, const char* name,
                                                    std::int32_t flag, std::int32_t* object, char* detail) {
    try {
        if (request == TARN_OBJ_OPEN || request == TARN_OBJ_ACCESS)
            return Open(ctx, name ? name : "", request == TARN_OBJ_OPEN || flag != 0, object, detail);
        if (request != TARN_OBJ_CLOSE) return kInvalidParameters;
        std::lock_guard<std::mutex> hold(g_lock);
        const auto it = g_objects.find(*object);
        if (it == g_objects.end() || it->second.owner != ctx) return kNoSuchObject;
        Release(it->second);
        g_objects.erase(it);
        return 0;
    } catch (...) {
        return 1513;  // out of memory
    }
}

extern "C" TARN_API std::int32_t TarnObjectOrdinal4(std::int32_t object, char* out, size_t size, char* detail) {
    try {
        Object o;
        if (!Find(object, &o)) return kNoSuchObject;
        std::string text;
        for (GDBusInterfaceInfo** i = o.node->interfaces; *i; ++i) AppendMembers(text, *i);
        g_object_unref(o.bus);
        g_dbus_node_info_unref(o.node);
        if (size) std::snprintf(out, size, "%s", text.c_str());
        if (text.size() >= size) {
            Detail(detail, "the member list needs " + std::to_string(text.size() + 1) + " bytes");
            return 1513;
        }
        return 0;
    } catch (...) {
        return 1513;
    }
}

extern "C" TARN_API std::int32_t TarnObjectOrdinal5(std::int32_t object, const char* member, std::int32_t request,
                                                    const TarnObjectValue* args, std::int32_t count,
                                                    void (*set_result)(void*, const TarnObjectValue*), void* sink,
                                                    char* detail) {
    try {
        return MemberAccess(object, member ? member : "", request, args, count, set_result, sink, detail);
    } catch (...) {
        return 1513;
    }
}

extern "C" TARN_API void TarnObjectOrdinal6(ScriptContext* ctx) {
    try {
        std::lock_guard<std::mutex> hold(g_lock);
        for (auto it = g_objects.begin(); it != g_objects.end();) {
            if (it->second.owner == ctx) {
                Release(it->second);
                it = g_objects.erase(it);
            } else {
                ++it;
            }
        }
    } catch (...) {
    }
}
