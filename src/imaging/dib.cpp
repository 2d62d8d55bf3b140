#include "imaging/dib.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "imaging/dibrows.h"
#include "imaging/luminance.h"

namespace {

// BITMAPINFOHEADER field offsets.
constexpr size_t kOffSize = 0;
constexpr size_t kOffWidth = 4;
constexpr size_t kOffHeight = 8;
constexpr size_t kOffPlanes = 12;
constexpr size_t kOffBitCount = 14;
constexpr size_t kOffCompression = 16;

constexpr uint32_t kCompressionRgb = 0;

uint32_t readU32(const uint8_t *p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

int32_t readI32(const uint8_t *p) {
    return static_cast<int32_t>(readU32(p));
}

uint16_t readU16(const uint8_t *p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void writeU32(uint8_t *p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

void writeU16(uint8_t *p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

int tableEntriesFor(int bits) {
    switch (bits) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

bool isSupportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

struct Layout {
    int stride = 0;
    int tableEntries = 0;
    size_t blockSize = 0;
};

// The block layout for a picture, or false when the picture cannot be held.
bool layoutFor(int64_t width, int64_t height, int bits, Layout &layout) {
    if (width <= 0 || height <= 0 || !isSupportedDepth(bits)) {
        return false;
    }
    const int64_t stride = (width * bits + 31) / 32 * 4;
    if (stride > CDib::kMaxStride) {
        return false;
    }
    const int tableEntries = tableEntriesFor(bits);
    const uint64_t rowBytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    const uint64_t total = CDib::kHeaderSize + uint64_t{4} * tableEntries + rowBytes;
    if (total > CDib::kMaxBlockSize) {
        return false;
    }
    layout.stride = static_cast<int>(stride);
    layout.tableEntries = tableEntries;
    layout.blockSize = static_cast<size_t>(total);
    return true;
}

}  // namespace

CDib::CDib(CDib &&other) noexcept
    : m_block(std::move(other.m_block)),
      m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0)),
      m_bits(std::exchange(other.m_bits, 0)),
      m_stride(std::exchange(other.m_stride, 0)),
      m_tableEntries(std::exchange(other.m_tableEntries, 0)) {
    other.m_block.clear();
}

CDib &CDib::operator=(CDib &&other) noexcept {
    if (this != &other) {
        m_block = std::move(other.m_block);
        other.m_block.clear();
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_bits = std::exchange(other.m_bits, 0);
        m_stride = std::exchange(other.m_stride, 0);
        m_tableEntries = std::exchange(other.m_tableEntries, 0);
    }
    return *this;
}

void CDib::clear() {
    m_block = {};
    m_width = m_height = m_bits = m_stride = m_tableEntries = 0;
}

int CDib::adoptLayout(int width, int height, int bits, bool zeroed) {
    Layout layout;
    if (!layoutFor(width, height, bits, layout)) {
        return 0;
    }
    try {
        if (zeroed) {
            m_block.assign(layout.blockSize, 0);
        } else {
            m_block.resize(layout.blockSize);
        }
    } catch (const std::bad_alloc &) {
        clear();
        return 0;
    }
    m_width = width;
    m_height = height;
    m_bits = bits;
    m_stride = layout.stride;
    m_tableEntries = layout.tableEntries;
    return 1;
}

int CDib::createBlank(int width, int height, int bits) {
    clear();
    if (!adoptLayout(width, height, bits, true)) {
        return 0;
    }
    writeHeader();
    return 1;
}

int CDib::createForOverwrite(int width, int height, int bits) {
    clear();
    if (!adoptLayout(width, height, bits, false)) {
        return 0;
    }
    const size_t headerBytes = kHeaderSize + 4 * static_cast<size_t>(m_tableEntries);
    std::memset(m_block.data(), 0, headerBytes);
    uint8_t *rows = m_block.data() + headerBytes;
    const size_t rowBytes = (static_cast<size_t>(width) * static_cast<size_t>(bits) + 7) / 8;
    const auto stride = static_cast<size_t>(m_stride);
    if (rowBytes < stride) {
        for (int y = 0; y < height; ++y) {
            std::memset(rows + static_cast<size_t>(y) * stride + rowBytes, 0, stride - rowBytes);
        }
    }
    writeHeader();
    return 1;
}

void CDib::writeHeader() {
    uint8_t *header = m_block.data();
    writeU32(header + kOffSize, kHeaderSize);
    writeU32(header + kOffWidth, static_cast<uint32_t>(m_width));
    writeU32(header + kOffHeight, static_cast<uint32_t>(m_height));
    writeU16(header + kOffPlanes, 1);
    writeU16(header + kOffBitCount, static_cast<uint16_t>(m_bits));
}

int CDib::createFromPackedDib(const uint8_t *block, size_t size) {
    clear();
    if (block == nullptr || size < static_cast<size_t>(kHeaderSize)) {
        return 0;
    }
    if (readU32(block + kOffSize) != static_cast<uint32_t>(kHeaderSize) ||
        readU32(block + kOffCompression) != kCompressionRgb) {
        return 0;
    }
    const int32_t width = readI32(block + kOffWidth);
    const int32_t height = readI32(block + kOffHeight);
    const int bits = readU16(block + kOffBitCount);
    Layout layout;
    if (!layoutFor(width, height, bits, layout) || size < layout.blockSize) {
        return 0;
    }
    if (!adoptLayout(width, height, bits, false)) {
        return 0;
    }
    std::memcpy(m_block.data(), block, layout.blockSize);
    return 1;
}

uint32_t CDib::numColors() const {
    switch (m_bits) {
        case 16:
            return 65536;
        case 24:
        case 32:
            return 16777216;
        default:
            // A picture with a colour table has one colour per entry; any other depth has none.
            return static_cast<uint32_t>(tableEntriesFor(m_bits));
    }
}

uint8_t *CDib::colorTable() {
    return m_tableEntries == 0 ? nullptr : m_block.data() + kHeaderSize;
}

const uint8_t *CDib::colorTable() const {
    return m_tableEntries == 0 ? nullptr : m_block.data() + kHeaderSize;
}

uint8_t *CDib::bits() {
    return isEmpty() ? nullptr : m_block.data() + kHeaderSize + 4 * m_tableEntries;
}

const uint8_t *CDib::bits() const {
    return isEmpty() ? nullptr : m_block.data() + kHeaderSize + 4 * m_tableEntries;
}

uint8_t *CDib::pixelAddress(int x, int y) {
    return const_cast<uint8_t *>(std::as_const(*this).pixelAddress(x, y));
}

const uint8_t *CDib::pixelAddress(int x, int y) const {
    if (isEmpty() || x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return nullptr;
    }
    const size_t row = static_cast<size_t>(m_height - 1 - y) * static_cast<size_t>(m_stride);
    return bits() + row + static_cast<size_t>(x) * static_cast<size_t>(m_bits) / 8;
}

uint32_t CDib::colorAt(int x, int y) const {
    if (pixelAddress(x, y) == nullptr) {
        return 0;
    }
    const uint8_t *row = bits() + static_cast<size_t>(m_height - 1 - y) * m_stride;
    return kivo::dibrows::colorInRow(row, x, m_bits, colorTable());
}

int CDib::luminanceAt(int x, int y) const {
    if (pixelAddress(x, y) == nullptr) {
        return 0;
    }
    return kivo::luminance::fromColor(colorAt(x, y));
}

std::unique_ptr<CDib> CDib::greyCopy() const {
    if (isEmpty()) {
        return nullptr;
    }
    auto grey = std::make_unique<CDib>();
    if (!grey->createBlank(m_width, m_height, 8)) {
        return nullptr;
    }
    uint8_t *table = grey->colorTable();
    for (int i = 0; i < 256; ++i) {
        table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<uint8_t>(i);
    }
    kivo::dibrows::greyPicture(bits(), m_stride, m_bits, colorTable(), m_width, m_height,
                               grey->bits(), grey->stride());
    return grey;
}

std::unique_ptr<CDib> CDib::resized(int width, int height) const {
    if (isEmpty() || width <= 0 || height < 0) {
        return nullptr;
    }
    if (height == 0) {
        height = static_cast<int>(int64_t{width} * m_height / m_width);
    }
    auto result = std::make_unique<CDib>();
    if (!result->createBlank(width, height, 24)) {
        return nullptr;
    }
    std::vector<int> sourceColumns(static_cast<size_t>(width));
    const double columnRatio = static_cast<double>(m_width) / width;
    for (int j = 0; j < width; ++j) {
        sourceColumns[static_cast<size_t>(j)] =
            std::min(static_cast<int>(j * columnRatio + 0.5), m_width - 1);
    }
    const double rowRatio = static_cast<double>(m_height) / height;
    for (int i = 0; i < height; ++i) {
        const int sourceY = std::min(static_cast<int>(i * rowRatio + 0.5), m_height - 1);
        const uint8_t *sourceRow = bits() + static_cast<size_t>(m_height - 1 - sourceY) * m_stride;
        uint8_t *row = result->bits() + static_cast<size_t>(height - 1 - i) * result->stride();
        kivo::dibrows::sampleRow(sourceRow, m_bits, colorTable(), sourceColumns.data(), width, row);
    }
    return result;
}

std::vector<CPaletteEntry> CDib::palette() const {
    std::vector<CPaletteEntry> entries;
    const uint8_t *table = colorTable();
    if (table == nullptr) {
        return entries;
    }
    entries.reserve(static_cast<size_t>(m_tableEntries));
    for (int i = 0; i < m_tableEntries; ++i) {
        entries.push_back({table[4 * i + 2], table[4 * i + 1], table[4 * i]});
    }
    return entries;
}
