// The channel window with its real browser on an X server, over pages that a web server of the
// test serves: a media link the user clicks plays in a real player, pages are kept between
// shows, the toolbar follows the history, and pages that try things on their own get nowhere.
#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWebEngineView>

#include "media/playback/playbackengine.h"
#include "player/channel/window/channelbrowser.h"
#include "player/channel/window/channelwnd.h"
#include "player/channel/window/webchannelbrowser.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/asker.h"
#include "uisupport/registry.h"
#include "webserver.h"

namespace {

constexpr int kPageMs = 30000;

QByteArray page(const QByteArray &body) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>" + body +
           "</body></html>";
}

QWebEngineView *viewOf(CChannelWnd &window) {
    auto *browser = qobject_cast<CWebChannelBrowser *>(window.browser());
    return browser != nullptr ? browser->view() : nullptr;
}

// Runs a script in the window's page and waits for its result.
QVariant evaluate(CChannelWnd &window, const QString &script) {
    QVariant result;
    bool done = false;
    viewOf(window)->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, kPageMs) ? result : QVariant();
}

// Clicks the middle of an element of the page with the mouse, as the user does.
bool clickElement(CChannelWnd &window, const QString &id) {
    const QVariantList centre =
        evaluate(window, QStringLiteral("(function(){var r=document.getElementById('%1')"
                                        ".getBoundingClientRect();"
                                        "return [r.left+r.width/2, r.top+r.height/2];})()")
                             .arg(id))
            .toList();
    QWidget *surface = viewOf(window)->focusProxy();
    if (centre.size() != 2 || surface == nullptr) {
        return false;
    }
    const QPoint point(centre[0].toInt(), centre[1].toInt());
    QTest::mouseMove(surface, point);
    QTest::mouseClick(surface, Qt::LeftButton, {}, point);
    return true;
}

bool pageIs(CChannelWnd &window, const QString &address) {
    return window.browser() != nullptr && window.browser()->address() == QUrl(address);
}

}  // namespace

