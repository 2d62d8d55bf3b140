#pragma once

namespace kivo {

// True when the system's default sound output can be opened for playback (a sound card, or a
// sound server behind ALSA's default device). The player starts its volume slider at 90 then,
// at 0 otherwise.
bool hasSoundOutput();

}  // namespace kivo
