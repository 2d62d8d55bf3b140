#pragma once

#include <QString>
#include <QStringList>

#include "player/shell/instancelink.h"

// A second start of the player hands its files to the running player of the same user: it
// writes its command line into the shared block "KIVODATA", then delivers the hand-off message
// over the instance link; the running player reads the block while it answers.
namespace kivo::shell {

inline constexpr char kHandOffBlock[] = "KIVODATA";
// The reply block of remote-control requests that answer with a text.
inline constexpr char kReplyBlock[] = "KIVOBTCDATA";

// The start's side. True when a running player took the message (whatever it made of it);
// false when none answers, and the start must become the player itself.
bool handOffToRunningPlayer(const QStringList &arguments,
                            const QString &instanceName = defaultInstanceName());

// The running player's side: the paths the last hand-off wrote (empty when none, or when the
// block holds nothing). Bytes that are not UTF-8 are decoded as replacement characters.
QStringList handedOffPaths();

}  // namespace kivo::shell
