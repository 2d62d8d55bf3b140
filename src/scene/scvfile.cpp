#include "scene/scvfile.h"

#include "platform/atomicfile.h"
#include "platform/binarystream.h"
#include "platform/countedtext.h"
#include "scene/videodescription.h"

#include <algorithm>
#include <cstring>
#include <utility>

using kivo::CBinaryReader;
using kivo::CBinaryWriter;
using kivo::readCountedText;
using kivo::writeCountedText;

namespace {

constexpr char kHeaderText[] = "Video Description Ver. 2.02";

// Smallest encodings of the records, used to refuse counts that the remaining bytes cannot hold.
constexpr size_t kMinSceneInfoBytes = 2 + 8 + 8 + 4 + 8 + 3;
constexpr size_t kMinNodeBytes = 8 + 4 + 4 + 8 + kMinSceneInfoBytes + 4;
constexpr size_t kMinRepeatBytes = 4 + 1 + 8 + 8 + 4;
constexpr size_t kMinCaptionBytes = 8 + 1 + 1 + 4 + 8 + 3;
constexpr size_t kMinExtraBytes = 3 * 8 + 3;

bool readCount(CBinaryReader &reader, size_t minRecordBytes, size_t &count) {
    const int32_t value = reader.readI32();
    if (!reader.ok() || value < 0 ||
        static_cast<size_t>(value) > reader.remaining() / minRecordBytes) {
        reader.fail();
        return false;
    }
    count = static_cast<size_t>(value);
    return true;
}

void readSceneInfo(CBinaryReader &reader, CSceneInfo &info) {
    readCountedText(reader, info.title);
    readCountedText(reader, info.comment);
    info.reservedA = reader.readF64();
    info.reservedB = reader.readF64();
    info.reservedC = reader.readI32();
    info.reservedD = reader.readF64();
    readCountedText(reader, info.reservedE);
    readCountedText(reader, info.reservedF);
    readCountedText(reader, info.reservedG);
}

void writeSceneInfo(CBinaryWriter &writer, const CSceneInfo &info) {
    writeCountedText(writer, info.title);
    writeCountedText(writer, info.comment);
    writer.writeF64(info.reservedA);
    writer.writeF64(info.reservedB);
    writer.writeI32(info.reservedC);
    writer.writeF64(info.reservedD);
    writeCountedText(writer, info.reservedE);
    writeCountedText(writer, info.reservedF);
    writeCountedText(writer, info.reservedG);
}

bool readNode(CBinaryReader &reader, CSceneNode &node, int depth) {
    if (depth > kScvMaxTreeDepth) {
        reader.fail();
        return false;
    }
    node.setFrame(reader.readF64());
    node.setExpanded(reader.readI32());
    node.setSelected(reader.readI32());
    CLayoutPoint point;
    point.x = reader.readI32();
    point.y = reader.readI32();
    node.setLayoutPoint(point);
    readSceneInfo(reader, node.info());
    size_t count = 0;
    if (!readCount(reader, kMinNodeBytes, count)) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        // Files may hold siblings with equal frames; they are kept as stored.
        CSceneNode *child = node.insertChild(-1, std::make_unique<CSceneNode>(&node, 0.0));
        if (!readNode(reader, *child, depth + 1)) {
            return false;
        }
    }
    return reader.ok();
}

void writeNode(CBinaryWriter &writer, const CSceneNode &node) {
    writer.writeF64(node.frame());
    writer.writeI32(node.expanded());
    writer.writeI32(node.selected());
    writer.writeI32(node.layoutPoint().x);
    writer.writeI32(node.layoutPoint().y);
    writeSceneInfo(writer, node.info());
    writer.writeI32(node.childCount());
    for (int i = 0; i < node.childCount(); ++i) {
        writeNode(writer, *node.child(i));
    }
}

void readRepeatSection(CBinaryReader &reader, CRepeatSection &section) {
    section.row = reader.readI32();
    readCountedText(reader, section.title);
    section.start = reader.readF64();
    section.end = reader.readF64();
    section.repeatCount = reader.readI32();
}

void writeRepeatSection(CBinaryWriter &writer, const CRepeatSection &section) {
    writer.writeI32(section.row);
    writeCountedText(writer, section.title);
    writer.writeF64(section.start);
    writer.writeF64(section.end);
    writer.writeI32(section.repeatCount);
}

void readCaption(CBinaryReader &reader, CCaptionEntry &caption, int version) {
    caption.time = reader.readF64();
    readCountedText(reader, caption.text);
    readCountedText(reader, caption.reservedI);
    caption.reservedH = reader.readI32();
    caption.reservedJ = reader.readF64();
    readCountedText(reader, caption.reservedK);
    readCountedText(reader, caption.reservedL);
    readCountedText(reader, caption.reservedM);
    if (version >= 201) {
        caption.reservedN = reader.readF64();
        caption.reservedO = reader.readI32();
    }
    if (version >= 202) {
        caption.reservedP = reader.readI32();
    }
}

void writeCaption(CBinaryWriter &writer, const CCaptionEntry &caption) {
    writer.writeF64(caption.time);
    writeCountedText(writer, caption.text);
    writeCountedText(writer, caption.reservedI);
    writer.writeI32(caption.reservedH);
    writer.writeF64(caption.reservedJ);
    writeCountedText(writer, caption.reservedK);
    writeCountedText(writer, caption.reservedL);
    writeCountedText(writer, caption.reservedM);
    writer.writeF64(caption.reservedN);
    writer.writeI32(caption.reservedO);
    writer.writeI32(caption.reservedP);
}

