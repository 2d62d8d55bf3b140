#include <gtest/gtest.h>

#include <set>

#include "player/lists/playlist.h"
#include "player/lists/playqueue.h"

using kivo::lists::CPlaylist;
using kivo::lists::CPlaylistEntry;
using kivo::lists::CPlayQueue;

namespace {

CPlaylist listOf(std::initializer_list<const char *> paths) {
    CPlaylist playlist;
    for (const char *path : paths) {
        playlist.append(path);
    }
    return playlist;
}

std::vector<std::string> pathsOf(const CPlaylist &playlist) {
    std::vector<std::string> paths;
    for (const auto &entry : playlist.entries()) {
        paths.push_back(entry.path());
    }
    return paths;
}

// A queue of `count` entries whose random source hands out `numbers`, then the last again.
CPlayQueue queueOf(size_t count, std::vector<uint32_t> numbers = {0}) {
    CPlayQueue queue([numbers, next = size_t{0}]() mutable {
        return numbers[std::min(next++, numbers.size() - 1)];
    });
    queue.setEntries(std::vector<CPlaylistEntry>(count, CPlaylistEntry("/m/x.avi")));
    return queue;
}

}  // namespace

TEST(Playlist, KindsComeFromTheLastExtensionOfTheName) {
    const std::pair<const char *, int> cases[] = {
        {"/a/b.AVI", 1}, {"/a/b.mp3", 2}, {"C:\\x\\y.Wm", 1}, {"t.tar.mpg", 1}, {"/a.avi/x", 0},
        {"/a/b.txt", 0}, {"/a/b.", 0},    {"/a/b.aiff", 2},   {"/a/b.DaT", 1},  {"/k/가.MID", 2},
    };
    for (const auto &[path, kind] : cases) {
        EXPECT_EQ(CPlaylistEntry(path).kind(), kind) << path;
    }
    CPlaylist playlist;
    EXPECT_TRUE(playlist.add("/m/a.avi"));
    EXPECT_FALSE(playlist.add("/m/notes.txt"));  // what a user adds must be supported
    playlist.append("/m/notes.txt");             // what a file holds is kept
    playlist.append("/m/c.wav");
    EXPECT_EQ(playlist.remove({2, 0, 2, 17}), 2u);
    EXPECT_EQ(pathsOf(playlist), std::vector<std::string>{"/m/notes.txt"});
}

TEST(Playlist, SortsAreTheExchangeSortByKindAndName) {
    CPlaylist one = listOf({"/z.mp3"});
    one.sortByKindThenName();
    EXPECT_EQ(pathsOf(one), std::vector<std::string>{"/z.mp3"});

    CPlaylist playlist = listOf({"/b.mp3", "/x/B.avi", "/a.wav", "/odd.txt", "/c.avi", "/A.avi"});
    // The exchange sort's swaps decide the order among equal kinds.
    playlist.sortByKind();
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{"/odd.txt", "/x/B.avi", "/c.avi",
                                                           "/A.avi", "/a.wav", "/b.mp3"}));
    // Upper-cased names without their folder, byte-wise: Hangul after Latin letters.
    playlist.append("/가.avi");
    playlist.sortByKindThenName();
    EXPECT_EQ(pathsOf(playlist),
              (std::vector<std::string>{"/odd.txt", "/A.avi", "/x/B.avi", "/c.avi", "/가.avi",
                                        "/a.wav", "/b.mp3"}));
}

TEST(PlayQueue, AtTheEndOfAPassOnlyRepeatGoesOn) {
    CPlayQueue queue = queueOf(2);
    for (size_t expected : {0u, 1u}) {
        const auto step = queue.advance(true);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->index, expected);
        queue.markPlayed(step->index);
    }
    EXPECT_EQ(queue.nextIndex(true), std::nullopt);
    queue.setEntries(queue.entries());
    queue.advance(true);
    queue.advance(true);
    const auto last = queue.advance(true);  // the first is opened, not played
    EXPECT_EQ(last->index, 0u);
    EXPECT_FALSE(last->play);

    queue.setRepeat(true);
    EXPECT_EQ(queue.nextIndex(true), 1u);
    EXPECT_EQ(queue.nextIndex(true), 0u);
    EXPECT_FALSE(queueOf(0).advance(true));
}

TEST(PlayQueue, BackGoesThroughTheHistory) {
    CPlayQueue queue = queueOf(4);
    for (int i = 0; i < 3; ++i) {
        queue.markPlayed(*queue.nextIndex(true));
    }
    EXPECT_EQ(queue.nextIndex(false), 1u);  // and 2 leaves the history
    EXPECT_EQ(queue.history(), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(queue.nextIndex(false), 0u);
    // Before the first: the history is cleared and the forward rule starts again.
    EXPECT_EQ(queue.nextIndex(false), 0u);
    EXPECT_TRUE(queue.history().empty());
}

TEST(PlayQueue, RandomModeNeverRepeatsWithinAPass) {
    // The source keeps offering indices already played: each is refused.
    CPlayQueue queue = queueOf(6, {5, 5, 2, 5, 2, 0, 2, 5, 0, 3, 1, 4});
    queue.setRandom(true);
    std::set<size_t> seen;
    for (int i = 0; i < 6; ++i) {
        const auto index = queue.nextIndex(true);
        ASSERT_TRUE(index);
        EXPECT_TRUE(seen.insert(*index).second) << *index;
        queue.markPlayed(*index);
    }
    EXPECT_EQ(queue.nextIndex(true), std::nullopt);

    // 100 refused draws give none.
    CPlayQueue stuck = queueOf(3, {1});
    stuck.setRandom(true);
    stuck.markPlayed(*stuck.nextIndex(true));
    EXPECT_EQ(stuck.nextIndex(true), std::nullopt);
}
