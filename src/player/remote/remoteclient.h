#pragma once

#include <QByteArray>
#include <QLocalSocket>
#include <QString>

#include <cstdint>
#include <memory>

#include "player/shell/instancelink.h"

// The other programs' end of remote control: a connection to the running player of this user
// over which requests go and answers come back in order.
namespace kivo::remote {

struct CAnswer {
    enum class EOutcome {
        Answered,
        NoPlayer,  // nobody of this user listens
        NoReply,   // the player took the request and did not answer in time (reserved codes)
        Broken     // the connection failed or carried something that is not an answer
    };
    EOutcome outcome = EOutcome::NoPlayer;
    kivo::shell::CTextReply reply;
};

class CRemoteClient {
public:
    explicit CRemoteClient(QString name = kivo::shell::defaultInstanceName());

    // Connects to the player: false when none of this user answers within timeoutMs.
    bool connectToPlayer(int timeoutMs);
    // Sends one request and waits for its answer at most timeoutMs.
    CAnswer request(uint32_t code, int32_t parameter, int timeoutMs);

private:
    QString m_name;
    QLocalSocket m_socket;
};

}  // namespace kivo::remote
