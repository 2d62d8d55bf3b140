#include "scene/scvfile.h"

#include "platform/binarystream.h"
#include "platform/countedtext.h"
#include "scene/videodescription.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using kivo::CBinaryWriter;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes header(const char *versionText) {
    Bytes out(32, 0);
    const std::string text = std::string("Video Description Ver. ") + versionText;
    std::memcpy(out.data(), text.data(), text.size());
    out[27] = 0x1A;
    return out;
}

// A document that exercises every field: Korean, bytes that are not CP949, a character CP949
// cannot hold, reserved values, all three lists and a nested tree.
void fillRichDocument(CVideoDescription &doc) {
    doc.setMediaPath("..\\영상\\movie.avi");
    doc.info().text1 = "설명";
    doc.info().text3 = "\xEF\x9E\x80\xEF\x9F\xBF raw";  // the raw bytes 0x80 and 0xFF
    doc.info().creationTime = 1234567890;
    CSceneNode &root = doc.root();
    root.setExpanded(1);
    CSceneNode *level1 = root.addChild(0.0);
    level1->setExpanded(1);
    level1->setLayoutPoint({25, 40});
    for (int i = 0; i < 5; ++i) {
        CSceneNode *scene = level1->addChild(100.0 * i + 0.5 * (i % 2));
        scene->info().title = "장면 " + std::to_string(i);
        scene->info().comment = i == 2 ? "눈사람 ☃" : "";
        scene->info().reservedC = 7 * i;
        scene->info().reservedG = "g";
        scene->setSelected(i == 3);
        scene->addChild(100.0 * i + 10)->info().title = std::string(300, 'x');
    }
    doc.repeatSections().push_back({3, "반복", 1e7, 2.5e7, 4});
    CCaptionEntry caption;
    caption.time = 5e6;
    caption.text = "<P Class=KRCC>안녕</P>";
    caption.reservedH = 9;
    caption.reservedN = 1.5;
    caption.reservedO = 2;
    caption.reservedP = 3;
    doc.captions().push_back(caption);
    CExtraEntry extra;
    extra.reals[1] = 42.0;
    extra.texts[2] = "extra";
    doc.extraEntries().push_back(extra);
}

// A file of the given version holding one caption, written field by field.
Bytes fileWithOneCaption(const char *versionText, int version) {
    CBinaryWriter w;
    const Bytes head = header(versionText);
    w.writeBytes(head.data(), head.size());
    for (int i = 0; i < 4; ++i) {
        w.writeU8(0);  // media path and three info texts
    }
    w.writeU32(0);
    w.writeF64(0);  // root node
    w.writeI32(0);
    w.writeI32(0);
    w.writeI32(0);
    w.writeI32(0);
    kivo::writeCountedText(w, "");
    kivo::writeCountedText(w, "");
    w.writeF64(-1);
    w.writeF64(-1);
    w.writeI32(-1);
    w.writeF64(-1);
    for (int i = 0; i < 3; ++i) {
        kivo::writeCountedText(w, "");
    }
    w.writeI32(0);  // children
    w.writeI32(0);  // repeat sections
    w.writeI32(1);  // captions
    w.writeF64(7.0);
    kivo::writeCountedText(w, "자막");
    kivo::writeCountedText(w, "i");
    w.writeI32(11);
    w.writeF64(12.0);
    for (int i = 0; i < 3; ++i) {
        kivo::writeCountedText(w, "");
    }
    if (version >= 201) {
        w.writeF64(13.0);
        w.writeI32(14);
    }
    if (version >= 202) {
        w.writeI32(15);
    }
    w.writeI32(0);  // extra entries
    return w.take();
}

}  // namespace

