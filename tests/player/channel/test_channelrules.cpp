// The channel browser's rules: which addresses are the player's, what a page may do on its own,
// where the channel window, the home page and the user guide are found, and the window's layout.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "player/channel/channellayout.h"
#include "player/channel/navigationrules.h"
#include "player/channel/projectpages.h"

namespace {

using namespace kivo::channel;

TEST(MediaLink, TheExtensionOfTheAddressDecidesWithoutCase) {
    const struct {
        const char *address;
        bool media;
    } cases[] = {
        {"http://127.0.0.1/clip.MPG", true},
        {"http://host/a/b/song.mp3", true},
        {"https://host/list.ASX", true},
        {"file:///home/user/movie.avi", true},
        {"http://host/x.aifc", true},
        {"http://host/x.wam", true},
        {"http://host/clip.mpg?start=10", false},  // a query after the extension: a page
        {"http://host/clip.mpg#part", false},
        {"http://host/clip.mpg/", false},
        {"http://host/plateau", false},    // ends in "au" without a dot
        {"http://example.com.au", false},  // a host, no file
        {"http://host/clip.mp4", false},   // not one of the player's link types
        {"http://host/index.html", false},
        {"http://host/", false},
        {"", false},
    };
    for (const auto &[address, media] : cases) {
        EXPECT_EQ(isMediaLink(QUrl(QString::fromUtf8(address))), media) << address;
    }
}

TEST(MediaLink, EveryExtensionOfTheListCounts) {
    for (const char *extension : {"mpeg", "mpg", "m1v", "mp2", "mpa", "mpe",  "avi",  "wmv", "dat",
                                  "asf",  "wm",  "wma", "mov", "qt",  "asx",  "mid",  "rmi", "midi",
                                  "mp3",  "wav", "snd", "au",  "aif", "aifc", "aiff", "wam"}) {
        const QString name = QStringLiteral("http://host/f.") + QString::fromLatin1(extension);
        EXPECT_TRUE(isMediaLink(QUrl(name))) << extension;
        EXPECT_TRUE(isMediaLink(QUrl(name.toUpper()))) << extension;
    }
}

TEST(Navigation, OnlyTheUsersMediaLinksOpenAndOnlyPagesAreBrowsed) {
    const struct {
        const char *address;
        bool user;
        Navigation expected;
    } cases[] = {
        {"http://host/clip.MPG", true, Navigation::OpenInPlayer},
        {"http://host/clip.MPG", false, Navigation::Refuse},  // a script, not the user
        {"http://host/clip.mpg?x=1", false, Navigation::Browse},
        {"https://host/page.html", false, Navigation::Browse},
        {"file:///usr/share/kivo/channel/index.html", true, Navigation::Browse},
        {"about:blank", false, Navigation::Browse},
        {"mailto:someone@example.com", true, Navigation::Refuse},
        {"javascript:alert(1)", true, Navigation::Refuse},
        {"ftp://host/file.txt", true, Navigation::Refuse},
        {"mms://host/stream", true, Navigation::Refuse},
        {"data:text/html,x.mpg", true, Navigation::Browse},
    };
    for (const auto &[address, user, expected] : cases) {
        EXPECT_EQ(decideNavigation(QUrl(QString::fromUtf8(address)), user), expected)
            << address << " user " << user;
    }
}

TEST(Navigation, DownloadsPlayOnlyWhenTheyAreMediaTheUserAskedFor) {
    const QUrl get(QStringLiteral("http://host/get?id=5"));
    EXPECT_EQ(decideDownload(get, QStringLiteral("video/mp4"), true), Navigation::OpenInPlayer);
    EXPECT_EQ(decideDownload(get, QStringLiteral("audio/mpeg"), true), Navigation::OpenInPlayer);
    EXPECT_EQ(decideDownload(get, QStringLiteral("video/mp4"), false), Navigation::Refuse);
    EXPECT_EQ(decideDownload(get, QStringLiteral("application/zip"), true), Navigation::Refuse);
    EXPECT_EQ(decideDownload(QUrl(QStringLiteral("http://host/a.wmv")),
                             QStringLiteral("application/octet-stream"), true),
              Navigation::OpenInPlayer);
    EXPECT_EQ(decideDownload(QUrl(QStringLiteral("blob:http://host/1234")),
                             QStringLiteral("video/mp4"), true),
              Navigation::Refuse);
}

class ProjectPages : public testing::Test {
protected:
    void write(const QString &name, const QByteArray &bytes) {
        const QString path = m_folder.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString folder() const { return m_folder.path(); }
    QUrl shippedPage() const {
        return QUrl::fromLocalFile(
            QFileInfo(m_folder.filePath(QStringLiteral("channel/index.html"))).canonicalFilePath());
    }

    QTemporaryDir m_folder;
};

TEST_F(ProjectPages, WithoutAnythingThereIsNoAddress) {
    EXPECT_TRUE(channelAddress(folder()).isEmpty());
    EXPECT_TRUE(homePage(folder()).isEmpty());
    EXPECT_TRUE(userGuide(folder()).isEmpty());
    EXPECT_TRUE(shippedChannelPage(folder()).isEmpty());
}

TEST_F(ProjectPages, TheShippedPageStandsInForMissingOrBadAddresses) {
    write(QStringLiteral("channel/index.html"), "<html></html>");
    write(QStringLiteral("help/index.html"), "<html></html>");
    EXPECT_EQ(channelAddress(folder()), shippedPage());
    EXPECT_EQ(homePage(folder()), shippedPage());
    EXPECT_EQ(QFileInfo(userGuide(folder())).fileName(), QStringLiteral("index.html"));
    for (const char *bad : {"not a url at all", "javascript:alert(1)", "mailto:a@b.c", "http://"}) {
        write(QStringLiteral("KIVOP.ini"), QByteArray("[Channel]\r\nURL=") + bad + "\r\n");
        EXPECT_EQ(channelAddress(folder()), shippedPage()) << bad;
    }
}

TEST_F(ProjectPages, KivopIniNamesTheChannelAndTheHomePage) {
    write(QStringLiteral("channel/index.html"), "<html></html>");
    const QString longPath = QString(300, u'a');
    write(QStringLiteral("KIVOP.ini"),
          ("; written by the installer\r\n[Channel]\r\nURL=http://kivo.example/" + longPath +
           "\r\n[Home]\r\nURL=www.kivo.example\r\n")
              .toUtf8());
    // A long address is kept whole.
    EXPECT_EQ(channelAddress(folder()), QUrl(QStringLiteral("http://kivo.example/") + longPath));
    EXPECT_EQ(homePage(folder()), QUrl(QStringLiteral("http://www.kivo.example")));
}

TEST(ChannelLayout, ThePartsFollowTheWindowsSize) {
    const ChannelLayout largest = channelLayout(kMaximumSize);
    EXPECT_EQ(largest.top, QRect(0, 0, 550, 27));
    EXPECT_EQ(largest.bottom, QRect(0, 365, 550, 20));
    EXPECT_EQ(largest.left, QRect(0, 27, 15, 338));
    EXPECT_EQ(largest.right, QRect(535, 27, 15, 338));
    EXPECT_EQ(largest.closeButton, QPoint(534, 4));
    EXPECT_EQ(largest.caption, QPoint(19, 33));
    EXPECT_EQ(largest.toolbar, QRect(15, 49, 520, 33));
    EXPECT_EQ(largest.browser, QRect(15, 82, 520, 283));
    const ChannelLayout smallest = channelLayout(kMinimumSize);
    EXPECT_EQ(smallest.browser, QRect(15, 82, 210, 138));
    EXPECT_EQ(smallest.right.left() + smallest.right.width(), 240);
    EXPECT_EQ(smallest.bottom.bottom(), 239);
}

}  // namespace
