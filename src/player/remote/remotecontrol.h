#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "player/shell/instancelink.h"

class CPlayerSession;
class CPlayerTransport;
class CSharedTextBlock;

// The player's answers to other programs: each request, its preconditions, the control panel's
// operation it runs (through the session's control) and the text it hands back. A text result is
// written into the reply block before the answer leaves, so that a client reading the block
// after the answer sees the matching text; the answer carries the text as well.
namespace kivo::remote {

class CRemoteControl {
public:
    static constexpr double kJump = 5e7;  // 5 seconds
    static constexpr double kFastestRate = 10.0;

    // replyBlock: the block "KIVOBTCDATA" (tests use one of their own).
    CRemoteControl(CPlayerSession &session, CPlayerTransport &transport,
                   CSharedTextBlock &replyBlock);

    // The answer to one request; none for reserved and unknown numbers. Refusals leave the
    // player as it was.
    std::optional<kivo::shell::CTextReply> handle(uint32_t code, int32_t parameter);

private:
    kivo::shell::CTextReply reply(int result, const QString &text);
    kivo::shell::CTextReply stateReply(int result);
    kivo::shell::CTextReply jump(double offset);
    int faster(int32_t parameter);
    bool hasVideoOpen() const;

    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    CSharedTextBlock &m_replyBlock;
};

}  // namespace kivo::remote
