// The user guide's pictures of the player's windows, taken from the X server as the user sees
// them: screenshot_guide PROGRAM_FOLDER OUT_FOLDER [MEDIA] (run under Xvfb). PROGRAM_FOLDER holds
// the channel page as the build puts it beside the player; MEDIA is opened in the control panel.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "media/playback/playbackengine.h"
#include "player/channel/window/channelbrowser.h"
#include "player/channel/window/channelwnd.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/registry.h"

namespace {

bool saveWindow(QWidget &window, const QString &path) {
    QTest::qWait(300);
    const QRect frame = COVDlgManager::frameRect(&window);
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(path);
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 3) {
        return 2;
    }
    const QString programFolder = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(settings.filePath(QStringLiteral("data"))));
    COVRegistry registry(settings.filePath(QStringLiteral("KIVOP.conf")));
    CPlayerDlg panel(registry, {});
    panel.session().engine().setAudioOutput(QStringLiteral("null"));
    panel.move(40, 40);
    panel.show();
    if (argc > 3) {
        panel.openFile(QString::fromLocal8Bit(argv[3]), true);
        panel.videoWindow().hide();
        QTest::qWait(1500);
        panel.transport().pauseToggle();
        QTest::qWait(1500);
    }
    if (!saveWindow(panel, out.filePath(QStringLiteral("panel.png")))) {
        return 1;
    }

    CChannelWnd channel(nullptr, panel, programFolder);
    channel.resize(CChannelWnd::kMaximum);
    channel.move(40, 200);
    channel.show();
    if (channel.browser() != nullptr) {
        QSignalSpy loaded(channel.browser(), &CChannelBrowser::loadFinished);
        if (!loaded.wait(30000)) {
            return 1;
        }
        QTest::qWait(1500);
    }
    return saveWindow(channel, out.filePath(QStringLiteral("channel.png"))) ? 0 : 1;
}
