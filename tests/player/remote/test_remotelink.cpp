// The player's socket under remote-control clients, with real sockets: text answers in order on
// one connection, no answer for what gets none, and clients that stay silent, stop mid-frame,
// send garbage, come a hundred at once or flood the player, none of which blocks the others or
// the player's event loop. Also the client's decoder of answers, fed in pieces.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <atomic>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "player/remote/remoteclient.h"
#include "player/shell/instancelink.h"

using namespace kivo::shell;

namespace {

// A client's raw end of the socket (blocking), closed with it.
class CRawClient {
public:
    explicit CRawClient(const QString &path) {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
        m_connected =
            ::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    }
    ~CRawClient() { ::close(m_fd); }
    CRawClient(const CRawClient &) = delete;
    CRawClient &operator=(const CRawClient &) = delete;

    bool connected() const { return m_connected; }
    bool send(const QByteArray &bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t sent =
                ::send(m_fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (sent <= 0) {
                return false;
            }
            done += sent;
        }
        return true;
    }
    // Exactly count bytes, or what came before the timeout or the end.
    QByteArray receive(qsizetype count, int timeoutMs) {
        QByteArray bytes;
        QElapsedTimer clock;
        clock.start();
        while (bytes.size() < count) {
            pollfd wait{m_fd, POLLIN, 0};
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0 || ::poll(&wait, 1, left) != 1) {
                break;
            }
            char buffer[4096];
            const ssize_t got =
                ::read(m_fd, buffer, size_t(std::min<qsizetype>(count - bytes.size(), 4096)));
            if (got <= 0) {
                break;
            }
            bytes.append(buffer, got);
        }
        return bytes;
    }
    // The player closed this end (read sees the end).
    bool closedByPeer(int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        char buffer[65536];
        while (clock.elapsed() < timeoutMs) {
            pollfd wait{m_fd, POLLIN, 0};
            if (::poll(&wait, 1, 100) == 1) {
                const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
                if (got <= 0) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    int m_fd = -1;
    bool m_connected = false;
};

QByteArray textReply(int32_t result, const QByteArray &text) {
    return encodeTextReply(CTextReply{result, text});
}

// A server whose requests echo their parameter as text; odd codes get no answer.
struct CEchoServer {
    QTemporaryDir folder;
    QString name = folder.filePath(QStringLiteral("player"));
    std::vector<uint32_t> handled;
    CInstanceServer server{[](uint32_t, int32_t) { return 7; }};

    CEchoServer() {
        server.setRequestHandler(
            [this](uint32_t code, int32_t parameter) -> std::optional<CTextReply> {
                handled.push_back(code);
                if (code % 2 == 1) {
                    return std::nullopt;
                }
                return CTextReply{1, QByteArray::number(parameter)};
            });
    }
};

}  // namespace

class TestRemoteLink : public QObject {
    Q_OBJECT

private slots:
    // Several requests in one write: answered in order with their texts, the unanswered one
    // skipped; the hand-off keeps its short answer on the same connection.
    void answersComeInOrderWithTheirTexts() {
        CEchoServer echo;
        QCOMPARE(echo.server.listen(echo.name), CInstanceServer::EListen::Listening);
        std::atomic<bool> ok{false};
        std::thread client([&] {
            CRawClient raw(echo.name);
            raw.send(encodeFrame(0x1790, 41) + encodeFrame(0x1791, 5) + encodeFrame(0x178E, -3) +
                     encodeFrame(kGlobalMessage, 0));
            const QByteArray expected =
                textReply(1, "41") + textReply(1, "-3") + encodeFrame(kReplyCode, 7);
            ok = raw.receive(expected.size(), 5000) == expected && raw.receive(1, 300).isEmpty();
        });
        QTRY_VERIFY_WITH_TIMEOUT(ok.load(), 8000);
        client.join();
        QCOMPARE(echo.handled, (std::vector<uint32_t>{0x1790, 0x1791, 0x178E}));
    }

    // A hundred clients at once: forty stay silent, twenty stop in the middle of a frame,
    // twenty send garbage, twenty ask properly. The proper ones are answered at once, the
    // half frames once their rest arrives, and the event loop never stalls.
    void aHundredClientsOfEveryKind() {
        CEchoServer echo;
        QCOMPARE(echo.server.listen(echo.name), CInstanceServer::EListen::Listening);
        QElapsedTimer sinceTick;
        sinceTick.start();
        qint64 longestStall = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
        ticker.start(10);

        std::atomic<int> answered{0};
        std::atomic<int> finished{0};
        std::vector<std::thread> clients;
        for (int index = 0; index < 100; ++index) {
            clients.emplace_back([&, index] {
                CRawClient raw(echo.name);
                const QByteArray request = encodeFrame(0x178E, index * 2);
                const QByteArray answer = textReply(1, QByteArray::number(index * 2));
                if (index < 40) {
                    raw.receive(1, 1500);  // silent, holds its connection
                } else if (index < 60) {
                    raw.send(request.left(5));
                    std::this_thread::sleep_for(std::chrono::milliseconds(800));
                    raw.send(request.mid(5));
                    answered += raw.receive(answer.size(), 5000) == answer;
                } else if (index < 80) {
                    raw.send(QByteArray("\xff\xfe garbage frames \x01", 19));
                } else {
                    answered += raw.send(request) && raw.receive(answer.size(), 5000) == answer;
                }
                ++finished;
            });
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished.load(), 100, 20000);
        for (std::thread &client : clients) {
            client.join();
        }
        QCOMPARE(answered.load(), 40);
        QVERIFY2(longestStall < 500, qPrintable(QString::number(longestStall)));
    }

    // A client that sends far more than it reads is dropped; the player goes on serving others
    // and its event loop goes on turning meanwhile.
    void aFloodingClientIsDropped() {
        CEchoServer echo;
        QCOMPARE(echo.server.listen(echo.name), CInstanceServer::EListen::Listening);
        std::atomic<bool> dropped{false};
        std::thread flood([&] {
            CRawClient raw(echo.name);
            QByteArray burst;
            for (int index = 0; index < 20000; ++index) {
                burst += encodeFrame(0x178E, index);
            }
            for (int round = 0; round < 50 && raw.send(burst); ++round) {
            }
            dropped = raw.closedByPeer(10000);
        });
        std::atomic<bool> served{false};
        std::thread polite([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            kivo::remote::CRemoteClient client(echo.name);
            served = client.connectToPlayer(2000) &&
                     client.request(0x178E, 12, 5000).reply == CTextReply{1, "12"};
        });
        QTRY_VERIFY_WITH_TIMEOUT(dropped.load(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(served.load(), 5000);
        flood.join();
        polite.join();
    }

    // The client's end: a request without an answer is told apart from a refusal, and from a
    // player that is not there.
    void theClientTellsTheOutcomes() {
        CEchoServer echo;
        QCOMPARE(echo.server.listen(echo.name), CInstanceServer::EListen::Listening);
        using EOutcome = kivo::remote::CAnswer::EOutcome;
        std::atomic<int> step{0};
        std::thread client([&] {
            kivo::remote::CRemoteClient remote(echo.name);
            if (!remote.connectToPlayer(2000)) {
                return;
            }
            const auto silent = remote.request(0x1793, 0, 400);
            const auto answered = remote.request(0x178E, 99, 3000);
            kivo::remote::CRemoteClient nobody(echo.folder.filePath(QStringLiteral("none")));
            step = silent.outcome == EOutcome::NoReply && answered.outcome == EOutcome::Answered &&
                           answered.reply.text == "99" && !nobody.connectToPlayer(500) &&
                           nobody.request(0x178E, 0, 100).outcome == EOutcome::NoPlayer
                       ? 1
                       : 2;
        });
        QTRY_VERIFY_WITH_TIMEOUT(step.load() != 0, 8000);
        client.join();
        QCOMPARE(step.load(), 1);
    }

    // The decoder takes answers in any pieces and fails on anything else for good.
    void theAnswerDecoderTakesPiecesAndRefusesGarbage() {
        const QByteArray whole = textReply(0, QByteArray("/media/클립.mp4"));
        for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
            CTextReplyDecoder decoder;
            decoder.feed(whole.left(cut));
            QCOMPARE(decoder.feed(whole.mid(cut)), CTextReplyDecoder::EState::Complete);
            QCOMPARE(decoder.reply(), (CTextReply{0, QByteArray("/media/클립.mp4")}));
        }
        QByteArray tooLong = encodeFrame(kReplyCode, 1) + QByteArray(4, '\0');
        qToLittleEndian(uint32_t(kMaxReplyText + 1), tooLong.data() + kFrameSize);
        QByteArray wrongCode = whole;
        wrongCode[0] = 0x11;
        for (const QByteArray &bad : {tooLong, wrongCode, whole + QByteArray("x")}) {
            CTextReplyDecoder decoder;
            QCOMPARE(decoder.feed(bad), CTextReplyDecoder::EState::Invalid);
            QCOMPARE(decoder.feed(whole), CTextReplyDecoder::EState::Invalid);
        }
        // A text longer than any answer is cut when it is sent.
        CTextReplyDecoder decoder;
        QCOMPARE(decoder.feed(textReply(1, QByteArray(kMaxReplyText + 10, 'a'))),
                 CTextReplyDecoder::EState::Complete);
        QCOMPARE(decoder.reply().text.size(), kMaxReplyText);
    }
};

QTEST_GUILESS_MAIN(TestRemoteLink)
#include "test_remotelink.moc"
