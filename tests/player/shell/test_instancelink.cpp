// How a start of the player finds the running one and hands it a file: the command-line path,
// the shared text blocks and the per-user socket, with real sockets and shared memory.
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <latch>
#include <thread>
#include <vector>

#include "player/shell/commandline.h"
#include "player/shell/instancelink.h"
#include "player/shell/sharedtextblock.h"

using namespace kivo::shell;

namespace {

// A socket file as a crashed player leaves it: bound once, nobody listening any more.
bool leaveStaleSocket(const QString &path) {
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::strncpy(address.sun_path, bytes.constData(), sizeof address.sun_path - 1);
    const bool bound =
        ::bind(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(descriptor);
    return bound;
}

// Runs body in a child process as the unprivileged user "nobody"; the child's exit code, or -1
// when this process cannot act as another user.
int runAsAnotherUser(const std::function<int()> &body, const std::function<void()> &meanwhile) {
    if (::geteuid() != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(90);
        }
        ::_exit(body());
    }
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        meanwhile();
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 91;
}

sockaddr_un socketAddress(const QString &path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    return address;
}

// A folder every user may use, as a shared temporary folder is.
void openToEveryone(const QString &path) {
    ::chmod(path.toLocal8Bit().constData(), 0777);
}

}  // namespace

class TestInstanceLink : public QObject {
    Q_OBJECT

private slots:
    void commandLinesGiveTheirPaths_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("quoted") << "\"/home/u/My Videos/a.avi\""
                                << QStringList{"/home/u/My Videos/a.avi"};
        QTest::newRow("bare, as desktops pass it, blanks and all")
            << "/home/u/My Videos/a.avi" << QStringList{"/home/u/My Videos/a.avi"};
        QTest::newRow("bare single word keeps every character") << "movie" << QStringList{"movie"};
        QTest::newRow("several quoted")
            << " \"/a b.mpg\"  \"/c.avi\" " << QStringList{"/a b.mpg", "/c.avi"};
        QTest::newRow("a quote inside a name")
            << "\"/say \"hi\".mp4\"" << QStringList{"/say \"hi\".mp4"};
        QTest::newRow("empty quotes") << "\"\"" << QStringList{};
        QTest::newRow("one quote") << "\"" << QStringList{"\""};
        QTest::newRow("quote at one end only") << "\"/a.avi" << QStringList{"\"/a.avi"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void commandLinesGiveTheirPaths() {
        QFETCH(QString, commandLine);
        QFETCH(QStringList, paths);
        QCOMPARE(pathsFromCommandLine(commandLine), paths);
    }

    // What a second start hands over reads back as the same files, made absolute against the
    // start's folder (the running player has another one); addresses stay; what does not fit
    // the block is left out whole, never cut.
    void handedOverCommandLinesReadBackAsAbsolutePaths() {
        const QString here = QDir::currentPath();
        const QByteArray line = commandLineForHandOff(
            {"clip one.mp4", "/abs/b.avi", "mms://host/live", "", "\"quoted\".mpg"});
        QCOMPARE(pathsFromCommandLine(QString::fromUtf8(line)),
                 QStringList({here + "/clip one.mp4", "/abs/b.avi", "mms://host/live",
                              here + "/\"quoted\".mpg"}));

        const QString longName = "/" + QString(600, u'\uac00');  // 1801 bytes of UTF-8
        const QByteArray fitted = commandLineForHandOff({"/first.avi", longName, "/last.avi"});
        QVERIFY(fitted.size() <= 1023);
        QCOMPARE(pathsFromCommandLine(QString::fromUtf8(fitted)),
                 QStringList({"/first.avi", "/last.avi"}));
        QCOMPARE(pathFromArgument("\"/a b.avi\""), "/a b.avi");
        QCOMPARE(pathFromArgument("\"/a.avi"), "\"/a.avi");
        QCOMPARE(pathFromArgument("file:///home/u/My%20Videos/a.avi"), "/home/u/My Videos/a.avi");
        QCOMPARE(pathFromArgument("mms://host/live"), "mms://host/live");
    }

    // The block holds at most 1023 bytes and a terminator, whatever it is given; bytes that are
    // no UTF-8 come back as they went in; a block nobody made reads as empty.
    void sharedBlocksHoldAtMost1023Bytes() {
        const QString name = QStringLiteral("KIVOTESTDATA%1").arg(::getpid());
        CSharedTextBlock writer(name);
        QCOMPARE(writer.write(QByteArray(2000, 'x')), 1);
        QCOMPARE(CSharedTextBlock(name).read(), QByteArray(1023, 'x'));

        const QByteArray notUtf8("\"/v/\xbf\xb5\xbb\xf3.avi\"");
        QCOMPARE(writer.write(notUtf8), 1);
        QCOMPARE(CSharedTextBlock(name).read(), notUtf8);

        QCOMPARE(writer.write(QByteArray("short")), 1);
        QCOMPARE(CSharedTextBlock(name).read(), QByteArray("short"));

        QVERIFY(CSharedTextBlock(name + QStringLiteral("-nobody")).read().isEmpty());
    }

    // One player per name: a second one learns that the first runs; a socket left behind by a
    // crash is taken over.
    void oneServerPerNameAndStaleSocketsAreTakenOver() {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("player"));
        {
            CInstanceServer first(nullptr);
            QCOMPARE(first.listen(name), CInstanceServer::EListen::Listening);
            CInstanceServer second(nullptr);
            QCOMPARE(second.listen(name), CInstanceServer::EListen::AnotherPlayerRuns);
        }
        const QString crashed = folder.filePath(QStringLiteral("crashed"));
        QVERIFY(leaveStaleSocket(crashed));
        QVERIFY(QFile::exists(crashed));
        CInstanceServer after(nullptr);
        QCOMPARE(after.listen(crashed), CInstanceServer::EListen::Listening);
    }

