#include "player/shell/handoff.h"

#include "player/shell/commandline.h"
#include "player/shell/sharedtextblock.h"

namespace kivo::shell {

bool handOffToRunningPlayer(const QStringList &arguments, const QString &instanceName) {
    // The block stays attached until the answer has come, so that the receiver finds it. A
    // block that cannot be made still lets the running player come to the front.
    CSharedTextBlock block(QString::fromLatin1(kHandOffBlock));
    block.write(commandLineForHandOff(arguments, CSharedTextBlock::kSize - 1));
    return sendToRunningPlayer(kGlobalMessage, 0, nullptr, instanceName);
}

QStringList handedOffPaths() {
    return pathsFromCommandLine(
        QString::fromUtf8(CSharedTextBlock(QString::fromLatin1(kHandOffBlock)).read()));
}

}  // namespace kivo::shell
