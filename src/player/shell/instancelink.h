#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

// The player's processes of one user talk over one local socket: a start that finds a running
// player hands its command line over (the message WM_KIVO_GLOBALMESSAGE), and other programs
// send remote-control requests. A message is a frame of two little-endian 32-bit numbers (code,
// parameter); the player answers each on the same connection with (kReplyCode, result).
// Only processes of the same user are served or believed.
namespace kivo::shell {

// The code of the hand-off message (a registered window message's number on the system the
// player comes from).
inline constexpr uint32_t kGlobalMessage = 0xC0DA;
inline constexpr uint32_t kReplyCode = 0x1788;

// The socket of the current user's player: in the user's runtime folder.
QString defaultInstanceName();

// The running player's end. handler answers each message; it runs on the event loop's thread.
class CInstanceServer : public QObject {
    Q_OBJECT

public:
    enum class EListen { Listening, AnotherPlayerRuns, Failed };
    using Handler = std::function<int(uint32_t code, int32_t parameter)>;

    explicit CInstanceServer(Handler handler, QObject *parent = nullptr);
    ~CInstanceServer() override;

    // Takes the name. A socket left by a player that crashed (nobody answers on it) is removed
    // and taken over; one that answers belongs to a running player.
    EListen listen(const QString &name = defaultInstanceName());

private:
    void acceptConnections();
    void serve(QLocalSocket *socket);

    Handler m_handler;
    std::unique_ptr<QLocalServer> m_server;
};

// A start's end: delivers one message to the running player and waits for its answer.
// Returns false when no player of this user answers within timeoutMs.
bool sendToRunningPlayer(uint32_t code, int32_t parameter, int32_t *result = nullptr,
                         const QString &name = defaultInstanceName(), int timeoutMs = 3000);

// True when the process at the other end of a connected local socket is this user's.
bool peerIsSameUser(const QLocalSocket &socket);

}  // namespace kivo::shell
