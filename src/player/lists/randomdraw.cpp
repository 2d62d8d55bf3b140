#include "player/lists/randomdraw.h"

#include <chrono>
#include <mutex>
#include <random>

namespace kivo::lists {

uint32_t clockSeededDraw() {
    static std::mutex mutex;
    static std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    const std::lock_guard lock(mutex);
    return static_cast<uint32_t>(generator());
}

}  // namespace kivo::lists
