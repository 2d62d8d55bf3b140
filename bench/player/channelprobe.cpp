// The channel window in the running player, for channel_bench.sh:
//   kivo_channel_probe PROGRAM_FOLDER
// PROGRAM_FOLDER holds the channel page as the build puts it beside the player. Prints one line:
//   cold_ms warm_ms reshow_ms rss_before_kb rss_after_kb engine_rss_kb
// cold: the channel button's first show to the page painted, in a player whose browser engine
// has not started; warm: the same for a second channel window once the engine runs; reshow:
// hiding and showing the first window again (the page is kept). The player's resident memory is
// taken before and after the first show; engine_rss_kb is that of the engine's processes the
// player started.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <cstdio>

#include "player/channel/window/channelbrowser.h"
#include "player/channel/window/channelwnd.h"
#include "player/channel/window/webchannelbrowser.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/registry.h"

namespace {

// VmRSS of a process in kB, 0 when it is gone.
long residentKb(const QString &pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

QString parentOf(const QString &pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray text = stat.readAll();
    // "pid (name) state ppid ...": the name may hold spaces, so count from its end.
    return QString::fromLatin1(text.mid(text.lastIndexOf(')') + 2).split(' ').value(1));
}

// The resident memory of every descendant of this process.
long descendantsKb() {
    const QString self = QString::number(QCoreApplication::applicationPid());
    long total = 0;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (pid.toLong() == 0 || pid == self) {
            continue;
        }
        for (QString up = parentOf(pid); !up.isEmpty() && up != QStringLiteral("0");
             up = parentOf(up)) {
            if (up == self) {
                total += residentKb(pid);
                break;
            }
        }
    }
    return total;
}

// From a show to the page loaded and drawn: the page's next two animation frames have run.
double showToPainted(CChannelWnd &window, const std::function<void()> &show) {
    QElapsedTimer clock;
    clock.start();
    show();
    auto *browser = qobject_cast<CWebChannelBrowser *>(window.browser());
    if (browser == nullptr) {
        return -1;
    }
    QSignalSpy loaded(browser, &CChannelBrowser::loadFinished);
    if (!loaded.wait(60000)) {
        return -1;
    }
    browser->view()->page()->runJavaScript(
        QStringLiteral("requestAnimationFrame(function(){requestAnimationFrame(function(){"
                       "document.title='painted';});});"));
    if (!QTest::qWaitFor([&] { return browser->view()->title() == u"painted"; }, 60000)) {
        return -1;
    }
    return clock.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kivo_channel_probe PROGRAM_FOLDER\n");
        return 2;
    }
    const QString programFolder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(settings.filePath(QStringLiteral("data"))));
    COVRegistry registry(settings.filePath(QStringLiteral("KIVOP.conf")));
    CPlayerDlg panel(registry, {});
    panel.show();
    QTest::qWait(1000);
    const QString self = QString::number(QCoreApplication::applicationPid());
    const long before = residentKb(self);

    CChannelWnd first(nullptr, panel, programFolder);
    first.resize(CChannelWnd::kMaximum);
    const double cold = showToPainted(first, [&] { first.show(); });
    QTest::qWait(1000);
    const long after = residentKb(self);
    const long engine = descendantsKb();

    CChannelWnd second(nullptr, panel, programFolder);
    second.resize(CChannelWnd::kMaximum);
    const double warm = showToPainted(second, [&] { second.show(); });

    first.hide();
    QElapsedTimer clock;
    clock.start();
    first.show();
    const double reshow = QTest::qWaitForWindowExposed(&first) ? clock.nsecsElapsed() / 1e6 : -1;

    std::printf("%.1f %.1f %.1f %ld %ld %ld\n", cold, warm, reshow, before, after, engine);
    return cold < 0 || warm < 0 ? 1 : 0;
}
