#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>
#include <vector>

extern "C" {
#include <libavutil/imgutils.h>
}

#include "imaging/luminance.h"
#include "indexpattern.h"
#include "media/grabber/internal/framedecoder.h"
#include "media/grabber/internal/pictureconverter.h"
#include "media/grabber/internal/yuvconversion.h"

using kivo::grabber::CFrameDecoder;
using kivo::grabber::CPictureConverter;
using kivo::grabber::CYuvRowConverter;
using kivo::grabber::FramePtr;
using kivo::grabber::makeYuvMatrix;
using kivo::grabber::RowKernel;
using kivo::grabber::ScaleContextPtr;
using kivo::grabber::YuvMatrix;
using kivo::grabber::YuvStandard;

namespace {

struct MatrixCase {
    const char *name;
    YuvStandard standard;
    bool fullRange;
};

const MatrixCase kMatrices[] = {{"BT.601 limited", YuvStandard::Bt601, false},
                                {"BT.709 limited", YuvStandard::Bt709, false},
                                {"BT.709 full", YuvStandard::Bt709, true},
                                {"BT.2020 limited", YuvStandard::Bt2020, false},
                                {"SMPTE 240M full", YuvStandard::Smpte240, true}};

// Every luma level against every (U, V) pair: the grey row must be the double formula's
// luminance of the BGR row, pixel for pixel, in both row codes.
TEST(YuvRows, GreyIsTheLuminanceOfTheColourForEveryYuvTriple) {
    std::vector<uint8_t> luma(256);
    std::iota(luma.begin(), luma.end(), 0);
    std::vector<uint8_t> cb(256);
    std::vector<uint8_t> cr(256);
    std::vector<uint8_t> bgr(3 * 256);
    std::vector<uint8_t> grey(256);
    for (const MatrixCase &matrix : kMatrices) {
        for (const RowKernel kernel : {RowKernel::Portable, RowKernel::Avx2, RowKernel::Fastest}) {
            CYuvRowConverter rows(makeYuvMatrix(matrix.standard, matrix.fullRange), 256, 0, kernel);
            for (int u = 0; u < 256; ++u) {
                for (int v = 0; v < 256; ++v) {
                    std::fill(cb.begin(), cb.end(), static_cast<uint8_t>(u));
                    std::fill(cr.begin(), cr.end(), static_cast<uint8_t>(v));
                    rows.setChroma(cb.data(), cr.data());
                    rows.toBgr(luma.data(), bgr.data());
                    rows.toGrey(luma.data(), grey.data());
                    for (int y = 0; y < 256; ++y) {
                        const int expected =
                            kivo::luminance::reference(bgr[3 * y + 2], bgr[3 * y + 1], bgr[3 * y]);
                        ASSERT_EQ(grey[static_cast<size_t>(y)], expected)
                            << matrix.name << " Y=" << y << " U=" << u << " V=" << v << " kernel "
                            << static_cast<int>(kernel);
                    }
                }
            }
        }
    }
}

// Row widths around the vector step, both chroma layouts, random content.
TEST(YuvRows, VectorAndPortableCodeGiveTheSameBytes) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (const MatrixCase &matrix : kMatrices) {
        const YuvMatrix m = makeYuvMatrix(matrix.standard, matrix.fullRange);
        for (const int shift : {0, 1}) {
            for (const int width : {1, 2, 15, 16, 17, 31, 32, 33, 63, 64, 65, 320, 1921}) {
                CYuvRowConverter portable(m, width, shift, RowKernel::Portable);
                CYuvRowConverter avx2(m, width, shift, RowKernel::Avx2);
                CYuvRowConverter fastest(m, width, shift, RowKernel::Fastest);
                const auto chromaWidth = static_cast<size_t>((width + shift) >> shift);
                for (int row = 0; row < 20; ++row) {
                    std::vector<uint8_t> luma(static_cast<size_t>(width));
                    std::vector<uint8_t> cb(chromaWidth);
                    std::vector<uint8_t> cr(chromaWidth);
                    for (auto *plane : {&luma, &cb, &cr}) {
                        for (uint8_t &value : *plane) {
                            value = static_cast<uint8_t>(anyByte(random));
                        }
                    }
                    std::vector<uint8_t> expected(3 * luma.size());
                    std::vector<uint8_t> actual(3 * luma.size());
                    for (CYuvRowConverter *rows : {&portable, &avx2, &fastest}) {
                        rows->setChroma(cb.data(), cr.data());
                    }
                    portable.toBgr(luma.data(), expected.data());
                    for (CYuvRowConverter *rows : {&avx2, &fastest}) {
                        rows->toBgr(luma.data(), actual.data());
                        ASSERT_EQ(actual, expected) << matrix.name << " width " << width;
                    }
                    expected.resize(luma.size());
                    actual.resize(luma.size());
                    portable.toGrey(luma.data(), expected.data());
                    for (CYuvRowConverter *rows : {&avx2, &fastest}) {
                        rows->toGrey(luma.data(), actual.data());
                        ASSERT_EQ(actual, expected) << matrix.name << " width " << width;
                    }
                }
            }
        }
    }
}

