#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "player/captions/samireader.h"
#include "samitestsupport.h"

using kivo::captions::CSamiEntry;
using kivo::captions::readSami;
using Entries = std::vector<CSamiEntry>;

namespace {

Entries read(std::string_view text) {
    return readSami(bytesOf(text)).value_or(Entries{{-999, "reading failed"}});
}

}  // namespace

TEST(SamiReader, TagAndBodyRules) {
    struct Case {
        const char *document;
        Entries expected;
    } cases[] = {
        {"<SYNC Start=1500><P Class=KRCC>Hello", {{1500, "Hello"}}},
        {"<sync start = 2000><p>&nbsp;", {{2000, ""}}},
        {"<SYNC Start=1>one<br>two</P>", {{1, "one two"}}},
        {"<SYNC Start=1>A&nbsp;B&nbsp;C", {{1, "AB&nbsp;C"}}},
        {"<SYNC Start=1>&NBSP;A&nbsp;", {{1, "A&nbsp;"}}},
        {"<SYNC Start=1>\r\n\tline\none\r\n", {{1, "lineone"}}},
        {"<SYNC Start=1><SYNC Start=2>x", {{1, ""}, {2, "x"}}},
        {"junk before <SYNC Start=5>a", {{5, "a"}}},
        // Bad input still reads: no Start, signs, quotes, numbers beyond 32 bits.
        {"<SYNC>a<SYNC End=3>b", {{0, "a"}, {0, "b"}}},
        {"<SYNC Start=-40>a<SYNC Start=\"12\">b<SYNC Start=7x>c",
         {{-40, "a"}, {12, "b"}, {7, "c"}}},
        {"<SYNC Start=99999999999>a<SYNC Start=-99999999999>b",
         {{2147483647, "a"}, {-2147483648, "b"}}},
        // Unclosed tags: the scan stops at a "<" without ">", and what follows is no caption.
        {"<SYNC Start=1>a <P class=x", {{1, "a"}}},
        {"<SYNC Start=1>a<", {{1, "a"}}},
        // Only tags count: a SYNC tag inside a comment is read, a comment naming SYNC is dropped.
        {"<SYNC Start=1>a<!-- <SYNC Start=9> -->b", {{1, "a"}, {9, "-->b"}}},
        {"<SYNC Start=1>a<!-- SYNC -->b", {{1, "a"}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(read(c.document), c.expected) << c.document;
    }
}

TEST(SamiReader, DocumentsWithoutSyncElementsFail) {
    for (const char *document : {
             "",
             "no tags at all",
             "<smil><body><seq><video src=\"a.mp4\"/></seq></body></smil>",
             "<html><p>synchronised</p></html>",
             "<unclosed SYNC",
         }) {
        EXPECT_FALSE(readSami(bytesOf(document))) << document;
    }
    std::vector<uint8_t> binary(4096);
    for (size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<uint8_t>(i * 7919 % 251);
    }
    EXPECT_FALSE(readSami(binary));
}

TEST(SamiReader, Encodings) {
    // Code page 949 with a UHC character (똠 = 8C 63) beside KS X 1001 Hangul.
    EXPECT_EQ(read("<SYNC Start=10><P Class=KRCC>\xbe\xc8\xb3\xe7 \x8c\x63"),
              (Entries{{10, "안녕 똠"}}));
    EXPECT_EQ(read("\xEF\xBB\xBF<SYNC Start=10>안녕"), (Entries{{10, "안녕"}}));
    EXPECT_EQ(read("<SYNC Start=10>안녕"), (Entries{{10, "안녕"}}));
    for (const bool bigEndian : {false, true}) {
        EXPECT_EQ(readSami(utf16Bytes(u"<SYNC Start=1000><P Class=KRCC>똠방 ☃", bigEndian)),
                  (Entries{{1000, "똠방 ☃"}}));
    }
    // Big5 and Latin-1 are neither UTF-8 nor CP949: bytes CP949 cannot place keep their values.
    const auto latin = read("<SYNC Start=1>caf\xe9!");
    ASSERT_EQ(latin.size(), 1u);
    EXPECT_EQ(latin[0].text, "caf\xef\x9f\xa9!");
    EXPECT_EQ(read("<SYNC Start=1>\xa4\xa4\xa4\xe5").size(), 1u);
}

TEST(SamiReader, SeveralLanguagesGiveTheFirstThatHasCaptions) {
    constexpr const char *kInterleaved =
        "<SYNC Start=1000><P Class=KRCC>안녕\r\n<SYNC Start=1000><P Class=ENCC>Hello\r\n"
        "<SYNC Start=2000><P Class=KRCC>&nbsp;\r\n<SYNC Start=2000><P Class=ENCC>&nbsp;\r\n"
        "<SYNC Start=3000>neutral";
    EXPECT_EQ(read(kInterleaved), (Entries{{1000, "안녕"}, {2000, ""}, {3000, "neutral"}}));

    constexpr const char *kSections =
        "<SYNC Start=0><P Class=KRCC>&nbsp;<SYNC Start=500><P Class=KRCC>&nbsp;"
        "<SYNC Start=100><P Class=ENCC>One<SYNC Start=900><P Class=ENCC>Two";
    EXPECT_EQ(read(kSections), (Entries{{100, "One"}, {900, "Two"}}));
}

TEST(SamiReader, LargeAndHostileInputEndsQuickly) {
    // 50 MB documents of half-open tags and of captions full of tags that are not SYNC, and a
    // class for every caption: the reading is linear in the size, not quadratic.
    const std::string unclosed(50 << 20, '<');
    const std::string block = "<SYNC Start=1><P Class=KRCC>" + std::string(200, 'x') + "<br>y\r\n";
    std::string document;
    size_t blocks = 0;
    for (; document.size() < (50u << 20); ++blocks) {
        document += block;
    }
    std::string classes;
    for (int i = 0; i < 200'000; ++i) {
        classes += "<SYNC Start=" + std::to_string(i) + "><P Class=C" + std::to_string(i) + ">";
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readSami(bytesOf(classes)), (Entries{{0, ""}}));
    EXPECT_FALSE(readSami(bytesOf(unclosed)));
    const auto entries = readSami(bytesOf(document));
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), blocks);
    EXPECT_EQ(entries->back(), (CSamiEntry{1, std::string(200, 'x') + " y"}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));
}
