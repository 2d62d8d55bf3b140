#include <gtest/gtest.h>

#include <set>

#include "player/lists/playlist.h"
#include "player/lists/playqueue.h"

using kivo::lists::CPlaylist;
using kivo::lists::CPlaylistEntry;
using kivo::lists::CPlayQueue;

namespace {

std::vector<std::string> pathsOf(const CPlaylist &playlist) {
    std::vector<std::string> paths;
    for (const auto &entry : playlist.entries()) {
        paths.push_back(entry.path());
    }
    return paths;
}

std::vector<CPlaylistEntry> entries(size_t count) {
    std::vector<CPlaylistEntry> list;
    for (size_t i = 0; i < count; ++i) {
        list.emplace_back("/m/" + std::to_string(i) + ".avi");
    }
    return list;
}

// Hands out the given numbers in turn, then repeats the last.
CPlayQueue::RandomSource scripted(std::vector<uint32_t> numbers) {
    return [numbers, next = size_t{0}]() mutable {
        const uint32_t n = numbers[std::min(next, numbers.size() - 1)];
        ++next;
        return n;
    };
}

}  // namespace

TEST(PlaylistEntry, KindComesFromTheLastExtensionOfTheName) {
    struct Case {
        const char *path;
        int kind;
    };
    const Case cases[] = {
        {"/a/b.AVI", 1},       {"/a/b.mp3", 2},    {"C:\\x\\y.Wm", 1}, {"movie.tar.mpg", 1},
        {"/a.avi/readme", 0},  {"/a/b.txt", 0},    {"/a/noext", 0},    {"/a/b.", 0},
        {"/a/b.aiff", 2},      {"/a/b.mpeg", 1},   {"/a/b.avi ", 0},   {"/a/b.DaT", 1},
        {"http://h/x.asf", 1}, {"/k/가나.MID", 2},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CPlaylistEntry(c.path).kind(), c.kind) << c.path;
    }
    EXPECT_EQ(kivo::lists::upperFileName("/a/가b.avi"), "가B.AVI");
}

TEST(Playlist, UserAddsRefuseUnsupportedFilesThatListFilesKeep) {
    CPlaylist playlist;
    EXPECT_TRUE(playlist.add("/m/a.avi"));
    EXPECT_FALSE(playlist.add("/m/notes.txt"));
    playlist.append("/m/notes.txt");
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{"/m/a.avi", "/m/notes.txt"}));
    EXPECT_FALSE(playlist.entries()[1].shown());

    playlist.append("/m/c.wav");
    playlist.append("/m/d.mpg");
    EXPECT_EQ(playlist.remove({3, 0, 3, 17}), 2u);
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{"/m/notes.txt", "/m/c.wav"}));
}

TEST(Playlist, SortsAreTheExchangeSortByKindAndName) {
    CPlaylist one;
    one.append("/z.mp3");
    one.sortByKindThenName();
    one.sortByKind();
    EXPECT_EQ(pathsOf(one), std::vector<std::string>{"/z.mp3"});

    CPlaylist playlist;
    for (const char *path : {"/b.mp3", "/x/B.avi", "/a.wav", "/odd.txt", "/c.avi", "/A.avi"}) {
        playlist.append(path);
    }
    // By kind: the exchange sort's swaps decide the order among equal kinds.
    playlist.sortByKind();
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{"/odd.txt", "/x/B.avi", "/c.avi",
                                                           "/A.avi", "/a.wav", "/b.mp3"}));
    // By name: the upper-cased names, byte-wise; the folder does not count.
    playlist.sortByKindThenName();
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{"/odd.txt", "/A.avi", "/x/B.avi",
                                                           "/c.avi", "/a.wav", "/b.mp3"}));
    // Hangul (CP949 lead bytes above ASCII) sorts after Latin letters.
    CPlaylist named;
    named.append("/가.avi");
    named.append("/z.avi");
    named.sortByKindThenName();
    EXPECT_EQ(pathsOf(named), (std::vector<std::string>{"/z.avi", "/가.avi"}));
}

TEST(PlayQueue, InOrderTheEndOfAPassGivesNoneUnlessRepeating) {
    CPlayQueue queue(scripted({0}));
    queue.setEntries(entries(3));
    for (size_t expected = 0; expected < 3; ++expected) {
        EXPECT_EQ(queue.nextIndex(true), expected);
        queue.markPlayed(expected);
    }
    EXPECT_EQ(queue.nextIndex(true), std::nullopt);
    EXPECT_TRUE(queue.history().empty());

    // As the player follows it: the first entry is opened, not played.
    queue.setEntries(entries(2));
    ASSERT_TRUE(queue.advance(true));
    queue.markPlayed(0);
    ASSERT_TRUE(queue.advance(true));
    queue.markPlayed(1);
    const auto last = queue.advance(true);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->index, 0u);
    EXPECT_FALSE(last->play);

    queue.setRepeat(true);
    queue.setEntries(entries(2));
    EXPECT_EQ(queue.nextIndex(true), 0u);
    EXPECT_EQ(queue.nextIndex(true), 1u);
    EXPECT_EQ(queue.nextIndex(true), 0u);

    CPlayQueue empty(scripted({0}));
    empty.setRandom(true);
    empty.setRepeat(true);
    EXPECT_EQ(empty.nextIndex(true), std::nullopt);
    EXPECT_FALSE(empty.advance(true));
}

TEST(PlayQueue, BackGoesThroughTheHistory) {
    CPlayQueue queue(scripted({0}));
    queue.setEntries(entries(4));
    for (size_t i = 0; i < 3; ++i) {
        queue.markPlayed(*queue.nextIndex(true));
    }
    // History 0 1 2, cursor 2: back answers 1 and drops 2 from the history.
    EXPECT_EQ(queue.nextIndex(false), 1u);
    EXPECT_EQ(queue.history(), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(queue.nextIndex(false), 0u);
    // Before the first: the history is cleared and the forward rule starts again.
    EXPECT_EQ(queue.nextIndex(false), 0u);
    EXPECT_TRUE(queue.history().empty());
    EXPECT_EQ(queue.cursor(), 0);
}

TEST(PlayQueue, RandomModeNeverRepeatsWithinAPass) {
    // A generator that keeps offering indices already played: each is refused.
    CPlayQueue queue(scripted({5, 5, 2, 5, 2, 0, 2, 5, 0, 3, 1, 4}));
    queue.setRandom(true);
    queue.setEntries(entries(6));
    std::set<size_t> seen;
    for (int i = 0; i < 6; ++i) {
        const auto index = queue.nextIndex(true);
        ASSERT_TRUE(index);
        EXPECT_TRUE(seen.insert(*index).second) << *index;
        queue.markPlayed(*index);
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(queue.nextIndex(true), std::nullopt);

    // 100 refused draws give none.
    CPlayQueue stuck(scripted({1}));
    stuck.setRandom(true);
    stuck.setEntries(entries(3));
    EXPECT_EQ(stuck.nextIndex(true), 1u);
    stuck.markPlayed(1);
    EXPECT_EQ(stuck.nextIndex(true), std::nullopt);

    // The clock-seeded generator keeps the rule as well.
    CPlayQueue seeded;
    seeded.setRandom(true);
    seeded.setEntries(entries(5));
    std::set<size_t> drawn;
    for (int i = 0; i < 5; ++i) {
        if (const auto index = seeded.nextIndex(true)) {
            EXPECT_TRUE(drawn.insert(*index).second);
            seeded.markPlayed(*index);
        }
    }
}
