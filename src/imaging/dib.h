#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One entry of a picture's colour table as red, green and blue.
struct CPaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const CPaletteEntry &, const CPaletteEntry &) = default;
};

// The picture type of both programs: a packed device-independent bitmap kept in one block,
// laid out as Windows expects it (40-byte BITMAPINFOHEADER, RGBQUAD colour table of 2, 16 or 256
// entries for 1, 4 and 8 bits per pixel, then the pixel rows bottom-up, each padded to 4 bytes).
// Frames from the grabber, thumbnails, saved stills and the grey analysis frames are all CDibs.
//
// Coordinates count from the top-left corner; colours are 0x00RRGGBB. Operations on an empty
// picture do nothing and report failure (0, null or an empty result).
class CDib {
public:
    static constexpr int kHeaderSize = 40;
    // The stride is a 16-bit quantity; a longer row is refused rather than wrapped, since a
    // wrapped stride would address the wrong rows.
    static constexpr int kMaxStride = 0xFFFF;
    // Refuses blocks larger than this so that an absurd header cannot ask for gigabytes.
    static constexpr size_t kMaxBlockSize = size_t{1} << 30;

    CDib() = default;
    CDib(const CDib &other) = default;
    CDib &operator=(const CDib &other) = default;
    CDib(CDib &&other) noexcept;
    CDib &operator=(CDib &&other) noexcept;
    ~CDib() = default;

    // A zero-filled picture of 1, 4, 8, 16, 24 or 32 bits per pixel. 1 on success; 0 (and
    // empty) for a size or depth that cannot be held.
    int createBlank(int width, int height, int bits);
    // createBlank for a caller that writes every pixel itself: only the header, the colour
    // table and the row padding are zeroed, so a large picture costs no fill it does not need.
    int createForOverwrite(int width, int height, int bits);
    // Copies a packed DIB (header, colour table, rows). The header is checked before anything is
    // read past it, and no byte beyond block + size is touched: a header size other than 40,
    // compressed or top-down rows, an unknown depth, an absurd size or a block shorter than the
    // header describes is refused. 1 on success; 0 and empty otherwise.
    int createFromPackedDib(const uint8_t *block, size_t size);

    bool isEmpty() const { return m_block.empty(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitCount() const { return m_bits; }
    uint32_t numColors() const;
    int stride() const { return m_stride; }

    // The packed DIB (null when empty) and its size in bytes.
    const uint8_t *block() const { return isEmpty() ? nullptr : m_block.data(); }
    size_t blockSize() const { return m_block.size(); }
    // RGBQUAD entries (blue, green, red, 0); null without a table.
    uint8_t *colorTable();
    const uint8_t *colorTable() const;
    // The first stored row, which is the bottom row of the picture.
    uint8_t *bits();
    const uint8_t *bits() const;

    // The byte holding pixel (x, y); null outside the picture.
    uint8_t *pixelAddress(int x, int y);
    const uint8_t *pixelAddress(int x, int y) const;
    // 0x00RRGGBB of pixel (x, y), through the colour table at 8 bits and fewer; 0 outside.
    uint32_t colorAt(int x, int y) const;
    // trunc(0.299 R + 0.587 G + 0.114 B + 0.5) of pixel (x, y); 0 outside.
    int luminanceAt(int x, int y) const;

    // An 8-bit picture with a grey-ramp table holding the luminance of every pixel.
    std::unique_ptr<CDib> greyCopy() const;
    // A 24-bit nearest-neighbour copy of the given size; a height of 0 keeps the aspect ratio.
    std::unique_ptr<CDib> resized(int width, int height) const;
    // The colour table as RGB entries (2, 16 or 256); empty above 8 bits per pixel.
    std::vector<CPaletteEntry> palette() const;

    // The picture as a complete BMP file; empty when the picture is empty.
    std::vector<uint8_t> bmpFileImage() const;

    // Writes by the extension of the path (".bmp", ".jpg" in colour at quality 75, ".gif",
    // without regard to case); any other extension writes nothing. 1 on success, else 0.
    int save(const std::string &path) const;
    int saveAsBmp(const std::string &path) const;
    // Only 24-bit pictures; colour 0 writes a greyscale JPEG. quality is 0..100.
    int saveAsJpeg(const std::string &path, int colour, int quality) const;
    // 8-bit pictures keep their table; 24- and 32-bit pictures are written as their grey copy.
    int saveAsGif(const std::string &path) const;

private:
    void clear();
    int adoptLayout(int width, int height, int bits, bool zeroed);
    void writeHeader();

    // Bytes the vector makes are left as they are: the creating code decides what to zero.
    template <typename T>
    struct UninitialisedAllocator : std::allocator<T> {
        template <typename U>
        struct rebind {
            using other = UninitialisedAllocator<U>;
        };
        UninitialisedAllocator() = default;
        template <typename U>
        explicit UninitialisedAllocator(const UninitialisedAllocator<U> &) noexcept {}
        template <typename U>
        void construct(U *place) noexcept {
            ::new (static_cast<void *>(place)) U;
        }
        template <typename U, typename... Arguments>
        void construct(U *place, Arguments &&...arguments) {
            ::new (static_cast<void *>(place)) U(std::forward<Arguments>(arguments)...);
        }
    };

    std::vector<uint8_t, UninitialisedAllocator<uint8_t>> m_block;
    int m_width = 0;
    int m_height = 0;
    int m_bits = 0;
    int m_stride = 0;
    int m_tableEntries = 0;
};
