#include "player/lists/playlistfile.h"

#include <optional>

#include "platform/atomicfile.h"
#include "platform/binarystream.h"
#include "player/lists/pathtext.h"

namespace kivo::lists {

bool readPlaylist(std::span<const uint8_t> bytes, CPlaylist &playlist) {
    CBinaryReader reader(bytes);
    const uint32_t count = reader.readU32();
    if (!reader.ok()) {
        return false;
    }
    // No up-front reservation from the count: an absurd count fails at the first missing text.
    for (uint32_t i = 0; i < count; ++i) {
        std::string path;
        if (!readPathText(reader, path)) {
            return false;
        }
        playlist.append(std::move(path));
    }
    return true;
}

std::vector<uint8_t> playlistBytes(const CPlaylist &playlist) {
    CBinaryWriter writer;
    writer.writeU32(static_cast<uint32_t>(playlist.size()));
    for (const CPlaylistEntry &entry : playlist.entries()) {
        writePathText(writer, entry.path());
    }
    return writer.take();
}

int loadPlaylistFile(const std::string &path, CPlaylist &playlist) {
    const std::optional<std::vector<uint8_t>> bytes = readWholeFile(path);
    return bytes && readPlaylist(*bytes, playlist) ? 1 : 0;
}

int savePlaylistFile(const std::string &path, const CPlaylist &playlist) {
    return writeFileAtomically(path, playlistBytes(playlist));
}

}  // namespace kivo::lists
