#pragma once

#include "media/playback/playbackengine.h"

#include <algorithm>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include "testsupport/fixturepath.h"

// What the engine's and the window's tests share: the fixture media and local servers that
// stand in for network addresses.

// Opens the asynchronous way and waits for the ticket's report: its result, 0 when refused at
// once, -1 when no report came.
inline int openFile(CPlaybackEngine &engine, const QString &path) {
    QSignalSpy finished(&engine, &CPlaybackEngine::openFinished);
    const int ticket = engine.startOpen(path);
    for (qsizetype seen = 0; ticket > 0; ++seen) {
        if (seen == finished.count() && !finished.wait(20000)) {
            return -1;
        }
        if (finished.at(seen).at(0).toInt() == ticket) {
            return finished.at(seen).at(1).toInt();
        }
    }
    return 0;
}

// A server that takes connections and never answers: a network address that hangs.
class CSilentServer {
public:
    CSilentServer() {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(&m_server);
            }
        });
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/stream.mp4").arg(m_server.serverPort());
    }

private:
    QTcpServer m_server;
};

// An HTTP server that sends the first part of a file at once and the rest only when told: a
// network stream whose data stops coming for a while.
class CTrickleServer {
public:
    CTrickleServer(const QString &file, double firstShare) {
        QFile source(file);
        if (source.open(QIODevice::ReadOnly)) {
            m_content = source.readAll();
        }
        m_firstPart = qsizetype(double(m_content.size()) * firstShare);
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(&m_server);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { answer(socket); });
            }
        });
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/stream.mkv").arg(m_server.serverPort());
    }
    void release() {
        m_released = true;
        for (QTcpSocket *socket : m_answered) {
            socket->write(m_content.mid(m_firstPart));
        }
    }

private:
    void answer(QTcpSocket *socket) {
        QByteArray &request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n") || m_answered.contains(socket)) {
            return;
        }
        m_answered.push_back(socket);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: video/x-matroska\r\nContent-Length: " +
                      QByteArray::number(m_content.size()) + "\r\nConnection: close\r\n\r\n");
        socket->write(m_released ? m_content : m_content.left(m_firstPart));
    }

    QTcpServer m_server;
    QByteArray m_content;
    qsizetype m_firstPart = 0;
    bool m_released = false;
    QList<QTcpSocket *> m_answered;
    QHash<QTcpSocket *, QByteArray> m_requests;
};

// Graph events as they arrive, with the position at that moment, from the engine or from the
// window that repeats them.
template <typename Source>
struct CEventLog {
    struct CEvent {
        int code;
        qint64 parameter;
        QString text;
        double position;
    };
    std::vector<CEvent> events;

    explicit CEventLog(Source &source) {
        QObject::connect(&source, &Source::graphEvent, &source,
                         [this, &source](int code, qint64 parameter, const QString &text) {
                             events.push_back({code, parameter, text, source.currentPosition()});
                         });
    }
    int count(int code) const {
        return int(std::count_if(events.begin(), events.end(),
                                 [code](const CEvent &e) { return e.code == code; }));
    }
};
