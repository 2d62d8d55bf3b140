#pragma once

#include <cstdint>
#include <string>

namespace kivo {

// Compresses width x height pixels given as red, green, blue triplets, top row first, into a
// baseline JPEG file. colour 0 writes a one-component greyscale file. quality is 0..100.
// 1 on success; on failure 0 after "JpegFile :\nCan't open %s\n" or "Memory error" has been
// shown where those apply (a library error is logged with the library's own text).
int writeJpeg(const std::string &path, const uint8_t *rgb, int width, int height, int colour,
              int quality);

}  // namespace kivo