TEST(YuvRows, ReferenceColoursComeOutRight) {
    struct Case {
        YuvStandard standard;
        bool fullRange;
        uint8_t y, u, v;
        uint8_t blue, green, red;
    };
    const Case cases[] = {
        {YuvStandard::Bt601, false, 16, 128, 128, 0, 0, 0},
        {YuvStandard::Bt601, false, 235, 128, 128, 255, 255, 255},
        {YuvStandard::Bt601, false, 126, 128, 128, 128, 128, 128},
        {YuvStandard::Bt709, true, 0, 128, 128, 0, 0, 0},
        {YuvStandard::Bt709, true, 255, 128, 128, 255, 255, 255},
        // BT.601 studio-range red, green and blue.
        {YuvStandard::Bt601, false, 81, 90, 240, 0, 0, 255},
        {YuvStandard::Bt601, false, 145, 54, 34, 0, 255, 0},
        {YuvStandard::Bt601, false, 41, 240, 110, 255, 0, 0},
    };
    for (const Case &c : cases) {
        CYuvRowConverter rows(makeYuvMatrix(c.standard, c.fullRange), 1, 0);
        uint8_t bgr[3] = {};
        rows.setChroma(&c.u, &c.v);
        rows.toBgr(&c.y, bgr);
        EXPECT_NEAR(bgr[0], c.blue, 2) << int{c.y} << "," << int{c.u} << "," << int{c.v};
        EXPECT_NEAR(bgr[1], c.green, 2) << int{c.y} << "," << int{c.u} << "," << int{c.v};
        EXPECT_NEAR(bgr[2], c.red, 2) << int{c.y} << "," << int{c.u} << "," << int{c.v};
    }
}

// A decoded 320x240 frame of a fixture, with a swscale context at hand for reference pictures.
class DecodedFrame : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_decoder.open(fixturePath("cuts.mp4")), 1);
        m_frame = m_decoder.frameAt(60);
        ASSERT_NE(m_frame, nullptr);
        ASSERT_EQ(m_frame->format, AV_PIX_FMT_YUV420P);
    }

    // The frame converted by swscale into another format and size.
    FramePtr convertedFrame(AVPixelFormat format, int width, int height, int flags = SWS_POINT) {
        FramePtr out(av_frame_alloc());
        out->format = format;
        out->width = width;
        out->height = height;
        EXPECT_EQ(av_frame_get_buffer(out.get(), 0), 0);
        ScaleContextPtr scaler(sws_getContext(m_frame->width, m_frame->height, AV_PIX_FMT_YUV420P,
                                              width, height, format, flags, nullptr, nullptr,
                                              nullptr));
        sws_scale(scaler.get(), m_frame->data, m_frame->linesize, 0, m_frame->height, out->data,
                  out->linesize);
        return out;
    }

    CFrameDecoder m_decoder;
    const AVFrame *m_frame = nullptr;
};

