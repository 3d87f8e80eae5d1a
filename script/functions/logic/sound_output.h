// Sound and media output behind one small interface: theme sounds and
// sound files through libcanberra, media files through GStreamer, both in
// the plugin library libtarn_sound.so loaded on first use, so the
// interpreter links neither. Tests put a recorder in its place. No
// interpreter types.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarn::sound {

// What a request came to.
enum class Result {
    Played,   // played (or playing, when not waited for)
    Missing,  // the file does not exist
    Failed,   // no player could read it (format, missing decoder)
    Silent,   // no sound output (no plugin, device or session): nothing heard
};

class Output {
public:
    virtual ~Output() = default;
    // A sound of the freedesktop sound theme ("dialog-question").
    virtual Result Event(std::string_view id) = 0;
    // A sound file; `wait` returns when it has ended.
    virtual Result File(const std::string& path, bool wait) = 0;
    // A media file (audio, video, MIDI); `wait` returns when it has ended.
    virtual Result Media(const std::string& path, bool wait) = 0;
    // Stops the media started without waiting.
    virtual void StopMedia() = 0;
};

// The output in use, chosen on first use by TARN_SOUND: unset or empty, the
// plugin (silent without it, and silent under the test runner); "record:FILE",
// a recorder appending one line per request to FILE ("event ID", "file PATH
// wait|nowait", "media PATH wait|nowait", "stop") that reports Played, or
// Missing for a file that does not exist; "play", the plugin even under the
// test runner (the plugin's own tests, with a null sink); anything else silent.
Output& output();
// Puts another output in place (null: choose again from the environment).
void setOutput(std::unique_ptr<Output> out);

// The theme sound of a system sound name of the sounds section
// ("SystemQuestion" is "dialog-question"); "" for a name without one.
std::string_view ThemeEvent(std::string_view systemSound);

}  // namespace tarn::sound
