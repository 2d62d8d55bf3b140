#include "player/lists/foundfiles.h"

#include <algorithm>
#include <optional>

#include "platform/atomicfile.h"
#include "platform/binarystream.h"
#include "player/lists/pathtext.h"

namespace kivo::lists {
namespace {

constexpr uint64_t kLargestStoredLength = 0xFFFFFFFFu;

}  // namespace

bool readFoundFiles(std::span<const uint8_t> bytes, std::vector<CFoundFile> &files) {
    CBinaryReader reader(bytes);
    const uint32_t count = reader.readU32();
    if (!reader.ok()) {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        CFoundFile file;
        if (!readPathText(reader, file.name) || !readPathText(reader, file.creationDate) ||
            !readPathText(reader, file.path)) {
            return false;
        }
        file.length = reader.readU32();
        if (!reader.ok()) {
            return false;
        }
        files.push_back(std::move(file));
    }
    return true;
}

std::vector<uint8_t> foundFilesBytes(const std::vector<CFoundFile> &files) {
    CBinaryWriter writer;
    writer.writeU32(static_cast<uint32_t>(files.size()));
    for (const CFoundFile &file : files) {
        writePathText(writer, file.name);
        writePathText(writer, file.creationDate);
        writePathText(writer, file.path);
        writer.writeU32(static_cast<uint32_t>(std::min(file.length, kLargestStoredLength)));
    }
    return writer.take();
}

int loadFoundFilesFile(const std::string &path, std::vector<CFoundFile> &files) {
    const std::optional<std::vector<uint8_t>> bytes = readWholeFile(path);
    return bytes && readFoundFiles(*bytes, files) ? 1 : 0;
}

int saveFoundFilesFile(const std::string &path, const std::vector<CFoundFile> &files) {
    return writeFileAtomically(path, foundFilesBytes(files));
}

}  // namespace kivo::lists
