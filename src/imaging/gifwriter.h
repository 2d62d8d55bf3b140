#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kivo {

// The picture handed to the GIF writer: 8-bit colour indices, row by row from the top, plus the
// 256-entry colour table as separate red, green and blue arrays.
struct CGifPicture {
    const uint8_t *topRow = nullptr;
    // Distance in bytes from one row to the next one down (negative for bottom-up storage).
    ptrdiff_t rowStep = 0;
    int width = 0;
    int height = 0;
    int background = 0;
    const uint8_t *red = nullptr;
    const uint8_t *green = nullptr;
    const uint8_t *blue = nullptr;
};

// Writes a GIF87a file with one image, a global table of 256 colours and the program's LZW
// compressor. 1 on success; 0 with the reason in status ("Can't open GIF for writing",
// "Write Error in GIF file"). status starts as "No Error".
int writeGif(const std::string &path, const CGifPicture &picture, std::string &status);

}  // namespace kivo
