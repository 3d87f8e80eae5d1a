#include "dbus_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tarn::objects {
namespace {

std::string_view Text(const TarnObjectValue& v) { return {v.text ? v.text : "", v.text ? v.length : 0}; }

// The value as a whole number; false when it is none.
bool WholeNumber(const TarnObjectValue& v, long double* out) {
    if (v.type == TARN_INT || v.type == TARN_OBJECT) {
        *out = v.integer;
        return true;
    }
    if (v.type == TARN_FLOAT) {
        if (!std::isfinite(v.real) || v.real != std::floor(v.real)) return false;
        *out = v.real;
        return true;
    }
    const std::string t(Text(v));
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(t.c_str(), &end, 0);
    if (errno == 0 && *end == 0) {
        *out = static_cast<long double>(n);
        return true;
    }
    errno = 0;
    const unsigned long long u = std::strtoull(t.c_str(), &end, 0);
    if (errno == 0 && *end == 0 && t[0] != '-') {
        *out = static_cast<long double>(u);
        return true;
    }
    return false;
}

bool Real(const TarnObjectValue& v, double* out) {
    if (v.type == TARN_INT) return *out = v.integer, true;
    if (v.type == TARN_FLOAT) return *out = v.real, true;
    const std::string t(Text(v));
    char* end = nullptr;
    *out = std::strtod(t.c_str(), &end);
    return !t.empty() && *end == 0;
}

std::string TextForm(const TarnObjectValue& v) {
    if (v.type == TARN_INT || v.type == TARN_OBJECT) return std::to_string(v.integer);
    if (v.type == TARN_FLOAT) {
        char b[64];
        std::snprintf(b, sizeof b, "%.15g", v.real);
        return b;
    }
    return AsUtf8(Text(v));
}

template <class T>
bool InRange(long double n) {
    return n >= static_cast<long double>(std::numeric_limits<T>::min()) &&
           n <= static_cast<long double>(std::numeric_limits<T>::max());
}

GVariant* Integer(const TarnObjectValue& v, char code, std::string* error) {
    long double n;
    if (!WholeNumber(v, &n)) {
        *error = "not a whole number";
        return nullptr;
    }
    bool ok = false;
    GVariant* r = nullptr;
    switch (code) {
        case 'y':
            if ((ok = InRange<guint8>(n))) r = g_variant_new_byte(static_cast<guint8>(n));
            break;
        case 'n':
            if ((ok = InRange<gint16>(n))) r = g_variant_new_int16(static_cast<gint16>(n));
            break;
        case 'q':
            if ((ok = InRange<guint16>(n))) r = g_variant_new_uint16(static_cast<guint16>(n));
            break;
        case 'i':
            if ((ok = InRange<gint32>(n))) r = g_variant_new_int32(static_cast<gint32>(n));
            break;
        case 'u':
            if ((ok = InRange<guint32>(n))) r = g_variant_new_uint32(static_cast<guint32>(n));
            break;
        case 'x':
            if ((ok = InRange<gint64>(n))) r = g_variant_new_int64(static_cast<gint64>(n));
            break;
        case 't':
            if ((ok = InRange<guint64>(n))) r = g_variant_new_uint64(static_cast<guint64>(n));
            break;
        case 'h':
            if ((ok = InRange<gint32>(n))) r = g_variant_new_handle(static_cast<gint32>(n));
            break;
    }
    if (!ok) *error = "number out of range for the type";
    return r;
}

}  // namespace

