#include <gtest/gtest.h>

#include "platform/atomicfile.h"
#include "player/lists/foundfiles.h"
#include "player/lists/playlistfile.h"
#include "scratchfolder.h"

using kivo::lists::CFoundFile;
using kivo::lists::CPlaylist;
using Bytes = std::vector<uint8_t>;

namespace {

std::vector<std::string> pathsOf(const CPlaylist &playlist) {
    std::vector<std::string> paths;
    for (const auto &entry : playlist.entries()) {
        paths.push_back(entry.path());
    }
    return paths;
}

}  // namespace

TEST(PlaylistFile, SaveAndLoadKeepEveryByteAndEveryEntry) {
    const std::vector<std::string> paths = {
        "/m/가.mp3",                                 // CP949 on disk
        "/music/notes.txt",                          // unsupported: kept, not shown
        "/media/" + std::string(300, 'x') + ".mpg",  // beyond the one-byte length
        "/raw/\xB0\xA1\xFF.mp3",                     // not UTF-8: keeps its bytes
        "/snow/☃.wav",                               // outside CP949: the 16-bit form
    };
    CPlaylist playlist;
    for (const std::string &path : paths) {
        playlist.append(path);
    }
    const CScratchFolder folder;
    ASSERT_EQ(kivo::lists::savePlaylistFile(folder / "a.mpl", playlist), 1);
    CPlaylist loaded;
    ASSERT_EQ(kivo::lists::loadPlaylistFile(folder / "a.mpl", loaded), 1);
    EXPECT_EQ(pathsOf(loaded), paths);
    EXPECT_FALSE(loaded.entries()[1].shown());

    const Bytes file = *kivo::readWholeFile(folder / "a.mpl");
    const Bytes head = {5, 0, 0, 0, 9, '/', 'm', '/', 0xB0, 0xA1, '.', 'm', 'p', '3'};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), file.begin()));
    const Bytes longPrefix = {0xFF, 0x37, 0x01};  // 311 bytes
    EXPECT_NE(std::search(file.begin(), file.end(), longPrefix.begin(), longPrefix.end()),
              file.end());
    EXPECT_EQ(kivo::lists::playlistBytes(loaded), file);

    // Foreign bytes (a lone lead byte, a byte that is no CP949) come back as they were.
    const Bytes foreign = {2,    0, 0,    0,   5,   'a', '.', 'w', 'm',
                           0xC7, 6, 0x80, 'b', '.', 'a', 'u', 0xFF};
    CPlaylist odd;
    ASSERT_TRUE(kivo::lists::readPlaylist(foreign, odd));
    EXPECT_EQ(kivo::lists::playlistBytes(odd), foreign);
}

TEST(PlaylistFile, DamagedFilesKeepWhatWasRead) {
    const Bytes cut = {3, 0, 0, 0, 5, 'a', '.', 'a', 'v', 'i', 5, 'b', '.', 'm', 'p'};
    CPlaylist playlist;
    playlist.append("/before.avi");
    EXPECT_FALSE(kivo::lists::readPlaylist(cut, playlist));
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{"/before.avi", "a.avi"}));

    // An absurd count or length ends the reading without allocating for it.
    for (const Bytes &absurd : {Bytes{0xFF, 0xFF, 0xFF, 0xFF},
                                Bytes{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}) {
        CPlaylist none;
        EXPECT_FALSE(kivo::lists::readPlaylist(absurd, none));
        EXPECT_TRUE(none.empty());
    }
    const CScratchFolder folder;
    EXPECT_EQ(kivo::lists::loadPlaylistFile(folder / "missing.mpl", playlist), 0);
    EXPECT_EQ(kivo::lists::savePlaylistFile(folder / "no/folder.mpl", playlist), 0);
}

TEST(FoundFilesFile, RoundTripClampsLengthsPast4GiBAndKeepsWholeRecords) {
    const std::vector<CFoundFile> files = {
        {"가을.avi", "2024-03-01", "/영상/가을.avi", 123456},
        {"big.mpg", "2025-12-31", "/big/big.mpg", 5ull << 30},
    };
    const CScratchFolder folder;
    ASSERT_EQ(kivo::lists::saveFoundFilesFile(folder / "f.mfl", files), 1);
    std::vector<CFoundFile> loaded;
    ASSERT_EQ(kivo::lists::loadFoundFilesFile(folder / "f.mfl", loaded), 1);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0], files[0]);
    EXPECT_EQ(loaded[1].length, 0xFFFFFFFFu);  // clamped, not wrapped to 1 GiB

    Bytes image = kivo::lists::foundFilesBytes(files);
    const Bytes head = {2, 0, 0, 0, 8, 0xB0, 0xA1, 0xC0, 0xBB, '.', 'a', 'v', 'i'};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), image.begin()));
    image.pop_back();  // the second length cut
    loaded.clear();
    EXPECT_FALSE(kivo::lists::readFoundFiles(image, loaded));
    EXPECT_EQ(loaded, std::vector<CFoundFile>{files[0]});
}