TEST(ScvFile, EmptyDocumentHasTheGoldenLayout) {
    CVideoDescription doc;
    doc.info().creationTime = 0x01020304;
    Bytes expected = header("2.02");
    expected.push_back(0x00);                                // media path
    expected.insert(expected.end(), {0, 0, 0, 4, 3, 2, 1});  // info texts and time
    expected.insert(expected.end(), 8 + 4 + 4 + 8, 0);       // frame, flags, point
    expected.insert(expected.end(), {0, 0});                 // title, comment
    const double minusOne = -1.0;
    const int32_t minusOneInt = -1;
    for (int i = 0; i < 2; ++i) {
        expected.insert(expected.end(), reinterpret_cast<const uint8_t *>(&minusOne),
                        reinterpret_cast<const uint8_t *>(&minusOne) + 8);
    }
    expected.insert(expected.end(), reinterpret_cast<const uint8_t *>(&minusOneInt),
                    reinterpret_cast<const uint8_t *>(&minusOneInt) + 4);
    expected.insert(expected.end(), reinterpret_cast<const uint8_t *>(&minusOne),
                    reinterpret_cast<const uint8_t *>(&minusOne) + 8);
    expected.insert(expected.end(), {0, 0, 0});  // texts E, F, G
    expected.insert(expected.end(), 4 * 4, 0);   // children and three lists
    EXPECT_EQ(writeScv(doc), expected);
    EXPECT_EQ(expected.size(), 113u);
    EXPECT_EQ(std::string(expected.begin(), expected.begin() + 28),
              std::string("Video Description Ver. 2.02\x1A"));
}

TEST(ScvFile, RichDocumentRoundTripsByteForByte) {
    CVideoDescription doc;
    fillRichDocument(doc);
    const Bytes first = writeScv(doc);

    CVideoDescription loaded;
    int version = 0;
    ASSERT_EQ(readScv(first, loaded, &version), ScvReadResult::Ok);
    EXPECT_EQ(version, 202);
    EXPECT_EQ(writeScv(loaded), first);

    EXPECT_EQ(loaded.mediaPath(), doc.mediaPath());
    EXPECT_EQ(loaded.info().text3, doc.info().text3);
    const CSceneNode *level1 = loaded.root().child(0);
    ASSERT_NE(level1, nullptr);
    ASSERT_EQ(level1->childCount(), 5);
    EXPECT_EQ(level1->layoutPoint(), (CLayoutPoint{25, 40}));
    EXPECT_EQ(level1->child(1)->frame(), 100.5);
    EXPECT_EQ(level1->child(2)->info().comment, "눈사람 ☃");
    EXPECT_EQ(level1->child(3)->selected(), 1);
    EXPECT_EQ(level1->child(4)->child(0)->info().title.size(), 300u);
    EXPECT_EQ(loaded.repeatSections(), doc.repeatSections());
    EXPECT_EQ(loaded.captions(), doc.captions());
    EXPECT_EQ(loaded.extraEntries(), doc.extraEntries());
}

TEST(ScvFile, CaptionFieldsDependOnTheFileVersion) {
    struct Case {
        const char *text;
        int version;
        ScvReadResult result;
        double n;
        int32_t o;
        int32_t p;
    };
    const Case cases[] = {
        {"1.99", 199, ScvReadResult::OldVersion, 0, 0, 0},
        {"2.00", 200, ScvReadResult::Ok, -1.0, -1, 26},
        {"2.01", 201, ScvReadResult::Ok, 13.0, 14, 26},
        {"2.02", 202, ScvReadResult::Ok, 13.0, 14, 15},
        {"2.03", 203, ScvReadResult::Ok, 13.0, 14, 15},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        CVideoDescription doc;
        int version = 0;
        ASSERT_EQ(readScv(fileWithOneCaption(c.text, std::min(c.version, 202)), doc, &version),
                  c.result);
        EXPECT_EQ(version, c.version);
        if (c.result == ScvReadResult::OldVersion) {
            EXPECT_TRUE(doc.captions().empty());
            EXPECT_EQ(doc.root().childCount(), 0);
            continue;
        }
        ASSERT_EQ(doc.captions().size(), 1u);
        const CCaptionEntry &caption = doc.captions()[0];
        EXPECT_EQ(caption.text, "자막");
        EXPECT_EQ(caption.reservedH, 11);
        EXPECT_EQ(caption.reservedN, c.n);
        EXPECT_EQ(caption.reservedO, c.o);
        EXPECT_EQ(caption.reservedP, c.p);
    }
}

