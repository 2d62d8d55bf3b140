// Any byte string read as a playlist file keeps the entries before any damage, and those
// entries, written out, read back whole as the same paths and write out the same bytes again.

#include <cstdlib>

#include "player/lists/playlistfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    kivo::lists::CPlaylist playlist;
    kivo::lists::readPlaylist({data, size}, playlist);
    const std::vector<uint8_t> written = kivo::lists::playlistBytes(playlist);
    kivo::lists::CPlaylist reread;
    if (!kivo::lists::readPlaylist(written, reread) || reread.entries() != playlist.entries() ||
        kivo::lists::playlistBytes(reread) != written) {
        std::abort();
    }
    return 0;
}
