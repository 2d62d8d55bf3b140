#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/atomicfile.h"
#include "player/lists/foundfiles.h"
#include "player/lists/playlistfile.h"
#include "scratchfolder.h"

using kivo::lists::CFoundFile;
using kivo::lists::CPlaylist;

namespace {

std::vector<uint8_t> bytesOf(std::initializer_list<int> values) {
    return std::vector<uint8_t>(values.begin(), values.end());
}

void append(std::vector<uint8_t> &to, const std::vector<uint8_t> &more) {
    to.insert(to.end(), more.begin(), more.end());
}

std::vector<std::string> pathsOf(const CPlaylist &playlist) {
    std::vector<std::string> paths;
    for (const auto &entry : playlist.entries()) {
        paths.push_back(entry.path());
    }
    return paths;
}

}  // namespace

TEST(PlaylistFile, LayoutIsCountThenCp949CountedPaths) {
    CPlaylist playlist;
    playlist.append("/m/a.avi");
    playlist.append("/m/가.mp3");
    std::vector<uint8_t> expected = bytesOf({2, 0, 0, 0, 8});
    append(expected, bytesOf({'/', 'm', '/', 'a', '.', 'a', 'v', 'i'}));
    append(expected, bytesOf({9, '/', 'm', '/', 0xB0, 0xA1, '.', 'm', 'p', '3'}));
    EXPECT_EQ(kivo::lists::playlistBytes(playlist), expected);
}

TEST(PlaylistFile, SaveAndLoadKeepEveryByteAndEveryEntry) {
    const CScratchFolder folder;
    const std::string longPath = "/media/" + std::string(300, 'x') + ".mpg";
    const std::vector<std::string> paths = {
        "/영화/반지의 제왕.avi",        // Korean, CP949 on disk
        "/music/notes.txt",             // unsupported: kept, not shown
        longPath,                       // beyond the one-byte length
        "http://example.org/live.asf",  // an address
        "/raw/\xB0\xA1\xFF.mp3",        // a name that is not UTF-8 keeps its bytes
        "/snow/☃.wav",                  // outside CP949: the 16-bit form
    };
    CPlaylist playlist;
    for (const std::string &path : paths) {
        playlist.append(path);
    }
    EXPECT_FALSE(playlist.entries()[1].shown());

    const std::string file = folder / "playlist.mpl";
    ASSERT_EQ(kivo::lists::savePlaylistFile(file, playlist), 1);
    CPlaylist loaded;
    ASSERT_EQ(kivo::lists::loadPlaylistFile(file, loaded), 1);
    EXPECT_EQ(pathsOf(loaded), paths);
    EXPECT_EQ(loaded.entries(), playlist.entries());

    // Saved again, the file is the same byte for byte; its long path has the 0xFF prefix.
    const std::string again = folder / "again.mpl";
    ASSERT_EQ(kivo::lists::savePlaylistFile(again, loaded), 1);
    const auto first = kivo::readWholeFile(file);
    const auto second = kivo::readWholeFile(again);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);
    const std::vector<uint8_t> longPrefix = bytesOf({0xFF, 0x37, 0x01});  // 311 bytes
    EXPECT_NE(std::search(first->begin(), first->end(), longPrefix.begin(), longPrefix.end()),
              first->end());
}

TEST(PlaylistFile, ForeignBytesReadBackAsTheyWere) {
    // A file from elsewhere: a CP949 pair, a lone lead byte at the end of a name and a byte
    // that is no CP949 at all. Loading and saving gives the same bytes.
    std::vector<uint8_t> image = bytesOf({3, 0, 0, 0});
    append(image, bytesOf({6, 0xC7, 0xD1, '.', 'a', 'v', 'i'}));
    append(image, bytesOf({5, 'a', '.', 'w', 'm', 0xC7}));
    append(image, bytesOf({6, 0x80, 'b', '.', 'a', 'u', 0xFF}));
    CPlaylist playlist;
    ASSERT_TRUE(kivo::lists::readPlaylist(image, playlist));
    EXPECT_EQ(playlist.entries()[0].path(), "한.avi");
    EXPECT_EQ(kivo::lists::playlistBytes(playlist), image);
}

TEST(PlaylistFile, DamagedFilesKeepWhatWasRead) {
    std::vector<uint8_t> image = bytesOf({3, 0, 0, 0, 5, 'a', '.', 'a', 'v', 'i'});
    append(image, bytesOf({5, 'b', '.', 'm', 'p'}));  // cut short
    CPlaylist playlist;
    playlist.append("/before.avi");
    EXPECT_FALSE(kivo::lists::readPlaylist(image, playlist));
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{"/before.avi", "a.avi"}));

    // Absurd counts and lengths end the reading without allocating for them.
    const std::vector<std::vector<uint8_t>> absurd = {
        bytesOf({0xFF, 0xFF, 0xFF, 0xFF}),
        bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
        bytesOf({1, 0, 0}),
        {},
    };
    for (const auto &bytes : absurd) {
        CPlaylist none;
        EXPECT_FALSE(kivo::lists::readPlaylist(bytes, none));
        EXPECT_TRUE(none.empty());
    }

    const CScratchFolder folder;
    CPlaylist missing;
    EXPECT_EQ(kivo::lists::loadPlaylistFile(folder / "missing.mpl", missing), 0);
    EXPECT_EQ(kivo::lists::savePlaylistFile(folder / "no/such/folder.mpl", missing), 0);
}

TEST(FoundFilesFile, RoundTripClampsLengthsPast4GiB) {
    const std::vector<CFoundFile> files = {
        {"가을.avi", "2024-03-01", "/영상/가을.avi", 123456},
        {"big.mpg", "2025-12-31", "/big/big.mpg", 5ull << 30},
        {"edge.wav", "2020-01-01", "/e/edge.wav", 0xFFFFFFFFull},
    };
    const std::vector<uint8_t> image = kivo::lists::foundFilesBytes(files);
    std::vector<uint8_t> expected = bytesOf({3, 0, 0, 0});
    append(expected, bytesOf({8, 0xB0, 0xA1, 0xC0, 0xBB, '.', 'a', 'v', 'i'}));
    const std::vector<uint8_t> head(image.begin(), image.begin() + 13);
    EXPECT_EQ(head, expected);

    const CScratchFolder folder;
    const std::string file = folder / "filelist.mfl";
    ASSERT_EQ(kivo::lists::saveFoundFilesFile(file, files), 1);
    std::vector<CFoundFile> loaded;
    ASSERT_EQ(kivo::lists::loadFoundFilesFile(file, loaded), 1);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0], files[0]);
    EXPECT_EQ(loaded[1].length, 0xFFFFFFFFull);  // clamped, not wrapped to 1 GiB
    EXPECT_EQ(loaded[2], files[2]);
    EXPECT_EQ(kivo::lists::foundFilesBytes(loaded), image);
}

TEST(FoundFilesFile, TruncatedFileKeepsWholeRecordsOnly) {
    const std::vector<CFoundFile> files = {{"a.avi", "2024-01-01", "/a.avi", 1},
                                           {"b.avi", "2024-01-02", "/b.avi", 2}};
    std::vector<uint8_t> image = kivo::lists::foundFilesBytes(files);
    image.resize(image.size() - 2);  // the second length cut
    std::vector<CFoundFile> loaded;
    EXPECT_FALSE(kivo::lists::readFoundFiles(image, loaded));
    EXPECT_EQ(loaded, std::vector<CFoundFile>{files[0]});
}
