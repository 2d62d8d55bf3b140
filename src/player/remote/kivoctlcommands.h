#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The words of the command-line client and the requests they send.
namespace kivo::remote {

struct CCtlCommand {
    uint32_t code = 0;
    int32_t parameter = 0;
    // set-caption: the text that goes into the reply block before the request.
    std::optional<QString> caption;
};

// The request of a command line (the words after the program's name); none, with a message in
// error, when the words are not a command.
std::optional<CCtlCommand> parseCtlCommand(const QStringList &words, QString &error);

// The usage text.
QString ctlUsage();

}  // namespace kivo::remote
