#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QImage>
#include <QImageReader>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "imaging/dib.h"
#include "imaging/luminance.h"
#include "imaging/noisepicture.h"
#include "platform/messages.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

uint32_t le16(const std::vector<uint8_t> &b, size_t at) {
    return b[at] | b[at + 1] << 8;
}

uint32_t le32(const std::vector<uint8_t> &b, size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

// A picture with smooth gradients and a few hard edges, like a video frame.
CDib framePicture(int width, int height, int bits = 24) {
    CDib dib;
    EXPECT_EQ(dib.createBlank(width, height, bits), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int r = x * 255 / width;
            int g = y * 255 / height;
            int b = ((x / 40 + y / 30) % 2) ? 160 : 100;
            if ((x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2) < 900) {
                r = 250, g = 240, b = 20;
            }
            uint8_t *p = dib.pixelAddress(x, y);
            p[0] = static_cast<uint8_t>(b);
            p[1] = static_cast<uint8_t>(g);
            p[2] = static_cast<uint8_t>(r);
        }
    }
    return dib;
}

QImage decode(const fs::path &path, const char *format) {
    QImageReader reader(QString::fromStdString(path.string()), format);
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << path << ": " << reader.errorString().toStdString();
    return image;
}

// Counts pixels whose decoded colour differs from the picture's own colour.
long differingPixels(const CDib &dib, const QImage &image) {
    EXPECT_EQ(image.width(), dib.width());
    EXPECT_EQ(image.height(), dib.height());
    if (image.size() != QSize(dib.width(), dib.height())) {
        return -1;
    }
    long differing = 0;
    for (int y = 0; y < dib.height(); ++y) {
        for (int x = 0; x < dib.width(); ++x) {
            differing += (image.pixel(x, y) & 0xFFFFFF) != dib.colorAt(x, y);
        }
    }
    return differing;
}

double psnr(const CDib &dib, const QImage &image) {
    double squares = 0;
    for (int y = 0; y < dib.height(); ++y) {
        for (int x = 0; x < dib.width(); ++x) {
            const QRgb decoded = image.pixel(x, y);
            const uint32_t original = dib.colorAt(x, y);
            const double dr = qRed(decoded) - double(original >> 16);
            const double dg = qGreen(decoded) - double((original >> 8) & 0xFF);
            const double db = qBlue(decoded) - double(original & 0xFF);
            squares += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = squares / (3.0 * dib.width() * dib.height());
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

// Reads LZW codes of a fixed width, least significant bit first, from the joined sub-blocks.
std::vector<int> codesOf(const std::vector<uint8_t> &data, int bits, int count) {
    std::vector<int> codes;
    uint32_t accumulator = 0;
    int pending = 0;
    size_t at = 0;
    while (static_cast<int>(codes.size()) < count && at < data.size()) {
        accumulator |= uint32_t{data[at++]} << pending;
        pending += 8;
        while (pending >= bits && static_cast<int>(codes.size()) < count) {
            codes.push_back(static_cast<int>(accumulator & ((1u << bits) - 1)));
            accumulator >>= bits;
            pending -= bits;
        }
    }
    return codes;
}

class ImageFiles : public testing::Test {
protected:
    void SetUp() override {
        const auto *info = testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                (std::string("kivo-imaging-") + info->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path path(const std::string &name) const { return m_dir / name; }
    std::string pathText(const std::string &name) const { return path(name).string(); }
    size_t filesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }

    std::vector<std::string> m_messages;
    kivo::ScopedMessageSink m_sink{[this](const std::string &text) { m_messages.push_back(text); }};

private:
    fs::path m_dir;
};

TEST_F(ImageFiles, BmpLayoutOfASmallPicture) {
    CDib dib = noisePicture(3, 2, 24, 1);
    ASSERT_EQ(dib.saveAsBmp(pathText("small.bmp")), 1);
    const std::vector<uint8_t> file = readFile(path("small.bmp"));
    ASSERT_EQ(file.size(), 78u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(file, 2), 78u);
    EXPECT_EQ(le32(file, 6), 0u);
    EXPECT_EQ(le32(file, 10), 54u);
    EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), dib.block()));

    CDib indexed = noisePicture(9, 3, 4, 2);
    ASSERT_EQ(indexed.saveAsBmp(pathText("indexed.bmp")), 1);
    const std::vector<uint8_t> indexedFile = readFile(path("indexed.bmp"));
    EXPECT_EQ(indexedFile.size(), 54u + 64 + 8 * 3);  // 9 pixels of 4 bits: 8-byte rows
    EXPECT_EQ(le32(indexedFile, 2), indexedFile.size());
    EXPECT_EQ(le32(indexedFile, 10), 54u + 64);
}

TEST_F(ImageFiles, BmpDecodesPixelExactAtEveryDepth) {
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        CDib dib = noisePicture(61, 17, bits, static_cast<unsigned>(bits));
        if (bits == 32) {
            // The fourth byte is unused; readers may take it for alpha.
            for (int y = 0; y < 17; ++y) {
                for (int x = 0; x < 61; ++x) {
                    dib.pixelAddress(x, y)[3] = 0;
                }
            }
        }
        const std::string name = "depth" + std::to_string(bits) + ".bmp";
        ASSERT_EQ(dib.save(pathText(name)), 1);
        EXPECT_EQ(differingPixels(dib, decode(path(name), "bmp")), 0);
    }
}