class TestChannelWnd : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    CTestWebServer m_server;
    std::unique_ptr<COVRegistry> m_registry;
    std::unique_ptr<CPlayerDlg> m_player;

    // The program folder of the channel windows: KIVOP.ini names the served channel page.
    QString programFolder() const { return m_folder.filePath(QStringLiteral("program")); }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("data"))));
        QFile clip(qEnvironmentVariable("KIVO_FIXTURES") + QStringLiteral("/cuts.mkv"));
        QVERIFY(clip.open(QIODevice::ReadOnly));
        m_server.serve("/clip.MPG", "video/mpeg", clip.readAll());
        m_server.serve("/index.html", "text/html",
                       page("<a id='clip' href='clip.MPG'>clip</a><br><br>"
                            "<a id='query' href='page.mpg?x=1'>query</a><br><br>"
                            "<a id='second' href='second.html'>second</a><br><br>"
                            "<a id='popup' href='second.html' target='_blank'>popup</a>"));
        m_server.serve("/page.mpg?x=1", "text/html", page("a page, not a video"));
        m_server.serve("/second.html", "text/html", page("<a id='back' href='index.html'>b</a>"));
        m_server.serve("/sneaky.html", "text/html",
                       page("<script>window.open('second.html');"
                            "setTimeout(function(){location.href='sneaky.mpg';},10);</script>"));
        m_server.hold("/stuck.html");
        QVERIFY(m_server.listen());
        QDir().mkpath(programFolder());
        QFile ini(programFolder() + QStringLiteral("/KIVOP.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Channel]\r\nURL=" + m_server.address(QStringLiteral("/index.html")).toUtf8() +
                  "\r\n");
        ini.close();
        m_registry = std::make_unique<COVRegistry>(m_folder.filePath(QStringLiteral("KIVOP.conf")));
        m_player = std::make_unique<CPlayerDlg>(*m_registry, QStringList{});
        m_player->session().engine().setAudioOutput(QStringLiteral("null"));
    }

    void cleanupTestCase() {
        m_player.reset();
        m_registry.reset();
    }

    // The first show loads the channel address; hiding and showing again keeps the page (no
    // second request); back and forward follow the history.
    void theFirstShowLoadsAndLaterShowsKeepThePage() {
        CChannelWnd window(nullptr, *m_player, programFolder());
        QVERIFY(window.browser() == nullptr);
        QVERIFY(!window.isCommandEnabled(CChannelWnd::kBack));
        window.resize(CChannelWnd::kMaximum);
        window.show();
        QVERIFY(window.browser() != nullptr);
        QSignalSpy loaded(window.browser(), &CChannelBrowser::loadFinished);
        QVERIFY(loaded.wait(kPageMs));
        QCOMPARE(loaded.takeFirst().at(0).toBool(), true);
        QCOMPARE(m_server.requests("/index.html"), 1);
        QVERIFY(!window.isCommandEnabled(CChannelWnd::kBack));
        QVERIFY(!window.isCommandEnabled(CChannelWnd::kForward));

        window.hide();
        window.show();
        QTest::qWait(500);
        QCOMPARE(m_server.requests("/index.html"), 1);
        QVERIFY(pageIs(window, m_server.address(QStringLiteral("/index.html"))));

        QVERIFY(clickElement(window, QStringLiteral("second")));
        QTRY_VERIFY_WITH_TIMEOUT(pageIs(window, m_server.address(QStringLiteral("/second.html"))),
                                 kPageMs);
        QTRY_VERIFY_WITH_TIMEOUT(window.isCommandEnabled(CChannelWnd::kBack), kPageMs);
        QVERIFY(!window.isCommandEnabled(CChannelWnd::kForward));
        QCOMPARE(window.runCommand(CChannelWnd::kBack), 1);
        QTRY_VERIFY_WITH_TIMEOUT(window.isCommandEnabled(CChannelWnd::kForward), kPageMs);
        QTRY_VERIFY(!window.isCommandEnabled(CChannelWnd::kBack));
        QCOMPARE(window.runCommand(CChannelWnd::kBack), 0);  // greyed
        QCOMPARE(window.runCommand(CChannelWnd::kForward), 1);
        QTRY_VERIFY_WITH_TIMEOUT(pageIs(window, m_server.address(QStringLiteral("/second.html"))),
                                 kPageMs);
        // Home goes back to the channel address.
        QCOMPARE(window.runCommand(CChannelWnd::kHome), 1);
        QTRY_VERIFY_WITH_TIMEOUT(pageIs(window, m_server.address(QStringLiteral("/index.html"))),
                                 kPageMs);
    }

    // A link ending in ".MPG" is opened by the player, not by the browser, which stays on its
    // page; a link with a query after the extension is an ordinary page.
    void aClickedMediaLinkPlaysInThePlayer() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CChannelWnd window(nullptr, *m_player, programFolder());
        window.resize(CChannelWnd::kMaximum);
        window.show();
        QSignalSpy loaded(window.browser(), &CChannelBrowser::loadFinished);
        QVERIFY(loaded.wait(kPageMs));
        QSignalSpy opened(m_player.get(), &CPlayerDlg::fileChanged);
        QVERIFY(clickElement(window, QStringLiteral("clip")));
        QTRY_VERIFY_WITH_TIMEOUT(
            opened.contains(QVariantList{m_server.address(QStringLiteral("/clip.MPG"))}), kPageMs);
        QCOMPARE(m_player->windowTitle(), QStringLiteral("KIVO Player_CLIP"));
        QVERIFY(asker.questions().isEmpty());
        QVERIFY(pageIs(window, m_server.address(QStringLiteral("/index.html"))));
        m_player->closeFile();

        QVERIFY(clickElement(window, QStringLiteral("query")));
        QTRY_VERIFY_WITH_TIMEOUT(pageIs(window, m_server.address(QStringLiteral("/page.mpg?x=1"))),
                                 kPageMs);
        QCOMPARE(m_server.requests("/page.mpg?x=1"), 1);
        QVERIFY(!opened.contains(QVariantList{m_server.address(QStringLiteral("/page.mpg?x=1"))}));
    }

    // A page that opens a window and moves itself to a media address without the user opens
    // nothing; a link to a new window stays in the channel window; a page that never comes
    // leaves the window working and is stopped by the stop button.
    void pagesGetNowhereOnTheirOwn() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CChannelWnd window(nullptr, *m_player, programFolder());
        window.resize(CChannelWnd::kMaximum);
        window.show();
        QSignalSpy loaded(window.browser(), &CChannelBrowser::loadFinished);
        QVERIFY(loaded.wait(kPageMs));
        const int windowsBefore = QApplication::topLevelWidgets().size();
        QSignalSpy chosen(window.browser(), &CChannelBrowser::mediaLinkChosen);
        const int secondBefore = m_server.requests("/second.html");
        window.browser()->navigate(QUrl(m_server.address(QStringLiteral("/sneaky.html"))));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requests("/sneaky.html") == 1, kPageMs);
        QTest::qWait(1500);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(m_server.requests("/sneaky.mpg"), 0);
        QCOMPARE(m_server.requests("/second.html"), secondBefore);
        QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);

        window.browser()->navigate(QUrl(m_server.address(QStringLiteral("/index.html"))));
        QTRY_VERIFY_WITH_TIMEOUT(
            evaluate(window, QStringLiteral("!!document.getElementById('popup')")).toBool(),
            kPageMs);
        QVERIFY(clickElement(window, QStringLiteral("popup")));
        QTRY_VERIFY_WITH_TIMEOUT(pageIs(window, m_server.address(QStringLiteral("/second.html"))),
                                 kPageMs);
        QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);

        loaded.clear();
        window.browser()->navigate(QUrl(m_server.address(QStringLiteral("/stuck.html"))));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requests("/stuck.html") == 1, kPageMs);
        bool ticked = false;
        QTimer::singleShot(100, this, [&] { ticked = true; });
        QTRY_VERIFY_WITH_TIMEOUT(ticked, 2000);
        QCOMPARE(window.runCommand(CChannelWnd::kStop), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kPageMs);
        QCOMPARE(loaded.last().at(0).toBool(), false);
        QCOMPARE(chosen.count(), 0);
        QVERIFY(asker.questions().isEmpty());
    }
};

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestChannelWnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_channelwnd.moc"
