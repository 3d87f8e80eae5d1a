// The editor as a conversation server (docs/conversations.md): service
// "VrayuEditor", topic "System" for the frame and one topic per document
// window by its title, so a script can drive the editor. The bus traffic is
// handled on the UI thread through socket notifiers.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace vrayu {

namespace conversation {
class Server;
}
class MainFrame;

inline constexpr char kConversationService[] = "VrayuEditor";

class ConversationService : public QObject {
public:
    // Offers the service for `frame`; null when there is no session bus or
    // another program holds the service (the reason in *error).
    static std::unique_ptr<ConversationService> Start(MainFrame& frame, QString* error = nullptr);
    ~ConversationService() override;

private:
    ConversationService(MainFrame& frame, std::unique_ptr<conversation::Server> server);
    // Brings the document topics up to date and handles what is waiting.
    void Pump();
    void SyncTopics();

    MainFrame& frame_;
    std::unique_ptr<conversation::Server> server_;
    QSocketNotifier* read_ = nullptr;
    QSocketNotifier* write_ = nullptr;
    QTimer* timer_ = nullptr;
    QStringList documentTopics_;
    bool pumping_ = false;
};

}  // namespace vrayu
