// The hand-off's command line, as the running player reads it from the shared block: any text
// gives paths without a crash; and files a second start hands over (one per line of the input)
// read back as the same files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QRegularExpression>
#include <QStringList>

#include "player/shell/commandline.h"

namespace {

// Names the quoted list can carry: no quote before a blank (which would end the item), no
// character that a path cannot hold or that the absolute form would rewrite.
bool carriable(const QString &path) {
    static const QRegularExpression unsafe(
        QStringLiteral("\"\\s|[\\x00\\x{fffd}]|//|/\\.\\.?(/|$)"));
    return !path.contains(unsafe) && !path.endsWith(u'/') && path.trimmed() == path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &path : pathsFromCommandLine(text)) {
        if (path.isEmpty()) {
            std::abort();
        }
    }

    QStringList files;
    for (const QString &line : text.split(u'\n')) {
        const QString file = u'/' + line;
        if (!line.isEmpty() && carriable(file)) {
            files << file;
        }
    }
    const QByteArray handedOver = commandLineForHandOff(files, qsizetype{1} << 20);
    if (pathsFromCommandLine(QString::fromUtf8(handedOver)) != files) {
        std::abort();
    }
    return 0;
}