TEST_F(DecodedFrame, ColoursAgreeWithAnIndependentConversion) {
    CPictureConverter converter(320, 240);
    const std::unique_ptr<CDib> picture = converter.colourPicture(*m_frame);
    ASSERT_NE(picture, nullptr);
    const FramePtr reference =
        convertedFrame(AV_PIX_FMT_BGR24, 320, 240, SWS_POINT | SWS_ACCURATE_RND);
    double total = 0;
    for (int y = 0; y < 240; ++y) {
        const uint8_t *ours = picture->pixelAddress(0, y);
        const uint8_t *theirs = reference->data[0] + y * reference->linesize[0];
        for (int x = 0; x < 3 * 320; ++x) {
            total += std::abs(ours[x] - theirs[x]);
        }
    }
    // Both take the chroma sample that covers the pixel; rounding differs by a level or so.
    EXPECT_LT(total / (3 * 320 * 240), 1.5);
}

TEST_F(DecodedFrame, OtherPixelFormatsAndSizesGoThroughSwscaleAndStayExact) {
    CPictureConverter converter(320, 240);
    const FramePtr tenBit = convertedFrame(AV_PIX_FMT_YUV420P10LE, 320, 240);
    const FramePtr rgb = convertedFrame(AV_PIX_FMT_RGB24, 320, 240);
    const FramePtr smaller = convertedFrame(AV_PIX_FMT_YUV420P, 160, 120);
    for (const AVFrame *frame : {tenBit.get(), rgb.get(), smaller.get()}) {
        const std::unique_ptr<CDib> colour = converter.colourPicture(*frame);
        const std::unique_ptr<CDib> grey = converter.greyPicture(*frame);
        ASSERT_NE(colour, nullptr);
        ASSERT_NE(grey, nullptr);
        EXPECT_EQ(colour->width(), 320);
        EXPECT_EQ(colour->height(), 240);
        const std::unique_ptr<CDib> expected = colour->greyCopy();
        ASSERT_EQ(grey->blockSize(), expected->blockSize());
        EXPECT_EQ(std::memcmp(grey->block(), expected->block(), grey->blockSize()), 0);
    }
    // The swscale path writes the rows bottom-up like the direct path: same picture, nearly.
    const std::unique_ptr<CDib> direct = converter.colourPicture(*m_frame);
    const std::unique_ptr<CDib> scaled = converter.colourPicture(*rgb);
    double total = 0;
    for (size_t i = 0; i < direct->blockSize(); ++i) {
        total += std::abs(direct->block()[i] - scaled->block()[i]);
    }
    EXPECT_LT(total / static_cast<double>(direct->blockSize()), 1.5);
}

TEST_F(DecodedFrame, RowObserverSeesEveryGreyRowOnceTopFirstOnBothPaths) {
    CPictureConverter converter(320, 240);
    const FramePtr rgb = convertedFrame(AV_PIX_FMT_RGB24, 320, 240);
    for (const AVFrame *frame : {m_frame, static_cast<const AVFrame *>(rgb.get())}) {
        std::vector<int> rows;
        std::vector<std::vector<uint8_t>> seen;
        const CPictureConverter::RowObserver observer = [&](int row, const uint8_t *grey) {
            rows.push_back(row);
            seen.emplace_back(grey, grey + 320);
        };
        const std::unique_ptr<CDib> grey = converter.greyPicture(*frame, &observer);
        ASSERT_NE(grey, nullptr);
        std::vector<int> topFirst(240);
        std::iota(topFirst.begin(), topFirst.end(), 0);
        EXPECT_EQ(rows, topFirst);
        // Row r from the top is the picture's row r as it came back (CDib rows run bottom-up).
        for (int r = 0; r < 240 && r < static_cast<int>(seen.size()); ++r) {
            ASSERT_EQ(
                std::memcmp(seen[static_cast<size_t>(r)].data(), grey->pixelAddress(0, r), 320), 0)
                << "row " << r;
        }
        const std::unique_ptr<CDib> unobserved = converter.greyPicture(*frame);
        EXPECT_EQ(std::memcmp(grey->block(), unobserved->block(), grey->blockSize()), 0);
    }
}

}  // namespace
