#include "imaging/dibrows.h"

#include <array>
#include <cstddef>

#include "imaging/luminance.h"

namespace kivo::dibrows {

namespace {

template <int kBytesPerPixel>
void greyOfTrueColor(const uint8_t *source, uint8_t *grey, int width) {
    for (int x = 0; x < width; ++x, source += kBytesPerPixel) {
        grey[x] = static_cast<uint8_t>(luminance::fromRgb(source[2], source[1], source[0]));
    }
}

}  // namespace

void greyPicture(const uint8_t *source, int sourceStride, int bits, const uint8_t *table, int width,
                 int height, uint8_t *grey, int greyStride) {
    // At 8 bits and fewer every pixel is one of at most 256 table colours: grade them once.
    std::array<uint8_t, 256> indexGrey{};
    if (bits <= 8) {
        const unsigned entries = 1u << bits;
        for (unsigned i = 0; i < entries; ++i) {
            indexGrey[i] = static_cast<uint8_t>(luminance::fromColor(tableColor(table, i)));
        }
    }
    for (int k = 0; k < height; ++k) {
        const uint8_t *row = source + static_cast<ptrdiff_t>(k) * sourceStride;
        uint8_t *out = grey + static_cast<ptrdiff_t>(k) * greyStride;
        switch (bits) {
            case 24:
                greyOfTrueColor<3>(row, out, width);
                break;
            case 32:
                greyOfTrueColor<4>(row, out, width);
                break;
            case 16:
                for (int x = 0; x < width; ++x) {
                    out[x] = static_cast<uint8_t>(luminance::fromColor(color555(row + 2 * x)));
                }
                break;
            case 8:
                for (int x = 0; x < width; ++x) {
                    out[x] = indexGrey[row[x]];
                }
                break;
            default:
                for (int x = 0; x < width; ++x) {
                    out[x] = indexGrey[indexInRow(row, x, bits)];
                }
                break;
        }
    }
}

void sampleRow(const uint8_t *source, int bits, const uint8_t *table, const int *columns, int width,
               uint8_t *destination) {
    if (bits == 24 || bits == 32) {
        const int bytesPerPixel = bits / 8;
        for (int j = 0; j < width; ++j, destination += 3) {
            const uint8_t *p = source + static_cast<ptrdiff_t>(columns[j]) * bytesPerPixel;
            destination[0] = p[0];
            destination[1] = p[1];
            destination[2] = p[2];
        }
        return;
    }
    for (int j = 0; j < width; ++j, destination += 3) {
        const uint32_t color = colorInRow(source, columns[j], bits, table);
        destination[0] = static_cast<uint8_t>(color);
        destination[1] = static_cast<uint8_t>(color >> 8);
        destination[2] = static_cast<uint8_t>(color >> 16);
    }
}

void rgbRow(const uint8_t *source, int bits, const uint8_t *table, int width, uint8_t *rgb) {
    if (bits == 24) {
        for (int x = 0; x < width; ++x, source += 3, rgb += 3) {
            rgb[0] = source[2];
            rgb[1] = source[1];
            rgb[2] = source[0];
        }
        return;
    }
    for (int x = 0; x < width; ++x, rgb += 3) {
        const uint32_t color = colorInRow(source, x, bits, table);
        rgb[0] = static_cast<uint8_t>(color >> 16);
        rgb[1] = static_cast<uint8_t>(color >> 8);
        rgb[2] = static_cast<uint8_t>(color);
    }
}

}  // namespace kivo::dibrows
