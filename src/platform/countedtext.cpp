#include "platform/countedtext.h"

#include "platform/cp949.h"

namespace kivo {
namespace {

constexpr uint16_t kWideMarker = 0xFFFE;

void writeLength(CBinaryWriter &writer, size_t length) {
    if (length < 0xFF) {
        writer.writeU8(static_cast<uint8_t>(length));
    } else if (length < kWideMarker) {
        writer.writeU8(0xFF);
        writer.writeU16(static_cast<uint16_t>(length));
    } else {
        writer.writeU8(0xFF);
        writer.writeU16(0xFFFF);
        writer.writeU32(static_cast<uint32_t>(length));
    }
}

// Reads the length that follows a first byte of 0xFF; sets `wide` on the 16-bit marker.
uint64_t readLongLength(CBinaryReader &reader, bool &wide) {
    uint16_t word = reader.readU16();
    if (word == kWideMarker && !wide) {
        wide = true;
        const uint8_t byte = reader.readU8();
        if (byte < 0xFF) {
            return byte;
        }
        word = reader.readU16();
    }
    if (word < 0xFFFF) {
        return word;
    }
    const uint32_t dword = reader.readU32();
    if (dword < 0xFFFFFFFFu) {
        return dword;
    }
    return reader.readU64();
}

}  // namespace

void writeCountedText(CBinaryWriter &writer, const std::string &utf8) {
    if (const std::optional<std::string> narrow = utf8ToCp949(utf8)) {
        writeLength(writer, narrow->size());
        writer.writeBytes(narrow->data(), narrow->size());
        return;
    }
    writeWideCountedText(writer, utf8);
}

void writeWideCountedText(CBinaryWriter &writer, const std::string &utf8) {
    const std::u16string wide = utf8ToUtf16(utf8);
    writer.writeU8(0xFF);
    writer.writeU16(kWideMarker);
    writeLength(writer, wide.size());
    for (const char16_t unit : wide) {
        writer.writeU16(static_cast<uint16_t>(unit));
    }
}

bool readCountedText(CBinaryReader &reader, std::string &utf8) {
    bool wide = false;
    const uint8_t lead = reader.readU8();
    const uint64_t length = lead < 0xFF ? lead : readLongLength(reader, wide);
    const uint64_t bytes = wide ? length * 2 : length;
    if (!reader.ok() || length > reader.remaining() || bytes > reader.remaining()) {
        reader.fail();
        return false;
    }
    const std::span<const uint8_t> data = reader.readBytes(static_cast<size_t>(bytes));
    if (wide) {
        std::u16string units(static_cast<size_t>(length), u'\0');
        for (size_t i = 0; i < units.size(); ++i) {
            units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        }
        utf8 = utf16ToUtf8(units);
    } else {
        utf8 =
            cp949ToUtf8(std::string_view(reinterpret_cast<const char *>(data.data()), data.size()));
    }
    return true;
}

}  // namespace kivo