TEST_F(ImageFiles, SaveChoosesTheFormatByExtension) {
    const CDib dib = framePicture(64, 48);
    ASSERT_EQ(dib.save(pathText("upper.JPG")), 1);
    const std::vector<uint8_t> jpeg = readFile(path("upper.JPG"));
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(decode(path("upper.JPG"), "jpeg").isGrayscale(), false);

    ASSERT_EQ(dib.save(pathText("mixed.Bmp")), 1);
    EXPECT_EQ(readFile(path("mixed.Bmp"))[0], 'B');
    ASSERT_EQ(dib.save(pathText("lower.gif")), 1);
    EXPECT_EQ(readFile(path("lower.gif"))[0], 'G');

    EXPECT_EQ(dib.save(pathText("picture.png")), 0);
    EXPECT_EQ(dib.save(pathText("picture.jpeg")), 0);
    EXPECT_EQ(dib.save(pathText("picture")), 0);
    EXPECT_FALSE(fs::exists(path("picture.png")));
    EXPECT_EQ(filesInDir(), 3u);
    EXPECT_TRUE(m_messages.empty());

    CDib empty;
    EXPECT_EQ(empty.save(pathText("empty.bmp")), 0);
    EXPECT_EQ(empty.save(pathText("empty.gif")), 0);
    EXPECT_EQ(filesInDir(), 3u);
}

TEST_F(ImageFiles, JpegQuality75KeepsThePicture) {
    const CDib dib = framePicture(320, 240);
    ASSERT_EQ(dib.saveAsJpeg(pathText("frame.jpg"), 1, 75), 1);
    const QImage colour = decode(path("frame.jpg"), "jpeg");
    ASSERT_EQ(colour.size(), QSize(320, 240));
    EXPECT_GT(psnr(dib, colour), 30.0);

    // Higher quality must give a closer picture; a broken quality setting would not.
    ASSERT_EQ(dib.saveAsJpeg(pathText("low.jpg"), 1, 10), 1);
    EXPECT_LT(psnr(dib, decode(path("low.jpg"), "jpeg")), psnr(dib, colour));

    // Pictures of other depths go through their colours: an 8-bit ramp of blues.
    CDib indexed;
    ASSERT_EQ(indexed.createBlank(64, 48, 8), 1);
    for (int i = 0; i < 256; ++i) {
        indexed.colorTable()[4 * i] = static_cast<uint8_t>(i);
        indexed.colorTable()[4 * i + 1] = static_cast<uint8_t>(i / 2);
    }
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            *indexed.pixelAddress(x, y) = static_cast<uint8_t>(x * 2 + y);
        }
    }
    ASSERT_EQ(indexed.saveAsJpeg(pathText("indexed.jpg"), 1, 75), 1);
    EXPECT_GT(psnr(indexed, decode(path("indexed.jpg"), "jpeg")), 30.0);
}

