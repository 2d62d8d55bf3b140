#include "media/playback/metafileplaylist.h"
#include "media/playback/metafilereader.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct CEntry {
    QString url;
    double start = 0;
    double duration = 0;
};

// Walks the list until it reports its end (or limit calls), collecting what it hands out.
std::vector<CEntry> walk(CMetafilePlaylist &playlist, size_t limit = 100) {
    std::vector<CEntry> entries;
    for (size_t i = 0; i < limit; ++i) {
        CEntry entry;
        if (!playlist.nextEntry(entry.url, entry.start, entry.duration, false)) {
            EXPECT_TRUE(entry.url.isEmpty());
            EXPECT_EQ(entry.start, 0);
            EXPECT_EQ(entry.duration, 0);
            break;
        }
        entries.push_back(entry);
    }
    return entries;
}

std::vector<QString> urls(const std::vector<CEntry> &entries) {
    std::vector<QString> result;
    for (const CEntry &entry : entries) {
        result.push_back(entry.url);
    }
    return result;
}

CPlaylistSource sourceAt(const char *url) {
    CPlaylistSource source;
    source.url = QString::fromUtf8(url);
    return source;
}

CMetafilePlaylist parseAsx(const char *text, const QString &base = QStringLiteral("/media")) {
    CMetafilePlaylist playlist;
    QString error;
    EXPECT_TRUE(parseAsxPlaylist(QByteArray(text), base, playlist, &error)) << error.toStdString();
    return playlist;
}

bool asxFails(const QByteArray &text) {
    CMetafilePlaylist playlist;
    QString error;
    const bool ok = parseAsxPlaylist(text, QStringLiteral("/media"), playlist, &error);
    if (!ok) {
        EXPECT_FALSE(error.isEmpty());
    }
    return !ok;
}

constexpr const char *kRepeatedList = R"(<ASX version="3.0">
  <TITLE>Show</TITLE>
  <ENTRY><REF HREF="intro.wmv"/></ENTRY>
  <REPEAT COUNT="2">
    <ENTRY>
      <REF HREF="a.wmv"/>
      <STARTTIME VALUE="00:00:05"/>
      <DURATION VALUE="0:10.5"/>
    </ENTRY>
    <ENTRY><REF HREF="b1.wmv"/><REF HREF="b2.wmv"/></ENTRY>
  </REPEAT>
  <ENTRY><REF HREF="http://host/outro.asf"/></ENTRY>
</ASX>)";

TEST(MetafileWalk, RepeatedBlockPlaysCountTimesThenTheListEndsAndRestarts) {
    CMetafilePlaylist playlist = parseAsx(kRepeatedList);
    ASSERT_EQ(playlist.items().size(), 4u);
    EXPECT_EQ(playlist.repeat().count, 2u);
    EXPECT_EQ(playlist.repeat().startItem, 1u);
    EXPECT_EQ(playlist.repeat().endItem, 3u);

    const std::vector<CEntry> entries = walk(playlist);
    const std::vector<QString> expected = {
        "/media/intro.wmv", "/media/a.wmv",  "/media/b1.wmv", "/media/b2.wmv",
        "/media/a.wmv",     "/media/b1.wmv", "/media/b2.wmv", "http://host/outro.asf"};
    EXPECT_EQ(urls(entries), expected);
    EXPECT_EQ(entries[1].start, 5e7);
    EXPECT_EQ(entries[1].duration, 10.5e7);
    EXPECT_EQ(entries[4].start, 5e7);
    EXPECT_EQ(entries[0].duration, 0);

    // After the end the cursor is back at the start, passes forgotten.
    EXPECT_EQ(urls(walk(playlist)), expected);
}

TEST(MetafileWalk, ForceNextSkipsTheRestOfTheCurrentItem) {
    CMetafilePlaylist playlist = parseAsx(kRepeatedList);
    QString url;
    double start = 0;
    double duration = 0;
    ASSERT_TRUE(playlist.nextEntry(url, start, duration, false));  // intro
    ASSERT_TRUE(playlist.nextEntry(url, start, duration, true));   // a
    EXPECT_EQ(url, "/media/a.wmv");
    ASSERT_TRUE(playlist.nextEntry(url, start, duration, true));  // b1
    ASSERT_TRUE(playlist.nextEntry(url, start, duration, true));  // b2 skipped: second pass, a
    EXPECT_EQ(url, "/media/a.wmv");
    ASSERT_TRUE(playlist.nextEntry(url, start, duration, true));
    EXPECT_EQ(url, "/media/b1.wmv");
    ASSERT_TRUE(playlist.nextEntry(url, start, duration, true));
    EXPECT_EQ(url, "http://host/outro.asf");
    EXPECT_FALSE(playlist.nextEntry(url, start, duration, true));
}

