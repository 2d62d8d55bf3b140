#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>

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

int runWindow(int argc, char **argv) {
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
    CSegmentationDlg window;
    window.exec();
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 1) {
        return runWindow(argc, argv);
    }
    if (std::string_view(argv[1]) == "--segment") {
        return runSegmentCommand(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "%s\n", segmentCommandUsage());
    return 2;
}
