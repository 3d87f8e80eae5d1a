// A topic whose items are the files of one folder: request reads a file,
// poke replaces it (a complete new file or none), execute appends the
// command as a line to the folder's ".executes" file.
#pragma once

#include <string>

#include "server.h"

namespace vrayu::conversation {

class FolderTopic : public Topic {
public:
    FolderTopic(std::string folder, bool read_only) : folder_(std::move(folder)), read_only_(read_only) {}
    bool Execute(std::string_view command) override;
    std::optional<std::string> Request(std::string_view item) override;
    bool Poke(std::string_view item, std::string_view data) override;

    // An item names a file of the folder itself: not empty, no "/", no NUL,
    // not beginning with ".".
    static bool SafeItem(std::string_view item);

private:
    std::string folder_;
    bool read_only_;
};

}  // namespace vrayu::conversation
