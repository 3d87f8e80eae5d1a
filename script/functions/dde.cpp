// The conversation family ("dde..."): a script talks to other programs as a
// client over the D-Bus session bus (conversations.h, docs/conversations.md).
// The instance is made on the first "ddeinitiate" of a context and released
// at shutdown; channels are 1 to 10; every transaction waits at most the
// context's time-out ("ddetimeout", 3000 ms at first).
#include "functions/dde.h"

#include <new>

#include "builtins.h"
#include "functions/logic/conversations.h"
#include "errors.h"
#include "names.h"

namespace tarn {
namespace {

namespace cv = vrayu::conversation;

constexpr char kNack[] = "***NACK***";

dde::Conversations* Instance(State& s) { return reinterpret_cast<dde::Conversations*>(s.dde); }

// The open conversations of a channel argument, or nullptr with the error
// set: 3152 outside 1 to 10, `unused` for a channel without a conversation.
dde::Conversations* Channel(Call& c, std::int32_t channel, int unused) {
    if (channel < 1 || channel > dde::kChannels) return c.Fail(err::DDEReqBadChannelNumber), nullptr;
    dde::Conversations* conv = Instance(c.State());
    if (!conv || !conv->Open(channel)) return c.Fail(unused), nullptr;
    return conv;
}

void DdeInitiate(Call& c) {
    State& s = c.State();
    if (!s.dde) {
        auto* made = new (std::nothrow) dde::Conversations;
        if (!made) return c.Fail(err::DDEReqNullHandleReturned);
        s.dde = reinterpret_cast<std::intptr_t>(made);
    }
    dde::Conversations& conv = *Instance(s);
    const int channel = conv.FreeChannel();
    if (!channel) return c.Fail(err::DDEInitiateTooManyConversations);
    const std::string_view service = c.Str(0), topic = c.Str(1);
    if (service.size() > cv::kNameMax || topic.size() > cv::kNameMax)
        return c.Fail(err::DDEInitiateCreateStringFailure);
    // No server takes an empty name.
    if (service.empty() || topic.empty()) return c.ReturnInt(0);
    const auto bus_name = cv::BusName(service);
    const auto path = cv::TopicPath(topic);
    if (!bus_name || !path) return c.Fail(err::DDEInitiateCreateStringFailure);
    c.ReturnInt(conv.Connect(channel, *bus_name, *path, s.dde_timeout) ? channel : 0);
}

void DdeExecute(Call& c) {
    dde::Conversations* conv = Channel(c, c.Int(0), err::DDEInitiateBadChannelNumber);
    if (!conv) return;
    c.ReturnInt(conv->Execute(c.Int(0), c.Str(1), c.State().dde_timeout) == dde::Outcome::Accepted);
}

void DdeRequest(Call& c) {
    dde::Conversations* conv = Channel(c, c.Int(0), err::DDEInitiateBadChannelNumber);
    if (!conv) return;
    if (c.Str(1).size() > cv::kNameMax) return c.Fail(err::DDEReqCreateStringFailed);
    const dde::Answer answer = conv->Request(c.Int(0), c.Str(1), c.State().dde_timeout);
    if (answer.outcome == dde::Outcome::Unreadable) return c.Fail(err::DDEReqGlobalLockFailed);
    c.ReturnText(answer.outcome == dde::Outcome::Accepted ? std::string_view(answer.text) : kNack);
}

void DdePoke(Call& c) {
    dde::Conversations* conv = Channel(c, c.Int(0), err::DDEInitiateBadChannelNumber);
    if (!conv) return;
    if (c.Str(1).size() > cv::kNameMax) return c.Fail(err::DDEReqCreateStringFailed);
    c.ReturnInt(conv->Poke(c.Int(0), c.Str(1), c.Str(2), c.State().dde_timeout) == dde::Outcome::Accepted);
}

void DdeTerminate(Call& c) {
    dde::Conversations* conv = Channel(c, c.Int(0), err::DDETerminateChannelNotOpen);
    if (!conv) return;
    conv->Terminate(c.Int(0));
    c.ReturnInt(1);
}

void DdeTimeout(Call& c) {
    State& s = c.State();
    const auto previous = static_cast<std::int32_t>(s.dde_timeout);
    s.dde_timeout = static_cast<std::uint32_t>(c.Int(0));
    c.ReturnInt(previous);
}

constexpr BuiltinEntry kDde[] = {
    {"ddeinitiate", DdeInitiate}, {"ddeexecute", DdeExecute},     {"dderequest", DdeRequest},
    {"ddepoke", DdePoke},         {"ddeterminate", DdeTerminate}, {"ddetimeout", DdeTimeout},
};

}  // namespace

void EndConversations(State& s) {
    delete Instance(s);
    s.dde = 0;
}

}  // namespace tarn

TARN_FAMILY(dde, tarn::kDde)
