#include <gtest/gtest.h>

#include "uisupport/inidocument.h"

namespace {

const QByteArray kMimeApps =
    "# written by the desktop\n"
    "[Added Associations]\n"
    "video/mp4=vlc.desktop;\n"
    "\n"
    "[Default Applications]\n"
    "x-scheme-handler/mms = totem.desktop\n"
    "video/mpeg=vlc.desktop\n"
    "\n"
    "[Other]\n"
    "not an entry\n";

TEST(IniDocument, LoadAndSaveIsByteExact) {
    const QByteArray samples[] = {
        kMimeApps,
        "no newline at end=1",
        "[A]\r\nkey=v\r\n\r\n",
        QByteArray("bad \xff\xfe bytes=\x80\n[G]\n"),
        "\n\n\n",
        "=no key\n[unclosed\n[]\n",
    };
    for (const QByteArray &sample : samples) {
        EXPECT_EQ(CIniDocument::parse(sample).serialize(), sample);
    }
}

TEST(IniDocument, ReadsEntriesOfTheirGroup) {
    const CIniDocument document = CIniDocument::parse(kMimeApps);
    EXPECT_EQ(document.value("Default Applications", "x-scheme-handler/mms"),
              QString("totem.desktop"));
    EXPECT_EQ(document.value("Added Associations", "video/mp4"), QString("vlc.desktop;"));
    EXPECT_FALSE(document.contains("Added Associations", "video/mpeg"));
    EXPECT_FALSE(document.contains("Other", "not an entry"));
    EXPECT_FALSE(document.value("Missing", "video/mp4").has_value());
}

TEST(IniDocument, EditsTouchOnlyTheirLine) {
    CIniDocument document = CIniDocument::parse(kMimeApps);
    ASSERT_TRUE(document.setValue("Default Applications", "x-scheme-handler/mms", "kivop.desktop"));
    ASSERT_TRUE(document.setValue("Default Applications", "KIVOP.bak", "totem.desktop"));
    ASSERT_TRUE(document.setValue("New Group", "a", "b"));
    EXPECT_EQ(document.serialize(),
              "# written by the desktop\n"
              "[Added Associations]\n"
              "video/mp4=vlc.desktop;\n"
              "\n"
              "[Default Applications]\n"
              "x-scheme-handler/mms=kivop.desktop\n"
              "video/mpeg=vlc.desktop\n"
              "KIVOP.bak=totem.desktop\n"
              "\n"
              "[Other]\n"
              "not an entry\n"
              "[New Group]\n"
              "a=b\n");
}

TEST(IniDocument, RemoveTakesEveryEntryOfTheKeyFromItsGroupOnly) {
    CIniDocument document =
        CIniDocument::parse("[A]\r\nk=1\r\n# c\r\nk = 2\r\nj=3\r\n[B]\r\nk=4\r\n");
    EXPECT_TRUE(document.remove("A", "k"));
    EXPECT_FALSE(document.remove("A", "k"));
    EXPECT_EQ(document.serialize(), "[A]\r\n# c\r\nj=3\r\n[B]\r\nk=4\r\n");
}

TEST(IniDocument, NewEntriesFollowTheFilesLineEndings) {
    CIniDocument document = CIniDocument::parse("[A]\r\nx=1\r\n");
    ASSERT_TRUE(document.setValue("A", "y", "2"));
    ASSERT_TRUE(document.setValue("B", "z", "3"));
    EXPECT_EQ(document.serialize(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");

    CIniDocument unterminated = CIniDocument::parse("[A]\nx=1");
    ASSERT_TRUE(unterminated.setValue("A", "y", "2"));
    EXPECT_EQ(unterminated.serialize(), "[A]\nx=1\ny=2\n");
}

TEST(IniDocument, RefusesNamesAndValuesThatWouldBreakTheFile) {
    CIniDocument document = CIniDocument::parse(kMimeApps);
    const QByteArray before = document.serialize();
    EXPECT_FALSE(document.setValue("Group]", "k", "v"));
    EXPECT_FALSE(document.setValue("G\nroup", "k", "v"));
    EXPECT_FALSE(document.setValue("G", "", "v"));
    EXPECT_FALSE(document.setValue("G", "a=b", "v"));
    EXPECT_FALSE(document.setValue("G", "[a", "v"));
    EXPECT_FALSE(document.setValue("G", " padded", "v"));
    EXPECT_FALSE(document.setValue("G", "k", "two\nlines"));
    EXPECT_FALSE(document.setValue("G", "k", "cr\r"));
    EXPECT_EQ(document.serialize(), before);
}

}  // namespace
