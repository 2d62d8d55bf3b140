// kivoctl: drives the running player of this user from a shell. Prints the answer's text; the
// exit status says what became of the request (see the README).
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "player/remote/kivoctlcommands.h"
#include "player/remote/remoteclient.h"
#include "player/shell/handoff.h"
#include "player/shell/sharedtextblock.h"

namespace {

enum EExit { kDone = 0, kRefused = 1, kNoPlayer = 2, kNoReply = 3, kUsage = 64 };

int fail(const QString &message, int status) {
    QTextStream(stderr) << "kivoctl: " << message << '\n';
    return status;
}

}  // namespace

int main(int argc, char **argv) {
    const QCoreApplication application(argc, argv);
    QStringList words = application.arguments().mid(1);
    int timeoutMs = 3000;
    if (words.size() >= 2 && words.first() == u"--timeout") {
        bool ok = false;
        timeoutMs = words[1].toInt(&ok);
        if (!ok || timeoutMs <= 0) {
            return fail(QStringLiteral("--timeout takes milliseconds"), kUsage);
        }
        words = words.mid(2);
    }
    if (words == QStringList{QStringLiteral("--help")}) {
        QTextStream(stdout) << kivo::remote::ctlUsage();
        return kDone;
    }
    QString error;
    const auto command = kivo::remote::parseCtlCommand(words, error);
    if (!command) {
        QTextStream(stderr) << "kivoctl: " << error << '\n' << kivo::remote::ctlUsage();
        return kUsage;
    }
    kivo::remote::CRemoteClient client;
    if (!client.connectToPlayer(timeoutMs)) {
        return fail(QStringLiteral("no KIVO player is running for this user"), kNoPlayer);
    }
    // The block stays attached until the player has read it.
    CSharedTextBlock block(QString::fromLatin1(kivo::shell::kReplyBlock));
    if (command->caption) {
        const QByteArray text = command->caption->toUtf8();
        if (block.write(text) != 1) {
            return fail(QStringLiteral("cannot write the reply block"), kRefused);
        }
        if (text.size() >= CSharedTextBlock::kSize) {
            fail(QStringLiteral("the caption is cut to %1 bytes").arg(CSharedTextBlock::kSize - 1),
                 kDone);
        }
    }
    const kivo::remote::CAnswer answer =
        client.request(command->code, command->parameter, timeoutMs);
    using EOutcome = kivo::remote::CAnswer::EOutcome;
    switch (answer.outcome) {
        case EOutcome::Answered:
            if (!answer.reply.text.isEmpty()) {
                std::fwrite(answer.reply.text.constData(), 1, size_t(answer.reply.text.size()),
                            stdout);
                std::fputc('\n', stdout);
            }
            return answer.reply.result == 1 ? kDone : kRefused;
        case EOutcome::NoReply:
            return fail(QStringLiteral("the player took the request without an answer"), kNoReply);
        case EOutcome::NoPlayer:
        case EOutcome::Broken:
            break;
    }
    return fail(QStringLiteral("the player closed the connection"), kNoPlayer);
}
