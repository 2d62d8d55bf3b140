#include "platform/countedtext.h"

#include <gtest/gtest.h>

using kivo::CBinaryReader;
using kivo::CBinaryWriter;

namespace {

std::vector<uint8_t> encode(const std::string &text) {
    CBinaryWriter writer;
    kivo::writeCountedText(writer, text);
    return writer.take();
}

bool decode(const std::vector<uint8_t> &data, std::string &text, size_t *left = nullptr) {
    CBinaryReader reader(data);
    const bool ok = kivo::readCountedText(reader, text);
    if (left) {
        *left = reader.remaining();
    }
    return ok;
}

}  // namespace

TEST(CountedText, LengthPrefixesSwitchAt255And65534) {
    struct Case {
        size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case &c : cases) {
        const std::string text(c.length, 'k');
        const std::vector<uint8_t> data = encode(text);
        ASSERT_EQ(data.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), data.begin())) << c.length;
        std::string back;
        size_t left = 99;
        ASSERT_TRUE(decode(data, back, &left));
        EXPECT_EQ(back, text);
        EXPECT_EQ(left, 0u);
    }
}

TEST(CountedText, TextOutsideCp949IsWrittenInTheWideForm) {
    const std::vector<uint8_t> data = encode("☃a");
    const std::vector<uint8_t> expected = {0xFF, 0xFE, 0xFF, 0x02, 0x03, 0x26, 'a', 0x00};
    EXPECT_EQ(data, expected);
    std::string back;
    ASSERT_TRUE(decode(data, back));
    EXPECT_EQ(back, "☃a");
}

TEST(CountedText, WideFormCanBeAskedForNarrowText) {
    CBinaryWriter writer;
    kivo::writeWideCountedText(writer, "가b");
    const std::vector<uint8_t> expected = {0xFF, 0xFE, 0xFF, 0x02, 0x00, 0xAC, 'b', 0x00};
    EXPECT_EQ(writer.data(), expected);
    std::string back;
    ASSERT_TRUE(decode(writer.data(), back));
    EXPECT_EQ(back, "가b");
}

TEST(CountedText, WideFormWithLongLengthIsRead) {
    std::vector<uint8_t> data = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01};
    for (int i = 0; i < 300; ++i) {
        data.push_back(0x5C);
        data.push_back(0xD5);  // U+D55C '한'
    }
    std::string back;
    ASSERT_TRUE(decode(data, back));
    EXPECT_EQ(back.size(), 900u);
    EXPECT_EQ(back.substr(0, 3), "한");
}

TEST(CountedText, TruncatedOrAbsurdLengthsFail) {
    const std::vector<std::vector<uint8_t>> broken = {
        {},                                          // nothing at all
        {0x05, 'a', 'b'},                            // fewer bytes than the length
        {0xFF, 0x10},                                // cut inside the 16-bit length
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},  // 2 GB claimed
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
         0xFF},                            // 64-bit length
        {0xFF, 0xFE, 0xFF, 0x03, 'a', 0},  // wide text shorter than its count
    };
    for (const auto &data : broken) {
        std::string text = "unchanged";
        CBinaryReader reader(data);
        EXPECT_FALSE(kivo::readCountedText(reader, text));
        EXPECT_FALSE(reader.ok());
    }
}
