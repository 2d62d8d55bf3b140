#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "media/grabber/internal/avhandles.h"

namespace kivo::grabber {

// Decodes the frames of a walk ahead on a thread of its own: while the caller converts frame n
// into a picture (and works with it), the next frames are being decoded, a few of them kept
// ready, so a walk over every frame overlaps conversion with decoding and evens out the uneven
// decoding times of key, predicted and bidirectional pictures. The thread starts with the first
// walk; a grabber used only for single pictures never starts it.
class CReadAhead {
public:
    // Decodes one frame into a reference of its own, or null when it has no picture.
    using Decode = std::function<FramePtr(int64_t frame)>;

    // Keeps at most `depth` decoded frames waiting.
    CReadAhead(Decode decode, size_t depth);
    // Stops the walk, then ends the thread.
    ~CReadAhead();
    CReadAhead(const CReadAhead &) = delete;
    CReadAhead &operator=(const CReadAhead &) = delete;

    // Starts decoding frames first, first + 1, ... up to last.
    void walk(int64_t first, int64_t last);
    // True, with the decoded frame (null when it has no picture), when `frame` is the walk's
    // next frame: waits for it and the walk goes on. Otherwise stops the walk (see stop) and
    // returns false.
    bool take(int64_t frame, FramePtr &decoded);
    // Stops the walk: waits for the frame being decoded and drops the waiting ones. Afterwards
    // the caller alone uses what Decode uses.
    void stop();

private:
    struct Decoded {
        int64_t frame;
        FramePtr picture;
    };

    void serve();
    void stopLocked(std::unique_lock<std::mutex> &lock);

    const Decode m_decode;
    const size_t m_depth;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    bool m_ending = false;
    bool m_walking = false;
    bool m_decoding = false;  // the thread is inside Decode
    int64_t m_next = 0;       // the next frame the thread decodes
    int64_t m_last = -1;
    std::deque<Decoded> m_ready;
};

}  // namespace kivo::grabber
