#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "segmenter/framefeatures.h"

class CDib;
class CVideoManager;

// Walks the grey pictures of a video in frame order on a thread of its own, a few frames ahead
// of the consumer, so decoding the next frame overlaps the analysis of the current pair. Each
// grey row is counted into the pair histograms the moment it is converted, while it is still in
// the cache: the consumer gets every picture with its histograms and never scans it again. It
// opens its own reader on the file: the caller's video object stays free for other users.
class CFramePrefetcher {
public:
    struct Frame {
        double frame = -1.0;
        // Null when the frame could not be fetched. Shared: the walk reads it again while it
        // makes the next picture, to count the differences.
        std::shared_ptr<const CDib> picture;
        // With a picture: true when the differences are those from the last picture handed out
        // before (of the same size); false for the first picture, which has no predecessor.
        bool paired = false;
        bool damaged = false;  // the picture shows concealed damage
        kivo::DifferenceHistogram differences{};
        kivo::GreyHistogram greyHistogram{};  // of the picture
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
    // Damaged pictures standing alone that the walk steps over in a row, at most.
    static constexpr int kMaxSteppedOver = 12;

    void walk();
    // Whether the walk leaves the picture `video` just made out of the pairs.
    bool stepsOver(const CVideoManager &video);

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
    int m_damagedInARow = 0;  // walk thread only
    std::thread m_thread;
};
