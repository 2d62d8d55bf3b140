#pragma once

#include <cstdint>

namespace kivo::lists {

// One pseudo-random number from a generator seeded from the clock at its first use in the
// process; the random modes of the play queue and the audio CD draw from it.
uint32_t clockSeededDraw();

}  // namespace kivo::lists
