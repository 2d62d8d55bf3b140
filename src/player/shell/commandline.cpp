#include "player/shell/commandline.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

bool isAddress(const QString &argument) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(argument).hasMatch();
}

// Quoted items: each runs from a quote to the next quote that ends the text or stands before
// a blank, so a quote inside a file name survives. Nothing when the text is not of that form.
QStringList quotedItems(const QString &text) {
    QStringList items;
    qsizetype at = 0;
    while (at < text.size()) {
        if (text[at] != u'"') {
            return {};
        }
        qsizetype end = at + 1;
        while (end < text.size() &&
               !(text[end] == u'"' && (end + 1 == text.size() || text[end + 1].isSpace()))) {
            ++end;
        }
        if (end == text.size()) {
            return {};
        }
        items << text.mid(at + 1, end - at - 1);
        at = end + 1;
        while (at < text.size() && text[at].isSpace()) {
            ++at;
        }
    }
    return items;
}

}  // namespace

QStringList pathsFromCommandLine(const QString &commandLine) {
    const QString text = commandLine.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    QStringList items = quotedItems(text);
    if (items.isEmpty()) {
        // One path, quoted as the system's own starts do, or bare.
        items << pathFromArgument(text);
    }
    items.removeAll(QString());
    return items;
}

QString pathFromArgument(const QString &argument) {
    const QString text = argument.trimmed();
    const QString unquoted = text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')
                                 ? text.mid(1, text.size() - 2)
                                 : argument;
    if (unquoted.startsWith(QStringLiteral("file://"), Qt::CaseInsensitive)) {
        const QUrl url(unquoted);
        if (url.isValid() && url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return unquoted;
}

QStringList pathsFromArguments(int argc, const char *const *argv) {
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        const QString path = pathFromArgument(QFile::decodeName(argv[i]));
        if (!path.isEmpty()) {
            paths << path;
        }
    }
    return paths;
}

QByteArray commandLineForHandOff(const QStringList &arguments, qsizetype maxBytes) {
    QByteArray line;
    for (const QString &argument : arguments) {
        if (argument.isEmpty()) {
            continue;
        }
        const QString path =
            isAddress(argument) ? argument : QFileInfo(argument).absoluteFilePath();
        const QByteArray item = '"' + path.toUtf8() + '"';
        const qsizetype needed = item.size() + (line.isEmpty() ? 0 : 1);
        if (line.size() + needed > maxBytes) {
            continue;
        }
        if (!line.isEmpty()) {
            line += ' ';
        }
        line += item;
    }
    return line;
}
