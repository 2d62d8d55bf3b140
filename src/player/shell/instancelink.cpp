#include "player/shell/instancelink.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QtEndian>

#include "platform/log.h"

namespace kivo::shell {
namespace {

constexpr int kFrameSize = 8;
constexpr char kLogCategory[] = "shell";

QByteArray frame(uint32_t code, int32_t parameter) {
    QByteArray bytes(kFrameSize, '\0');
    qToLittleEndian(code, bytes.data());
    qToLittleEndian(parameter, bytes.data() + 4);
    return bytes;
}

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

CInstanceServer::~CInstanceServer() = default;

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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
        serve(socket);
    }
}

void CInstanceServer::serve(QLocalSocket *socket) {
    while (socket->bytesAvailable() >= kFrameSize) {
        uint32_t code = 0;
        int32_t parameter = 0;
        readFrame(socket->read(kFrameSize), code, parameter);
        const int result = m_handler ? m_handler(code, parameter) : -1;
        if (socket->state() == QLocalSocket::ConnectedState) {
            socket->write(frame(kReplyCode, result));
            socket->flush();
        }
    }
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
    socket.write(frame(code, parameter));
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
