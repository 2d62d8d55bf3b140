#pragma once

#include <cstdint>

// Row-at-a-time pixel work on the stored rows of a packed DIB. The depth is chosen once per row;
// the per-pixel loops below are inline and allocation-free.
namespace kivo::dibrows {

// The RGBQUAD entry at index as 0x00RRGGBB.
inline uint32_t tableColor(const uint8_t *table, unsigned index) {
    const uint8_t *quad = table + 4 * index;
    return uint32_t{quad[2]} << 16 | uint32_t{quad[1]} << 8 | quad[0];
}

// The colour table index of pixel x in a row of 1, 4 or 8 bits per pixel.
inline unsigned indexInRow(const uint8_t *row, int x, int bits) {
    switch (bits) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        default:
            return row[x];
    }
}

// 5-5-5 components widened to 8 bits by shifting left by 3.
inline uint32_t color555(const uint8_t *pixel) {
    const unsigned v = pixel[0] | pixel[1] << 8;
    return ((v >> 10) & 0x1Fu) << 19 | ((v >> 5) & 0x1Fu) << 11 | (v & 0x1Fu) << 3;
}

// 0x00RRGGBB of pixel x in a row of the given depth; table is the colour table (8 bits and fewer).
inline uint32_t colorInRow(const uint8_t *row, int x, int bits, const uint8_t *table) {
    switch (bits) {
        case 16:
            return color555(row + 2 * x);
        case 24: {
            const uint8_t *p = row + 3 * x;
            return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
        }
        case 32: {
            const uint8_t *p = row + 4 * x;
            return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
        }
        default:
            return tableColor(table, indexInRow(row, x, bits));
    }
}

// Writes the luminance of every pixel of a picture into an 8-bit picture of the same size; both
// are given by their first stored row and stride.
void greyPicture(const uint8_t *source, int sourceStride, int bits, const uint8_t *table, int width,
                 int height, uint8_t *grey, int greyStride);

// Fills a 24-bit row (blue, green, red) with the source pixels at the given columns.
void sampleRow(const uint8_t *source, int bits, const uint8_t *table, const int *columns, int width,
               uint8_t *destination);

// Writes width pixels of a source row as red, green, blue triplets.
void rgbRow(const uint8_t *source, int bits, const uint8_t *table, int width, uint8_t *rgb);

}  // namespace kivo::dibrows
