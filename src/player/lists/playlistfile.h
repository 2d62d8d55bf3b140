#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "player/lists/playlist.h"

// The playlist file (.mpl): a little-endian 32-bit entry count, then each entry's path as a
// counted text. Only paths are stored; kinds follow from them.
namespace kivo::lists {

// Appends the entries of an .mpl image to `playlist`. A truncated or damaged image stops the
// reading and keeps the entries read so far; true when every entry was read.
bool readPlaylist(std::span<const uint8_t> bytes, CPlaylist &playlist);
std::vector<uint8_t> playlistBytes(const CPlaylist &playlist);

// The same over files. Loading appends; 1 when the whole file was read, 0 when it could not be
// opened or was damaged (the entries before the damage are kept). Saving replaces the file
// atomically: 1 on success, 0 on failure (the old file untouched).
int loadPlaylistFile(const std::string &path, CPlaylist &playlist);
int savePlaylistFile(const std::string &path, const CPlaylist &playlist);

}  // namespace kivo::lists
