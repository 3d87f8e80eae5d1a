#include "family_util.h"

#include "charset.h"
#include "filenames.h"
#include "profile.h"
#include "ymdhms.h"

#include <cstdlib>
#include <ctime>

namespace tarn::fn {

std::string ItemDelim(Call& c) {
    char d = c.State().item_delimiter;
    return std::string(1, d ? d : '\t');
}

std::string WindowsDir() {
    std::string d = slashes(WindowsDirectory());
    return d.empty() || d.back() == '/' ? d : d + "/";
}

std::string ProfileString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view def) {
    return ReadProfileString(file, section, key, def);
}

namespace {

// Button captions of the replace question, in the order of their modes.
struct ReplaceButton {
    int message;
    const char* caption;
    int mode;
};
constexpr ReplaceButton kReplaceButtons[] = {
    {123, "O&verwrite", kAnswerOverwrite}, {124, "Overwrite &All", kOverwriteAll},
    {125, "&Skip", kAnswerSkip},           {136, "Use &Newer", kAnswerNewer},
    {137, "Use Ne&wer All", kNewerAll},    {138, "Use O&lder", kAnswerOlder},
    {139, "Use Ol&der All", kOlderAll},    {121, "&Cancel", kCancelled},
};

std::string withoutAmpersand(std::string_view s) {
    std::string out;
    for (char ch : s)
        if (ch != '&') out += ch;
    return out;
}

}  // namespace

ReplaceAsker ReplaceDialog(Call& c) {
    return [&c](const ReplaceQuestion& q) -> int {
        std::string prompt = "Replace file:\n  " + q.dest + "\n  " + q.destInfo + "\nwith file:\n  " + q.source +
                             "\n  " + q.sourceInfo + "\n";
        for (std::size_t i = 0; i < std::size(kReplaceButtons); ++i)
            prompt += (i ? "  " : "") + std::to_string(i + 1) + " " + kReplaceButtons[i].caption;
        auto answer = c.AskLine("Confirm File Replace", prompt, "", false);
        if (!answer) return kCancelled;
        std::string a = toLower(withoutAmpersand(*answer));
        for (std::size_t i = 0; i < std::size(kReplaceButtons); ++i) {
            if (a == toLower(withoutAmpersand(kReplaceButtons[i].caption)) || a == std::to_string(i + 1))
                return kReplaceButtons[i].mode;
        }
        return kCancelled;
    };
}

std::optional<std::string> SelectItem(Call& c, std::string_view title, const std::vector<std::string>& items) {
    std::string prompt;
    for (std::size_t i = 0; i < items.size(); ++i) prompt += std::to_string(i + 1) + ": " + items[i] + "\n";
    auto answer = c.AskLine(title, prompt, items.empty() ? "" : items.front(), false);
    if (!answer) return std::nullopt;
    for (const auto& it : items)
        if (it == *answer) return it;
    char* end = nullptr;
    long n = std::strtol(answer->c_str(), &end, 10);
    if (!answer->empty() && end && *end == 0 && n >= 1 && n <= static_cast<long>(items.size())) return items[n - 1];
    return std::string();
}

void ReturnTextShowingMemError(Call& c, std::string_view text) {
    if (c.ReturnText(text)) return;
    c.Message("Mem Error", "Needed " + std::to_string(text.size() + 1) + " bytes", Buttons::Ok, Icon::Stop);
    c.Fail(3096);
}

bool NoWildcards(Call& c, std::string_view path) {
    if (!hasWildcards(namePart(path))) return true;
    c.Fail(3322);
    return false;
}

Ymdhms LocalTime(long long secs) {
    std::time_t t = static_cast<std::time_t>(secs);
    std::tm tm{};
    localtime_r(&t, &tm);
    return Ymdhms{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

Ymdhms LocalNow() { return LocalTime(std::time(nullptr)); }

std::string YmdText(Call& c, const Ymdhms& t) { return formatYmdhms(t, c.State().four_digit_years != 0); }

}  // namespace tarn::fn
