#include "platform/cp949.h"

#include <gtest/gtest.h>

#include <random>

using kivo::cp949ToUtf8;
using kivo::utf8ToCp949;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

}  // namespace

TEST(Cp949, KoreanTextConvertsBothWays) {
    // "장면" in CP949.
    const std::string encoded = bytes({0xC0, 0xE5, 0xB8, 0xE9});
    EXPECT_EQ(cp949ToUtf8(encoded), "장면");
    EXPECT_EQ(utf8ToCp949("장면 1: scene"), bytes({0xC0, 0xE5, 0xB8, 0xE9}) + " 1: scene");
}

TEST(Cp949, UndecodableBytesRoundTripThroughPrivateUseCodePoints) {
    // A lone lead byte, a lead byte followed by an invalid trail, and a trailing lead byte.
    const std::string raw = bytes({0x80, 'A', 0xC0, 0x20, 0xFF, 0xC0});
    const std::string decoded = cp949ToUtf8(raw);
    EXPECT_EQ(decoded.find('A'), decoded.find("\xEF\x9E\x80") + 3);
    ASSERT_TRUE(utf8ToCp949(decoded).has_value());
    EXPECT_EQ(*utf8ToCp949(decoded), raw);
}

TEST(Cp949, EveryOneAndTwoByteSequenceRoundTrips) {
    for (int first = 0; first < 256; ++first) {
        const std::string single = bytes({first});
        ASSERT_EQ(utf8ToCp949(cp949ToUtf8(single)).value_or("<none>"), single) << first;
        for (int second = 0; second < 256; ++second) {
            const std::string pair = bytes({first, second});
            ASSERT_EQ(utf8ToCp949(cp949ToUtf8(pair)).value_or("<none>"), pair)
                << first << "," << second;
        }
    }
}

TEST(Cp949, RandomByteStringsRoundTrip) {
    std::mt19937 random(949);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string raw(static_cast<size_t>(byte(random) % 40), '\0');
        for (char &c : raw) {
            c = static_cast<char>(byte(random));
        }
        ASSERT_EQ(utf8ToCp949(cp949ToUtf8(raw)).value_or("<none>"), raw);
    }
}

TEST(Cp949, TextOutsideTheCodePageIsRefused) {
    EXPECT_FALSE(utf8ToCp949("snow ☃").has_value());
    EXPECT_FALSE(utf8ToCp949("emoji 🎬").has_value());
    EXPECT_FALSE(utf8ToCp949("Ελληνικά ϗ").has_value());
}

TEST(Utf16, ConvertsSurrogatePairsAndReplacesBrokenInput) {
    const std::u16string wide = kivo::utf8ToUtf16("a한🎬");
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_EQ(wide[2], 0xD83C);
    EXPECT_EQ(kivo::utf16ToUtf8(wide), "a한🎬");
    EXPECT_EQ(kivo::utf16ToUtf8(std::u16string{u'x', char16_t(0xD800)}), "x\xEF\xBF\xBD");
    EXPECT_EQ(kivo::utf8ToUtf16("\xC3"), std::u16string{char16_t(0xFFFD)});
}
