#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/qtlogsink.h"
#include "segmenter/segmentcommand.h"
#include "segmenter/window/segmentationdlg.h"
#include "uisupport/asker.h"

namespace {

// A window needs a display server or an explicitly chosen Qt platform.
bool displayAvailable() {
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char *value = std::getenv(variable);
        if (value && *value) {
            return true;
        }
    }
    return false;
}

// The window, empty or with the video given on the command line loaded (null: none).
int runWindow(int argc, char **argv, const char *video) {
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "KIVOS: no display to open the window on; to segment a video without a "
                     "window use\n%s\n",
                     segmentCommandUsage());
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KIVOS"));
    kivo::ui::installMessageSink();
    kivo::installQtLogSink();
    CSegmentationDlg window;
    if (video) {
        // Opened once the window is up, so that a refusal appears over it just as it does after
        // the open button.
        const QString path = QFile::decodeName(video);
        QMetaObject::invokeMethod(
            &window, [&window, path] { window.openVideoPath(path); }, Qt::QueuedConnection);
    }
    window.exec();
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 1) {
        return runWindow(argc, argv, nullptr);
    }
    const std::string_view first(argv[1]);
    if (first == "--segment") {
        return runSegmentCommand(argc - 1, argv + 1);
    }
    if (argc == 2 && !first.empty() && !first.starts_with('-')) {
        return runWindow(argc, argv, argv[1]);
    }
    std::fprintf(stderr, "%s\n", segmentCommandUsage());
    return 2;
}
