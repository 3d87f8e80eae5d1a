// Copy, move, append, rename and delete over file lists: the per-file actions,
// the destination rules, the free-space check and the overwrite decision.
// No interpreter types: the built-ins wrap a FileManager.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarn::fn {

// Overwrite modes kept for one call, and the one-file answers.
enum OverwriteMode {
    kAsk = 0,
    kAnswerOverwrite = 1,
    kAnswerNewer = 2,
    kAnswerOlder = 3,
    kAnswerSkip = 4,
    kOverwriteAll = 101,
    kNewerAll = 102,
    kOlderAll = 103,
    kCancelled = 104,
};

// What the "Confirm File Replace" question shows.
struct ReplaceQuestion {
    std::string dest, destInfo;      // "Replace file:" name and its line
    std::string source, sourceInfo;  // "with file:" name and its line
};

// Shows the question; returns the mode of the button chosen (1, 101, 4, 2,
// 102, 3, 103 or 104; 104 also when it cannot be shown).
using ReplaceAsker = std::function<int(const ReplaceQuestion&)>;

enum class Overwrite { Proceed, Skip, Cancel, SourceMissing };

// The overwrite decision for source s and destination d under `mode` (which
// the question may change).
Overwrite overwriteDecision(int& mode, const std::string& s, const std::string& d, const ReplaceAsker& ask);

// Size and last-write time of a file, for the question's lines.
std::string describeFile(const std::string& path);

inline constexpr std::size_t kAppendBuffer = 28672;

enum class FileOp { Copy, Move, Append, Rename, Delete };

class FileManager {
public:
    explicit FileManager(FileOp op) : op_(op) {}

    int mode = kAsk;           // overwrite mode (copy, move)
    ReplaceAsker ask;          // the question; none counts as cancel
    std::string delim = "\t";  // the item delimiter
    std::string detail;        // system error detail of the last failure
    // Free bytes for files written in a directory; statvfs by default.
    std::function<long long(const std::string& dir)> freeSpace;

    // Runs the operation over `list`, to `target` (ignored for delete).
    // Returns 0 or the error code; 9999 for a cancel in the question.
    int run(std::string_view list, std::string_view target);

    // One file (a full path).
    int one(const std::string& source, std::string_view target);

private:
    int copy(const std::string& s, const std::string& d);
    int move(const std::string& s, const std::string& d);
    int append(const std::string& s, const std::string& d);
    int rename(const std::string& s, const std::string& d);
    int erase(const std::string& s);
    bool enoughSpace(const std::string& s, const std::string& d, bool whole);

    FileOp op_;
};

// Copies the bytes of `s` into a new file beside `d` and renames it over `d`,
// so that a failed copy never damages an existing destination. Keeps the
// source's permissions and last-write time. Returns 0 or errno; *openFailed
// tells whether the source or the destination could not be opened.
int copyFileBytes(const std::string& s, const std::string& d, int* failedSide = nullptr);

// Copies `s` to an existing device or pipe in pieces of kAppendBuffer bytes.
// Returns 0 or 1507 (source), 1508 (device), 1509 (read), 1510 (write), 1008
// (empty source).
int copyToPort(const std::string& s, const std::string& device);

}  // namespace tarn::fn
