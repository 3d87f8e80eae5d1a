// What the editor's conversation topics answer: "System" (new, open, exit,
// the list of topics) and one topic per document window (its texts, poking
// romanized text, save, exports, close). Commands that end a window run
// after the reply, from the event loop.
#pragma once

#include <QPointer>
#include <functional>

#include "server.h"

namespace vrayu {

class DocumentWindow;
class MainFrame;

class SystemTopic : public conversation::Topic {
public:
    // `topics` gives the names of the document topics.
    SystemTopic(MainFrame& frame, std::function<QStringList()> topics) : frame_(frame), topics_(std::move(topics)) {}
    bool Execute(std::string_view command) override;
    std::optional<std::string> Request(std::string_view item) override;

private:
    MainFrame& frame_;
    std::function<QStringList()> topics_;
};

class DocumentTopic : public conversation::Topic {
public:
    explicit DocumentTopic(DocumentWindow* window) : window_(window) {}
    bool Execute(std::string_view command) override;
    std::optional<std::string> Request(std::string_view item) override;
    bool Poke(std::string_view item, std::string_view data) override;

private:
    QPointer<DocumentWindow> window_;
};

}  // namespace vrayu
