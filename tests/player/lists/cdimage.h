#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// Writes BIN/CUE images of audio CDs: raw 2352-byte sectors of 16-bit stereo tones at 44.1 kHz
// and a CUE sheet, as a disc-ripping tool leaves them. libcdio's image driver reads them like a
// drive.
namespace kivo::test {

inline constexpr int kSectorBytes = 2352;
inline constexpr int kSectorsPerSecond = 75;

struct CImageTrack {
    double seconds;
    double toneHz;  // 0: a data track (mode 1 sectors of zeros)
};

// Writes `<folder>/<name>.bin` and `.cue`; returns the .cue path. binSectorsMissing cuts the
// BIN short of what the CUE sheet describes.
inline std::string writeCdImage(const std::string &folder, const std::string &name,
                                const std::vector<CImageTrack> &tracks, int binSectorsMissing = 0) {
    const std::string bin = folder + "/" + name + ".bin";
    const std::string cue = folder + "/" + name + ".cue";
    std::vector<char> data;
    std::string sheet = "FILE \"" + name + ".bin\" BINARY\n";
    for (size_t i = 0; i < tracks.size(); ++i) {
        const long start = long(data.size() / kSectorBytes);
        char index[64];
        std::snprintf(index, sizeof index, "    INDEX 01 %02ld:%02ld:%02ld\n",
                      start / (60 * kSectorsPerSecond), start / kSectorsPerSecond % 60,
                      start % kSectorsPerSecond);
        char header[64];
        std::snprintf(header, sizeof header, "  TRACK %02zu %s\n", i + 1,
                      tracks[i].toneHz > 0 ? "AUDIO" : "MODE1/2352");
        sheet += header;
        sheet += index;
        const long sectors = std::lround(tracks[i].seconds * kSectorsPerSecond);
        const long frames = sectors * kSectorBytes / 4;
        for (long frame = 0; frame < frames; ++frame) {
            const double phase = 2 * M_PI * tracks[i].toneHz * double(frame) / 44100.0;
            const auto sample =
                tracks[i].toneHz > 0 ? int16_t(std::lround(8000 * std::sin(phase))) : int16_t(0);
            for (int channel = 0; channel < 2; ++channel) {
                data.push_back(char(sample & 0xFF));
                data.push_back(char((sample >> 8) & 0xFF));
            }
        }
    }
    data.resize(data.size() - std::min(data.size(), size_t(binSectorsMissing) * kSectorBytes));
    std::ofstream(bin, std::ios::binary).write(data.data(), std::streamsize(data.size()));
    std::ofstream(cue) << sheet;
    return cue;
}

}  // namespace kivo::test
