#include "player/shell/window/playerapp.h"

#include <sys/socket.h>
#include <unistd.h>

#include <clocale>
#include <csignal>

#include <QSocketNotifier>
#include <QStandardPaths>

#include "platform/log.h"
#include "platform/qtlogsink.h"
#include "player/remote/mprisservice.h"
#include "player/remote/remotecontrol.h"
#include "player/shell/commandline.h"
#include "player/shell/handoff.h"
#include "player/shell/instancelink.h"
#include "player/shell/playersettings.h"
#include "player/shell/sharedtextblock.h"
#include "player/shell/window/associationdlg.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/registry.h"

namespace {

constexpr char kLogCategory[] = "shell";

// SIGTERM and SIGINT (the session ends, the user presses Ctrl+C in a terminal) end the player
// as its exit command does, so that settings are written and the desktop's defaults given
// back. The handler only writes a byte; the event loop does the rest.
class CTerminationSignals {
public:
    explicit CTerminationSignals(std::function<void()> onSignal) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_pair) != 0) {
            return;
        }
        m_notifier = std::make_unique<QSocketNotifier>(s_pair[1], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [onSignal] {
            char byte = 0;
            if (::read(s_pair[1], &byte, 1) == 1) {
                onSignal();
            }
        });
        struct sigaction action {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t written = ::write(s_pair[0], &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);
    }
    ~CTerminationSignals() {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        m_notifier.reset();
        if (s_pair[0] >= 0) {
            ::close(s_pair[0]);
            ::close(s_pair[1]);
        }
    }
    CTerminationSignals(const CTerminationSignals &) = delete;
    CTerminationSignals &operator=(const CTerminationSignals &) = delete;

private:
    static inline int s_pair[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace

CPlayerApp::CPlayerApp(int &argc, char **argv) : COVVersionApp(argc, argv) {}

int CPlayerApp::run(int argc, char **argv) {
    const QStringList arguments = pathsFromArguments(argc, argv);
    COVRegistry registry;
    const bool singleInstance = !isMultiPlayer(registry);

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
                // It began after the launcher looked, or this program was started by itself.
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
    // Other programs' requests, answered on this thread in the order they arrive.
    CSharedTextBlock replyBlock(QString::fromLatin1(kivo::shell::kReplyBlock));
    kivo::remote::CRemoteControl remote(controlPanel.session(), controlPanel.transport(),
                                        replyBlock);
    link.setRequestHandler(
        [&remote](uint32_t code, int32_t parameter) { return remote.handle(code, parameter); });
    // The desktop's media keys and sound menus; without a session bus the player goes on
    // without them.
    kivo::remote::CMprisService mpris(
        controlPanel.session(), controlPanel.transport(),
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
            QStringLiteral("/scene-art"),
        [&controlPanel] {
            return controlPanel.session().isAudioCdMode() ||
                   controlPanel.playlistPlayer().playlist().size() >= 2;
        });
    mpris.publish(!singleInstance);
    controlPanel.setAssociationDialog([](QWidget *parent) {
        CAssociationDlg dialog(kivo::shell::CMimeAppsList(), parent);
        dialog.exec();
    });
    QObject::connect(&controlPanel, &QDialog::finished, &application, &QCoreApplication::quit);
    const CTerminationSignals termination([&controlPanel] { controlPanel.exitPlayer(); });
    controlPanel.show();
    const int result = application.exec();
    link.setRequestHandler(nullptr);
    panel = nullptr;
    return result;
}
