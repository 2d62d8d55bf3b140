#include "player/shell/commandline.h"

QString pathFromCommandLine(const QString &commandLine) {
    const QString text = commandLine.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
        return text.mid(1, text.size() - 2);
    }
    return text;
}