std::string AsUtf8(std::string_view text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return std::string(text);
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

GVariant* ToVariant(const TarnObjectValue& v, const GVariantType* type, const ObjectPathOf& path_of,
                    std::string* error) {
    const char code = g_variant_type_peek_string(type)[0];
    switch (code) {
        case 'b': {
            long double n;
            const std::string t(Text(v));
            if (v.type == TARN_STRING && (t == "true" || t == "false")) return g_variant_new_boolean(t == "true");
            if (!WholeNumber(v, &n)) return *error = "not a truth value", nullptr;
            return g_variant_new_boolean(n != 0);
        }
        case 'y':
        case 'n':
        case 'q':
        case 'i':
        case 'u':
        case 'x':
        case 't':
        case 'h': return Integer(v, code, error);
        case 'd': {
            double d;
            if (!Real(v, &d)) return *error = "not a number", nullptr;
            return g_variant_new_double(d);
        }
        case 's': return g_variant_new_string(TextForm(v).c_str());
        case 'o': {
            const std::string p = v.type == TARN_OBJECT ? path_of(v.integer) : TextForm(v);
            if (!g_variant_is_object_path(p.c_str())) return *error = "not an object path", nullptr;
            return g_variant_new_object_path(p.c_str());
        }
        case 'g': {
            const std::string g = TextForm(v);
            if (!g_variant_is_signature(g.c_str())) return *error = "not a type signature", nullptr;
            return g_variant_new_signature(g.c_str());
        }
        case 'v': {
            GVariant* inner = nullptr;
            if (v.type == TARN_INT) inner = g_variant_new_int32(v.integer);
            else if (v.type == TARN_FLOAT) inner = g_variant_new_double(v.real);
            else if (v.type == TARN_OBJECT) inner = ToVariant(v, G_VARIANT_TYPE_OBJECT_PATH, path_of, error);
            else inner = g_variant_new_string(TextForm(v).c_str());
            return inner ? g_variant_new_variant(inner) : nullptr;
        }
        default: {
            const std::string t = TextForm(v);
            GError* e = nullptr;
            GVariant* r = g_variant_parse(type, t.c_str(), nullptr, nullptr, &e);
            if (!r) {
                *error = e ? e->message : "cannot read the value";
                g_clear_error(&e);
            }
            return r;
        }
    }
}

TarnObjectValue FromVariant(GVariant* v, std::string* storage) {
    TarnObjectValue r{};
    auto text = [&](std::string s) {
        *storage = std::move(s);
        r.type = TARN_STRING;
        r.text = storage->data();
        r.length = storage->size();
        return r;
    };
    auto number = [&](long double n) {
        if (n >= INT32_MIN && n <= INT32_MAX) {
            r.type = TARN_INT;
            r.integer = static_cast<std::int32_t>(n);
        } else {
            r.type = TARN_FLOAT;
            r.real = static_cast<double>(n);
        }
        return r;
    };
    const GVariantType* t = g_variant_get_type(v);
    if (g_variant_type_equal(t, G_VARIANT_TYPE_BOOLEAN)) return number(g_variant_get_boolean(v) ? 1 : 0);
    if (g_variant_type_equal(t, G_VARIANT_TYPE_BYTE)) return number(g_variant_get_byte(v));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_INT16)) return number(g_variant_get_int16(v));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_UINT16)) return number(g_variant_get_uint16(v));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_INT32)) return number(g_variant_get_int32(v));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_HANDLE)) return number(g_variant_get_handle(v));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_UINT32)) return number(g_variant_get_uint32(v));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_INT64)) return number(static_cast<long double>(g_variant_get_int64(v)));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_UINT64))
        return number(static_cast<long double>(g_variant_get_uint64(v)));
    if (g_variant_type_equal(t, G_VARIANT_TYPE_DOUBLE)) {
        r.type = TARN_FLOAT;
        r.real = g_variant_get_double(v);
        return r;
    }
    if (g_variant_is_of_type(v, G_VARIANT_TYPE_STRING) || g_variant_is_of_type(v, G_VARIANT_TYPE_OBJECT_PATH) ||
        g_variant_is_of_type(v, G_VARIANT_TYPE_SIGNATURE))
        return text(g_variant_get_string(v, nullptr));
    if (g_variant_is_of_type(v, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(v);
        const TarnObjectValue x = FromVariant(inner, storage);
        g_variant_unref(inner);
        return x;
    }
    if (g_variant_is_of_type(v, G_VARIANT_TYPE_STRING_ARRAY) ||
        g_variant_is_of_type(v, G_VARIANT_TYPE_OBJECT_PATH_ARRAY)) {
        std::string joined;
        const gsize n = g_variant_n_children(v);
        for (gsize i = 0; i < n; ++i) {
            GVariant* item = g_variant_get_child_value(v, i);
            if (i) joined += '\t';
            joined += g_variant_get_string(item, nullptr);
            g_variant_unref(item);
        }
        return text(joined);
    }
    gchar* printed = g_variant_print(v, FALSE);
    std::string s = printed;
    g_free(printed);
    return text(s);
}

}  // namespace tarn::objects
