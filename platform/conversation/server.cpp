#include "server.h"

#include <poll.h>
#include <systemd/sd-bus.h>
#include <time.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "names.h"

namespace vrayu::conversation {

bool Topic::Execute(std::string_view) { return false; }
std::optional<std::string> Topic::Request(std::string_view) { return std::nullopt; }
bool Topic::Poke(std::string_view, std::string_view) { return false; }

namespace {

// The "System" topic a server offers when its owner adds none: request
// "Topics" lists the topics, "SysItems" the items of this topic, both
// separated by tabs.
class SystemTopic : public Topic {
public:
    explicit SystemTopic(const Server& server) : server_(server) {}
    std::optional<std::string> Request(std::string_view item) override {
        const std::string folded = FoldName(item);
        if (folded == "sysitems") return std::string("SysItems\tTopics");
        if (folded != "topics") return std::nullopt;
        std::string list = "System";
        for (const std::string& name : server_.TopicNames())
            if (FoldName(name) != "system") list += "\t" + name;
        return list;
    }

private:
    const Server& server_;
};

std::string_view ReadBytes(sd_bus_message* m, int* r) {
    const void* p = nullptr;
    size_t size = 0;
    *r = sd_bus_message_read_array(m, 'y', &p, &size);
    if (*r < 0 || !p) return {};
    return {static_cast<const char*>(p), size};
}

int Refuse(sd_bus_error* error) {
    return sd_bus_error_set(error, kRefusedError, "The server did not process the transaction");
}

int UnknownTopic(sd_bus_error* error) { return sd_bus_error_set(error, SD_BUS_ERROR_UNKNOWN_OBJECT, "No such topic"); }

// Runs a handler body; an exception from a topic counts as a refusal.
template <class F>
int Guard(sd_bus_error* error, F&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return -ENOMEM;
    } catch (...) {
        return Refuse(error);
    }
}

}  // namespace

std::unique_ptr<Server> Server::Start(std::string_view service, std::string* error) {
    auto fail = [&](const std::string& why) -> std::unique_ptr<Server> {
        if (error) *error = why;
        return nullptr;
    };
    const std::optional<std::string> name = BusName(service);
    if (!name) return fail("the service name is empty or longer than 255 bytes");
    std::unique_ptr<Server> s(new Server);
    s->service_ = std::string(service);
    int r = sd_bus_open_user(&s->bus_);
    if (r < 0) return fail(std::string("no session bus: ") + std::strerror(-r));
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Connect", "", "", &Server::OnConnect, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Disconnect", "", "", &Server::OnDisconnect, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Execute", "ay", "", &Server::OnExecute, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Request", "ay", "ay", &Server::OnRequest, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Poke", "ayay", "", &Server::OnPoke, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Topics", "", "aay", &Server::OnTopics, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END,
    };
    const std::string root(kRootPath);
    r = sd_bus_add_fallback_vtable(s->bus_, &s->vtable_slot_, root.c_str(), kInterface, vtable, &Server::OnFind,
                                   s.get());
    if (r >= 0) r = sd_bus_add_node_enumerator(s->bus_, &s->enum_slot_, root.c_str(), &Server::OnEnumerate, s.get());
    if (r < 0) return fail(std::string("cannot register the objects: ") + std::strerror(-r));
    r = sd_bus_request_name(s->bus_, name->c_str(), 0);
    if (r == -EEXIST) return fail("another program offers the service " + s->service_);
    if (r < 0) return fail(std::string("cannot take the bus name: ") + std::strerror(-r));
    s->AddTopic("System", std::make_shared<SystemTopic>(*s));
    return s;
}

Server::~Server() {
    sd_bus_slot_unref(enum_slot_);
    sd_bus_slot_unref(vtable_slot_);
    if (bus_) sd_bus_flush_close_unref(bus_);
}

bool Server::AddTopic(std::string_view name, std::shared_ptr<Topic> topic) {
    const std::optional<std::string> path = TopicPath(name);
    if (!path || !topic) return false;
    topics_[*path] = Entry{std::string(name), std::move(topic)};
    return true;
}

void Server::RemoveTopic(std::string_view name) {
    if (const std::optional<std::string> path = TopicPath(name)) topics_.erase(*path);
}

std::vector<std::string> Server::TopicNames() const {
    std::vector<std::string> names;
    for (const auto& [path, entry] : topics_) names.push_back(entry.name);
    return names;
}

const Server::Entry* Server::Find(std::string_view path) const {
    const auto it = topics_.find(std::string(path));
    return it == topics_.end() ? nullptr : &it->second;
}

int Server::Fd() const { return sd_bus_get_fd(bus_); }
int Server::Events() const { return sd_bus_get_events(bus_); }

