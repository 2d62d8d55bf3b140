#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "media/grabber/internal/avhandles.h"
#include "media/grabber/internal/intraconcealer.h"

// The pictures of a file's video stream, addressed by frame number.
//
// Frame n is the picture whose timestamp lies nearest to first + n / (average frame rate), where
// first is the timestamp of the stream's first key picture: for a constant-rate stream this is the
// n-th picture in presentation order, whatever the codec's reordering and the container's
// timestamp origin. When no picture lies within half a frame of that time, a constant-rate
// stream has lost the picture (damage) and frame n has none; in a variable-rate stream frame n
// is the picture on screen at that time. A picture the decoder had to conceal (and every picture
// predicted from it up to the next clean key picture) is still frame n's picture: it carries
// AV_FRAME_FLAG_CORRUPT.
//
// Decoder threads conceal damage differently from run to run (what a concealed block shows
// depends on which thread got where first). Once damage is met, the decoder is opened again on
// one thread and the stretch is decoded again from the key picture before it, so a damaged file
// gives the same pictures on every run; clean files keep the threads. The frame numbers need no
// scan of the file, so opening costs the same for a clip and for a two-hour film.
//
// A request seeks to the key picture at or before the target and decodes forward; a request a
// little ahead of the last decoded picture decodes on without seeking, and the last few decoded
// pictures are kept so that a short step back costs nothing. Every loop is bounded by the file:
// a damaged file ends a request with no picture, never with a hang.
namespace kivo::grabber {

class CFrameDecoder {
public:
    CFrameDecoder() = default;
    CFrameDecoder(const CFrameDecoder &) = delete;
    CFrameDecoder &operator=(const CFrameDecoder &) = delete;

    // 1 when the file has a decodable video stream that can be positioned by time; 0 otherwise.
    int open(const std::string &path);
    void close();
    bool isOpen() const { return m_format != nullptr; }

    int width() const { return m_width; }
    int height() const { return m_height; }
    AVRational frameRate() const { return m_rate; }
    // Length of the stream in frames, from the container's duration.
    int64_t frameCount() const { return m_frameCount; }
    // True when no picture of the stream is predicted from another.
    bool picturesStandAlone() const { return m_picturesStandAlone; }
    // Repositionings of the demuxer since open (the walk over every frame makes none).
    int64_t seekCount() const { return m_seekCount; }

    // Keeps `extra` more decoded pictures for short steps back: a reader that decodes ahead of
    // its caller moves the decoder that much further from the caller's position.
    void keepMoreRecent(size_t extra) { m_recentCapacity += extra; }

    // The decoded picture of frame n, or null (no such picture, read failure). A damaged picture
    // carries AV_FRAME_FLAG_CORRUPT. It stays valid until the next call.
    const AVFrame *frameAt(int64_t frame);

private:
    struct DecodedFrame {
        FramePtr frame;
        double position = 0;  // in frames from the first key picture
        bool bidirectional = false;
        bool damaged = false;
    };
    enum class Lookup { Found, Missing, Ahead, Before };

    // 1 when open, 0 when the file cannot be used, -1 when damage was met under decoder threads
    // before the first key picture came out.
    int openFile(const std::string &path);
    int openDecoder(AVStream &stream);
    int openCodec(const AVCodec &decoder, const AVCodecParameters &parameters);
    // Sets the frame rate, and the frame count from the stream's length; false (nothing
    // changed) when the count would be unusable.
    bool useRate(AVRational rate);
    // Once the first key picture is decoded: the rate the video stream names itself, where the
    // container's estimate is plainly broken.
    void takeCodedRate(const std::string &path);
    // Damage was met: decoded pictures from here on must not depend on thread timing.
    void noteDamage();
    bool leaveThreads();
    Lookup lookup(int64_t frame, const DecodedFrame *&found) const;
    bool isSettled(std::deque<DecodedFrame>::const_iterator entry) const;
    Lookup withoutOwnPicture(const DecodedFrame &before, double after,
                             const DecodedFrame *&found) const;
    bool worthDecodingOn(int64_t frame) const;
    bool seekTo(int64_t frame, bool skipEarlyPictures);
    // Decoding towards a far target keeps only the pictures near it and skips, on the way, the
    // pictures that no other picture refers to.
    void aimAt(int64_t frame, bool skipEarlyPictures);
    bool restartAt(int64_t timestamp, bool fromStart);
    bool decodeNext();
    // The picture of a packet the strict decoder refused, made again by the forgiving one and
    // accepted like any other; false when there is none.
    bool concealRefused();
    int readPacket();
    void timePacketByIndex(AVPacket &packet) const;
    void noteLostPackets(const AVPacket &packet);
    void acceptFrame();
    // The position of a picture whose timestamp gives `stamped`, where pictures may be counted.
    double countedPosition(double stamped, bool key);
    bool untimedIsNext() const;
    bool isDamaged(const AVFrame &frame);
    int64_t timestampOf(double frame) const;
    double positionOf(int64_t timestamp) const;

    FormatContextPtr m_format;
    CodecContextPtr m_codec;
    PacketPtr m_packet;
    FramePtr m_frame;
    CIntraConcealer m_concealer;
    bool m_picturesStandAlone = false;
    // Under frame threads, the pictures that must follow one before it is handed out.
    ptrdiff_t m_settlingPictures = 0;
    int m_streamIndex = -1;
    AVRational m_timeBase{0, 1};
    AVRational m_rate{0, 1};
    int m_width = 0;
    int m_height = 0;
    int64_t m_frameCount = 0;
    double m_seconds = -1;  // the stream's length
    // Read by other threads while a read-ahead walks.
    std::atomic<int64_t> m_seekCount = 0;
    // The container's timestamps count packets (AVI) and are corrected from its index.
    bool m_countedTimestamps = false;
    // Its packets' decoding times are reliable enough that a gap means lost packets (AVI, ASF).
    bool m_gapsMeanLoss = false;
    // MPEG video whose mistimed pictures are numbered by counting (see countedPosition).
    bool m_countsPictures = false;

    // Timestamp of the first key picture: frame 0.
    int64_t m_firstTimestamp = AV_NOPTS_VALUE;
    double m_framesPerTick = 0;

    // Decoded pictures in presentation order, without gaps: every picture the decoder put out
    // since the first one kept here.
    std::deque<DecodedFrame> m_recent;
    size_t m_recentCapacity = 0;

    // State of the current decoding run (since the last open or seek).
    bool m_positioned = false;  // the demuxer and decoder are at a known place
    bool m_keySeen = false;     // pictures before the run's first key picture are dropped
    double m_firstKeyPosition = 0;
    double m_lastPosition = 0;
    bool m_hasLastPosition = false;
    int m_countedRun = 0;      // pictures numbered by counting in a row
    double m_lastStamped = 0;  // the previous picture's position by its timestamp
    double m_keepFrom = 0;     // earlier pictures are not kept
    double m_skipBefore = 0;   // earlier pictures are decoded only as far as others need them
    bool m_draining = false;
    bool m_ended = false;
    bool m_tainted = false;  // a damaged picture was met and no clean key picture since
    bool m_singleThreaded = false;
    bool m_redecode = false;  // damage met under decoder threads: decode again on one thread
    int64_t m_lastPacketTime = AV_NOPTS_VALUE;  // decoding time of the last packet read
};

}  // namespace kivo::grabber
