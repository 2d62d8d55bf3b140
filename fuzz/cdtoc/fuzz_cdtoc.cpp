// Any byte string read as the CUE sheet of a disc image (beside a BIN of ten seconds of sound)
// gives a disc without negative track lengths, whatever libcdio makes of the sheet, and a disc
// called ready has tracks.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "player/lists/cddisc.h"

namespace {

const std::filesystem::path &folder() {
    static const std::filesystem::path path = [] {
        const auto made = std::filesystem::temp_directory_path() /
                          ("kivo-fuzz-cdtoc-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        std::ofstream(made / "disc.bin", std::ios::binary)
            << std::string(size_t(10 * 75 * 2352), '\x11');
        return made;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::filesystem::path cue = folder() / "disc.cue";
    std::ofstream(cue, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(data), std::streamsize(size));
    const kivo::lists::CCdDisc disc = kivo::lists::readCdDisc(cue.string());
    for (const kivo::lists::CCdTrack &track : disc.tracks) {
        if (track.sectors < 0 || track.lengthSeconds() < 0) {
            std::abort();
        }
    }
    if (disc.isReady() && disc.tracks.empty()) {
        std::abort();
    }
    return 0;
}
