// The bare remote-control request on an open connection, for remote_vs_mpv.sh: sends the state
// request COUNT times over one connection to the player at SOCKET and prints each round trip in
// microseconds, one per line.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

#include "player/remote/remoteclient.h"
#include "player/remote/remoterequests.h"

int main(int argc, char **argv) {
    const QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: kivo_remote_probe SOCKET COUNT\n");
        return 64;
    }
    kivo::remote::CRemoteClient client(arguments[1]);
    if (!client.connectToPlayer(5000)) {
        std::fprintf(stderr, "no player at %s\n", qPrintable(arguments[1]));
        return 2;
    }
    const int count = arguments[2].toInt();
    QElapsedTimer clock;
    for (int index = 0; index < count; ++index) {
        clock.start();
        const kivo::remote::CAnswer answer =
            client.request(uint32_t(kivo::remote::ERequest::State), 0, 5000);
        const qint64 spent = clock.nsecsElapsed() / 1000;
        if (answer.outcome != kivo::remote::CAnswer::EOutcome::Answered) {
            std::fprintf(stderr, "request %d got no answer\n", index);
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(spent));
    }
    return 0;
}