TEST(MetafileWalk, EmptyListAndItemsWithoutSourcesEndTheWalk) {
    CMetafilePlaylist empty;
    EXPECT_TRUE(walk(empty).empty());

    // Built by hand: a block of source-less items repeated for ever must not spin.
    std::vector<CMetafileEntry> items(3);
    items[2].sources.push_back(sourceAt("last.mp3"));
    CMetafilePlaylist hollow(std::move(items), CPlaylistRepeat{CPlaylistRepeat::kIndefinite, 0, 2});
    QString url;
    double start = 0;
    double duration = 0;
    EXPECT_FALSE(hollow.nextEntry(url, start, duration, false));
}

TEST(MetafileWalk, RepeatBlockOutsideTheListIsDropped) {
    std::vector<CMetafileEntry> items(1);
    items[0].sources.push_back(sourceAt("one.mp3"));
    CMetafilePlaylist playlist(std::move(items), CPlaylistRepeat{5, 0, 7});
    EXPECT_EQ(playlist.repeat().count, 0u);
    EXPECT_EQ(walk(playlist).size(), 1u);
}

TEST(AsxReader, NamesInAnyCaseBareAmpersandsAndEntryTiming) {
    CMetafilePlaylist playlist = parseAsx(R"(<Asx Version="3">
      <Entry ClientSkip="no">
        <Duration value="01:00:00"/>
        <MoreInfo href="http://maker/"/>
        <ref href="http://srv/get?id=1&kind=2"><STARTTIME VALUE="1.25"/></REF>
        <Ref HREF="second.wmv"/>
        <StartMarker Number="3"/><ENDMARKER NAME="credits"/>
        <PreviewDuration Value="30"/>
      </ENTRY>
    </asx>)");
    ASSERT_EQ(playlist.items().size(), 1u);
    const CMetafileEntry &item = playlist.items()[0];
    EXPECT_EQ(item.flags & CMetafileEntry::CanSkip, 0u);
    EXPECT_EQ(item.linkUrl, "http://maker/");
    ASSERT_EQ(item.sources.size(), 2u);
    EXPECT_EQ(item.sources[0].url, "http://srv/get?id=1&kind=2");
    EXPECT_EQ(item.sources[0].start, 1.25e7);  // its own start wins
    EXPECT_EQ(item.sources[1].start, 0);
    for (const CPlaylistSource &source : item.sources) {
        EXPECT_EQ(source.duration, 3600e7);  // the entry's duration applies to both
        EXPECT_EQ(source.startMarker, 3u);
        EXPECT_EQ(source.endMarkerName, "credits");
        EXPECT_EQ(source.scanDuration, 30e7);
    }
}

TEST(AsxReader, AddressesResolveAgainstBaseOrTheListFolder) {
    CMetafilePlaylist playlist = parseAsx(R"(<asx version="3.0">
      <base href="http://cdn.example/show/"/>
      <entry><ref href="part1.asf"/></entry>
      <entry><base href="/srv/local"/><ref href="sub\clip.mpg"/></entry>
      <entry><ref href="mms://live/stream"/><ref href="C:\Media\x.avi"/></entry>
    </asx>)");
    ASSERT_EQ(playlist.items().size(), 3u);
    EXPECT_EQ(playlist.items()[0].sources[0].url, "http://cdn.example/show/part1.asf");
    EXPECT_EQ(playlist.items()[1].sources[0].url, "/srv/local/sub/clip.mpg");
    EXPECT_EQ(playlist.items()[2].sources[0].url, "mms://live/stream");
    EXPECT_EQ(playlist.items()[2].sources[1].url, "C:\\Media\\x.avi");

    // A broken BASE leaves the addresses as written.
    CMetafilePlaylist broken = parseAsx(
        "<asx><base href='http://!dn.example?show/'/><entry><ref href='intro.wmv'/>"
        "</entry></asx>");
    EXPECT_EQ(broken.items()[0].sources[0].url, "intro.wmv");

    CMetafilePlaylist local = parseAsx("<asx><entry><ref href='../up/file.mp4'/></entry></asx>",
                                       QStringLiteral("/home/user/lists"));
    EXPECT_EQ(local.items()[0].sources[0].url, "/home/user/up/file.mp4");
}