    // Starts at the same moment: exactly one becomes the player.
    void simultaneousStartsMakeOnePlayer() {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("player"));
        constexpr int kStarts = 4;
        std::atomic<int> players{0};
        std::atomic<int> others{0};
        std::latch allLooked(kStarts);
        std::vector<std::thread> starts;
        for (int i = 0; i < kStarts; ++i) {
            starts.emplace_back([&] {
                CInstanceServer server(nullptr);
                const CInstanceServer::EListen outcome = server.listen(name);
                (outcome == CInstanceServer::EListen::Listening ? players : others)++;
                allLooked.arrive_and_wait();
            });
        }
        for (std::thread &start : starts) {
            start.join();
        }
        QCOMPARE(players.load(), 1);
        QCOMPARE(others.load(), kStarts - 1);
    }

    // The hand-off: the start writes its command line into the block, sends the message and
    // gets the running player's answer, which read the block while it answered.
    void aHandOffDeliversTheCommandLine() {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("player"));
        const QString block = QStringLiteral("KIVOTESTHANDOFF%1").arg(::getpid());
        QByteArray received;
        CInstanceServer server([&](uint32_t code, int32_t parameter) {
            if (code != kGlobalMessage || parameter != 0) {
                return -1;
            }
            received = CSharedTextBlock(block).read();
            return received.isEmpty() ? -1 : 0;
        });
        QCOMPARE(server.listen(name), CInstanceServer::EListen::Listening);

        std::atomic<int> outcome{1};
        std::thread start([&] {
            CSharedTextBlock handOff(block);
            handOff.write(QByteArray("\"/home/u/clip.mp4\""));
            int32_t reply = 1;
            outcome = sendToRunningPlayer(kGlobalMessage, 0, &reply, name) ? reply : -2;
        });
        QTRY_COMPARE_WITH_TIMEOUT(outcome.load(), 0, 10000);
        start.join();
        QCOMPARE(received, QByteArray("\"/home/u/clip.mp4\""));
        QCOMPARE(pathsFromCommandLine(QString::fromUtf8(received)),
                 QStringList{"/home/u/clip.mp4"});
    }

    // Another user's process is neither served by the player nor believed by a start, even
    // where the socket itself would let it through.
    void anotherUsersProcessesAreRefused() {
        QTemporaryDir folder;
        openToEveryone(folder.path());
        const QString name = folder.filePath(QStringLiteral("player"));
        int served = 0;
        CInstanceServer server([&](uint32_t, int32_t) { return ++served; });
        QCOMPARE(server.listen(name), CInstanceServer::EListen::Listening);
        openToEveryone(name);
        const sockaddr_un player = socketAddress(name);
        const int asked = runAsAnotherUser(
            [&] {
                const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
                if (::connect(socket, reinterpret_cast<const sockaddr *>(&player), sizeof player) !=
                    0) {
                    return 2;
                }
                const char message[8] = {'\xda', '\xc0', 0, 0, 0, 0, 0, 0};
                char reply[8];
                [[maybe_unused]] const ssize_t sent = ::write(socket, message, sizeof message);
                pollfd wait{socket, POLLIN, 0};
                const bool answered = ::poll(&wait, 1, 1000) == 1 && ::read(socket, reply, 8) == 8;
                return answered ? 1 : 0;
            },
            [] { QTest::qWait(10); });
        if (asked < 0) {
            QSKIP("acting as another user needs root");
        }
        QCOMPARE(asked, 0);
        QCOMPARE(served, 0);

        const QString foreign = folder.filePath(QStringLiteral("foreign"));
        const QByteArray foreignPath = QFile::encodeName(foreign);
        const QByteArray boundPath = foreignPath + ".new";
        const sockaddr_un bound = socketAddress(QFile::decodeName(boundPath));
        std::atomic<bool> refused{false};
        std::thread start([&] {
            while (!QFile::exists(foreign)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            refused = !sendToRunningPlayer(kGlobalMessage, 0, nullptr, foreign, 2000);
        });
        const int answered = runAsAnotherUser(
            [&] {
                // Listening before it is found under its name.
                const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
                if (::bind(socket, reinterpret_cast<const sockaddr *>(&bound), sizeof bound) != 0 ||
                    ::listen(socket, 1) != 0 ||
                    ::rename(boundPath.constData(), foreignPath.constData()) != 0) {
                    return 2;
                }
                const int connection = ::accept(socket, nullptr, nullptr);
                char frame[8] = {};
                if (::read(connection, frame, 8) == 8) {
                    const char reply[8] = {'\x88', '\x17', 0, 0, 0, 0, 0, 0};
                    [[maybe_unused]] const ssize_t sent = ::write(connection, reply, 8);
                }
                ::usleep(300000);
                return 0;
            },
            [] { std::this_thread::sleep_for(std::chrono::milliseconds(10)); });
        start.join();
        QCOMPARE(answered, 0);
        QVERIFY(refused);
    }

    // Nobody there: the start learns it at once instead of waiting.
    void nobodyAnswersOnAMissingSocket() {
        QTemporaryDir folder;
        QVERIFY(!sendToRunningPlayer(kGlobalMessage, 0, nullptr,
                                     folder.filePath(QStringLiteral("none")), 3000));
    }
};

QTEST_GUILESS_MAIN(TestInstanceLink)
#include "test_instancelink.moc"
