#include "conversation_service.h"

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <chrono>

#include <QSocketNotifier>
#include <QTimer>

#include "conversation_topics.h"
#include "document_window.h"
#include "main_frame.h"
#include "server.h"

namespace vrayu {

std::unique_ptr<ConversationService> ConversationService::Start(MainFrame& frame, QString* error) {
    std::string why;
    std::unique_ptr<conversation::Server> server = conversation::Server::Start(kConversationService, &why);
    if (!server) {
        if (error) *error = QString::fromStdString(why);
        return nullptr;
    }
    return std::unique_ptr<ConversationService>(new ConversationService(frame, std::move(server)));
}

ConversationService::ConversationService(MainFrame& frame, std::unique_ptr<conversation::Server> server)
    : frame_(frame), server_(std::move(server)) {
    server_->AddTopic("System", std::make_shared<SystemTopic>(frame_, [this] { return documentTopics_; }));
    // A document's topic is its window title, which a command (saving
    // under a new name) can change while more messages wait.
    server_->BeforeEachMessage([this] { SyncTopics(); });
    read_ = new QSocketNotifier(server_->Fd(), QSocketNotifier::Read, this);
    write_ = new QSocketNotifier(server_->Fd(), QSocketNotifier::Write, this);
    write_->setEnabled(false);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(read_, &QSocketNotifier::activated, this, &ConversationService::Pump);
    connect(write_, &QSocketNotifier::activated, this, &ConversationService::Pump);
    connect(timer_, &QTimer::timeout, this, &ConversationService::Pump);
    QTimer::singleShot(0, this, &ConversationService::Pump);
}

ConversationService::~ConversationService() = default;

void ConversationService::SyncTopics() {
    for (const QString& name : documentTopics_) server_->RemoveTopic(name.toLatin1().toStdString());
    documentTopics_.clear();
    for (DocumentWindow* window : frame_.Documents()) {
        // A closed window waits hidden for its deletion.
        if (window->parentWidget() && window->parentWidget()->isHidden()) continue;
        const QString title = window->windowTitle();
        // Titles that 8-bit text cannot spell, or too long for a name, get no topic.
        if (QString::fromLatin1(title.toLatin1()) != title) continue;
        if (server_->AddTopic(title.toLatin1().toStdString(), std::make_shared<DocumentTopic>(window)))
            documentTopics_ << title;
    }
}

void ConversationService::Pump() {
    // A handler that asks the user runs a nested event loop: the bus waits
    // until it returns.
    if (pumping_ || !server_) return;
    pumping_ = true;
    read_->setEnabled(false);
    write_->setEnabled(false);
    timer_->stop();
    const bool alive = server_->Process();
    pumping_ = false;
    if (!alive) {
        // The session bus went away: the editor goes on without the service.
        delete read_;
        delete write_;
        read_ = write_ = nullptr;
        server_.reset();
        return;
    }
    read_->setEnabled(true);
    write_->setEnabled((server_->Events() & POLLOUT) != 0);
    if (const auto when = server_->Timeout()) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const auto now_us = std::chrono::seconds(now.tv_sec) + std::chrono::microseconds(now.tv_nsec / 1000);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*when - now_us);
        timer_->start(static_cast<int>(std::max<long long>(0, std::min<long long>(left.count() + 1, 60000))));
    }
}

}  // namespace vrayu
