#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "imaging/dib.h"
#include "media/grabber/frameclock.h"

namespace kivo::grabber {
class CFrameDecoder;
class CPictureConverter;
class CReadAhead;
}  // namespace kivo::grabber

// The frame grabber: pictures of a video file by frame number, and the conversion between frame
// numbers and media time (100-nanosecond units). Frames are numbered from 0 in presentation
// order; pictures are 24-bit bottom-up CDibs at the stream's picture size, or their exact 8-bit
// grey copies. Asking for frame n + 1 (or a few frames on) after frame n decodes on without
// seeking, so walking every frame runs at decoding speed; once two consecutive frames were asked
// for, the next one is decoded ahead on a helper thread while the caller converts this one.
//
// One user at a time: the object is not thread-safe, but may live on any one thread.
class CVideoManager {
public:
    CVideoManager();
    ~CVideoManager();
    CVideoManager(const CVideoManager &) = delete;
    CVideoManager &operator=(const CVideoManager &) = delete;

    // 1 when the file has a video stream whose frames can be positioned; 0 otherwise (the
    // object is then closed).
    int open(const std::string &path);
    // Forgets the file: empty path, all numbers zero.
    void close();
    bool isOpen() const;

    // A new picture of the frame (truncated to a whole number), or null: for a frame below 0 or
    // above duration() without touching the file, or when the decoder put out no picture for
    // it. A picture the decoder concealed damage in (or predicted from such a one) is returned
    // like any other; lastPictureDamaged() tells.
    std::unique_ptr<CDib> pictureAt(double frame);
    // The 8-bit grey copy of pictureAt(frame), made without the colour picture.
    std::unique_ptr<CDib> greyPictureAt(double frame);
    // True when the picture the last pictureAt or greyPictureAt returned shows concealed damage.
    bool lastPictureDamaged() const { return m_lastDamaged; }
    // Pictures with concealed damage returned since open.
    int64_t damagedPictureCount() const { return m_damagedCount; }
    // True when no picture of the stream is predicted from another (Motion JPEG and the like):
    // damage then stays in the picture it is in.
    bool picturesStandAlone() const { return m_picturesStandAlone; }
    // Called with each grey row (index from the top, width() bytes) as soon as it is written,
    // top row first, so a caller can look at the row while it is still in the processor's cache.
    using GreyRowObserver = std::function<void(int row, const uint8_t *grey)>;
    // greyPictureAt(frame), showing every row of the picture to `observer` on the way; nothing
    // is shown when null comes back.
    std::unique_ptr<CDib> greyPictureAt(double frame, const GreyRowObserver &observer);

    // Media time of the frame's start (frame x AvgTimePerFrame), and the frame at a media time
    // (truncated); -1 when no file is open.
    double frameToTime(double frame) const;
    double timeToFrame(double time) const;

    // Length and available range, in frames.
    double duration() const { return m_duration; }
    double earliest() const { return m_earliest; }
    double latest() const { return m_latest; }

    const std::string &path() const { return m_path; }
    // Average frames per second of the video stream; 0 when closed.
    double frameRate() const { return m_frameRate; }
    // 100-nanosecond units per frame: round(10^7 / frameRate()); 0 when closed.
    int64_t avgTimePerFrame() const;
    int pictureWidth() const { return m_width; }
    int pictureHeight() const { return m_height; }
    // How often the file was repositioned since open (the sequential walk makes no seeks).
    int64_t seekCount() const;

private:
    bool inRange(double frame) const;
    std::unique_ptr<CDib> fetch(double frame, bool grey, const GreyRowObserver *observer);

    std::string m_path;
    double m_duration = 0;
    double m_earliest = 0;
    double m_latest = 0;
    double m_frameRate = 0;
    kivo::grabber::CFrameClock m_clock;
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<kivo::grabber::CFrameDecoder> m_decoder;
    std::unique_ptr<kivo::grabber::CPictureConverter> m_converter;
    // The last frame asked for. The read-ahead decodes on its own thread while it walks, so
    // everything else that uses the decoder stops it first.
    int64_t m_lastFrame = -1;
    bool m_lastDamaged = false;
    int64_t m_damagedCount = 0;
    bool m_picturesStandAlone = false;
    std::unique_ptr<kivo::grabber::CReadAhead> m_readAhead;
};
