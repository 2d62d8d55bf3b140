#pragma once

#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

// A small web server on the loopback address for the channel window's tests: it serves the
// pages it is given, counts the requests for each path (query included), and never answers the
// paths it is told to hold, so a page can be left loading for ever.
class CTestWebServer : public QObject {
public:
    struct Page {
        QByteArray type;
        QByteArray body;
    };

    CTestWebServer() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QString address(const QString &path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    void serve(const QByteArray &path, const QByteArray &type, const QByteArray &body) {
        m_pages.insert(path, {type, body});
    }
    void hold(const QByteArray &path) { m_held.insert(path, true); }
    int requests(const QByteArray &path) const { return m_requests.value(path); }

private:
    void answer(QTcpSocket *socket) {
        QByteArray &request = m_partial[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n")) {
            return;
        }
        const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
        m_partial.remove(socket);
        const QByteArray path = line.size() >= 2 ? line[1] : QByteArray();
        ++m_requests[path];
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

    QTcpServer m_server;
    QHash<QByteArray, Page> m_pages;
    QHash<QByteArray, bool> m_held;
    QHash<QByteArray, int> m_requests;
    QHash<QTcpSocket *, QByteArray> m_partial;
};
