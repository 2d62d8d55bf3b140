#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

class QLocalServer;
class QLocalSocket;

// The player's processes of one user talk over one local socket: a start that finds a running
// player hands its command line over (the message WM_KIVO_GLOBALMESSAGE), and other programs
// send remote-control requests. A message is a frame of two little-endian 32-bit numbers (code,
// parameter); the player answers each on the same connection with (kReplyCode, result). The
// answer to a remote-control request also carries its text: (kReplyCode, result, byte count,
// UTF-8 text), so that a client needs no shared memory. Only processes of the same user are
// served or believed.
namespace kivo::shell {

// The code of the hand-off message (a registered window message's number on the system the
// player comes from).
inline constexpr uint32_t kGlobalMessage = 0xC0DA;
inline constexpr uint32_t kReplyCode = 0x1788;
inline constexpr int kFrameSize = 8;
// Longer reply texts are not believed (the reply block itself holds 1023 bytes).
inline constexpr int kMaxReplyText = 64 * 1024;

// The answer to a remote-control request.
struct CTextReply {
    int32_t result = 0;
    QByteArray text;
    bool operator==(const CTextReply &) const = default;
};

QByteArray encodeFrame(uint32_t code, int32_t parameter);
QByteArray encodeTextReply(const CTextReply &reply);

// Takes the bytes a client reads after a request, in whatever pieces they arrive, and yields the
// text reply once it is whole. Anything that is not a text reply makes it fail for good.
class CTextReplyDecoder {
public:
    enum class EState { NeedMore, Complete, Invalid };
    EState feed(const QByteArray &bytes);
    EState state() const { return m_state; }
    // Valid once complete.
    const CTextReply &reply() const { return m_reply; }

private:
    QByteArray m_buffer;
    CTextReply m_reply;
    EState m_state = EState::NeedMore;
};

// The socket of the current user's player: in the user's runtime folder.
QString defaultInstanceName();

// The running player's end. handler answers each message; it runs on the event loop's thread.
class CInstanceServer : public QObject {
    Q_OBJECT

public:
    enum class EListen { Listening, AnotherPlayerRuns, Failed };
    using Handler = std::function<int(uint32_t code, int32_t parameter)>;
    // Remote-control requests: no value means no reply at all.
    using RequestHandler =
        std::function<std::optional<CTextReply>(uint32_t code, int32_t parameter)>;
    // A client may not hold more unanswered requests, nor leave more answers unread.
    static constexpr int kMaxQueuedRequests = 4096;
    static constexpr qint64 kMaxUnreadReplyBytes = 1024 * 1024;
    static constexpr int kMaxConnections = 256;

    explicit CInstanceServer(Handler handler, QObject *parent = nullptr);
    ~CInstanceServer() override;

    // Takes the name. A socket left by a player that crashed (nobody answers on it) is removed
    // and taken over; one that answers belongs to a running player.
    EListen listen(const QString &name = defaultInstanceName());

    // Every code but the hand-off goes to this handler once it is set.
    void setRequestHandler(RequestHandler handler) { m_requestHandler = std::move(handler); }

private:
    struct CPending {
        QPointer<QLocalSocket> socket;
        uint32_t code = 0;
        int32_t parameter = 0;
    };

    void acceptConnections();
    // Takes the whole frames a client sent into the queue; a half frame waits for the rest.
    void receive(QLocalSocket *socket);
    // Answers queued requests in order, a batch per turn of the event loop, and never inside
    // another answer (a handler that opens a question runs the event loop).
    void drain();
    void answer(const CPending &request);
    static void sendReply(QLocalSocket *socket, const QByteArray &bytes);

    Handler m_handler;
    RequestHandler m_requestHandler;
    std::unique_ptr<QLocalServer> m_server;
    std::deque<CPending> m_pending;
    // Each client's requests in the queue.
    std::unordered_map<const QLocalSocket *, int> m_queuedBy;
    int m_connections = 0;
    bool m_answering = false;
    bool m_drainQueued = false;
};

// A start's end: delivers one message to the running player and waits for its answer.
// Returns false when no player of this user answers within timeoutMs.
bool sendToRunningPlayer(uint32_t code, int32_t parameter, int32_t *result = nullptr,
                         const QString &name = defaultInstanceName(), int timeoutMs = 3000);

// True when the process at the other end of a connected local socket is this user's.
bool peerIsSameUser(const QLocalSocket &socket);

}  // namespace kivo::shell
