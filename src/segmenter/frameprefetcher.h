#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDib;

// Walks the grey pictures of a video in frame order on a thread of its own, a few frames ahead
// of the consumer, so decoding the next frame overlaps the analysis of the current pair. It
// opens its own reader on the file: the caller's video object stays free for other users.
class CFramePrefetcher {
public:
    struct Frame {
        double frame = -1.0;
        std::unique_ptr<CDib> picture;  // null when the frame could not be fetched
    };

    // Fetches frames first .. end - 1. `depth` is how many frames may wait fetched.
    CFramePrefetcher(std::string path, double first, double end, size_t depth = 4);
    // Stops the walk and waits for the thread (at most the frame being decoded).
    ~CFramePrefetcher();
    CFramePrefetcher(const CFramePrefetcher &) = delete;
    CFramePrefetcher &operator=(const CFramePrefetcher &) = delete;

    // The next frame in order; false when the walk is over (also when the file cannot be
    // opened at all).
    bool next(Frame &frame);

private:
    void walk();

    const std::string m_path;
    const double m_first;
    const double m_end;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    // A ring of fetched frames: m_count of them from m_head on.
    std::vector<Frame> m_slots;
    size_t m_head = 0;
    size_t m_count = 0;
    bool m_done = false;
    bool m_cancelled = false;
    std::thread m_thread;
};
