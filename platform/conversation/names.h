// How a conversation's names appear on the D-Bus session bus: a service is a
// well-known bus name under one prefix, a topic an object path under one
// root, and execute, request and poke are methods of one interface
// (docs/conversations.md). Shared by the client in the interpreter, the
// server library and its tools; no bus calls here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vrayu::conversation {

inline constexpr std::string_view kBusNamePrefix = "org.vrayu.Conversation.";
inline constexpr std::string_view kRootPath = "/org/vrayu/Conversation";
inline constexpr char kInterface[] = "org.vrayu.Conversation";
// The error a server replies with when it refuses an execute, request or poke.
inline constexpr char kRefusedError[] = "org.vrayu.Conversation.Error.Refused";
// Longest service, topic or item name, in bytes.
inline constexpr std::size_t kNameMax = 255;

// Case folding of service and topic names: ASCII letters to lower case.
std::string FoldName(std::string_view name);

// The bus name of a service, or nullopt when the name is empty or too long.
std::optional<std::string> BusName(std::string_view service);
// The object path of a topic, or nullopt when the name is empty or too long.
std::optional<std::string> TopicPath(std::string_view topic);

}  // namespace vrayu::conversation
