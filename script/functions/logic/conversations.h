// The client side of conversations: up to ten channels to servers on the
// D-Bus session bus, each pinned to the program that answered it
// (docs/conversations.md). The bus is opened on the first connection; when
// there is none, no server answers. Every call waits at most its time-out.
// No interpreter types: the "dde" family wraps it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct sd_bus;

namespace tarn::dde {

inline constexpr int kChannels = 10;

enum class Outcome {
    Accepted,
    Refused,     // refused, timed out, or the server is gone
    Unreadable,  // the server answered a request with something other than text
};

struct Answer {
    Outcome outcome;
    std::string text;  // a request's text, up to its first NUL
};

class Conversations {
public:
    Conversations() = default;
    ~Conversations();  // ends every conversation and leaves the bus
    Conversations(const Conversations&) = delete;
    Conversations& operator=(const Conversations&) = delete;

    // The lowest free channel, 0 when all ten are in use.
    int FreeChannel() const;
    // Whether a conversation is open on the channel (1 to 10).
    bool Open(int channel) const;

    // Opens a conversation on the free channel with the server of a bus
    // name and topic path; false when no server answered in time.
    bool Connect(int channel, const std::string& bus_name, const std::string& path, std::uint32_t timeout_ms);
    Outcome Execute(int channel, std::string_view command, std::uint32_t timeout_ms);
    Answer Request(int channel, std::string_view item, std::uint32_t timeout_ms);
    Outcome Poke(int channel, std::string_view item, std::string_view text, std::uint32_t timeout_ms);
    // Ends the conversation; the channel becomes free.
    void Terminate(int channel);

private:
    struct Channel {
        bool open = false;
        std::string peer;  // unique bus name of the server that answered
        std::string path;
    };
    sd_bus* Bus();
    Channel& At(int channel) { return channels_[static_cast<std::size_t>(channel - 1)]; }

    sd_bus* bus_ = nullptr;
    std::array<Channel, kChannels> channels_{};
};

}  // namespace tarn::dde
