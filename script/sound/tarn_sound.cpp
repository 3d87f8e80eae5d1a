// The sound plugin: theme sounds and sound files through libcanberra (the
// desktop's sound server, else ALSA), media files through a GStreamer
// playbin. TARN_AUDIO_SINK names a GStreamer element ("fakesink") to play
// media into instead of the desktop's output (tests). Every wait is
// bounded: a request never hangs the script.
#include <canberra.h>
#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "functions/logic/sound_plugin.h"
#include "functions/logic/sound_output.h"

namespace {

using tarn::sound::Result;

constexpr auto kFileWaitLimit = std::chrono::minutes(10);
constexpr GstClockTime kStallLimit = 10 * GST_SECOND;

std::mutex g_mutex;
ca_context* g_canberra = nullptr;
bool g_canberra_failed = false;
GstElement* g_media = nullptr;  // media playing without a wait

// The canberra context, opened on first use; null without sound output.
ca_context* Canberra() {
    if (g_canberra || g_canberra_failed) return g_canberra;
    ca_context* c = nullptr;
    if (ca_context_create(&c) != CA_SUCCESS) {
        g_canberra_failed = true;
        return nullptr;
    }
    ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "tarn", CA_PROP_APPLICATION_ID, "org.vrayu.tarn", nullptr);
    if (ca_context_open(c) != CA_SUCCESS) {
        ca_context_destroy(c);
        g_canberra_failed = true;
        return nullptr;
    }
    g_canberra = c;
    return c;
}

struct Finished {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
};

void OnFinished(ca_context*, uint32_t, int, void* data) {
    auto* f = static_cast<Finished*>(data);
    const std::lock_guard<std::mutex> lock(f->m);
    f->done = true;
    f->cv.notify_all();
}

Result FromCanberra(int rc) {
    if (rc == CA_SUCCESS) return Result::Played;
    if (rc == CA_ERROR_CORRUPT || rc == CA_ERROR_NOTSUPPORTED) return Result::Failed;
    return Result::Silent;
}

bool GstReady() {
    static const bool ready = gst_init_check(nullptr, nullptr, nullptr);
    return ready;
}

void StopMediaLocked() {
    if (!g_media) return;
    gst_element_set_state(g_media, GST_STATE_NULL);
    gst_object_unref(g_media);
    g_media = nullptr;
}

// An error of the output side (a sink, or playbin's playsink when no sink
// element is installed) means no sound output: nothing heard. Any other is
// a file the player cannot read (no demuxer or decoder for it).
Result FromError(GstMessage* msg) {
    const char* src = GST_MESSAGE_SRC_NAME(msg);
    return src && std::strstr(src, "sink") ? Result::Silent : Result::Failed;
}

// Plays until the end, an error, or no progress for kStallLimit.
Result WaitForEnd(GstElement* play) {
    GstBus* bus = gst_element_get_bus(play);
    Result result = Result::Played;
    gint64 last = -1;
    GstClockTime still = 0;
    while (true) {
        GstMessage* msg = gst_bus_timed_pop_filtered(bus, 100 * GST_MSECOND,
                                                     static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (msg) {
            if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) result = FromError(msg);
            gst_message_unref(msg);
            break;
        }
        gint64 pos = -1;
        if (!gst_element_query_position(play, GST_FORMAT_TIME, &pos) || pos == last) {
            still += 100 * GST_MSECOND;
            if (still >= kStallLimit) {
                result = Result::Failed;
                break;
            }
        } else {
            still = 0;
            last = pos;
        }
    }
    gst_object_unref(bus);
    return result;
}

// Brings the pipeline to PAUSED (the file read, decoders found) within 10 s.
Result Preroll(GstElement* play) {
    if (gst_element_set_state(play, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE &&
        gst_element_get_state(play, nullptr, nullptr, 10 * GST_SECOND) == GST_STATE_CHANGE_SUCCESS)
        return Result::Played;
    GstBus* bus = gst_element_get_bus(play);
    Result result = Result::Failed;
    if (GstMessage* msg = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        result = FromError(msg);
        gst_message_unref(msg);
    }
    gst_object_unref(bus);
    return result;
}

}  // namespace

extern "C" {

int tarn_sound_event(const char* id) {
    const std::lock_guard<std::mutex> lock(g_mutex);
    ca_context* c = Canberra();
    if (!c) return static_cast<int>(Result::Silent);
    int rc = ca_context_play(c, 0, CA_PROP_EVENT_ID, id, nullptr);
    // A sound the theme lacks falls back to its bell.
    if (rc == CA_ERROR_NOTFOUND) rc = ca_context_play(c, 0, CA_PROP_EVENT_ID, "bell", nullptr);
    return static_cast<int>(FromCanberra(rc));
}

int tarn_sound_file(const char* path, int wait) {
    std::unique_lock<std::mutex> lock(g_mutex);
    ca_context* c = Canberra();
    if (!c) return static_cast<int>(Result::Silent);
    if (!wait) return static_cast<int>(FromCanberra(ca_context_play(c, 0, CA_PROP_MEDIA_FILENAME, path, nullptr)));
    ca_proplist* p = nullptr;
    if (ca_proplist_create(&p) != CA_SUCCESS) return static_cast<int>(Result::Silent);
    ca_proplist_sets(p, CA_PROP_MEDIA_FILENAME, path);
    Finished f;
    const int rc = ca_context_play_full(c, 1, p, OnFinished, &f);
    ca_proplist_destroy(p);
    lock.unlock();
    if (rc != CA_SUCCESS) return static_cast<int>(FromCanberra(rc));
    std::unique_lock<std::mutex> wait_lock(f.m);
    if (!f.cv.wait_for(wait_lock, kFileWaitLimit, [&] { return f.done; })) {
        ca_context_cancel(c, 1);
        // The callback may still come: wait for it so `f` outlives it.
        f.cv.wait(wait_lock, [&] { return f.done; });
    }
    return static_cast<int>(Result::Played);
}

int tarn_sound_media(const char* path, int wait) {
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (!GstReady()) return static_cast<int>(Result::Silent);
    StopMediaLocked();
    GstElement* play = gst_element_factory_make("playbin", nullptr);
    if (!play) return static_cast<int>(Result::Failed);
    gchar* uri = gst_filename_to_uri(path, nullptr);
    g_object_set(play, "uri", uri, nullptr);
    g_free(uri);
    if (const char* sink = std::getenv("TARN_AUDIO_SINK"); sink && *sink) {
        if (GstElement* audio = gst_element_factory_make(sink, nullptr))
            g_object_set(play, "audio-sink", audio, nullptr);
        if (GstElement* video = gst_element_factory_make("fakesink", nullptr))
            g_object_set(play, "video-sink", video, nullptr);
    }
    Result result = Preroll(play);
    if (result == Result::Played && gst_element_set_state(play, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        result = Result::Failed;
    if (result == Result::Played && wait) result = WaitForEnd(play);
    if (result == Result::Played && !wait) {
        g_media = play;
        return static_cast<int>(result);
    }
    gst_element_set_state(play, GST_STATE_NULL);
    gst_object_unref(play);
    return static_cast<int>(result);
}

void tarn_sound_stop(void) {
    const std::lock_guard<std::mutex> lock(g_mutex);
    StopMediaLocked();
}

}  // extern "C"