void readExtra(CBinaryReader &reader, CExtraEntry &extra) {
    for (double &value : extra.reals) {
        value = reader.readF64();
    }
    for (std::string &text : extra.texts) {
        readCountedText(reader, text);
    }
}

void writeExtra(CBinaryWriter &writer, const CExtraEntry &extra) {
    for (const double value : extra.reals) {
        writer.writeF64(value);
    }
    for (const std::string &text : extra.texts) {
        writeCountedText(writer, text);
    }
}

template <typename Record, typename ReadOne>
bool readList(CBinaryReader &reader, size_t minRecordBytes, std::vector<Record> &list,
              ReadOne readOne) {
    size_t count = 0;
    if (!readCount(reader, minRecordBytes, count)) {
        return false;
    }
    list.reserve(list.size() + count);
    for (size_t i = 0; i < count && reader.ok(); ++i) {
        Record record;
        readOne(record);
        list.push_back(std::move(record));
    }
    return reader.ok();
}

// Depth of the deepest node below `root` (the root counts 1), walked without recursion.
int treeDepth(const CSceneNode &root) {
    int deepest = 0;
    std::vector<std::pair<const CSceneNode *, int>> pending{{&root, 1}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (int i = 0; i < node->childCount(); ++i) {
            pending.emplace_back(node->child(i), depth + 1);
        }
    }
    return deepest;
}

}  // namespace

int scvHeaderVersion(std::span<const uint8_t> header) {
    if (header.size() < kScvHeaderSize) {
        return -1;
    }
    const auto digit = [&](size_t i) {
        return header[i] >= '0' && header[i] <= '9' ? header[i] - '0' : -1;
    };
    const int hundreds = digit(23);
    const int tens = digit(25);
    const int units = digit(26);
    if (hundreds < 0 || tens < 0 || units < 0) {
        return -1;
    }
    return 100 * hundreds + 10 * tens + units;
}

ScvReadResult readScv(std::span<const uint8_t> bytes, CVideoDescription &document, int *version) {
    CBinaryReader reader(bytes);
    const int fileVersion = scvHeaderVersion(reader.readBytes(kScvHeaderSize));
    if (version) {
        *version = fileVersion;
    }
    if (fileVersion < 0) {
        return ScvReadResult::ReadError;
    }
    if (fileVersion < 200) {
        return ScvReadResult::OldVersion;
    }
    std::string mediaPath;
    readCountedText(reader, mediaPath);
    document.setMediaPath(std::move(mediaPath));
    CDescriptionInfo &info = document.info();
    readCountedText(reader, info.text1);
    readCountedText(reader, info.text2);
    readCountedText(reader, info.text3);
    info.creationTime = reader.readU32();
    if (!reader.ok() || !readNode(reader, document.root(), 1)) {
        return ScvReadResult::ReadError;
    }
    const bool listsRead =
        readList(reader, kMinRepeatBytes, document.repeatSections(),
                 [&](CRepeatSection &record) { readRepeatSection(reader, record); }) &&
        readList(reader, kMinCaptionBytes, document.captions(),
                 [&](CCaptionEntry &record) { readCaption(reader, record, fileVersion); }) &&
        readList(reader, kMinExtraBytes, document.extraEntries(),
                 [&](CExtraEntry &record) { readExtra(reader, record); });
    return listsRead ? ScvReadResult::Ok : ScvReadResult::ReadError;
}

ScvReadResult loadScv(const std::string &path, CVideoDescription &document, int *version) {
    const auto bytes = kivo::readWholeFile(path);
    if (!bytes) {
        return ScvReadResult::ReadError;
    }
    return readScv(*bytes, document, version);
}

std::vector<uint8_t> writeScv(const CVideoDescription &document) {
    CBinaryWriter writer;
    uint8_t header[kScvHeaderSize] = {};
    std::memcpy(header, kHeaderText, sizeof kHeaderText - 1);
    header[27] = 0x1A;
    writer.writeBytes(header, sizeof header);
    writeCountedText(writer, document.mediaPath());
    const CDescriptionInfo &info = document.info();
    writeCountedText(writer, info.text1);
    writeCountedText(writer, info.text2);
    writeCountedText(writer, info.text3);
    writer.writeU32(info.creationTime);
    writeNode(writer, document.root());
    writer.writeI32(static_cast<int32_t>(document.repeatSections().size()));
    for (const CRepeatSection &section : document.repeatSections()) {
        writeRepeatSection(writer, section);
    }
    writer.writeI32(static_cast<int32_t>(document.captions().size()));
    for (const CCaptionEntry &caption : document.captions()) {
        writeCaption(writer, caption);
    }
    writer.writeI32(static_cast<int32_t>(document.extraEntries().size()));
    for (const CExtraEntry &extra : document.extraEntries()) {
        writeExtra(writer, extra);
    }
    return writer.take();
}

int saveScv(const CVideoDescription &document, const std::string &path) {
    // Never write a file that the reader would refuse.
    if (treeDepth(document.root()) > kScvMaxTreeDepth) {
        return 0;
    }
    const std::vector<uint8_t> bytes = writeScv(document);
    return kivo::writeFileAtomically(path, bytes);
}
