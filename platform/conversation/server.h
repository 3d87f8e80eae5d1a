// A conversation server on the D-Bus session bus: it takes the bus name of
// one service and answers execute, request and poke for the topics added to
// it (docs/conversations.md). The owner drives it from its own event loop:
// wait for Fd() to become ready as Events() asks (or for Timeout()), then
// call Process(). Handlers run on the thread that calls Process().
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <systemd/sd-bus.h>

namespace vrayu::conversation {

// What one topic answers. A handler that refuses gives false or nullopt;
// the client then sees 0 or "***NACK***".
class Topic {
public:
    virtual ~Topic() = default;
    virtual bool Execute(std::string_view command);
    virtual std::optional<std::string> Request(std::string_view item);
    virtual bool Poke(std::string_view item, std::string_view data);
};

class Server {
public:
    // Connects to the session bus (DBUS_SESSION_BUS_ADDRESS) and takes the
    // bus name of `service`; nullptr with a reason in *error when there is
    // no bus, the name cannot be mapped or another program holds it.
    static std::unique_ptr<Server> Start(std::string_view service, std::string* error);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    const std::string& Service() const { return service_; }

    // Offers a topic by its name (compared without case); a topic of the
    // same name is replaced. False when the name cannot be mapped.
    bool AddTopic(std::string_view name, std::shared_ptr<Topic> topic);
    void RemoveTopic(std::string_view name);
    // Names of the topics offered, as they were added, in path order.
    std::vector<std::string> TopicNames() const;
    // Conversations connected and not yet ended (Connect less Disconnect).
    int Conversations() const { return conversations_; }

    // Event loop integration.
    int Fd() const;
    int Events() const;                                        // poll() events the connection waits for
    std::optional<std::chrono::microseconds> Timeout() const;  // absolute, CLOCK_MONOTONIC
    // Handles every message that is waiting; false when the bus is gone.
    bool Process();
    // Called before each message is handled, so that the topics offered
    // can follow what the previous message changed.
    void BeforeEachMessage(std::function<void()> hook) { before_message_ = std::move(hook); }
    // Waits up to `wait` for traffic and handles it; false when the bus is gone.
    bool Run(std::chrono::milliseconds wait);

private:
    struct Entry {
        std::string name;
        std::shared_ptr<Topic> topic;
    };
    Server() = default;
    const Entry* Find(std::string_view path) const;

    static int OnConnect(sd_bus_message* m, void* data, sd_bus_error* error);
    static int OnDisconnect(sd_bus_message* m, void* data, sd_bus_error* error);
    static int OnExecute(sd_bus_message* m, void* data, sd_bus_error* error);
    static int OnRequest(sd_bus_message* m, void* data, sd_bus_error* error);
    static int OnPoke(sd_bus_message* m, void* data, sd_bus_error* error);
    static int OnTopics(sd_bus_message* m, void* data, sd_bus_error* error);
    static int OnFind(sd_bus* bus, const char* path, const char* interface, void* data, void** found,
                      sd_bus_error* error);
    static int OnEnumerate(sd_bus* bus, const char* prefix, void* data, char*** nodes, sd_bus_error* error);

    sd_bus* bus_ = nullptr;
    sd_bus_slot* vtable_slot_ = nullptr;
    sd_bus_slot* enum_slot_ = nullptr;
    std::string service_;
    std::map<std::string, Entry> topics_;  // by object path
    int conversations_ = 0;
    std::function<void()> before_message_;
};

}  // namespace vrayu::conversation
