#pragma once

#include "media/grabber/internal/avhandles.h"

namespace kivo::grabber {

// Pictures of damaged packets in streams whose every picture stands alone (Motion JPEG and the
// like). Such decoders put a damaged picture out unflagged, the rest of it left as whatever the
// reused buffer held, so the decoder is told to refuse damaged packets, and a second, forgiving
// decoder makes the picture again from the refused packet: with everything after the damage
// black, the same on every run, and flagged as damaged.
class CIntraConcealer {
public:
    // Whether pictures of this decoder never refer to other pictures.
    static bool suits(const AVCodec &decoder);

    // 1 when the forgiving decoder is open; 0 otherwise.
    int open(const AVCodec &decoder, const AVCodecParameters &parameters, AVRational timeBase);

    // Keeps a reference to the packet just handed to the strict decoder.
    void keep(const AVPacket &packet);

    // The picture of the last packet kept, flagged as damaged, into `picture`; false when none
    // comes out. The packet is let go either way.
    bool conceal(AVFrame &picture);

private:
    CodecContextPtr m_codec;
    PacketPtr m_packet;
};

}  // namespace kivo::grabber