TEST_F(ImageFiles, GreyJpegHasOneComponentWithTheTruncatedLuminance) {
    const CDib dib = framePicture(160, 120);
    ASSERT_EQ(dib.saveAsJpeg(pathText("grey.jpg"), 0, 95), 1);
    const QImage grey = decode(path("grey.jpg"), "jpeg");
    EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
    double squares = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) {
            const uint32_t c = dib.colorAt(x, y);
            const int expected =
                int(0.299 * (c >> 16) + 0.587 * ((c >> 8) & 0xFF) + 0.114 * (c & 0xFF));
            const double d = qGray(grey.pixel(x, y)) - expected;
            squares += d * d;
        }
    }
    EXPECT_GT(10.0 * std::log10(255.0 * 255.0 * 160 * 120 / squares), 35.0);
}

TEST_F(ImageFiles, JpegFailuresShowTheirTextsAndLeaveNoFile) {
    const CDib dib = framePicture(32, 32);
    const std::string missing = pathText("no-such-folder/still.jpg");
    EXPECT_EQ(dib.saveAsJpeg(missing, 1, 75), 0);
    const std::vector<std::string> expected = {"JpegFile :\nCan't open " + missing + "\n",
                                               "??? In Writing JPEG File : Write Error"};
    EXPECT_EQ(m_messages, expected);

    m_messages.clear();
    CDib empty;
    EXPECT_EQ(empty.saveAsJpeg(pathText("empty.jpg"), 1, 75), 0);
    EXPECT_EQ(m_messages,
              std::vector<std::string>{"??? In Writing JPEG File : ~DWORD Memory Error"});

    // Wider than the format allows: the library refuses in the middle of the write.
    m_messages.clear();
    writeFile(path("wide.jpg"), "previous picture");
    CDib wide;
    ASSERT_EQ(wide.createBlank(65501, 1, 8), 1);
    EXPECT_EQ(wide.saveAsJpeg(pathText("wide.jpg"), 1, 75), 0);
    EXPECT_EQ(m_messages, std::vector<std::string>{"??? In Writing JPEG File : Write Error"});
    EXPECT_EQ(readFile(path("wide.jpg")).size(), 16u);
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(ImageFiles, GifOfOnePixelHoldsClearPixelEndCodes) {
    CDib dib;
    ASSERT_EQ(dib.createBlank(1, 1, 8), 1);
    dib.colorTable()[4 * 7 + 2] = 0x77;  // entry 7 red
    ASSERT_EQ(dib.saveAsGif(pathText("one.gif")), 1);
    const std::vector<uint8_t> file = readFile(path("one.gif"));
    ASSERT_GT(file.size(), 13u + 768 + 10 + 2);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF87a");
    EXPECT_EQ(le16(file, 6), 1u);
    EXPECT_EQ(le16(file, 8), 1u);
    EXPECT_EQ(file[10], 0xE7);
    EXPECT_EQ(file[11], 0);
    EXPECT_EQ(file[12], 0);
    EXPECT_EQ(file[13 + 3 * 7], 0x77);
    const size_t image = 13 + 768;
    EXPECT_EQ(file[image], ',');
    EXPECT_EQ(le32(file, image + 1), 0u);  // left, top
    EXPECT_EQ(le16(file, image + 5), 1u);
    EXPECT_EQ(le16(file, image + 7), 1u);
    EXPECT_EQ(file[image + 9], 0x00);
    EXPECT_EQ(file[image + 10], 0x08);
    const size_t blockLength = file[image + 11];
    ASSERT_EQ(file.size(), image + 12 + blockLength + 2);
    const std::vector<uint8_t> data(file.begin() + image + 12,
                                    file.begin() + image + 12 + blockLength);
    EXPECT_EQ(codesOf(data, 9, 3), (std::vector<int>{256, 0, 257}));
    EXPECT_EQ(blockLength, 4u);  // 27 bits
    EXPECT_EQ(file[file.size() - 2], 0x00);
    EXPECT_EQ(file[file.size() - 1], ';');
}

TEST_F(ImageFiles, GifDecodesPixelExact) {
    struct Case {
        const char *what;
        CDib dib;
    };
    CDib flat;
    ASSERT_EQ(flat.createBlank(1000, 700, 8), 1);  // long runs: codes reach 12 bits
    CDib stripes = noisePicture(257, 3, 8, 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 257; ++x) {
            *stripes.pixelAddress(x, y) = static_cast<uint8_t>((x / 3) % 5);
        }
    }
    const Case cases[] = {
        {"noise: the code table fills and restarts many times", noisePicture(640, 480, 8, 5)},
        {"one colour", flat},
        {"stripes", stripes},
        {"odd width", noisePicture(3, 101, 8, 6)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(c.dib.saveAsGif(pathText("picture.gif")), 1);
        const QImage image = decode(path("picture.gif"), "gif");
        EXPECT_EQ(differingPixels(c.dib, image), 0);
        // Every sub-block is at most 254 bytes long.
        const std::vector<uint8_t> file = readFile(path("picture.gif"));
        size_t at = 13 + 768 + 11;
        while (at < file.size() && file[at] != 0) {
            ASSERT_LE(file[at], 254);
            at += 1 + file[at];
        }
        EXPECT_EQ(at, file.size() - 2);
    }
}

TEST_F(ImageFiles, TrueColourGifIsTheGreyCopyOverAGreyRamp) {
    for (int bits : {24, 32}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        const CDib dib = noisePicture(97, 31, bits, 8);
        ASSERT_EQ(dib.saveAsGif(pathText("grey.gif")), 1);
        const std::vector<uint8_t> file = readFile(path("grey.gif"));
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(file[13 + 3 * i], i);
            ASSERT_EQ(file[14 + 3 * i], i);
            ASSERT_EQ(file[15 + 3 * i], i);
        }
        const std::unique_ptr<CDib> grey = dib.greyCopy();
        ASSERT_NE(grey, nullptr);
        EXPECT_EQ(differingPixels(*grey, decode(path("grey.gif"), "gif")), 0);
    }
}

