#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "indexpattern.h"
#include "media/grabber/grabberlog.h"
#include "media/grabber/videomanager.h"
#include "platform/log.h"

namespace fs = std::filesystem;
using kivo::ScopedLogSink;

namespace {

constexpr int kIndexFrames = 300;

class BadInput : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kivo-grabber-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }

    void TearDown() override { fs::remove_all(m_folder); }

    std::string write(const std::string &name, const std::vector<char> &bytes) const {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    static std::vector<char> fixtureBytes(const std::string &name) {
        std::ifstream in(fixturePath(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The fixture with the bytes from..to (fractions of its size) replaced by random ones.
    std::string damaged(const std::string &name, double from, double to, unsigned seed) const {
        std::vector<char> bytes = fixtureBytes(name);
        std::mt19937 random(seed);
        const auto size = static_cast<double>(bytes.size());
        for (auto i = static_cast<size_t>(from * size); i < static_cast<size_t>(to * size); ++i) {
            bytes[i] = static_cast<char>(random());
        }
        return write("damaged-" + name, bytes);
    }

    std::string truncated(const std::string &name, double keep) const {
        std::vector<char> bytes = fixtureBytes(name);
        bytes.resize(static_cast<size_t>(keep * static_cast<double>(bytes.size())));
        return write("truncated-" + name, bytes);
    }

    fs::path m_folder;
    // FFmpeg's and the grabber's complaints about the bad files would fill the test output.
    ScopedLogSink m_quiet{[](kivo::LogLevel, std::string_view, const std::string &) {}};
};

TEST_F(BadInput, FilesThatAreNoVideoFailToOpen) {
    const std::string text = "This is not a video, whatever its name says.\n";
    std::vector<char> garbage(100000);
    std::mt19937 random(3);
    for (char &byte : garbage) {
        byte = static_cast<char>(random());
    }
    for (const std::string &path :
         {write("empty.mp4", {}), write("notes.avi", {text.begin(), text.end()}),
          write("noise.mp4", garbage), write("noise.mpg", garbage), m_folder.string()}) {
        CVideoManager video;
        EXPECT_EQ(video.open(path), 0) << path;
        EXPECT_FALSE(video.isOpen());
        EXPECT_EQ(video.pictureAt(0), nullptr);
        EXPECT_EQ(video.duration(), 0);
    }
}

TEST_F(BadInput, AFailedOpenLogsTheLibrarysReason) {
    std::vector<std::string> lines;
    ScopedLogSink capture(
        [&lines](kivo::LogLevel, std::string_view category, const std::string &line) {
            EXPECT_EQ(category, kivo::grabber::kLogCategory);
            lines.push_back(line);
        });
    CVideoManager video;
    ASSERT_EQ(video.open((m_folder / "missing.avi").string()), 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("missing.avi"), std::string::npos);
    EXPECT_NE(lines[0].find("No such file or directory"), std::string::npos);
}

// A cut-off file either fails to open (its index was at the end) or gives the frames it still
// holds exactly, and nothing for the rest, in order and at random.
TEST_F(BadInput, TruncatedFilesKeepTheFramesTheyHold) {
    for (const char *name : {"index.mp4", "index.mkv", "index.mpg", "index-mpeg4.avi", "index.wmv",
                             "index-mjpeg.avi", "index.mov"}) {
        CVideoManager video;
        if (!video.open(truncated(name, 0.5))) {
            continue;
        }
        int exact = 0;
        int shown = -1;
        for (int frame = 0; frame <= kIndexFrames; ++frame) {
            const std::unique_ptr<CDib> picture = video.greyPictureAt(frame);
            if (picture != nullptr) {
                // The frame equal to the duration may show the last picture, still on screen.
                const bool end = frame == static_cast<int>(video.duration());
                const int index = frameIndexOf(*picture);
                ASSERT_TRUE(index == frame || (end && index == shown))
                    << name << " frame " << frame << " shows " << index;
                shown = frame;
                ++exact;
            }
        }
        EXPECT_GE(exact, kIndexFrames * 2 / 5) << name;
        std::mt19937 random(8);
        std::uniform_int_distribution<int> anyFrame(0, kIndexFrames);
        for (int i = 0; i < 40; ++i) {
            const int frame = anyFrame(random);
            const std::unique_ptr<CDib> picture = video.pictureAt(frame);
            if (picture != nullptr) {
                ASSERT_EQ(frameIndexOf(*picture), frame) << name;
            } else {
                EXPECT_GE(frame, kIndexFrames * 2 / 5) << name;
            }
        }
    }
}

// Random bytes over 2 % in the middle of the file: the frames well before and well after the
// damage stay exact (numbering included: AVI counts its packets), whatever the frames in the
// damaged stretch give.
TEST_F(BadInput, DamageInTheMiddleLeavesTheOtherFramesExact) {
    for (const char *name : {"index.mp4", "index.mkv", "index.mpg", "index-mpeg4.avi", "index.wmv",
                             "index-mjpeg.avi", "index.mov", "index-ntsc.mp4"}) {
        CVideoManager video;
        ASSERT_EQ(video.open(damaged(name, 0.45, 0.47, 1)), 1) << name;
        const auto farFromDamage = [](int frame) { return frame < 120 || frame >= 180; };
        int missing = 0;
        for (int frame = 0; frame < kIndexFrames; ++frame) {
            const std::unique_ptr<CDib> picture = video.greyPictureAt(frame);
            if (farFromDamage(frame)) {
                ASSERT_NE(picture, nullptr) << name << " frame " << frame;
                ASSERT_EQ(frameIndexOf(*picture), frame) << name;
            }
            missing += picture == nullptr ? 1 : 0;
        }
        EXPECT_GT(missing, 0) << name << ": the damage went unnoticed";
        std::mt19937 random(5);
        std::uniform_int_distribution<int> anyFrame(0, kIndexFrames - 1);
        for (int i = 0; i < 60; ++i) {
            const int frame = anyFrame(random);
            const std::unique_ptr<CDib> picture = video.pictureAt(frame);
            if (farFromDamage(frame)) {
                ASSERT_NE(picture, nullptr) << name << " frame " << frame;
                ASSERT_EQ(frameIndexOf(*picture), frame) << name;
            }
        }
    }
}

// A damaged header: open fails, or the file gives pictures without crashing or hanging.
TEST_F(BadInput, DamagedHeadersNeverCrashOrHang) {
    for (const char *name : {"index.mp4", "index.mkv", "index.mpg", "index-mpeg4.avi", "index.wmv",
                             "index-mjpeg.avi"}) {
        for (unsigned seed = 1; seed <= 3; ++seed) {
            CVideoManager video;
            if (!video.open(damaged(name, 0.0, 0.002, seed))) {
                continue;
            }
            for (const double frame :
                 {0.0, 1.0, 2.0, video.duration() / 2, video.duration(), 3.0}) {
                video.pictureAt(frame);
            }
        }
    }
}

TEST_F(BadInput, AbsurdFrameNumbersAndTimesGiveNothing) {
    CVideoManager video;
    ASSERT_EQ(video.open(fixturePath("index.mp4")), 1);
    for (const double frame : {1e18, 1e300, -1e300, std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(video.pictureAt(frame), nullptr);
        EXPECT_EQ(video.greyPictureAt(frame), nullptr);
    }
    EXPECT_EQ(video.frameToTime(1e300), -1);
    EXPECT_EQ(video.timeToFrame(-1e300), -1);
    EXPECT_EQ(video.seekCount(), 0);
}

}  // namespace
