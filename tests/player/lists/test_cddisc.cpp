#include <gtest/gtest.h>

#include <fstream>

#include "cdimage.h"
#include "player/lists/cddisc.h"
#include "scratchfolder.h"

using kivo::lists::CCdDisc;
using kivo::lists::readCdDisc;
using kivo::test::writeCdImage;

TEST(CdDisc, ReadsTheTracksAndLengthsOfAnAudioImage) {
    const CScratchFolder folder;
    const std::string cue =
        writeCdImage(folder.path(), "tones", {{3.0, 440}, {4.5, 660}, {2.0, 880}});
    const CCdDisc disc = readCdDisc(cue);
    ASSERT_EQ(disc.status, CCdDisc::kReady) << disc.error;
    ASSERT_EQ(disc.tracks.size(), 3u);
    EXPECT_EQ(disc.tracks[0].number, 1);
    EXPECT_EQ(disc.tracks[0].startSector, 0);
    EXPECT_EQ(disc.tracks[1].startSector, 225);
    EXPECT_EQ(disc.tracks[2].startSector, 225 + 338);
    // Whole seconds: 4.5 s is 4 s, as minutes and seconds of the track length give it.
    EXPECT_EQ(disc.tracks[0].lengthSeconds(), 3);
    EXPECT_EQ(disc.tracks[1].lengthSeconds(), 4);
    EXPECT_EQ(disc.tracks[2].lengthSeconds(), 2);
    EXPECT_TRUE(disc.tracks[2].audio);
    EXPECT_EQ(disc.track(2), &disc.tracks[1]);
    EXPECT_EQ(disc.track(4), nullptr);
}

TEST(CdDisc, ADataDiscIsNoAudioCd) {
    const CScratchFolder folder;
    const CCdDisc disc = readCdDisc(writeCdImage(folder.path(), "data", {{2.0, 0}}));
    EXPECT_EQ(disc.status, CCdDisc::kNoAudio);
    EXPECT_FALSE(disc.isReady());
}

TEST(CdDisc, MissingOrEmptySourcesAreNoDisc) {
    const CScratchFolder folder;
    EXPECT_EQ(readCdDisc(folder / "absent.cue").status, CCdDisc::kNoDisc);
    EXPECT_EQ(readCdDisc("").status, CCdDisc::kNoDisc);
    std::ofstream(folder / "empty.bin") << "";
    std::ofstream(folder / "empty.cue") << "FILE \"empty.bin\" BINARY\n";
    EXPECT_EQ(readCdDisc(folder / "empty.cue").status, CCdDisc::kNoDisc);
    std::ofstream(folder / "garbage.cue") << "TRACK banana\n\x01\x02 INDEX 99:99:99\n";
    EXPECT_EQ(readCdDisc(folder / "garbage.cue").status, CCdDisc::kNoDisc);
}

TEST(CdDisc, ABinShorterThanItsSheetGivesEmptyTracksInsteadOfNegativeOnes) {
    const CScratchFolder folder;
    // The last track's data is cut away entirely and then some of the one before.
    const std::string cue =
        writeCdImage(folder.path(), "short", {{2.0, 440}, {2.0, 660}, {1.0, 880}}, 75 + 40);
    const CCdDisc disc = readCdDisc(cue);
    for (const kivo::lists::CCdTrack &track : disc.tracks) {
        EXPECT_GE(track.sectors, 0) << "track " << track.number;
        EXPECT_GE(track.lengthSeconds(), 0);
    }
    if (!disc.tracks.empty()) {
        EXPECT_EQ(disc.tracks.back().lengthSeconds(), 0);
    }
}

TEST(CdDisc, NinetyNineTracksAreAllListed) {
    const CScratchFolder folder;
    const std::vector<kivo::test::CImageTrack> tracks(99, {0.2, 500});
    const CCdDisc disc = readCdDisc(writeCdImage(folder.path(), "many", tracks));
    ASSERT_EQ(disc.status, CCdDisc::kReady) << disc.error;
    ASSERT_EQ(disc.tracks.size(), 99u);
    EXPECT_EQ(disc.tracks.back().number, 99);
}

TEST(CdDisc, TheNamedSourceWinsOverTheDrivesFound) {
    EXPECT_EQ(kivo::lists::findCdSource("/some/disc.cue"), "/some/disc.cue");
}

TEST(CdDisc, DoorCommandsOnAnImageFailWithLibcdiosReason) {
    const CScratchFolder folder;
    const std::string cue = writeCdImage(folder.path(), "door", {{1.0, 440}});
    std::string error;
    EXPECT_EQ(kivo::lists::closeCdDoor(cue, error), 0);
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_EQ(kivo::lists::openCdDoor(folder / "absent.cue", error), 0);
    EXPECT_FALSE(error.empty());
}