std::optional<std::chrono::microseconds> Server::Timeout() const {
    uint64_t usec = 0;
    if (sd_bus_get_timeout(bus_, &usec) < 0 || usec == UINT64_MAX) return std::nullopt;
    return std::chrono::microseconds(usec);
}

bool Server::Process() {
    for (;;) {
        if (before_message_) before_message_();
        const int r = sd_bus_process(bus_, nullptr);
        if (r < 0) return false;
        if (r == 0) return true;
    }
}

bool Server::Run(std::chrono::milliseconds wait) {
    if (!Process()) return false;
    const int r = sd_bus_wait(bus_, static_cast<uint64_t>(wait.count()) * 1000);
    if (r < 0 && r != -EINTR) return false;
    return Process();
}

int Server::OnFind(sd_bus*, const char* path, const char*, void* data, void** found, sd_bus_error*) {
    auto* self = static_cast<Server*>(data);
    if (std::strcmp(path, std::string(kRootPath).c_str()) != 0 && !self->Find(path)) return 0;
    *found = self;
    return 1;
}

int Server::OnEnumerate(sd_bus*, const char*, void* data, char*** nodes, sd_bus_error*) {
    auto* self = static_cast<Server*>(data);
    auto** list = static_cast<char**>(std::calloc(self->topics_.size() + 1, sizeof(char*)));
    if (!list) return -ENOMEM;
    std::size_t i = 0;
    for (const auto& [path, entry] : self->topics_) list[i++] = strdup(path.c_str());
    *nodes = list;
    return 0;
}

int Server::OnConnect(sd_bus_message* m, void* data, sd_bus_error* error) {
    auto* self = static_cast<Server*>(data);
    if (!self->Find(sd_bus_message_get_path(m))) return UnknownTopic(error);
    ++self->conversations_;
    return sd_bus_reply_method_return(m, "");
}

int Server::OnDisconnect(sd_bus_message* m, void* data, sd_bus_error*) {
    auto* self = static_cast<Server*>(data);
    if (self->conversations_ > 0) --self->conversations_;
    if (sd_bus_message_get_expect_reply(m)) return sd_bus_reply_method_return(m, "");
    return 1;
}

int Server::OnExecute(sd_bus_message* m, void* data, sd_bus_error* error) {
    return Guard(error, [&] {
        const Entry* e = static_cast<Server*>(data)->Find(sd_bus_message_get_path(m));
        if (!e) return UnknownTopic(error);
        int r = 0;
        const std::string_view command = ReadBytes(m, &r);
        if (r < 0) return r;
        if (!e->topic->Execute(command)) return Refuse(error);
        return sd_bus_reply_method_return(m, "");
    });
}

int Server::OnRequest(sd_bus_message* m, void* data, sd_bus_error* error) {
    return Guard(error, [&] {
        const Entry* e = static_cast<Server*>(data)->Find(sd_bus_message_get_path(m));
        if (!e) return UnknownTopic(error);
        int r = 0;
        const std::string item(ReadBytes(m, &r));
        if (r < 0) return r;
        const std::optional<std::string> text = e->topic->Request(item);
        if (!text) return Refuse(error);
        sd_bus_message* reply = nullptr;
        r = sd_bus_message_new_method_return(m, &reply);
        if (r >= 0) r = sd_bus_message_append_array(reply, 'y', text->data(), text->size());
        if (r >= 0) r = sd_bus_send(nullptr, reply, nullptr);
        sd_bus_message_unref(reply);
        return r;
    });
}

int Server::OnPoke(sd_bus_message* m, void* data, sd_bus_error* error) {
    return Guard(error, [&] {
        const Entry* e = static_cast<Server*>(data)->Find(sd_bus_message_get_path(m));
        if (!e) return UnknownTopic(error);
        int r = 0;
        const std::string item(ReadBytes(m, &r));
        if (r < 0) return r;
        const std::string_view text = ReadBytes(m, &r);
        if (r < 0) return r;
        if (!e->topic->Poke(item, text)) return Refuse(error);
        return sd_bus_reply_method_return(m, "");
    });
}

int Server::OnTopics(sd_bus_message* m, void* data, sd_bus_error* error) {
    return Guard(error, [&] {
        sd_bus_message* reply = nullptr;
        int r = sd_bus_message_new_method_return(m, &reply);
        if (r >= 0) r = sd_bus_message_open_container(reply, 'a', "ay");
        for (const std::string& name : static_cast<Server*>(data)->TopicNames())
            if (r >= 0) r = sd_bus_message_append_array(reply, 'y', name.data(), name.size());
        if (r >= 0) r = sd_bus_message_close_container(reply);
        if (r >= 0) r = sd_bus_send(nullptr, reply, nullptr);
        sd_bus_message_unref(reply);
        return r;
    });
}

}  // namespace vrayu::conversation
