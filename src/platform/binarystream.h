#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

// Little-endian binary streams over memory, as the system's files are laid out.
namespace kivo {

// Reads from a block it does not own. The first read past the end marks the reader failed;
// every later read returns zeros, so a caller checks ok() once after a record.
class CBinaryReader {
public:
    explicit CBinaryReader(std::span<const uint8_t> data) : m_data(data) {}

    bool ok() const { return !m_failed; }
    void fail() { m_failed = true; }
    size_t remaining() const { return m_failed ? 0 : m_data.size() - m_pos; }
    size_t position() const { return m_pos; }

    uint8_t readU8() { return readScalar<uint8_t>(); }
    uint16_t readU16() { return readScalar<uint16_t>(); }
    uint32_t readU32() { return readScalar<uint32_t>(); }
    uint64_t readU64() { return readScalar<uint64_t>(); }
    int32_t readI32() { return readScalar<int32_t>(); }
    double readF64() { return readScalar<double>(); }

    // The next `count` bytes, or an empty span (and failure) when fewer are left.
    std::span<const uint8_t> readBytes(size_t count) {
        if (count > remaining()) {
            m_failed = true;
            return {};
        }
        std::span<const uint8_t> bytes = m_data.subspan(m_pos, count);
        m_pos += count;
        return bytes;
    }

private:
    template <typename T>
    T readScalar() {
        static_assert(std::endian::native == std::endian::little, "little-endian host assumed");
        T value{};
        if (sizeof(T) > remaining()) {
            m_failed = true;
            return value;
        }
        std::memcpy(&value, m_data.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }

    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    bool m_failed = false;
};

// Appends to a growing byte block.
class CBinaryWriter {
public:
    void writeU8(uint8_t value) { m_data.push_back(value); }
    void writeU16(uint16_t value) { writeScalar(value); }
    void writeU32(uint32_t value) { writeScalar(value); }
    void writeI32(int32_t value) { writeScalar(value); }
    void writeF64(double value) { writeScalar(value); }
    void writeBytes(const void *bytes, size_t count) {
        if (count == 0) {
            return;
        }
        const size_t old = m_data.size();
        m_data.resize(old + count);
        std::memcpy(m_data.data() + old, bytes, count);
    }

    const std::vector<uint8_t> &data() const { return m_data; }
    std::vector<uint8_t> take() { return std::move(m_data); }

private:
    template <typename T>
    void writeScalar(T value) {
        writeBytes(&value, sizeof(T));
    }

    std::vector<uint8_t> m_data;
};

}  // namespace kivo