TEST(AsxReader, EntriesWithoutHrefAreLeftOutAndTheBlockFollowsThem) {
    CMetafilePlaylist playlist = parseAsx(R"(<asx>
      <entry><ref/></entry>
      <repeat count="3"><entry><ref href=""/></entry><entry><ref href="in.mp3"/></entry></repeat>
      <entry><title>no ref</title></entry>
      <entry><ref href="after.mp3"/></entry>
    </asx>)");
    ASSERT_EQ(playlist.items().size(), 2u);
    EXPECT_EQ(playlist.repeat().startItem, 0u);
    EXPECT_EQ(playlist.repeat().endItem, 1u);
    EXPECT_EQ(urls(walk(playlist)), (std::vector<QString>{"/media/in.mp3", "/media/in.mp3",
                                                          "/media/in.mp3", "/media/after.mp3"}));
}

TEST(AsxReader, RepeatCountsFromTheFile) {
    struct {
        const char *count;
        uint32_t expected;
    } cases[] = {
        {"", CPlaylistRepeat::kIndefinite},  // attribute left out below
        {R"(count="1")", 1},
        {R"(count="0")", 1},
        {R"(count="-4")", 1},
        {R"(count="lots")", 1},
        {R"(count="4294967294")", 4294967294u},
        {R"(count="99999999999999999999999")", 1},  // does not even fit: played once
        {R"(count="18446744073709551615")", CPlaylistRepeat::kIndefinite},
    };
    for (const auto &c : cases) {
        const std::string text = std::string("<asx><repeat ") + c.count +
                                 "><entry><ref href='x'/></entry></repeat></asx>";
        CMetafilePlaylist playlist = parseAsx(text.c_str());
        EXPECT_EQ(playlist.repeat().count, c.expected) << c.count;
    }
}

TEST(AsxReader, IndefiniteRepeatStillAnswersEveryCall) {
    CMetafilePlaylist playlist = parseAsx(
        "<asx><repeat><entry><ref href='a'/></entry><entry><ref href='b'/></entry>"
        "</repeat><entry><ref href='never'/></entry></asx>");
    const std::vector<CEntry> entries = walk(playlist, 1000);
    ASSERT_EQ(entries.size(), 1000u);
    EXPECT_EQ(entries[998].url, "/media/a");
    EXPECT_EQ(entries[999].url, "/media/b");
}

TEST(AsxReader, OnlyTheFirstRepeatBlockRepeats) {
    CMetafilePlaylist playlist = parseAsx(R"(<asx>
      <repeat count="2"><entry><ref href="a"/></entry>
        <repeat count="9"><entry><ref href="b"/></entry></repeat></repeat>
      <repeat count="5"><entry><ref href="c"/></entry></repeat>
    </asx>)");
    EXPECT_EQ(urls(walk(playlist)),
              (std::vector<QString>{"/media/a", "/media/b", "/media/a", "/media/b", "/media/c"}));
}

TEST(AsxReader, BadClockValuesCountAsNotGiven) {
    CMetafilePlaylist playlist = parseAsx(R"(<asx><entry><ref href="a"/>
      <starttime value="1:2:3:4"/><duration value="-5"/></entry>
      <entry><ref href="b"/><starttime value="99999999:00:00"/><duration value="1e3"/></entry>
      <entry><ref href="c"/><starttime value="1:30"/><duration value="2:00:00.5"/></entry></asx>)");
    ASSERT_EQ(playlist.items().size(), 3u);
    EXPECT_EQ(playlist.items()[0].sources[0].start, 0);
    EXPECT_EQ(playlist.items()[0].sources[0].duration, 0);
    EXPECT_EQ(playlist.items()[1].sources[0].start, 0);
    EXPECT_EQ(playlist.items()[1].sources[0].duration, 0);
    EXPECT_EQ(playlist.items()[2].sources[0].start, 90e7);
    EXPECT_EQ(playlist.items()[2].sources[0].duration, 7200.5e7);
}

TEST(AsxReader, ListsPublishedMalformedAreReadForgivingly) {
    // Not closed, misnested, unquoted: the entry is still there.
    for (const char *text :
         {"<asx><entry><ref href='a'/></entry>", "<asx><entry><ref href='a'></entry></asx>",
          "<asx><entry><ref href=a/></entry></asx>"}) {
        EXPECT_EQ(urls(walk(*std::make_unique<CMetafilePlaylist>(parseAsx(text)))),
                  std::vector<QString>{"/media/a"})
            << text;
    }
    // Unclosed REFs and ENTRYs close where the next one begins; a missing closing quote ends
    // with its tag; an unclosed REPEAT ends with the list.
    CMetafilePlaylist list = parseAsx(R"(<ASX version="3.0">
  <ENTRY><REF HREF="one.wmv"><REF HREF="one-backup.wmv"></ENTRY>
  <REPEAT COUNT="2">
  <ENTRY><REF HREF="two.wmv>
  <ENTRY><Ref href="three &amp; four.wmv">)");
    ASSERT_EQ(list.items().size(), 3u);
    EXPECT_EQ(list.items()[0].sources.size(), 2u);
    EXPECT_EQ(list.items()[1].sources[0].url, "/media/two.wmv");
    EXPECT_EQ(list.items()[2].sources[0].url, "/media/three & four.wmv");
    EXPECT_EQ(list.repeat().count, 2u);
    EXPECT_EQ(list.repeat().startItem, 1u);
    EXPECT_EQ(list.repeat().endItem, 3u);
}

