#include "media/grabber/internal/pictureconverter.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "media/grabber/grabberlog.h"
#include "media/grabber/internal/yuvconversion.h"

namespace kivo::grabber {
namespace {

// Frames without a colour description are taken as HD (BT.709) from 720 rows up and as SD
// (BT.601) below, as players do.
constexpr int kHdHeight = 720;

YuvStandard standardOf(const AVFrame &frame) {
    switch (frame.colorspace) {
        case AVCOL_SPC_BT709:
            return YuvStandard::Bt709;
        case AVCOL_SPC_BT470BG:
        case AVCOL_SPC_SMPTE170M:
        case AVCOL_SPC_FCC:
            return YuvStandard::Bt601;
        case AVCOL_SPC_SMPTE240M:
            return YuvStandard::Smpte240;
        case AVCOL_SPC_BT2020_NCL:
        case AVCOL_SPC_BT2020_CL:
            return YuvStandard::Bt2020;
        default:
            return frame.height >= kHdHeight ? YuvStandard::Bt709 : YuvStandard::Bt601;
    }
}

int swscaleStandard(YuvStandard standard) {
    switch (standard) {
        case YuvStandard::Bt709:
            return SWS_CS_ITU709;
        case YuvStandard::Smpte240:
            return SWS_CS_SMPTE240M;
        case YuvStandard::Bt2020:
            return SWS_CS_BT2020;
        case YuvStandard::Bt601:
            break;
    }
    return SWS_CS_ITU601;
}

bool isFullRange(const AVFrame &frame) {
    switch (static_cast<AVPixelFormat>(frame.format)) {
        case AV_PIX_FMT_YUVJ420P:
        case AV_PIX_FMT_YUVJ422P:
        case AV_PIX_FMT_YUVJ444P:
        case AV_PIX_FMT_YUVJ440P:
        case AV_PIX_FMT_YUVJ411P:
            return true;
        default:
            return frame.color_range == AVCOL_RANGE_JPEG;
    }
}

uint8_t *topRow(CDib &picture) {
    return picture.bits() + static_cast<ptrdiff_t>(picture.height() - 1) * picture.stride();
}

void fillGreyRamp(CDib &picture) {
    uint8_t *table = picture.colorTable();
    for (int i = 0; i < 256; ++i) {
        table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<uint8_t>(i);
    }
}

}  // namespace

CPictureConverter::CPictureConverter(int width, int height) : m_width(width), m_height(height) {}

bool CPictureConverter::convertsDirectly(const AVFrame &frame) const {
    if (frame.width != m_width || frame.height != m_height) {
        return false;
    }
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    if (desc == nullptr || desc->nb_components < 3 ||
        (desc->flags &
         (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BE | AV_PIX_FMT_FLAG_HWACCEL |
          AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_FLOAT)) != 0 ||
        (desc->flags & AV_PIX_FMT_FLAG_PLANAR) == 0 || desc->log2_chroma_w > 1 ||
        desc->log2_chroma_h > 1) {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        const AVComponentDescriptor &comp = desc->comp[c];
        if (comp.plane != c || comp.depth != 8 || comp.step != 1 || comp.shift != 0 ||
            comp.offset != 0) {
            return false;
        }
    }
    return true;
}

void CPictureConverter::convertDirectly(const AVFrame &frame, CDib &picture, bool grey,
                                        const RowObserver *observer) const {
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    CYuvRowConverter rows(makeYuvMatrix(standardOf(frame), isFullRange(frame)), m_width,
                          desc->log2_chroma_w);
    uint8_t *out = topRow(picture);
    int chromaRow = -1;
    for (int y = 0; y < m_height; ++y, out -= picture.stride()) {
        if (y >> desc->log2_chroma_h != chromaRow) {
            chromaRow = y >> desc->log2_chroma_h;
            rows.setChroma(frame.data[1] + static_cast<ptrdiff_t>(chromaRow) * frame.linesize[1],
                           frame.data[2] + static_cast<ptrdiff_t>(chromaRow) * frame.linesize[2]);
        }
        const uint8_t *luma = frame.data[0] + static_cast<ptrdiff_t>(y) * frame.linesize[0];
        if (grey) {
            rows.toGrey(luma, out);
            if (observer) {
                (*observer)(y, out);
            }
        } else {
            rows.toBgr(luma, out);
        }
    }
}

bool CPictureConverter::scaleInto(const AVFrame &frame, CDib &picture) {
    const auto format = static_cast<AVPixelFormat>(frame.format);
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame.width, frame.height, format,
                                        m_width, m_height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr,
                                        nullptr, nullptr));
    if (!m_scaler) {
        logLine(std::string("no conversion from pixel format ") +
                (av_get_pix_fmt_name(format) ? av_get_pix_fmt_name(format) : "?"));
        return false;
    }
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(format);
    if (desc != nullptr && (desc->flags & AV_PIX_FMT_FLAG_RGB) == 0) {
        const int *coefficients = sws_getCoefficients(swscaleStandard(standardOf(frame)));
        sws_setColorspaceDetails(m_scaler.get(), coefficients, isFullRange(frame) ? 1 : 0,
                                 coefficients, 1, 0, 1 << 16, 1 << 16);
    }
    // A negative stride from the top row writes the bottom-up rows in place.
    uint8_t *destination[4] = {topRow(picture), nullptr, nullptr, nullptr};
    const int destinationStride[4] = {-picture.stride(), 0, 0, 0};
    const int written = sws_scale(m_scaler.get(), frame.data, frame.linesize, 0, frame.height,
                                  destination, destinationStride);
    if (written <= 0) {
        logAvError("conversion to BGR", written < 0 ? written : AVERROR_UNKNOWN);
        return false;
    }
    return true;
}

std::unique_ptr<CDib> CPictureConverter::colourPicture(const AVFrame &frame) {
    auto picture = std::make_unique<CDib>();
    if (!picture->createForOverwrite(m_width, m_height, 24)) {
        return nullptr;
    }
    if (convertsDirectly(frame)) {
        convertDirectly(frame, *picture, false, nullptr);
    } else if (!scaleInto(frame, *picture)) {
        return nullptr;
    }
    return picture;
}

std::unique_ptr<CDib> CPictureConverter::greyPicture(const AVFrame &frame,
                                                     const RowObserver *observer) {
    if (!convertsDirectly(frame)) {
        const std::unique_ptr<CDib> colour = colourPicture(frame);
        std::unique_ptr<CDib> grey = colour ? colour->greyCopy() : nullptr;
        if (grey && observer) {
            for (int y = 0; y < grey->height(); ++y) {
                (*observer)(y, topRow(*grey) - static_cast<ptrdiff_t>(y) * grey->stride());
            }
        }
        return grey;
    }
    auto picture = std::make_unique<CDib>();
    if (!picture->createForOverwrite(m_width, m_height, 8)) {
        return nullptr;
    }
    fillGreyRamp(*picture);
    convertDirectly(frame, *picture, true, observer);
    return picture;
}

}  // namespace kivo::grabber
