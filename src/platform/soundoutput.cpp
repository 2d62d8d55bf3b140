#include "platform/soundoutput.h"

#include <alsa/asoundlib.h>

#include <cstdarg>

namespace kivo {
namespace {

// ALSA prints its complaints (no card, no configuration) to standard error; a missing sound
// output is an answer here, not an error.
void quiet(const char *, int, const char *, int, const char *, ...) {}

}  // namespace

bool hasSoundOutput() {
    snd_lib_error_set_handler(quiet);
    snd_pcm_t *pcm = nullptr;
    const bool opened =
        snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) == 0;
    if (opened) {
        snd_pcm_close(pcm);
    }
    snd_lib_error_set_handler(nullptr);
    return opened;
}

}  // namespace kivo
