#pragma once

#include <string>
#include <vector>

// The table of contents of an audio CD in a drive or in a BIN/CUE image, read through libcdio.
// Reading may take seconds on a drive that spins up, so callers run it off the GUI thread; every
// function here is safe on any thread (each opens its own libcdio handle).
namespace kivo::lists {

inline constexpr int kCdSectorsPerSecond = 75;

struct CCdTrack {
    int number = 0;
    bool audio = false;
    // Sectors from the disc's first track, and the track's sector count (0 when the image's
    // data ends before the track does).
    long startSector = 0;
    long sectors = 0;

    // Whole seconds, as minutes × 60 + seconds of the track's length.
    int lengthSeconds() const { return int(sectors / kCdSectorsPerSecond); }
    double startSeconds() const { return double(startSector) / kCdSectorsPerSecond; }
    bool operator==(const CCdTrack &) const = default;
};

struct CCdDisc {
    enum EStatus { kNoDisc, kNoAudio, kReady };

    EStatus status = kNoDisc;
    // The drive or image it was read from.
    std::string source;
    std::vector<CCdTrack> tracks;
    // libcdio's complaint when the disc could not be read.
    std::string error;

    bool isReady() const { return status == kReady; }
    // The track of this number, or null.
    const CCdTrack *track(int number) const;
    bool operator==(const CCdDisc &) const = default;
};

// The source to use: `named` (a device or a .cue image, from the environment or the settings)
// when not empty, else the first CD drive libcdio finds; empty when there is none.
std::string findCdSource(const std::string &named);

// Reads the disc. kReady when it opens, has tracks and its first track is audio.
CCdDisc readCdDisc(const std::string &source);

// The drive's door; 0 when the drive (or an image) cannot do it, error says libcdio's reason.
int openCdDoor(const std::string &source, std::string &error);
int closeCdDoor(const std::string &source, std::string &error);

}  // namespace kivo::lists
