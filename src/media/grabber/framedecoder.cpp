#include "media/grabber/internal/framedecoder.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "imaging/dib.h"
#include "media/grabber/grabberlog.h"

namespace kivo::grabber {
namespace {

// Decoded pictures kept for short steps back (the segmentation walk looks back up to about six
// frames), by memory rather than count: every kept picture holds a buffer of the decoder's pool,
// and a pool that stays small stays in the processor's caches.
constexpr size_t kRecentBudgetBytes = size_t{24} << 20;
constexpr size_t kMinRecent = 8;
constexpr size_t kMaxRecent = 32;

// A step forward this short always decodes on; a longer one seeks when a key picture lies in
// between (the container's index tells) or, without an index, when it spans more than this
// many seconds.
constexpr int64_t kDecodeOnFrames = 16;
constexpr double kDecodeOnSecondsWithoutIndex = 2.0;

// When the key picture found lies after the target, the seek is repeated this much earlier
// (seconds, growing by 4 each time); the last attempt starts from the beginning of the file.
constexpr double kFirstBackoffSeconds = 1.0;
constexpr int kSeekAttempts = 5;

// On the way to a far target, pictures that no other picture refers to are not decoded when
// their packet lies more than kSkipBeforeTarget frames before the target (packet timestamps of
// some containers are only decoding times, off by the codec's reordering); the pictures from
// kKeepBeforeTarget frames before the target on are kept for short steps back.
constexpr double kSkipBeforeTarget = 8;
constexpr double kKeepBeforeTarget = 1.5;

// FFmpeg's limit for automatically chosen decoder threads.
constexpr unsigned kMaxDecoderThreads = 16;

// Bounds against damaged files: read or decoding failures in a row, and packets in a row that
// bring no picture, after which the stream is taken as ended.
constexpr int kMaxFailuresInARow = 64;
constexpr int kMaxPacketsWithoutPicture = 4096;

// A bidirectional picture waits for at most this many pictures after it before it is handed out
// (see isSettled); the decoded pictures kept are never fewer.
constexpr ptrdiff_t kMaxBidirectionalRun = 3;

// Pictures whose position lies this close to a whole frame number are on the frame grid.
constexpr double kGridTolerance = 0.25;

bool isOnGrid(double position) {
    return std::abs(position - std::round(position)) < kGridTolerance;
}

// Pictures numbered by counting after a timestamp off the grid, at most; then the timestamps
// hold again even where they disagree with the count.
constexpr int kMaxCountedPictures = 32;

// Frame rates outside this range come from broken headers.
constexpr double kMinRate = 0.01;
constexpr double kMaxRate = 1000.0;
// Largest frame count handled: frame numbers stay exact in doubles.
constexpr double kMaxFrames = 9007199254740992.0;
// Timestamps computed for frame numbers stay well inside int64_t.
constexpr double kMaxTicks = 4611686018427387904.0;

bool isUsableRate(AVRational rate) {
    if (rate.num <= 0 || rate.den <= 0) {
        return false;
    }
    const double value = av_q2d(rate);
    return value >= kMinRate && value <= kMaxRate;
}

// The frame rates an MPEG-1 or MPEG-2 sequence header can name without its extension; FFmpeg
// rounds an estimate that lies close to a common rate onto it.
bool isMpegTableRate(AVRational rate) {
    constexpr AVRational kTable[] = {{24000, 1001}, {24, 1}, {25, 1},       {30000, 1001},
                                     {30, 1},       {50, 1}, {60000, 1001}, {60, 1}};
    return std::any_of(std::begin(kTable), std::end(kTable),
                       [rate](AVRational entry) { return av_cmp_q(entry, rate) == 0; });
}

int pickVideoStream(AVFormatContext &format) {
    // Cover art of a sound file is a one-picture "video" stream; it does not make a video.
    int best = av_find_best_stream(&format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (best >= 0 && (format.streams[best]->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
        return best;
    }
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream *stream = format.streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The Microsoft MPEG-4 family (WMV 7 and 8 among them) takes coefficient and DC overflows for
// quirks of old encoders and decodes on without a word, so damage drifts unflagged up to the next
// key picture, whose clean return then looks like a cut. Told to check the bitstream, these
// decoders take overflows for damage: the macroblocks are concealed and the picture flagged.
bool overflowsAreDamage(AVCodecID codec) {
    switch (codec) {
        case AV_CODEC_ID_MSMPEG4V1:
        case AV_CODEC_ID_MSMPEG4V2:
        case AV_CODEC_ID_MSMPEG4V3:
        case AV_CODEC_ID_WMV1:
        case AV_CODEC_ID_WMV2:
            return true;
        default:
            return false;
    }
}

bool isKeyPicture(const AVFrame &frame) {
    return frame.key_frame != 0 || frame.pict_type == AV_PICTURE_TYPE_I;
}

}  // namespace

int CFrameDecoder::open(const std::string &path) {
    close();
    if (openFile(path) >= 0) {
        return isOpen() ? 1 : 0;
    }
    // Damage met under decoder threads before the first key picture came out: it may have been
    // that picture, refused, and frame 0 must not move to the next one. Once more, concealing.
    close();
    m_singleThreaded = true;
    logLine("damaged stream: \"" + path + "\" is decoded on one thread");
    return openFile(path) > 0 ? 1 : 0;
}

int CFrameDecoder::openFile(const std::string &path) {
    AVFormatContext *rawFormat = nullptr;
    int error = avformat_open_input(&rawFormat, path.c_str(), nullptr, nullptr);
    if (error < 0) {
        logAvError("cannot open \"" + path + "\"", error);
        return 0;
    }
    m_format.reset(rawFormat);
    error = avformat_find_stream_info(m_format.get(), nullptr);
    if (error < 0) {
        logAvError("cannot read the streams of \"" + path + "\"", error);
        close();
        return 0;
    }
    if (m_format->pb == nullptr || (m_format->pb->seekable & AVIO_SEEKABLE_NORMAL) == 0) {
        logLine("\"" + path + "\" cannot be positioned");
        close();
        return 0;
    }
    m_streamIndex = pickVideoStream(*m_format);
    if (m_streamIndex < 0) {
        logLine("\"" + path + "\" has no video stream");
        close();
        return 0;
    }
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        if (static_cast<int>(i) != m_streamIndex) {
            m_format->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    AVStream &stream = *m_format->streams[m_streamIndex];
    m_countedTimestamps = std::strcmp(m_format->iformat->name, "avi") == 0;
    m_gapsMeanLoss = m_countedTimestamps || std::strcmp(m_format->iformat->name, "asf") == 0;
    // MPEG video in a program or transport stream: the container times only some pictures and
    // the parser times the others from the pictures before them, so damage gives pictures
    // timestamps off the frame grid, where the pictures themselves still follow one frame apart.
    const AVCodecID codec = stream.codecpar->codec_id;
    m_countsPictures = (m_format->iformat->flags & AVFMT_TS_DISCONT) != 0 &&
                       (codec == AV_CODEC_ID_MPEG1VIDEO || codec == AV_CODEC_ID_MPEG2VIDEO);
    m_timeBase = stream.time_base;
    m_rate = stream.avg_frame_rate;
    if (!isUsableRate(m_rate)) {
        m_rate = av_guess_frame_rate(m_format.get(), &stream, nullptr);
    }
    if (!isUsableRate(m_rate) || m_timeBase.num <= 0 || m_timeBase.den <= 0) {
        logLine("\"" + path + "\" has no usable frame rate");
        close();
        return 0;
    }
    m_seconds = -1;
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) {
        m_seconds = static_cast<double>(stream.duration) * av_q2d(m_timeBase);
    } else if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0) {
        m_seconds = static_cast<double>(m_format->duration) / AV_TIME_BASE;
    }
    if (!useRate(m_rate)) {
        logLine("\"" + path + "\" has no usable length");
        close();
        return 0;
    }

    if (!openDecoder(stream)) {
        close();
        return 0;
    }
    m_packet.reset(av_packet_alloc());
    m_frame.reset(av_frame_alloc());
    if (!m_packet || !m_frame) {
        logAvError("allocation", AVERROR(ENOMEM));
        close();
        return 0;
    }

    // Frame 0 is the first key picture; decoding it also proves that the stream decodes.
    m_positioned = true;
    m_keepFrom = m_skipBefore = -std::numeric_limits<double>::infinity();
    while (!m_keySeen && decodeNext()) {
    }
    if (m_redecode) {
        return -1;
    }
    if (!m_keySeen) {
        logLine("\"" + path + "\" has no picture that can be decoded");
        close();
        return 0;
    }
    takeCodedRate(path);
    return 1;
}

bool CFrameDecoder::useRate(AVRational rate) {
    const double frames = std::round(m_seconds * av_q2d(rate));
    if (!(frames >= 0 && frames < kMaxFrames)) {
        return false;
    }
    m_rate = rate;
    m_framesPerTick = av_q2d(m_timeBase) * av_q2d(m_rate);
    m_frameCount = std::max<int64_t>(1, static_cast<int64_t>(frames));
    return true;
}

void CFrameDecoder::takeCodedRate(const std::string &path) {
    // MPEG-1 and MPEG-2 video name their frame rate in every sequence header, from a short table.
    // A program or transport stream names none, and FFmpeg estimates the average rate from the
    // timestamps of the first packets: damage there (a broken packet length that makes the
    // demuxer cut the following packs into packets half a frame apart) gives an estimate that is
    // no rate of the table, and frame numbers from it drift away from the pictures. The header's
    // rate holds then. An estimate in the table is kept: it may be the rate of film shown with
    // repeated fields (24000/1001 under a header that names 30000/1001).
    const AVRational coded = m_codec->framerate;
    if (!m_countsPictures || isMpegTableRate(m_rate) || !isUsableRate(coded) ||
        av_cmp_q(coded, m_rate) == 0) {
        return;
    }
    // Only the first key picture has been placed, at position 0 whatever the rate.
    const AVRational estimated = m_rate;
    if (useRate(coded)) {
        logLine("\"" + path + "\": the timestamps at the start suggest " +
                std::to_string(av_q2d(estimated)) + " frames per second; the video's own " +
                std::to_string(av_q2d(coded)) + " is used");
    }
}

int CFrameDecoder::openDecoder(AVStream &stream) {
    const AVCodecParameters &parameters = *stream.codecpar;
    const AVCodec *decoder = avcodec_find_decoder(parameters.codec_id);
    if (decoder == nullptr) {
        logLine(std::string("no decoder for ") + avcodec_get_name(parameters.codec_id));
        return 0;
    }
    m_width = parameters.width;
    m_height = parameters.height;
    // The picture is a 24-bit DIB whose row length must fit its 16-bit stride.
    const int64_t stride = (int64_t{m_width} * 24 + 31) / 32 * 4;
    if (m_width <= 0 || m_height <= 0 || stride > CDib::kMaxStride ||
        av_image_check_size(static_cast<unsigned>(m_width), static_cast<unsigned>(m_height), 0,
                            nullptr) < 0) {
        logLine("unusable picture size " + std::to_string(m_width) + "x" +
                std::to_string(m_height));
        return 0;
    }
    m_picturesStandAlone = CIntraConcealer::suits(*decoder);
    if (!openCodec(*decoder, parameters)) {
        return 0;
    }
    const int pictureBytes = av_image_get_buffer_size(
        parameters.format >= 0 ? static_cast<AVPixelFormat>(parameters.format) : AV_PIX_FMT_YUV420P,
        m_width, m_height, 1);
    const size_t perPicture = pictureBytes > 0 ? static_cast<size_t>(pictureBytes) : 1;
    m_recentCapacity = std::clamp(kRecentBudgetBytes / perPicture, kMinRecent, kMaxRecent);
    return 1;
}

int CFrameDecoder::openCodec(const AVCodec &decoder, const AVCodecParameters &parameters) {
    m_codec.reset(avcodec_alloc_context3(&decoder));
    if (!m_codec) {
        logAvError("allocation", AVERROR(ENOMEM));
        return 0;
    }
    int error = avcodec_parameters_to_context(m_codec.get(), &parameters);
    if (error < 0) {
        logAvError("decoder parameters", error);
        return 0;
    }
    m_codec->pkt_timebase = m_timeBase;
    // Frame threads decode only the packets handed to them, and none are handed over while the
    // caller converts a picture: twice as many threads as cores keep the cores decoding ahead
    // meanwhile (FFmpeg's own choice, one more than the cores, leaves them idle then).
    //
    // Decoder threads conceal damage differently from run to run: frame threads conceal with
    // reference pictures other threads may still be writing (and may put a damaged H.264
    // picture out unconcealed and unflagged, holding whatever the reused buffer held), slice
    // threads race on the concealment of one picture. Once damage is met the decoder runs on
    // one thread; until then the H.264 decoder refuses damaged pictures, so that none slips
    // out. The MPEG-4 part 2 decoder aborts the process when told to refuse them; it is cheap
    // enough to decode without frame threads. The others flag what they conceal.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    m_codec->thread_count =
        m_singleThreaded ? 1 : static_cast<int>(std::min(2 * cores, kMaxDecoderThreads));
    m_codec->thread_type =
        decoder.id != AV_CODEC_ID_MPEG4 ? FF_THREAD_FRAME | FF_THREAD_SLICE : FF_THREAD_SLICE;
    m_settlingPictures = std::min<ptrdiff_t>(m_codec->thread_count, kMinRecent - 2);
    if (!m_singleThreaded && decoder.id == AV_CODEC_ID_H264) {
        m_codec->err_recognition |= AV_EF_EXPLODE;
    }
    if (overflowsAreDamage(decoder.id)) {
        m_codec->err_recognition |= AV_EF_BITSTREAM;
    }
    if (m_picturesStandAlone && m_concealer.open(decoder, parameters, m_timeBase)) {
        m_codec->err_recognition |= AV_EF_EXPLODE;
    }
    error = avcodec_open2(m_codec.get(), &decoder, nullptr);
    if (error < 0) {
        logAvError(std::string("cannot open the ") + decoder.name + " decoder", error);
        return 0;
    }
    return 1;
}

void CFrameDecoder::noteDamage() {
    m_tainted = true;
    // After a seek, the pictures before the run's first key picture may refer to pictures never
    // decoded (an open GOP): refused, they are dropped anyway and damage nothing handed out.
    const bool beforeFirstKey = !m_keySeen && m_seekCount > 0;
    if (!m_singleThreaded && !beforeFirstKey && m_codec->active_thread_type != 0) {
        m_redecode = true;
    }
}

bool CFrameDecoder::leaveThreads() {
    // Everything decoded so far with threads is dropped; the next request seeks to the key
    // picture before it and decodes the damaged stretch again.
    logLine(
        "damaged stream: decoding on one thread from here on, so that concealed pictures come "
        "out the same on every run");
    m_redecode = false;
    m_singleThreaded = true;
    m_recent.clear();
    m_positioned = false;
    const AVCodecParameters &parameters = *m_format->streams[m_streamIndex]->codecpar;
    const AVCodec *decoder = avcodec_find_decoder(parameters.codec_id);
    if (decoder == nullptr || !openCodec(*decoder, parameters)) {
        close();
        return false;
    }
    return true;
}

void CFrameDecoder::close() {
    m_recent.clear();
    m_frame.reset();
    m_packet.reset();
    m_codec.reset();
    m_format.reset();
    m_streamIndex = -1;
    m_timeBase = {0, 1};
    m_rate = {0, 1};
    m_width = m_height = 0;
    m_frameCount = 0;
    m_seconds = -1;
    m_seekCount = 0;
    m_firstTimestamp = AV_NOPTS_VALUE;
    m_framesPerTick = 0;
    m_recentCapacity = 0;
    m_positioned = m_keySeen = m_hasLastPosition = m_draining = m_ended = m_tainted = false;
    m_singleThreaded = m_redecode = false;
    m_countedTimestamps = m_gapsMeanLoss = m_countsPictures = false;
    m_countedRun = 0;
    m_lastStamped = 0;
    m_lastPacketTime = AV_NOPTS_VALUE;
    m_firstKeyPosition = m_lastPosition = m_keepFrom = m_skipBefore = 0;
}

const AVFrame *CFrameDecoder::frameAt(int64_t frame) {
    if (!isOpen() || frame < 0) {
        return nullptr;
    }
    // Set once the decoder has been aimed at this target (by a seek, or by decoding on towards
    // a far target with early pictures skipped).
    bool aimed = false;
    bool skipEarlyPictures = true;
    for (;;) {
        if (m_redecode) {
            if (!leaveThreads()) {
                return nullptr;
            }
            aimed = false;
            skipEarlyPictures = true;
        }
        const DecodedFrame *found = nullptr;
        switch (lookup(frame, found)) {
            case Lookup::Found:
                if (found->damaged) {
                    found->frame->flags |= AV_FRAME_FLAG_CORRUPT;
                }
                return found->frame.get();
            case Lookup::Missing:
                return nullptr;
            case Lookup::Ahead:
                if (!aimed) {
                    aimed = true;
                    if (!worthDecodingOn(frame)) {
                        if (!seekTo(frame, skipEarlyPictures)) {
                            return nullptr;
                        }
                        break;
                    }
                    if (static_cast<double>(frame) - m_recent.back().position > kSkipBeforeTarget) {
                        m_recent.clear();
                        aimAt(frame, skipEarlyPictures);
                    }
                }
                decodeNext();
                break;
            case Lookup::Before:
                // Once aimed, this happens when the stream ended before the target, or when the
                // picture on screen at the target lies further back than the pictures decoded
                // in full (a gap in a variable-rate stream): then seek once more, decoding
                // everything.
                if (aimed && (!skipEarlyPictures || (m_ended && m_recent.empty()))) {
                    return nullptr;
                }
                skipEarlyPictures = !aimed;
                aimed = true;
                if (!seekTo(frame, skipEarlyPictures)) {
                    return nullptr;
                }
                break;
        }
    }
}

CFrameDecoder::Lookup CFrameDecoder::lookup(int64_t frame, const DecodedFrame *&found) const {
    if (!m_positioned) {
        return Lookup::Before;
    }
    if (m_recent.empty()) {
        // At the end with nothing kept: the stream ended before the target of the last request.
        return m_ended ? Lookup::Before : Lookup::Ahead;
    }
    const auto target = static_cast<double>(frame);
    // The first picture that rounds to the target is frame n.
    const auto next = std::find_if(m_recent.begin(), m_recent.end(), [target](const auto &entry) {
        return entry.position >= target - 0.5;
    });
    if (next != m_recent.end()) {
        if (next->position < target + 0.5) {
            found = &*next;
            return isSettled(next) ? Lookup::Found : Lookup::Ahead;
        }
        if (next == m_recent.begin()) {
            return Lookup::Before;
        }
        return withoutOwnPicture(*std::prev(next), next->position, found);
    }
    if (!m_ended) {
        return Lookup::Ahead;
    }
    // The frame equal to the duration shows the last picture, which stays on screen there.
    const DecodedFrame &last = m_recent.back();
    if (target >= static_cast<double>(m_frameCount) && target - last.position < 1.5) {
        found = &last;
        return Lookup::Found;
    }
    return withoutOwnPicture(last, std::numeric_limits<double>::infinity(), found);
}

bool CFrameDecoder::isSettled(std::deque<DecodedFrame>::const_iterator entry) const {
    if (m_ended) {
        return true;
    }
    const auto later = std::next(entry);
    const auto end = m_recent.cend();
    // Frame threads report damage a few pictures late, and may put out the damaged picture
    // itself unflagged meanwhile: a picture is only known to be sound once the threads have
    // gone that far past it without noticing damage.
    if ((m_codec->active_thread_type & FF_THREAD_FRAME) != 0 && end - later < m_settlingPictures) {
        return false;
    }
    // A bidirectional picture is only known to be sound once the picture after it that it refers
    // to (decoded before it, put out after it) has come out clean or damaged.
    if (!entry->bidirectional) {
        return true;
    }
    return std::any_of(later, end, [](const auto &picture) { return !picture.bidirectional; }) ||
           end - later >= kMaxBidirectionalRun;
}

CFrameDecoder::Lookup CFrameDecoder::withoutOwnPicture(const DecodedFrame &before, double after,
                                                       const DecodedFrame *&found) const {
    // Timestamps on the frame grid mean a constant-rate stream: the frame's picture was lost
    // (damaged or cut off), and handing out its neighbour would be a wrong picture. Off the grid
    // the stream has a variable rate, and frame n is the picture on screen at its time.
    if (isOnGrid(before.position) && (std::isinf(after) || isOnGrid(after))) {
        return Lookup::Missing;
    }
    found = &before;
    return Lookup::Found;
}

bool CFrameDecoder::worthDecodingOn(int64_t frame) const {
    if (!m_positioned) {
        return false;
    }
    if (m_recent.empty()) {
        return false;  // nothing decoded to continue from
    }
    const double distance = static_cast<double>(frame) - m_recent.back().position;
    if (distance <= static_cast<double>(kDecodeOnFrames)) {
        return true;
    }
    AVStream *stream = m_format->streams[m_streamIndex];
    if (avformat_index_get_entries_count(stream) > 0) {
        const AVIndexEntry *key = avformat_index_get_entry_from_timestamp(
            stream, timestampOf(static_cast<double>(frame)), AVSEEK_FLAG_BACKWARD);
        if (key != nullptr) {
            return positionOf(key->timestamp) <= m_recent.back().position;
        }
    }
    return distance <= kDecodeOnSecondsWithoutIndex * av_q2d(m_rate);
}

bool CFrameDecoder::seekTo(int64_t frame, bool skipEarlyPictures) {
    const auto target = static_cast<double>(frame);
    const double framesPerSecond = av_q2d(m_rate);
    double backoff = 0;
    for (int attempt = 0; attempt < kSeekAttempts; ++attempt) {
        const bool fromStart = attempt == kSeekAttempts - 1;
        if (!restartAt(timestampOf(target - backoff), fromStart)) {
            if (fromStart) {
                return false;
            }
            backoff = backoff == 0 ? kFirstBackoffSeconds * framesPerSecond : backoff * 4;
            continue;
        }
        aimAt(frame, skipEarlyPictures);
        while (!m_keySeen && decodeNext()) {
        }
        if (m_keySeen && m_firstKeyPosition < target + 0.5) {
            return true;
        }
        // No key picture at all, or the first one lies after the target: start earlier.
        backoff = backoff == 0 ? kFirstBackoffSeconds * framesPerSecond : backoff * 4;
    }
    m_positioned = false;
    return false;
}

void CFrameDecoder::aimAt(int64_t frame, bool skipEarlyPictures) {
    constexpr double kEverything = -std::numeric_limits<double>::infinity();
    const auto target = static_cast<double>(frame);
    m_keepFrom = skipEarlyPictures ? target - kKeepBeforeTarget : kEverything;
    m_skipBefore = skipEarlyPictures ? target - kSkipBeforeTarget : kEverything;
}

bool CFrameDecoder::restartAt(int64_t timestamp, bool fromStart) {
    ++m_seekCount;
    m_recent.clear();
    av_packet_unref(m_packet.get());
    avcodec_flush_buffers(m_codec.get());
    m_positioned = false;
    m_keySeen = m_hasLastPosition = m_draining = m_ended = m_tainted = false;
    m_countedRun = 0;
    m_lastStamped = 0;
    m_lastPacketTime = AV_NOPTS_VALUE;

    int error = 0;
    if (fromStart) {
        error = av_seek_frame(m_format.get(), -1, 0, AVSEEK_FLAG_BYTE);
        if (error < 0) {
            const AVStream *stream = m_format->streams[m_streamIndex];
            const int64_t start =
                stream->start_time != AV_NOPTS_VALUE ? stream->start_time : m_firstTimestamp;
            error = av_seek_frame(m_format.get(), m_streamIndex, start, AVSEEK_FLAG_BACKWARD);
        }
    } else {
        error = avformat_seek_file(m_format.get(), m_streamIndex,
                                   std::numeric_limits<int64_t>::min(), timestamp, timestamp, 0);
        if (error < 0) {
            error = av_seek_frame(m_format.get(), m_streamIndex, timestamp, AVSEEK_FLAG_BACKWARD);
        }
    }
    if (error < 0) {
        logAvError("seek", error);
        return false;
    }
    m_positioned = true;
    return true;
}

bool CFrameDecoder::decodeNext() {
    int failures = 0;
    int packetsWithoutPicture = 0;
    while (!m_ended) {
        int error = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (error == 0) {
            acceptFrame();
            return true;
        }
        if (error == AVERROR_EOF) {
            m_ended = true;
            break;
        }
        if (error != AVERROR(EAGAIN)) {
            logAvError("decoding", error);
            if (concealRefused()) {
                return true;
            }
            noteDamage();
            if (++failures >= kMaxFailuresInARow) {
                m_ended = true;
            }
            continue;
        }
        if (m_draining || ++packetsWithoutPicture > kMaxPacketsWithoutPicture) {
            if (!m_draining) {
                logLine("no picture comes out of the decoder; taking the stream as ended");
            }
            m_ended = true;
            break;
        }
        error = readPacket();
        if (error < 0) {
            // End of file, or a read failure that persists: let the decoder put out what it
            // still holds.
            m_draining = true;
            error = avcodec_send_packet(m_codec.get(), nullptr);
            if (error < 0 && error != AVERROR_EOF) {
                logAvError("draining the decoder", error);
                m_ended = true;
            }
            continue;
        }
        const AVPacket &packet = *m_packet;
        // Where pictures may be numbered by counting, every picture is decoded: one skipped
        // would shift the count.
        const bool early = !m_countsPictures && packet.pts != AV_NOPTS_VALUE &&
                           positionOf(packet.pts) < m_skipBefore;
        m_codec->skip_frame = early ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        m_concealer.keep(*m_packet);
        error = avcodec_send_packet(m_codec.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        if (error < 0 && error != AVERROR(EAGAIN)) {
            logAvError("damaged packet", error);
            if (concealRefused()) {
                return true;
            }
            noteDamage();
            if (++failures >= kMaxFailuresInARow) {
                m_ended = true;
            }
        } else {
            failures = 0;
        }
    }
    return false;
}

bool CFrameDecoder::concealRefused() {
    if (!m_concealer.conceal(*m_frame)) {
        return false;
    }
    acceptFrame();
    return true;
}

int CFrameDecoder::readPacket() {
    int failures = 0;
    for (;;) {
        const int error = av_read_frame(m_format.get(), m_packet.get());
        if (error == AVERROR_EOF) {
            return error;
        }
        if (error < 0) {
            logAvError("reading", error);
            noteDamage();
            if (++failures >= kMaxFailuresInARow || avio_feof(m_format->pb)) {
                return error;
            }
            continue;
        }
        if (m_packet->stream_index == m_streamIndex) {
            if (m_countedTimestamps) {
                timePacketByIndex(*m_packet);
            }
            if (m_gapsMeanLoss) {
                noteLostPackets(*m_packet);
            }
            return 0;
        }
        av_packet_unref(m_packet.get());
    }
}

void CFrameDecoder::noteLostPackets(const AVPacket &packet) {
    // In AVI and ASF the packets of a constant-rate stream follow one frame apart in decoding
    // order (AVI keeps an empty chunk even for a dropped frame), so a longer step between two
    // packets on the frame grid means packets were lost: the pictures predicted across the gap
    // refer to the wrong pictures, although the decoder cannot tell.
    if (packet.dts == AV_NOPTS_VALUE) {
        m_lastPacketTime = AV_NOPTS_VALUE;
        return;
    }
    if (m_lastPacketTime != AV_NOPTS_VALUE) {
        const double previous = positionOf(m_lastPacketTime);
        const double current = positionOf(packet.dts);
        if (isOnGrid(previous) && isOnGrid(current) && current - previous > 1 + kGridTolerance) {
            noteDamage();
        }
    }
    m_lastPacketTime = packet.dts;
}

void CFrameDecoder::timePacketByIndex(AVPacket &packet) const {
    // AVI timestamps count the packets read; when damaged chunks are skipped, every later packet
    // would take an earlier frame's number. The index at the end of the file knows where each
    // frame's chunk starts (the packet's data follows its 8-byte chunk header).
    constexpr int64_t kChunkHeader = 8;
    AVStream *stream = m_format->streams[m_streamIndex];
    const int entries = avformat_index_get_entries_count(stream);
    if (packet.pos < 0 || packet.dts == AV_NOPTS_VALUE || entries == 0) {
        return;
    }
    int low = 0;
    int high = entries - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const AVIndexEntry *entry = avformat_index_get_entry(stream, middle);
        if (entry->pos > packet.pos) {
            high = middle - 1;
        } else if (packet.pos - entry->pos > kChunkHeader) {
            low = middle + 1;
        } else {
            const int64_t shift = entry->timestamp - packet.dts;
            packet.dts += shift;
            if (packet.pts != AV_NOPTS_VALUE) {
                packet.pts += shift;
            }
            return;
        }
    }
}

void CFrameDecoder::acceptFrame() {
    const int64_t timestamp = m_frame->best_effort_timestamp;
    if (!m_keySeen) {
        // Pictures before the run's first key picture refer to pictures never decoded.
        if (!isKeyPicture(*m_frame) || timestamp == AV_NOPTS_VALUE) {
            av_frame_unref(m_frame.get());
            return;
        }
        if (m_firstTimestamp == AV_NOPTS_VALUE) {
            m_firstTimestamp = timestamp;
        }
    }
    // Every picture put out counts for the damage that spreads to later pictures, whether it is
    // kept or not.
    const bool damaged = isDamaged(*m_frame);
    double position = 0;
    if (timestamp != AV_NOPTS_VALUE) {
        position = positionOf(timestamp);
    } else if (untimedIsNext()) {
        position = m_lastPosition + 1;
    } else {
        av_frame_unref(m_frame.get());
        return;
    }
    if (m_countsPictures) {
        position = countedPosition(position, isKeyPicture(*m_frame));
    }
    if (!m_keySeen) {
        m_keySeen = true;
        m_firstKeyPosition = position;
    }
    // Timestamps that run backwards (a damaged or spliced stream) cannot be placed.
    if (m_hasLastPosition && position <= m_lastPosition) {
        av_frame_unref(m_frame.get());
        return;
    }
    m_lastPosition = position;
    m_hasLastPosition = true;
    if (position < m_keepFrom) {
        av_frame_unref(m_frame.get());
        return;
    }
    DecodedFrame decoded;
    decoded.frame.reset(av_frame_alloc());
    if (!decoded.frame) {
        av_frame_unref(m_frame.get());
        return;
    }
    av_frame_move_ref(decoded.frame.get(), m_frame.get());
    decoded.position = position;
    decoded.bidirectional = decoded.frame->pict_type == AV_PICTURE_TYPE_B;
    decoded.damaged = damaged;
    m_recent.push_back(std::move(decoded));
    while (m_recent.size() > m_recentCapacity) {
        m_recent.pop_front();
    }
}

double CFrameDecoder::countedPosition(double stamped, bool key) {
    // Once a picture's timestamp falls off the frame grid, or leaps further ahead than damage
    // loses pictures in a row, pictures are numbered one after the previous, as FFmpeg's own
    // frame counting does, until the timestamps hold again: one agrees with the count (the count
    // has caught up with the pictures the damage mistimed), or one lies on the grid one frame
    // after the previous picture's (pictures were lost, and the count lags behind them). A key
    // picture keeps its timestamp, as it does where a seek starts decoding from it.
    const double counted = m_lastPosition + 1;
    const double previous = m_lastStamped;
    m_lastStamped = stamped;
    const bool mistimed = !isOnGrid(stamped) || stamped - counted > kMaxCountedPictures;
    if (!m_hasLastPosition || key || (m_countedRun == 0 && !mistimed) ||
        std::abs(stamped - counted) < kGridTolerance ||
        (isOnGrid(stamped) && std::abs(stamped - previous - 1) < kGridTolerance) ||
        m_countedRun >= kMaxCountedPictures) {
        m_countedRun = 0;
        return stamped;
    }
    ++m_countedRun;
    return counted;
}

bool CFrameDecoder::untimedIsNext() const {
    // Only where no picture has been skipped is an untimed picture the next one; at the end of
    // the stream only if that makes it the stream's last frame (a cut-off file loses pictures
    // before the one the decoder still holds).
    if (!m_hasLastPosition || m_lastPosition < m_skipBefore) {
        return false;
    }
    const auto lastFrame = static_cast<double>(m_frameCount - 1);
    return !m_draining || std::abs(m_lastPosition + 1 - lastFrame) < kGridTolerance;
}

bool CFrameDecoder::isDamaged(const AVFrame &frame) {
    // The decoder flags the picture it had to conceal, but not the pictures predicted from it:
    // those are damaged too, up to the next clean key picture. The bidirectional pictures just
    // before a flagged one (in display order) refer forward to it.
    const bool flagged =
        (frame.flags & AV_FRAME_FLAG_CORRUPT) != 0 || frame.decode_error_flags != 0;
    if (flagged) {
        if (!m_tainted && frame.best_effort_timestamp != AV_NOPTS_VALUE) {
            logLine("damaged picture near frame " +
                    std::to_string(std::lround(positionOf(frame.best_effort_timestamp))) +
                    ": the decoder's concealment is shown");
        }
        noteDamage();
        for (auto entry = m_recent.rbegin(); entry != m_recent.rend() && entry->bidirectional;
             ++entry) {
            entry->damaged = true;
        }
    } else if (isKeyPicture(frame)) {
        m_tainted = false;
    }
    return flagged || m_tainted;
}

int64_t CFrameDecoder::timestampOf(double frame) const {
    // Rounded to the nearest tick so that a frame's time never falls just short of its picture.
    const double ticks = std::clamp(std::round(frame / m_framesPerTick), -kMaxTicks, kMaxTicks);
    return m_firstTimestamp + static_cast<int64_t>(ticks);
}

double CFrameDecoder::positionOf(int64_t timestamp) const {
    return (static_cast<double>(timestamp) - static_cast<double>(m_firstTimestamp)) *
           m_framesPerTick;
}

}  // namespace kivo::grabber
