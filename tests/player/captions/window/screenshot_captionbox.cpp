// Shows the caption box docked under the video window and detached, with a Korean caption in
// a Korean font and chosen colours: screenshot_captionbox (run under Xvfb, then grab the
// screen). It stays open for the given seconds (default 8).
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "media/playback/playbackengine.h"
#include "player/captions/window/captionboxwnd.h"
#include "player/transport/playercommands.h"
#include "player/transport/videocommands.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "uisupport/registry.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder.filePath(QStringLiteral("data"))));
    COVRegistry registry(folder.filePath(QStringLiteral("KIVOP.conf")));
    CPlayerDlg panel(registry, {});
    panel.session().engine().setAudioOutput(QStringLiteral("null"));
    const QString media = qEnvironmentVariable("KIVO_FIXTURES") + QStringLiteral("/cuts.mp4");
    panel.show();
    panel.openFile(media, false);
    CVideoWnd &video = panel.videoWindow();
    video.setGeometry(60, 40, 640, 420);
    panel.runCommand(kivo::player::kViewShowCaption);
    CCaptionBoxWnd &box = video.captionBox();
    box.setCaptionFont(CLogFont{28, 700, false, false, false, QStringLiteral("NanumGothic")});
    box.setBackgroundColour(0x300A05);  // dark blue, parts below 16
    box.setTextColour(0x00FFFF);        // yellow
    panel.session().setCaptionText(QStringLiteral("<P Class=KRCC>안녕하세요, 자막 창입니다"));

    // A second video window's worth of caption: the detached box at the bottom of the screen.
    CPlayerDlg second(registry, {});
    CCaptionBoxWnd &detached = second.videoWindow().captionBox();
    second.videoWindow().runCommand(kivo::player::kViewShowCaption);
    second.videoWindow().runCommand(kivo::player::kViewDetachCaptionBox);
    detached.setCaptionFont(CLogFont{22, 400, true, true, false, QStringLiteral("NanumMyeongjo")});
    detached.setTextColour(0xFFFFFF);
    second.session().setCaptionText(QStringLiteral("분리된 자막 창: 한글 글꼴과 색"));

    QTimer::singleShot(argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() * 1000 : 8000, &app,
                       &QApplication::quit);
    return app.exec();
}
