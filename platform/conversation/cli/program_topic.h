// A topic answered by a program: each transaction runs
//   PROGRAM execute COMMAND | PROGRAM request ITEM | PROGRAM poke ITEM
// with the poked text on its standard input and TARN_DDE_TOPIC set to the
// topic's name. Exit status 0 accepts; a request's answer is what the
// program wrote to its standard output.
#pragma once

#include <string>

#include "server.h"

namespace vrayu::conversation {

class ProgramTopic : public Topic {
public:
    ProgramTopic(std::string topic, std::string program) : topic_(std::move(topic)), program_(std::move(program)) {}
    bool Execute(std::string_view command) override;
    std::optional<std::string> Request(std::string_view item) override;
    bool Poke(std::string_view item, std::string_view data) override;

private:
    // Runs the program; its output, or nullopt when it could not run or
    // did not exit with status 0.
    std::optional<std::string> Run(const char* verb, std::string_view arg, std::string_view input);

    std::string topic_;
    std::string program_;
};

}  // namespace vrayu::conversation
