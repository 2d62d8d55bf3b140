#include "player/shell/instancelink.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include "platform/log.h"

namespace kivo::shell {
namespace {

constexpr char kLogCategory[] = "shell";
// Requests answered per turn of the event loop: a client that floods the player delays its
// own answers, not the player's windows.
constexpr int kRequestsPerTurn = 32;
constexpr int kTextLengthSize = 4;

void readFrame(const QByteArray &bytes, uint32_t &code, int32_t &parameter) {
    code = qFromLittleEndian<uint32_t>(bytes.constData());
    parameter = qFromLittleEndian<int32_t>(bytes.constData() + 4);
}

// Someone answers on the socket: a running player (of whichever user; the caller checks).
bool somebodyListens(const QString &name) {
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool answered = probe.waitForConnected(500);
    probe.abort();
    return answered;
}

}  // namespace

QByteArray encodeFrame(uint32_t code, int32_t parameter) {
    QByteArray bytes(kFrameSize, '\0');
    qToLittleEndian(code, bytes.data());
    qToLittleEndian(parameter, bytes.data() + 4);
    return bytes;
}

QByteArray encodeTextReply(const CTextReply &reply) {
    const QByteArray text = reply.text.left(kMaxReplyText);
    QByteArray bytes = encodeFrame(kReplyCode, reply.result);
    bytes.resize(kFrameSize + kTextLengthSize);
    qToLittleEndian(uint32_t(text.size()), bytes.data() + kFrameSize);
    return bytes + text;
}

CTextReplyDecoder::EState CTextReplyDecoder::feed(const QByteArray &bytes) {
    if (m_state != EState::NeedMore) {
        // Bytes after the reply (or after garbage) make the exchange invalid.
        m_state = bytes.isEmpty() ? m_state : EState::Invalid;
        return m_state;
    }
    m_buffer += bytes;
    constexpr int kHeader = kFrameSize + kTextLengthSize;
    if (m_buffer.size() < kHeader) {
        return m_state;
    }
    uint32_t code = 0;
    readFrame(m_buffer, code, m_reply.result);
    const auto length = qFromLittleEndian<uint32_t>(m_buffer.constData() + kFrameSize);
    if (code != kReplyCode || length > uint32_t(kMaxReplyText)) {
        m_state = EState::Invalid;
        return m_state;
    }
    const qsizetype whole = kHeader + qsizetype(length);
    if (m_buffer.size() < whole) {
        return m_state;
    }
    m_state = m_buffer.size() == whole ? EState::Complete : EState::Invalid;
    m_reply.text = m_buffer.mid(kHeader, length);
    m_buffer.clear();
    return m_state;
}

QString defaultInstanceName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder + QStringLiteral("/kivo-player-") + QString::number(::getuid());
}

bool peerIsSameUser(const QLocalSocket &socket) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    const auto descriptor = int(socket.socketDescriptor());
    if (descriptor < 0 ||
        ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
        return false;
    }
    return credentials.uid == ::getuid();
}

CInstanceServer::CInstanceServer(Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler)) {}

CInstanceServer::~CInstanceServer() {
    // The clients' sockets go with the server; their ends must not reach back into this.
    if (m_server) {
        for (QLocalSocket *socket : m_server->findChildren<QLocalSocket *>()) {
            disconnect(socket, nullptr, this, nullptr);
        }
    }
}

CInstanceServer::EListen CInstanceServer::listen(const QString &name) {
    // Two starts at the same moment must not both become the player: the look and the take
    // happen under a lock file (a lock left by a dead process is taken over).
    QLockFile lock(name + QStringLiteral(".lock"));
    if (!lock.tryLock(2000)) {
        logWarning(kLogCategory, "cannot lock " + name.toStdString());
        return EListen::Failed;
    }
    if (somebodyListens(name)) {
        return EListen::AnotherPlayerRuns;
    }
    // Whatever is left is a socket of a player that ended without cleaning up.
    QLocalServer::removeServer(name);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        logWarning(kLogCategory, "cannot listen on " + name.toStdString() + ": " +
                                     m_server->errorString().toStdString());
        m_server.reset();
        return EListen::Failed;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this,
            &CInstanceServer::acceptConnections);
    return EListen::Listening;
}

void CInstanceServer::acceptConnections() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsSameUser(*socket)) {
            logWarning(kLogCategory, "refused a connection from another user");
            socket->abort();
            continue;
        }
        if (m_connections >= kMaxConnections) {
            logWarning(kLogCategory, "refused a connection: too many clients");
            socket->abort();
            continue;
        }
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this, socket] {
            --m_connections;
            m_queuedBy.erase(socket);
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
        receive(socket);
    }
}

void CInstanceServer::receive(QLocalSocket *socket) {
    int &queued = m_queuedBy[socket];
    while (socket->bytesAvailable() >= kFrameSize) {
        if (queued >= kMaxQueuedRequests) {
            logWarning(kLogCategory, "dropped a client that sends faster than it is answered");
            socket->abort();
            return;
        }
        CPending request{socket, 0, 0};
        readFrame(socket->read(kFrameSize), request.code, request.parameter);
        m_pending.push_back(request);
        ++queued;
    }
    drain();
}

void CInstanceServer::drain() {
    m_drainQueued = false;
    if (m_answering) {
        return;
    }
    m_answering = true;
    for (int count = 0; count < kRequestsPerTurn && !m_pending.empty(); ++count) {
        const CPending request = m_pending.front();
        m_pending.pop_front();
        // A client that is gone has left the count with it.
        if (request.socket) {
            --m_queuedBy[request.socket.data()];
        }
        answer(request);
    }
    m_answering = false;
    if (!m_pending.empty() && !m_drainQueued) {
        m_drainQueued = true;
        QTimer::singleShot(0, this, &CInstanceServer::drain);
    }
}

void CInstanceServer::answer(const CPending &request) {
    // A request whose client has gone is still carried out, like a posted message.
    if (request.code != kGlobalMessage && m_requestHandler) {
        if (const std::optional<CTextReply> reply =
                m_requestHandler(request.code, request.parameter)) {
            sendReply(request.socket, encodeTextReply(*reply));
        }
        return;
    }
    const int result = m_handler ? m_handler(request.code, request.parameter) : -1;
    sendReply(request.socket, encodeFrame(kReplyCode, result));
}

void CInstanceServer::sendReply(QLocalSocket *socket, const QByteArray &bytes) {
    if (socket == nullptr || socket->state() != QLocalSocket::ConnectedState) {
        return;
    }
    if (socket->bytesToWrite() > kMaxUnreadReplyBytes) {
        logWarning(kLogCategory, "dropped a client that does not read its answers");
        socket->abort();
        return;
    }
    socket->write(bytes);
    socket->flush();
}

bool sendToRunningPlayer(uint32_t code, int32_t parameter, int32_t *result, const QString &name,
                         int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs) || !peerIsSameUser(socket)) {
        return false;
    }
    socket.write(encodeFrame(code, parameter));
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (socket.bytesAvailable() < kFrameSize) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left)) {
            return false;
        }
    }
    uint32_t replyCode = 0;
    int32_t reply = 0;
    readFrame(socket.read(kFrameSize), replyCode, reply);
    if (replyCode != kReplyCode) {
        return false;
    }
    if (result != nullptr) {
        *result = reply;
    }
    return true;
}

}  // namespace kivo::shell
