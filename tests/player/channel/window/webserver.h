#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QWaitCondition>

// A small web server on the loopback address for the channel window's tests, on a thread of its
// own (the player opens network media on its window thread and waits for the answer). It serves
// the pages it is given, counts the requests for each path (query included), and never answers
// the paths it is told to hold, so a page can be left loading for ever.
class CTestWebServer : public QThread {
public:
    ~CTestWebServer() override {
        quit();
        wait();
    }

    // Pages and held paths are given before start().
    void serve(const QByteArray &path, const QByteArray &type, const QByteArray &body) {
        m_pages.insert(path, {type, body});
    }
    void hold(const QByteArray &path) { m_held.insert(path, true); }

    // Starts the thread and waits until it listens; false when it cannot.
    bool listen() {
        start();
        QMutexLocker lock(&m_mutex);
        while (m_port < 0) {
            m_listening.wait(&m_mutex);
        }
        return m_port > 0;
    }
    QString address(const QString &path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }
    int requests(const QByteArray &path) const {
        QMutexLocker lock(&m_mutex);
        return m_requests.value(path);
    }

protected:
    void run() override {
        QTcpServer server;
        const bool listening = server.listen(QHostAddress::LocalHost);
        {
            QMutexLocker lock(&m_mutex);
            m_port = listening ? server.serverPort() : 0;
            m_listening.wakeAll();
        }
        QHash<QTcpSocket *, QByteArray> partial;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket,
                        [this, socket, &partial] { answer(socket, partial[socket]); });
                connect(socket, &QTcpSocket::disconnected, socket, [socket, &partial] {
                    partial.remove(socket);
                    socket->deleteLater();
                });
            }
        });
        exec();
    }

private:
    struct Page {
        QByteArray type;
        QByteArray body;
    };

    void answer(QTcpSocket *socket, QByteArray &request) {
        request += socket->readAll();
        if (!request.contains("\r\n\r\n")) {
            return;
        }
        const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
        request.clear();
        const QByteArray path = line.size() >= 2 ? line[1] : QByteArray();
        {
            QMutexLocker lock(&m_mutex);
            ++m_requests[path];
        }
        if (m_held.contains(path)) {
            return;
        }
        const auto page = m_pages.constFind(path);
        QByteArray reply;
        if (page == m_pages.cend()) {
            reply = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        } else {
            reply = "HTTP/1.1 200 OK\r\nContent-Type: " + page->type +
                    "\r\nContent-Length: " + QByteArray::number(page->body.size()) +
                    "\r\nConnection: close\r\n\r\n" + page->body;
        }
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QHash<QByteArray, Page> m_pages;
    QHash<QByteArray, bool> m_held;
    mutable QMutex m_mutex;
    QWaitCondition m_listening;
    int m_port = -1;
    QHash<QByteArray, int> m_requests;
};