TEST(ScvFile, EveryTruncationIsAReadError) {
    CVideoDescription doc;
    fillRichDocument(doc);
    const Bytes full = writeScv(doc);
    for (size_t length = 0; length < full.size(); ++length) {
        CVideoDescription partial;
        ASSERT_EQ(readScv(std::span(full).first(length), partial), ScvReadResult::ReadError)
            << length;
    }
}

TEST(ScvFile, HeaderWithoutDigitsIsNotAScvFile) {
    Bytes bytes = header("x.yz");
    bytes.resize(200, 0);
    CVideoDescription doc;
    EXPECT_EQ(readScv(bytes, doc), ScvReadResult::ReadError);
}

TEST(ScvFile, HugeCountsAreRefusedBeforeAllocating) {
    CVideoDescription doc;
    Bytes bytes = writeScv(doc);
    // The repeat-section count sits 12 bytes from the end.
    const int32_t huge = 0x7FFFFFFF;
    std::memcpy(bytes.data() + bytes.size() - 12, &huge, 4);
    CVideoDescription loaded;
    EXPECT_EQ(readScv(bytes, loaded), ScvReadResult::ReadError);
    const int32_t negative = -5;
    std::memcpy(bytes.data() + bytes.size() - 12, &negative, 4);
    EXPECT_EQ(readScv(bytes, loaded), ScvReadResult::ReadError);
}

TEST(ScvFile, AbsurdlyDeepNestingFailsCleanly) {
    // A million nested nodes, each claiming one child.
    CVideoDescription doc;
    const Bytes empty = writeScv(doc);
    const size_t nodeStart = 32 + 1 + 3 + 4;
    const size_t nodeSize = 8 + 4 + 4 + 8 + 33;
    Bytes node(empty.begin() + nodeStart, empty.begin() + nodeStart + nodeSize);
    Bytes bytes(empty.begin(), empty.begin() + nodeStart);
    const int32_t one = 1;
    for (int i = 0; i < 1000000; ++i) {
        bytes.insert(bytes.end(), node.begin(), node.end());
        bytes.insert(bytes.end(), reinterpret_cast<const uint8_t *>(&one),
                     reinterpret_cast<const uint8_t *>(&one) + 4);
    }
    CVideoDescription loaded;
    EXPECT_EQ(readScv(bytes, loaded), ScvReadResult::ReadError);
}

TEST(ScvFile, SaveReplacesAtomicallyAndReportsFailure) {
    const fs::path dir = fs::temp_directory_path() / ("kivo-scv-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    CVideoDescription doc;
    fillRichDocument(doc);
    const std::string path = (dir / "x.scv").string();
    ASSERT_EQ(saveScv(doc, path), 1);
    CVideoDescription loaded;
    ASSERT_EQ(loadScv(path, loaded), ScvReadResult::Ok);
    EXPECT_EQ(writeScv(loaded), writeScv(doc));

    EXPECT_EQ(saveScv(doc, (dir / "missing" / "x.scv").string()), 0);

    // A tree the reader would refuse is not written at all.
    CSceneNode *deep = &doc.root();
    for (int level = 1; level <= kScvMaxTreeDepth; ++level) {
        deep = deep->addChild(level);
    }
    EXPECT_EQ(saveScv(doc, path), 0);
    ASSERT_EQ(loadScv(path, loaded), ScvReadResult::Ok);
    EXPECT_EQ(loadScv((dir / "missing.scv").string(), loaded), ScvReadResult::ReadError);
    EXPECT_EQ(loadScv(dir.string(), loaded), ScvReadResult::ReadError);
    fs::remove_all(dir);
}
