// The sound and media family: playwaveform, playmidi, playmedia. Requests
// go to the sound output (functions/sound_output.h); what the user asked
// for explicitly plays whatever the sounds setting, which governs only the
// system sounds of the library's own boxes.
#include <cctype>
#include <map>
#include <mutex>
#include <sys/stat.h>

#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/filenames.h"
#include "functions/logic/sound_output.h"

namespace tarn::fn {
namespace {

// 1 heard (or playing), 0 when there is no sound output; a missing file
// is 1194, one no player reads 1195.
void Report(Call& c, sound::Result r) {
    switch (r) {
        case sound::Result::Played: return c.ReturnInt(1);
        case sound::Result::Silent: return c.ReturnInt(0);
        case sound::Result::Missing: return c.Fail(err::PlaySoundsFileNotFound);
        case sound::Result::Failed: return c.Fail(err::PlayMediaUnrecognisedError);
    }
}

// playwaveform(sound, mode): a system sound name ("SystemQuestion") plays
// its theme sound, anything else is a sound file; mode 0 waits for the end.
void PlayWaveform(Call& c) {
    const std::string_view event = sound::ThemeEvent(c.Str(0));
    if (!event.empty()) return Report(c, sound::output().Event(event));
    Report(c, sound::output().File(fullPath(slashes(c.Str(0))), c.Int(1) == 0));
}

// playmidi(file, mode): a MIDI file through the media player (a GStreamer
// MIDI decoder must be installed, else 1195); mode 0 waits for the end.
void PlayMidi(Call& c) { Report(c, sound::output().Media(fullPath(slashes(c.Str(0))), c.Int(1) == 0)); }

// The words of a media command; double quotes group.
std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i == text.size()) break;
        std::string w;
        if (text[i] == '"') {
            const std::size_t end = text.find('"', i + 1);
            w = std::string(text.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
            i = end == std::string_view::npos ? text.size() : end + 1;
        } else {
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) w += text[i++];
        }
        words.push_back(std::move(w));
    }
    return words;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

// Devices opened by "open FILE alias NAME", process-wide.
std::mutex g_alias_mutex;
std::map<std::string, std::string> g_aliases;

// playmedia(command): a media command string. "open FILE [alias NAME]"
// names a file, "play FILE|NAME" plays it without waiting, "stop" and
// "close" stop it; the result is "". WAIT and NOTIFY are 3196 (the script
// waits with playmidi instead); other commands 1195.
void PlayMedia(Call& c) {
    const std::vector<std::string> words = Words(c.Str(0));
    for (const std::string& w : words)
        if (Lower(w) == "wait" || Lower(w) == "notify") return c.Fail(err::PlayMediaWaitNotifyInMci);
    if (words.size() < 2) return c.Fail(err::PlayMediaUnrecognisedError);
    const std::string verb = Lower(words[0]);
    std::string file;
    {
        const std::lock_guard<std::mutex> lock(g_alias_mutex);
        const auto alias = g_aliases.find(Lower(words[1]));
        file = alias != g_aliases.end() ? alias->second : fullPath(slashes(words[1]));
    }
    if (verb == "open") {
        struct stat st {};
        if (stat(file.c_str(), &st) != 0) return c.Fail(err::PlaySoundsFileNotFound);
        const std::lock_guard<std::mutex> lock(g_alias_mutex);
        if (words.size() >= 4 && Lower(words[2]) == "alias") g_aliases[Lower(words[3])] = file;
        return ReturnTextOrMemError(c, "");
    }
    if (verb == "play") {
        const sound::Result r = sound::output().Media(file, false);
        if (r == sound::Result::Missing) return c.Fail(err::PlaySoundsFileNotFound);
        if (r == sound::Result::Failed) return c.Fail(err::PlayMediaUnrecognisedError);
        return ReturnTextOrMemError(c, "");
    }
    if (verb == "stop" || verb == "close") {
        sound::output().StopMedia();
        if (verb == "close") {
            const std::lock_guard<std::mutex> lock(g_alias_mutex);
            if (Lower(words[1]) == "all") g_aliases.clear();
            else g_aliases.erase(Lower(words[1]));
        }
        return ReturnTextOrMemError(c, "");
    }
    c.Fail(err::PlayMediaUnrecognisedError);
}

constexpr BuiltinEntry kMedia[] = {
    {"playwaveform", PlayWaveform},
    {"playmidi", PlayMidi},
    {"playmedia", PlayMedia},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(media, tarn::fn::kMedia)
