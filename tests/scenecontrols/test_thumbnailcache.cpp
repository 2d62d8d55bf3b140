#include <gtest/gtest.h>

#include <cstring>

#include "fixtures.h"
#include "media/grabber/videomanager.h"
#include "scenecontrols/thumbnailcache.h"

namespace {

bool samePixels(const CDib &a, const CDib &b) {
    return a.width() == b.width() && a.height() == b.height() && a.bitCount() == b.bitCount() &&
           a.blockSize() == b.blockSize() && std::memcmp(a.block(), b.block(), a.blockSize()) == 0;
}

class ThumbnailCacheTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_video.open(fixturePath("index.mp4")), 1); }
    CVideoManager m_video;
};

TEST_F(ThumbnailCacheTest, MakesThumbnailsOfTheAskedSizeFromTheFrame) {
    CThumbnailCache cache(&m_video, 35, 18);
    const CDib *thumbnail = cache.thumbnail(120);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->width(), 35);
    EXPECT_EQ(thumbnail->height(), 18);
    const auto expected = m_video.pictureAt(120)->resized(35, 18);
    EXPECT_TRUE(samePixels(*thumbnail, *expected));
    // Asked again, the same kept picture comes back without growing the cache.
    EXPECT_EQ(cache.thumbnail(120), thumbnail);
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_NE(cache.thumbnail(121), thumbnail);
}

TEST_F(ThumbnailCacheTest, TheFiveHundredAndFirstFramePushesTheOldestOut) {
    CThumbnailCache cache(&m_video, 35, 18);
    ASSERT_EQ(cache.capacity(), 500u);
    // The cache is keyed by the frame number as a double; half frames give 500 distinct keys
    // within the fixture's 300 frames.
    for (int k = 0; k < 500; ++k) {
        ASSERT_NE(cache.thumbnail(k * 0.5), nullptr) << k;
    }
    EXPECT_EQ(cache.size(), 500u);
    ASSERT_NE(cache.find(0.0), nullptr);
    // Using an entry does not make it younger: the cache drops by age of making.
    ASSERT_NE(cache.thumbnail(0.0), nullptr);
    ASSERT_NE(cache.thumbnail(250.0), nullptr);
    EXPECT_EQ(cache.size(), 500u);
    EXPECT_EQ(cache.find(0.0), nullptr);
    EXPECT_NE(cache.find(0.5), nullptr);
    EXPECT_NE(cache.find(250.0), nullptr);
    ASSERT_NE(cache.thumbnail(250.5), nullptr);
    EXPECT_EQ(cache.find(0.5), nullptr);
    EXPECT_NE(cache.find(1.0), nullptr);
}

TEST_F(ThumbnailCacheTest, AFrameThatCannotBeGrabbedIsNotKept) {
    CThumbnailCache cache(&m_video, 35, 18);
    EXPECT_EQ(cache.thumbnail(5000), nullptr);
    EXPECT_EQ(cache.thumbnail(-1), nullptr);
    EXPECT_EQ(cache.size(), 0u);
    CThumbnailCache withoutVideo(nullptr, 35, 18);
    EXPECT_EQ(withoutVideo.thumbnail(1), nullptr);
    CThumbnailCache withoutSize(&m_video, 0, 18);
    EXPECT_EQ(withoutSize.thumbnail(1), nullptr);
    EXPECT_EQ(withoutSize.size(), 0u);
}

}  // namespace
