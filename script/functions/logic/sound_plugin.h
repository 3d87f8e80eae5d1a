// The C entry points of the sound plugin (libtarn_sound.so). Results are
// the values of tarn::sound::Result.
#pragma once

#define TARN_SOUND_API __attribute__((visibility("default")))

extern "C" {
TARN_SOUND_API int tarn_sound_event(const char* id);
TARN_SOUND_API int tarn_sound_file(const char* path, int wait);
TARN_SOUND_API int tarn_sound_media(const char* path, int wait);
TARN_SOUND_API void tarn_sound_stop(void);
}
