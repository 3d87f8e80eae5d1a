#include "names.h"

namespace vrayu::conversation {
namespace {

// One element of a bus name or object path: letters and digits stay, every
// other byte becomes "_" and two lower-case hex digits, and so does a
// leading digit (bus name elements must not begin with one).
std::string Escape(std::string_view folded) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(folded.size());
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto b = static_cast<unsigned char>(folded[i]);
        const bool letter = b >= 'a' && b <= 'z';
        const bool digit = b >= '0' && b <= '9';
        if (letter || (digit && i > 0)) {
            out += static_cast<char>(b);
        } else {
            out += '_';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

}  // namespace

std::string FoldName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::optional<std::string> BusName(std::string_view service) {
    if (service.empty() || service.size() > kNameMax) return std::nullopt;
    std::string name = std::string(kBusNamePrefix) + Escape(FoldName(service));
    if (name.size() > 255) return std::nullopt;  // the bus's own limit
    return name;
}

std::optional<std::string> TopicPath(std::string_view topic) {
    if (topic.empty() || topic.size() > kNameMax) return std::nullopt;
    return std::string(kRootPath) + "/" + Escape(FoldName(topic));
}

}  // namespace vrayu::conversation
