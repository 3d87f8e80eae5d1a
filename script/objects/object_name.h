// Names of D-Bus objects as scripts write them:
//   [bus:]service[/path]
// bus is "session" (the default) or "system"; without a path the object is
// the service's name with "." turned into "/" ("org.example.App" ->
// "/org/example/App").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn::objects {

enum class Bus { Session, System };

struct ObjectName {
    Bus bus = Bus::Session;
    std::string service;
    std::string path;
};

// nullopt for a name that is not of that form (an unknown bus, an invalid
// bus name or object path).
std::optional<ObjectName> ParseObjectName(std::string_view text);

}  // namespace tarn::objects
