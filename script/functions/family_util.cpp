#include "functions/family_util.h"

#include "functions/logic/charset.h"
#include "errors.h"
#include "functions/logic/filenames.h"
#include "messages.h"
#include "windows_directory.h"
#include "functions/logic/ymdhms.h"

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

// Buttons of the replace question, in the order shown, with the mode each
// sets.
struct ReplaceButton {
    int message;
    int mode;
};
constexpr ReplaceButton kReplaceButtons[] = {
    {123, kAnswerOverwrite}, {124, kOverwriteAll}, {125, kAnswerSkip}, {136, kAnswerNewer},
    {137, kNewerAll},        {138, kAnswerOlder},  {139, kOlderAll},   {121, kCancelled},
};

}  // namespace

ReplaceAsker ReplaceDialog(Call& c) {
    return [&c](const ReplaceQuestion& q) -> int {
        const std::string text = std::string(MessageText(122)) + "\n  " + q.dest + "\n  " + q.destInfo + "\n" +
                                 std::string(MessageText(135)) + "\n  " + q.source + "\n  " + q.sourceInfo;
        std::vector<std::string> buttons;
        for (const ReplaceButton& b : kReplaceButtons) buttons.emplace_back(MessageText(b.message));
        PlaySystemSound(c.State(), "SystemExclamation");
        const int chosen = c.ChooseButton(MessageText(134), text, buttons);
        if (chosen < 0 || chosen >= static_cast<int>(std::size(kReplaceButtons))) return kCancelled;
        return kReplaceButtons[chosen].mode;
    };
}

std::optional<std::string> SelectItem(Call& c, std::string_view title, const std::vector<std::string>& items) {
    ListRequest r;
    r.title = std::string(title);
    r.items = items;
    const std::optional<std::vector<int>> chosen = c.ChooseList(std::move(r));
    if (!chosen) return std::nullopt;
    if (chosen->empty() || chosen->front() < 0 || chosen->front() >= static_cast<int>(items.size()))
        return std::string();
    return items[static_cast<std::size_t>(chosen->front())];
}

bool TextCanFit(Call& c, std::uint64_t bytes) {
    if (bytes < c.State().heap_size) return true;
    c.Fail(3096);
    return false;
}

void ReturnTextShowingMemError(Call& c, std::string_view text) {
    if (c.ReturnText(text)) return;
    c.Message("Mem Error", "Needed " + std::to_string(text.size() + 1) + " bytes", Buttons::Ok, Icon::Stop);
    c.Fail(err::OutOfStringMemory);
}

bool NoWildcards(Call& c, std::string_view path) {
    if (!hasWildcards(namePart(path))) return true;
    c.Fail(err::FileNameParsingFunctionDoesNotAllow);
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
