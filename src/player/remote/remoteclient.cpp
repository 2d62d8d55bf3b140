#include "player/remote/remoteclient.h"

#include <QElapsedTimer>

namespace kivo::remote {

using kivo::shell::CTextReplyDecoder;

CRemoteClient::CRemoteClient(QString name) : m_name(std::move(name)) {}

bool CRemoteClient::connectToPlayer(int timeoutMs) {
    m_socket.connectToServer(m_name);
    if (!m_socket.waitForConnected(timeoutMs) || !kivo::shell::peerIsSameUser(m_socket)) {
        m_socket.abort();
        return false;
    }
    return true;
}

CAnswer CRemoteClient::request(uint32_t code, int32_t parameter, int timeoutMs) {
    CAnswer answer;
    if (m_socket.state() != QLocalSocket::ConnectedState) {
        return answer;
    }
    QElapsedTimer clock;
    clock.start();
    m_socket.write(kivo::shell::encodeFrame(code, parameter));
    if (!m_socket.waitForBytesWritten(timeoutMs)) {
        answer.outcome = CAnswer::EOutcome::Broken;
        return answer;
    }
    CTextReplyDecoder decoder;
    while (decoder.feed(m_socket.readAll()) == CTextReplyDecoder::EState::NeedMore) {
        const int left = timeoutMs - int(clock.elapsed());
        if (m_socket.state() != QLocalSocket::ConnectedState) {
            answer.outcome = CAnswer::EOutcome::Broken;
            return answer;
        }
        if (left <= 0 || !m_socket.waitForReadyRead(left)) {
            answer.outcome = m_socket.state() == QLocalSocket::ConnectedState
                                 ? CAnswer::EOutcome::NoReply
                                 : CAnswer::EOutcome::Broken;
            return answer;
        }
    }
    if (decoder.state() != CTextReplyDecoder::EState::Complete) {
        answer.outcome = CAnswer::EOutcome::Broken;
        return answer;
    }
    answer.outcome = CAnswer::EOutcome::Answered;
    answer.reply = decoder.reply();
    return answer;
}

}  // namespace kivo::remote