TEST(AsxReader, MalformedDocumentsAreRefused) {
    EXPECT_TRUE(asxFails("<html><entry><ref href='a'/></entry></html>"));    // other XML
    EXPECT_TRUE(asxFails("<asx><entry><ref href='a&bogus;'></entry>"));      // unknown entity
    EXPECT_TRUE(asxFails("<asx></asx>"));                                    // nothing to play
    EXPECT_TRUE(asxFails("<asx><entry><ref href='a&#0;'/></entry></asx>"));  // NUL reference
    EXPECT_TRUE(asxFails(""));
    EXPECT_TRUE(asxFails(QByteArray("\0\0\0\0", 4)));
}

TEST(AsxReader, EntityTricksEndQuickly) {
    // Exponential entity expansion must hit the reader's limit instead of the memory.
    QByteArray laughs = "<!DOCTYPE asx [<!ENTITY a0 \"lol\">";
    for (int i = 1; i < 12; ++i) {
        laughs += "<!ENTITY a" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k) {
            laughs += "&a" + QByteArray::number(i - 1) + ";";
        }
        laughs += "\">";
    }
    laughs += "]><asx><entry><ref href=\"&a11;\"/></entry></asx>";
    EXPECT_TRUE(asxFails(laughs));
    EXPECT_TRUE(asxFails("<asx><entry><ref href='&undeclared;'/></entry></asx>"));
    EXPECT_TRUE(
        asxFails("<!DOCTYPE asx [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                 "<asx><entry><ref href='&x;'/></entry></asx>"));

    CMetafilePlaylist declared = parseAsx(
        "<!DOCTYPE asx [<!ENTITY host \"http://h/\">]><asx><entry><ref href='&host;a'/></entry>"
        "</asx>");
    EXPECT_EQ(declared.items()[0].sources[0].url, "http://h/a");
}

TEST(AsxReader, NestedListsJoinWhereTheyAreNamed) {
    QTemporaryDir dir;
    const auto write = [&dir](const char *name, const QByteArray &text) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("inner.asx",
          "<asx><entry><ref href='inner.wmv'/></entry>"
          "<entryref href='outer.asx'/></asx>");
    write("songs.m3u", "#EXTM3U\nsong.mp3\n");
    write("outer.asx",
          "<asx><entry><ref href='first.wmv'/></entry>"
          "<repeat count='3'><entryref href='inner.asx'/>"
          "<entry><ref href='last.wmv'/></entry></repeat>"
          "<entryref href='songs.m3u'/><entryref href='missing.asx'/>"
          "<entryref href='http://host/live.asx'/></asx>");
    CMetafilePlaylist list;
    QString error;
    ASSERT_TRUE(readMetafilePlaylist(dir.filePath("outer.asx"), list, &error))
        << error.toStdString();
    // The inner list's own reference back to the outer one is not followed again.
    std::vector<QString> addresses;
    for (const CMetafileEntry &entry : list.items()) {
        addresses.push_back(entry.sources.front().url);
    }
    EXPECT_EQ(addresses, (std::vector<QString>{dir.filePath("first.wmv"), dir.filePath("inner.wmv"),
                                               dir.filePath("last.wmv"), dir.filePath("song.mp3"),
                                               "http://host/live.asx"}));
    EXPECT_EQ(list.repeat().startItem, 1u);
    EXPECT_EQ(list.repeat().endItem, 3u);

    // A list of nothing but references to itself plays nothing.
    write("self.asx", "<asx><entryref href='self.asx'/></asx>");
    EXPECT_FALSE(readMetafilePlaylist(dir.filePath("self.asx"), list, &error));
}

TEST(AsxReader, HugeListsAreCutAtTheItemLimit) {
    QByteArray text = "<asx>";
    for (size_t i = 0; i < kMaxMetafileItems + 50; ++i) {
        text += "<entry><ref href='f" + QByteArray::number(qulonglong(i)) + "'/></entry>";
    }
    text += "</asx>";
    CMetafilePlaylist playlist;
    ASSERT_TRUE(parseAsxPlaylist(text, QStringLiteral("/m"), playlist));
    EXPECT_EQ(playlist.items().size(), kMaxMetafileItems);
}

TEST(M3uReader, CommentsAndBlankLinesSkippedAddressesResolved) {
    CMetafilePlaylist playlist;
    ASSERT_TRUE(
        parseM3uPlaylist("#EXTM3U\r\n#EXTINF:123,Song\r\nsong.mp3\r\n\r\n"
                         "  http://radio/live  \r\nsub\\two.ogg\n# end\n",
                         QStringLiteral("/music"), playlist));
    EXPECT_EQ(urls(walk(playlist)),
              (std::vector<QString>{"/music/song.mp3", "http://radio/live", "/music/sub/two.ogg"}));
    EXPECT_FALSE(parseM3uPlaylist("#EXTM3U\n# only comments\n", QStringLiteral("/m"), playlist));
}

TEST(MetafileSniffing, ContentDecidesAndTheExtensionOnlyVouchesForText) {
    struct {
        QByteArray head;
        const char *suffix;
        EMetafileKind expected;
    } cases[] = {
        {"<ASX version=\"3.0\">", "asx", EMetafileKind::Asx},
        {"<asx>", "wmv", EMetafileKind::Asx},  // the stream redirector saved under a media name
        {"\xEF\xBB\xBF  <?xml version=\"1.0\"?>\n<!-- list -->\n<Asx>", "wvx", EMetafileKind::Asx},
        {"<asxfoo>", "asx", EMetafileKind::None},
        {"<html>", "asx", EMetafileKind::None},
        {QByteArray("\0\0\0\x18"
                    "ftypisom",
                    12),
         "asx", EMetafileKind::None},
        {"#EXTM3U\nx.mp3", "txt", EMetafileKind::M3u},
        {"track.mp3\n", "M3U", EMetafileKind::M3u},
        {"track.mp3\n", "m3u8", EMetafileKind::M3u},
        {QByteArray("ID3\x03\0\0\0", 7), "m3u", EMetafileKind::None},
        {"track.mp3\n", "mp3", EMetafileKind::None},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(sniffMetafile(c.head, QString::fromLatin1(c.suffix)), c.expected)
            << c.head.toStdString() << " ." << c.suffix;
    }
    // "UNICODE" metafiles of Windows Media Player are UTF-16 with a byte-order mark.
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray wide = utf16.encode(u"<ASX version=\"3.0\"><ENTRY>");
    EXPECT_EQ(sniffMetafile(wide, QStringLiteral("asx")), EMetafileKind::Asx);
}

TEST(MetafileFiles, ReadFromDiskWithEncodingsLimitsAndFailures) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    CMetafilePlaylist playlist;
    QString error;

    // Written by Korean Windows: code page 949, "영화.wmv".
    const QString ansi = write("ansi.asx",
                               "<ASX><ENTRY><REF HREF=\"\xBF\xB5\xC8\xAD.wmv\"/>"
                               "</ENTRY></ASX>");
    ASSERT_TRUE(readMetafilePlaylist(ansi, playlist, &error)) << error.toStdString();
    EXPECT_EQ(playlist.items()[0].sources[0].url, dir.filePath(QStringLiteral("영화.wmv")));

    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QString wide =
        write("wide.wvx", utf16.encode(u"<ASX><ENTRY><REF HREF=\"자막.wmv\"/></ENTRY></ASX>"));
    ASSERT_TRUE(readMetafilePlaylist(wide, playlist, &error)) << error.toStdString();
    EXPECT_EQ(playlist.items()[0].sources[0].url, dir.filePath(QStringLiteral("자막.wmv")));

    EXPECT_EQ(metafileKind(write("plain.m3u", "a.mp3\nb.mp3\n")), EMetafileKind::M3u);
    EXPECT_EQ(metafileKind(dir.filePath("missing.asx")), EMetafileKind::None);
    EXPECT_FALSE(readMetafilePlaylist(dir.filePath("missing.asx"), playlist, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(readMetafilePlaylist(write("media.asx", QByteArray(64, '\0')), playlist));

    QByteArray huge = "<asx><entry><ref href='a'/></entry><!--";
    huge += QByteArray(kMaxMetafileBytes, 'x');
    huge += "--></asx>";
    error.clear();
    EXPECT_FALSE(readMetafilePlaylist(write("huge.asx", huge), playlist, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("larger")));
}

}  // namespace
