#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

// SAMI documents in the tests: a file with a Korean and an English section, and a loopback HTTP
// server that serves one or misbehaves.

// Korean first, then the same times in English, as two-language SAMI files come (UTF-8 here;
// the tests write it in the code page they need).
inline constexpr char kTwoLanguageSami[] =
    "<SAMI><HEAD><STYLE TYPE=\"text/css\"><!--\n"
    ".KRCC { Name: Korean; lang: ko-KR; SAMIType: CC; }\n"
    ".ENCC { Name: English; lang: en-US; SAMIType: CC; }\n"
    "--></STYLE></HEAD><BODY>\r\n"
    "<SYNC Start=300><P Class=KRCC>첫 자막\r\n"
    "<SYNC Start=1200><P Class=KRCC>&nbsp;\r\n"
    "<SYNC Start=1500><P Class=KRCC>둘째 자막\r\n"
    "<SYNC Start=300><P Class=ENCC>First caption\r\n"
    "<SYNC Start=1200><P Class=ENCC>&nbsp;\r\n"
    "<SYNC Start=1500><P Class=ENCC>Second caption\r\n"
    "</BODY></SAMI>\r\n";

// An HTTP server on the loopback with one behaviour per path:
//   /talk.smi      the document;          /r<N>     redirects N times, then to /talk.smi;
//   /loop          redirects to itself;   /hang     reads the request, never answers;
//   /endless       sends data without end; anything else: 404.
class CSamiHttpServer {
public:
    explicit CSamiHttpServer(QByteArray document) : m_document(std::move(document)) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(&m_server);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { answer(socket); });
            }
        });
    }
    QString address(const char *path) const {
        return QStringLiteral("http://127.0.0.1:%1%2")
            .arg(m_server.serverPort())
            .arg(QString::fromLatin1(path));
    }
    const QList<QByteArray> &paths() const { return m_paths; }

private:
    void answer(QTcpSocket *socket) {
        QByteArray &request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n")) {
            return;
        }
        const QByteArray path = request.split(' ').value(1);
        m_paths.append(path);
        request.clear();
        if (path == "/talk.smi") {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " +
                          QByteArray::number(m_document.size()) + "\r\n\r\n" + m_document);
        } else if (path == "/loop") {
            redirect(socket, "/loop");
        } else if (path.startsWith("/r")) {
            const int left = path.mid(2).toInt();
            redirect(socket, left > 1 ? "/r" + QByteArray::number(left - 1) : "/talk.smi");
        } else if (path == "/endless") {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
            const QByteArray chunk(64 * 1024, 'x');
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket, chunk] {
                if (socket->bytesToWrite() < chunk.size()) {
                    socket->write(chunk);
                }
            });
            socket->write(chunk);
        } else if (path != "/hang") {
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        }
    }
    static void redirect(QTcpSocket *socket, const QByteArray &to) {
        socket->write("HTTP/1.1 302 Found\r\nLocation: " + to + "\r\nContent-Length: 0\r\n\r\n");
    }

    QTcpServer m_server;
    QByteArray m_document;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QList<QByteArray> m_paths;
};
