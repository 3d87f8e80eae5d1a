#include "object_name.h"

#include <gio/gio.h>

#include <algorithm>
#include <cctype>

namespace tarn::objects {

std::optional<ObjectName> ParseObjectName(std::string_view text) {
    ObjectName n;
    const std::size_t colon = text.find(':');
    const std::size_t slash = text.find('/');
    if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash)) {
        std::string bus(text.substr(0, colon));
        std::transform(bus.begin(), bus.end(), bus.begin(), [](unsigned char c) { return std::tolower(c); });
        if (bus == "session") n.bus = Bus::Session;
        else if (bus == "system") n.bus = Bus::System;
        else return std::nullopt;
        text.remove_prefix(colon + 1);
    }
    const std::size_t cut = text.find('/');
    n.service = std::string(text.substr(0, cut));
    if (cut != std::string_view::npos) {
        n.path = std::string(text.substr(cut));
    } else {
        n.path = "/" + n.service;
        std::replace(n.path.begin(), n.path.end(), '.', '/');
    }
    if (!g_dbus_is_name(n.service.c_str()) || !g_variant_is_object_path(n.path.c_str())) return std::nullopt;
    return n;
}

}  // namespace tarn::objects
