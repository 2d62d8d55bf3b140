#include "imaging/gifwriter.h"

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/atomicfile.h"

namespace kivo {

namespace {

constexpr int kInitialBits = 9;
constexpr int kMaxBits = 12;
constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kFirstFreeCode = 258;
constexpr int kCodeLimit = 1 << kMaxBits;
constexpr int kHashSize = 5003;
constexpr int kHashShift = 4;
constexpr size_t kSubBlockSize = 254;

// Packs codes least-significant bit first into bytes and the bytes into length-prefixed
// sub-blocks, all gathered in memory.
class CCodePacker {
public:
    explicit CCodePacker(std::vector<uint8_t> &out) : m_out(out) {}

    void put(int code, int bits) {
        m_accumulator |= static_cast<uint32_t>(code) << m_pending;
        m_pending += bits;
        while (m_pending >= 8) {
            putByte(static_cast<uint8_t>(m_accumulator));
            m_accumulator >>= 8;
            m_pending -= 8;
        }
    }

    void finish() {
        if (m_pending > 0) {
            putByte(static_cast<uint8_t>(m_accumulator));
        }
        m_accumulator = 0;
        m_pending = 0;
        flushBlock();
    }

private:
    void putByte(uint8_t byte) {
        m_block[m_blockLength++] = byte;
        if (m_blockLength >= kSubBlockSize) {
            flushBlock();
        }
    }

    void flushBlock() {
        if (m_blockLength == 0) {
            return;
        }
        m_out.push_back(static_cast<uint8_t>(m_blockLength));
        m_out.insert(m_out.end(), m_block.begin(), m_block.begin() + m_blockLength);
        m_blockLength = 0;
    }

    std::vector<uint8_t> &m_out;
    std::array<uint8_t, kSubBlockSize> m_block{};
    size_t m_blockLength = 0;
    uint32_t m_accumulator = 0;
    int m_pending = 0;
};

// LZW with variable code width (9..12 bits). Strings are found through an open-addressing hash
// of 5003 entries keyed by (pixel << 12) + prefix code.
class CLzwEncoder {
public:
    explicit CLzwEncoder(CCodePacker &packer) : m_packer(packer) { m_keys.fill(kEmpty); }

    void encode(const CGifPicture &picture) {
        output(kClearCode);
        int prefix = -1;
        const uint8_t *row = picture.topRow;
        for (int y = 0; y < picture.height; ++y, row += picture.rowStep) {
            for (int x = 0; x < picture.width; ++x) {
                const int pixel = row[x];
                if (prefix < 0) {
                    prefix = pixel;
                    continue;
                }
                prefix = extend(prefix, pixel);
            }
        }
        output(prefix);
        output(kEndCode);
        m_packer.finish();
    }

private:
    static constexpr int32_t kEmpty = -1;

    // The code for prefix + pixel when the table knows it; otherwise writes prefix, enters the
    // new string and returns pixel as the start of the next one.
    int extend(int prefix, int pixel) {
        const int32_t key = (static_cast<int32_t>(pixel) << kMaxBits) + prefix;
        int slot = (pixel << kHashShift) ^ prefix;
        if (m_keys[slot] != kEmpty) {
            const int step = slot == 0 ? 1 : kHashSize - slot;
            while (m_keys[slot] != kEmpty) {
                if (m_keys[slot] == key) {
                    return m_codes[slot];
                }
                slot -= step;
                if (slot < 0) {
                    slot += kHashSize;
                }
            }
        }
        output(prefix);
        if (m_nextCode < kCodeLimit) {
            m_codes[slot] = static_cast<uint16_t>(m_nextCode++);
            m_keys[slot] = key;
        } else {
            m_keys.fill(kEmpty);
            m_nextCode = kFirstFreeCode;
            m_restartWidth = true;
            output(kClearCode);
        }
        return pixel;
    }

    void output(int code) {
        m_packer.put(code, m_bits);
        if (m_restartWidth) {
            m_bits = kInitialBits;
            m_maxCode = (1 << m_bits) - 1;
            m_restartWidth = false;
        } else if (m_nextCode > m_maxCode) {
            ++m_bits;
            m_maxCode = m_bits == kMaxBits ? kCodeLimit : (1 << m_bits) - 1;
        }
    }

    CCodePacker &m_packer;
    std::array<int32_t, kHashSize> m_keys{};
    std::array<uint16_t, kHashSize> m_codes{};
    int m_nextCode = kFirstFreeCode;
    int m_bits = kInitialBits;
    int m_maxCode = (1 << kInitialBits) - 1;
    bool m_restartWidth = false;
};

void putWord(std::vector<uint8_t> &out, int value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

int writeGif(const std::string &path, const CGifPicture &picture, std::string &status) {
    status = "No Error";
    // The format stores sizes in 16 bits; a larger picture cannot be written faithfully.
    if (picture.topRow == nullptr || picture.red == nullptr || picture.green == nullptr ||
        picture.blue == nullptr || picture.width <= 0 || picture.height <= 0 ||
        picture.width > 0xFFFF || picture.height > 0xFFFF) {
        status = "Write Error in GIF file";
        return 0;
    }
    kivo::CReplacingFile output(path);
    FILE *file = output.open();
    if (file == nullptr) {
        status = "Can't open GIF for writing";
        return 0;
    }

    std::vector<uint8_t> data;
    data.reserve(static_cast<size_t>(picture.width) * picture.height / 2 + 1024);
    const char signature[] = "GIF87a";
    data.insert(data.end(), signature, signature + 6);
    putWord(data, picture.width);
    putWord(data, picture.height);
    data.push_back(0xE7);
    data.push_back(static_cast<uint8_t>(picture.background));
    data.push_back(0x00);
    for (int i = 0; i < 256; ++i) {
        data.push_back(picture.red[i]);
        data.push_back(picture.green[i]);
        data.push_back(picture.blue[i]);
    }
    data.push_back(',');
    putWord(data, 0);
    putWord(data, 0);
    putWord(data, picture.width);
    putWord(data, picture.height);
    data.push_back(0x00);
    data.push_back(0x08);

    CCodePacker packer(data);
    auto encoder = std::make_unique<CLzwEncoder>(packer);
    encoder->encode(picture);

    data.push_back(0x00);
    data.push_back(';');
    if (std::fwrite(data.data(), 1, data.size(), file) != data.size() || !output.commit()) {
        status = "Write Error in GIF file";
        return 0;
    }
    return 1;
}

}  // namespace kivo
