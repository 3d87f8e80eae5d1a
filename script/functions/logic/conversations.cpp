#include "conversations.h"

#include <systemd/sd-bus.h>

#include <cstring>

#include "names.h"

namespace tarn::dde {
namespace {

namespace cv = vrayu::conversation;

std::uint64_t Usec(std::uint32_t timeout_ms) {
    // A time-out of 0 (or one given as a negative number) still ends the
    // wait: sd-bus would read 0 as its own 25 s default.
    const auto ms = static_cast<std::int32_t>(timeout_ms);
    return ms <= 0 ? 1000 : static_cast<std::uint64_t>(ms) * 1000;
}

// One method call of the conversation interface; the reply or nullptr.
// Messages that arrive beside the reply (bus signals) are dropped.
sd_bus_message* CallMethod(sd_bus* bus, const std::string& peer, const std::string& path, const char* member,
                           std::uint32_t timeout_ms, std::string_view a, std::string_view b, int byte_args) {
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_message_new_method_call(bus, &call, peer.c_str(), path.c_str(), cv::kInterface, member);
    if (r >= 0) r = sd_bus_message_set_auto_start(call, 0);
    if (r >= 0 && byte_args > 0) r = sd_bus_message_append_array(call, 'y', a.data(), a.size());
    if (r >= 0 && byte_args > 1) r = sd_bus_message_append_array(call, 'y', b.data(), b.size());
    if (r >= 0) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        r = sd_bus_call(bus, call, Usec(timeout_ms), &error, &reply);
        sd_bus_error_free(&error);
    }
    sd_bus_message_unref(call);
    while (sd_bus_process(bus, nullptr) > 0) {
    }
    return r >= 0 ? reply : nullptr;
}

}  // namespace

Conversations::~Conversations() {
    for (int ch = 1; ch <= kChannels; ++ch)
        if (Open(ch)) Terminate(ch);
    if (bus_) sd_bus_flush_close_unref(bus_);
}

int Conversations::FreeChannel() const {
    for (int ch = 1; ch <= kChannels; ++ch)
        if (!Open(ch)) return ch;
    return 0;
}

bool Conversations::Open(int channel) const {
    return channel >= 1 && channel <= kChannels && channels_[static_cast<std::size_t>(channel - 1)].open;
}

sd_bus* Conversations::Bus() {
    if (bus_ && sd_bus_is_open(bus_) <= 0) bus_ = sd_bus_flush_close_unref(bus_);
    if (!bus_ && sd_bus_open_user(&bus_) < 0) bus_ = nullptr;
    return bus_;
}

bool Conversations::Connect(int channel, const std::string& bus_name, const std::string& path,
                            std::uint32_t timeout_ms) {
    sd_bus* bus = Bus();
    if (!bus) return false;
    sd_bus_message* reply = CallMethod(bus, bus_name, path, "Connect", timeout_ms, {}, {}, 0);
    if (!reply) return false;
    const char* sender = sd_bus_message_get_sender(reply);
    Channel& c = At(channel);
    c.peer = sender ? sender : bus_name;
    c.path = path;
    c.open = true;
    sd_bus_message_unref(reply);
    return true;
}

Outcome Conversations::Execute(int channel, std::string_view command, std::uint32_t timeout_ms) {
    Channel& c = At(channel);
    sd_bus* bus = Bus();
    sd_bus_message* reply = bus ? CallMethod(bus, c.peer, c.path, "Execute", timeout_ms, command, {}, 1) : nullptr;
    if (!reply) return Outcome::Refused;
    sd_bus_message_unref(reply);
    return Outcome::Accepted;
}

Answer Conversations::Request(int channel, std::string_view item, std::uint32_t timeout_ms) {
    Channel& c = At(channel);
    sd_bus* bus = Bus();
    sd_bus_message* reply = bus ? CallMethod(bus, c.peer, c.path, "Request", timeout_ms, item, {}, 1) : nullptr;
    if (!reply) return {Outcome::Refused, {}};
    const void* data = nullptr;
    std::size_t size = 0;
    const int r = sd_bus_message_read_array(reply, 'y', &data, &size);
    Answer answer{Outcome::Unreadable, {}};
    if (r >= 0) {
        std::string_view text(size ? static_cast<const char*>(data) : "", size);
        answer = {Outcome::Accepted, std::string(text.substr(0, text.find('\0')))};
    }
    sd_bus_message_unref(reply);
    return answer;
}

Outcome Conversations::Poke(int channel, std::string_view item, std::string_view text, std::uint32_t timeout_ms) {
    Channel& c = At(channel);
    sd_bus* bus = Bus();
    sd_bus_message* reply = bus ? CallMethod(bus, c.peer, c.path, "Poke", timeout_ms, item, text, 2) : nullptr;
    if (!reply) return Outcome::Refused;
    sd_bus_message_unref(reply);
    return Outcome::Accepted;
}

void Conversations::Terminate(int channel) {
    Channel& c = At(channel);
    // The server is told without waiting for it: ending never blocks.
    if (bus_ && sd_bus_is_open(bus_) > 0) {
        sd_bus_message* m = nullptr;
        if (sd_bus_message_new_method_call(bus_, &m, c.peer.c_str(), c.path.c_str(), vrayu::conversation::kInterface,
                                           "Disconnect") >= 0 &&
            sd_bus_message_set_expect_reply(m, 0) >= 0 && sd_bus_message_set_auto_start(m, 0) >= 0)
            sd_bus_send(bus_, m, nullptr);
        sd_bus_message_unref(m);
    }
    c = Channel{};
}

}  // namespace tarn::dde
