#include "player/shell/window/playerapp.h"

#include <clocale>

#include <QFile>

#include "platform/log.h"
#include "platform/qtlogsink.h"
#include "player/shell/commandline.h"
#include "player/shell/handoff.h"
#include "player/shell/instancelink.h"
#include "player/shell/playersettings.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/registry.h"

namespace {

constexpr char kLogCategory[] = "shell";

QStringList argumentsOf(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        const QString argument = pathFromArgument(QFile::decodeName(argv[i]));
        if (!argument.isEmpty()) {
            arguments << argument;
        }
    }
    return arguments;
}

}  // namespace

CPlayerApp::CPlayerApp(int &argc, char **argv) : COVVersionApp(argc, argv) {}

int CPlayerApp::run(int argc, char **argv) {
    const QStringList arguments = argumentsOf(argc, argv);
    COVRegistry registry;
    const bool singleInstance = !isMultiPlayer(registry);
    // The hand-off needs no window system: a second start is over before it would have one.
    if (singleInstance && kivo::shell::handOffToRunningPlayer(arguments)) {
        return 0;
    }

    // The video surfaces of the player's windows share one OpenGL context group.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    CPlayerApp application(argc, argv);
    // libmpv reads numbers with the C library: the decimal point must be a point.
    std::setlocale(LC_NUMERIC, "C");
    application.initInstance();
    kivo::installQtLogSink();

    CPlayerDlg *panel = nullptr;
    kivo::shell::CInstanceServer link([&panel](uint32_t code, int32_t) {
        if (code != kivo::shell::kGlobalMessage || panel == nullptr) {
            return -1;
        }
        return panel->receiveHandOff(kivo::shell::handedOffPaths());
    });
    if (singleInstance) {
        switch (link.listen()) {
            case kivo::shell::CInstanceServer::EListen::AnotherPlayerRuns:
                // It began while this start looked: it takes the files.
                if (kivo::shell::handOffToRunningPlayer(arguments)) {
                    return 0;
                }
                kivo::logWarning(kLogCategory,
                                 "the running player does not answer: this start "
                                 "becomes a player of its own");
                break;
            case kivo::shell::CInstanceServer::EListen::Failed:
                kivo::logWarning(kLogCategory,
                                 "no instance link: later starts will not find "
                                 "this player");
                break;
            case kivo::shell::CInstanceServer::EListen::Listening:
                break;
        }
    }

    CPlayerDlg controlPanel(registry, arguments);
    panel = &controlPanel;
    QObject::connect(&controlPanel, &QDialog::finished, &application, &QCoreApplication::quit);
    controlPanel.show();
    const int result = application.exec();
    panel = nullptr;
    return result;
}
