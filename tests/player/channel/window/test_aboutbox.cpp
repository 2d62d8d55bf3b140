// The about box and the help and home-page commands of a real control panel, whose program folder
// holds the user guide and the channel page as the build puts them beside the player.
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "player/channel/window/aboutdlg.h"
#include "player/channel/window/channelbrowser.h"
#include "player/channel/window/channelwnd.h"
#include "player/transport/playercommands.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/asker.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/registry.h"

// Takes the addresses the desktop would open.
class CUrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestAboutBox : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    CUrlCatcher m_catcher;

    QString besideProgram(const QString &name) const {
        return QDir(QCoreApplication::applicationDirPath()).filePath(name);
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("data"))));
        for (const char *scheme : {"file", "http", "https"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_catcher, "open");
        }
    }

    // The version line is the one `KIVOP --version` prints; the home page is the shipped page.
    void theAboutBoxShowsTheBuildsVersionAndTheHomePage() {
        QProcess kivop;
        kivop.start(QStringLiteral(KIVOP_PROGRAM), {QStringLiteral("--version")});
        QVERIFY(kivop.waitForFinished(10000));
        QCOMPARE(kivop.exitCode(), 0);
        const QString printed = QString::fromUtf8(kivop.readAllStandardOutput()).trimmed();
        QVERIFY2(printed.startsWith(QStringLiteral("KIVO Player ")), qPrintable(printed));
        const QString version = printed.section(u' ', 2);
        QVERIFY(!version.isEmpty());

        COVRegistry registry(m_folder.filePath(QStringLiteral("KIVOP.conf")));
        CPlayerDlg panel(registry, {});
        QString shown;
        QString link;
        QString title;
        QTimer::singleShot(0, this, [&] {
            auto *about = qobject_cast<CAboutDlg *>(QApplication::activeModalWidget());
            QVERIFY(about != nullptr);
            title = about->windowTitle();
            shown = about->findChild<QLabel *>(QStringLiteral("version"))->text();
            link = about->findChild<COVHyperLink *>(QStringLiteral("homePage"))->url();
            about->findChild<QPushButton *>()->click();
        });
        QCOMPARE(panel.runCommand(kivo::player::kAbout), 1);
        QCOMPARE(title, QStringLiteral("KIVO Player 정보"));
        QCOMPARE(shown, QStringLiteral("KIVO Player Ver ") + version);
        QCOMPARE(QUrl(link),
                 QUrl::fromLocalFile(QFileInfo(besideProgram(QStringLiteral("channel/index.html")))
                                         .canonicalFilePath()));

        m_catcher.urls.clear();
        QCOMPARE(panel.runCommand(kivo::player::kHomePage), 1);
        QCOMPARE(m_catcher.urls, QList<QUrl>{QUrl(link)});
    }

    // Help opens the guide beside the program, keyboard table included; without the guide the
    // player says so.
    void helpOpensTheGuideOrSaysItIsMissing() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        COVRegistry registry(m_folder.filePath(QStringLiteral("KIVOP.conf")));
        CPlayerDlg panel(registry, {});
        m_catcher.urls.clear();
        QCOMPARE(panel.runCommand(kivo::player::kHelp), 1);
        QCOMPARE(m_catcher.urls.size(), 1);
        const QString guide = m_catcher.urls.first().toLocalFile();
        QCOMPARE(guide,
                 QFileInfo(besideProgram(QStringLiteral("help/index.html"))).canonicalFilePath());
        QFile text(guide);
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QByteArray html = text.readAll();
        QVERIFY(html.contains("<table class=\"keys\">"));
        QVERIFY(html.contains("<kbd>F1</kbd>"));
        QVERIFY(asker.questions().isEmpty());

        const QString away = besideProgram(QStringLiteral("help.away"));
        QVERIFY(QDir().rename(besideProgram(QStringLiteral("help")), away));
        const int result = panel.runCommand(kivo::player::kHelp);
        QVERIFY(QDir().rename(away, besideProgram(QStringLiteral("help"))));
        QCOMPARE(result, 0);
        QCOMPARE(asker.texts(),
                 QStringList{QStringLiteral("KIVO 도움말 파일(KIVOHelp.chm)을 실행하는데 오류가 "
                                            "발생했습니다.\n파일이 삭제됐는지 확인하세요")});
        QCOMPARE(m_catcher.urls.size(), 1);
    }

    // Built without a browser, the channel button opens the channel page in the desktop's
    // browser; with one, it shows the channel window.
    void theChannelButtonShowsTheChannel() {
        COVRegistry registry(m_folder.filePath(QStringLiteral("KIVOP.conf")));
        CPlayerDlg panel(registry, {});
        m_catcher.urls.clear();
        QCOMPARE(panel.runCommand(kivo::player::kChannelButton), 1);
        if (kivo::channel::hasBrowser()) {
            QVERIFY(panel.channelWindow()->isVisible());
            QVERIFY(m_catcher.urls.isEmpty());
        } else {
            QVERIFY(!panel.channelWindow()->isVisible());
            QCOMPARE(m_catcher.urls,
                     QList<QUrl>{QUrl::fromLocalFile(
                         QFileInfo(besideProgram(QStringLiteral("channel/index.html")))
                             .canonicalFilePath())});
        }
    }
};

QTEST_MAIN(TestAboutBox)
#include "test_aboutbox.moc"
