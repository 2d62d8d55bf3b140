#include "media/grabber/internal/intraconcealer.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace kivo::grabber {

namespace {

// A cleared buffer for every picture, so that what the damage left undecoded is black and not
// whatever an earlier picture left in a reused buffer.
int clearedBuffer(AVCodecContext *codec, AVFrame *picture, int flags) {
    const int error = avcodec_default_get_buffer2(codec, picture, flags);
    if (error < 0) {
        return error;
    }
    ptrdiff_t linesizes[4] = {};
    for (int plane = 0; plane < 4; ++plane) {
        linesizes[plane] = picture->linesize[plane];
    }
    const int filled =
        av_image_fill_black(picture->data, linesizes, static_cast<AVPixelFormat>(picture->format),
                            picture->color_range, picture->width, picture->height);
    if (filled < 0) {
        av_frame_unref(picture);
    }
    return filled < 0 ? filled : 0;
}

}  // namespace

bool CIntraConcealer::suits(const AVCodec &decoder) {
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(decoder.id);
    return descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY) != 0;
}

int CIntraConcealer::open(const AVCodec &decoder, const AVCodecParameters &parameters,
                          AVRational timeBase) {
    m_codec.reset(avcodec_alloc_context3(&decoder));
    m_packet.reset(av_packet_alloc());
    if (!m_codec || !m_packet || avcodec_parameters_to_context(m_codec.get(), &parameters) < 0) {
        m_codec.reset();
        return 0;
    }
    m_codec->pkt_timebase = timeBase;
    // One picture at a time, on the caller's thread: no threads, so FFmpeg has no reason to
    // warn that the buffer callback is not thread-safe.
    m_codec->thread_count = 1;
    m_codec->thread_type = 0;
    m_codec->get_buffer2 = clearedBuffer;
    if (avcodec_open2(m_codec.get(), &decoder, nullptr) < 0) {
        m_codec.reset();
        return 0;
    }
    return 1;
}

void CIntraConcealer::keep(const AVPacket &packet) {
    if (!m_codec) {
        return;
    }
    av_packet_unref(m_packet.get());
    if (av_packet_ref(m_packet.get(), &packet) < 0) {
        av_packet_unref(m_packet.get());
    }
}

bool CIntraConcealer::conceal(AVFrame &picture) {
    if (!m_codec || m_packet->data == nullptr) {
        return false;
    }
    // One packet in, the decoder drained and reset: no picture depends on another.
    const bool sent = avcodec_send_packet(m_codec.get(), m_packet.get()) >= 0;
    av_packet_unref(m_packet.get());
    avcodec_send_packet(m_codec.get(), nullptr);
    const bool made = sent && avcodec_receive_frame(m_codec.get(), &picture) == 0;
    avcodec_flush_buffers(m_codec.get());
    if (made) {
        picture.decode_error_flags |= FF_DECODE_ERROR_CONCEALMENT_ACTIVE;
    }
    return made;
}

}  // namespace kivo::grabber
