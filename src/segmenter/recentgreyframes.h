#pragma once

#include <memory>
#include <string>
#include <vector>

#include "segmenter/greyframesource.h"

class CDib;
class CVideoManager;

// The last grey pictures of the frame walk, kept for the cut detector: the frames it asks for
// again are nearly always among them. Older frames, and colour pictures, are fetched again
// through a reader of its own, opened on the file when first needed.
class CRecentGreyFrames : public CGreyFrameSource {
public:
    CRecentGreyFrames(std::string path, size_t capacity);
    ~CRecentGreyFrames() override;
    CRecentGreyFrames(const CRecentGreyFrames &) = delete;
    CRecentGreyFrames &operator=(const CRecentGreyFrames &) = delete;

    // The next picture of the walk (frames only grow); the oldest beyond the capacity is freed,
    // and so are pictures fetched again for the previous step.
    void push(double frame, std::shared_ptr<const CDib> picture);
    // The picture pushed last, or null.
    const CDib *latest() const;

    const CDib *greyFrame(double frame) override;
    // Keeps the picture of `frame` when it leaves the ring, so that asking for it again does not
    // decode a stretch of the video again.
    void hold(double frame) override;
    // A new colour picture of the frame, or null.
    std::unique_ptr<CDib> colourPicture(double frame);

    // How many pictures had to be decoded again.
    int refetchCount() const { return m_refetchCount; }

private:
    struct Entry {
        double frame = -1.0;
        std::shared_ptr<const CDib> picture;
    };

    CVideoManager *reader();

    std::string m_path;
    std::vector<Entry> m_ring;
    size_t m_newest = 0;
    size_t m_count = 0;
    std::vector<std::unique_ptr<CDib>> m_refetched;
    double m_holdFrame = -1.0;
    Entry m_held;  // the held frame, once it has left the ring
    std::unique_ptr<CVideoManager> m_reader;
    bool m_readerFailed = false;
    int m_refetchCount = 0;
};