TEST_F(ImageFiles, GifRefusesOtherDepthsAndUnwritablePaths) {
    const CDib four = noisePicture(5, 5, 4, 9);
    EXPECT_EQ(four.saveAsGif(pathText("four.gif")), 0);
    EXPECT_EQ(m_messages, std::vector<std::string>{"Error !Color is not 256 or True Color "});
    EXPECT_EQ(noisePicture(5, 5, 16, 9).saveAsGif(pathText("sixteen.gif")), 0);
    EXPECT_EQ(filesInDir(), 0u);

    m_messages.clear();
    EXPECT_EQ(noisePicture(5, 5, 8, 9).saveAsGif(pathText("missing/x.gif")), 0);
    EXPECT_EQ(m_messages, std::vector<std::string>{"Can't open GIF for writing"});

    m_messages.clear();
    CDib tall;
    ASSERT_EQ(tall.createBlank(1, 70000, 8), 1);
    EXPECT_EQ(tall.saveAsGif(pathText("tall.gif")), 0);
    EXPECT_EQ(m_messages, std::vector<std::string>{"Write Error in GIF file"});
    EXPECT_EQ(filesInDir(), 0u);
}

// Lowers the largest file this process may write, so that writes fail part way like on a full
// disk; the signal that would end the process is ignored and the write reports the error.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

TEST_F(ImageFiles, AFailedWriteIsReportedAndKeepsThePreviousFile) {
    const CDib dib = noisePicture(300, 200, 24, 10);
    const std::pair<const char *, std::vector<std::string>> cases[] = {
        {"full.bmp", {}},
        {"full.jpg", {"??? In Writing JPEG File : Write Error"}},
        {"full.gif", {"Write Error in GIF file"}},
    };
    for (const auto &[name, messages] : cases) {
        SCOPED_TRACE(name);
        m_messages.clear();
        writeFile(path(name), "previous");
        {
            FileSizeLimit limit(4096);
            EXPECT_EQ(dib.save(pathText(name)), 0);
        }
        EXPECT_EQ(m_messages, messages);
        EXPECT_EQ(readFile(path(name)).size(), 8u);
    }
    EXPECT_EQ(filesInDir(), 3u);  // no temporary files left behind
}

TEST_F(ImageFiles, ASuccessfulSaveReplacesTheFile) {
    writeFile(path("still.bmp"), "previous");
    const CDib dib = noisePicture(3, 2, 24, 11);
    ASSERT_EQ(dib.save(pathText("still.bmp")), 1);
    EXPECT_EQ(readFile(path("still.bmp")).size(), 78u);
    EXPECT_EQ(filesInDir(), 1u);
}

}  // namespace
