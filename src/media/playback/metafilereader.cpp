#include "media/playback/metafilereader.h"

#include "platform/cp949.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

namespace {

constexpr qint64 kSniffBytes = 4096;

void setError(QString *error, const QString &text) {
    if (error != nullptr) {
        *error = text;
    }
}

bool hasScheme(const QString &address) {
    // "mms://", "http://", "file:///", ... ; a single letter before ':' is a drive.
    const qsizetype colon = address.indexOf(u':');
    if (colon < 2) {
        return false;
    }
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = address[i];
        const bool allowed =
            (c.isLetter() && c.unicode() < 128) ||
            (i > 0 && ((c.isDigit() && c.unicode() < 128) || c == u'+' || c == u'-' || c == u'.'));
        if (!allowed) {
            return false;
        }
    }
    return true;
}

bool isDrivePath(const QString &address) {
    return address.size() >= 2 && address[0].isLetter() && address[0].unicode() < 128 &&
           address[1] == u':';
}

// Skips whitespace, an XML declaration and comments at the front of a metafile's text.
qsizetype skipProlog(const QString &text) {
    qsizetype at = 0;
    for (;;) {
        while (at < text.size() && text[at].isSpace()) {
            ++at;
        }
        if (text.mid(at, 2) == u"<?") {
            const qsizetype end = text.indexOf(u"?>", at);
            if (end < 0) {
                return at;
            }
            at = end + 2;
        } else if (text.mid(at, 4) == u"<!--") {
            const qsizetype end = text.indexOf(u"-->", at);
            if (end < 0) {
                return at;
            }
            at = end + 3;
        } else {
            return at;
        }
    }
}

}  // namespace

QString decodeMetafileText(const QByteArray &bytes) {
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return QString::fromStdString(
        kivo::cp949ToUtf8(std::string_view(bytes.constData(), size_t(bytes.size()))));
}

EMetafileKind sniffMetafile(const QByteArray &head, const QString &suffix) {
    const QString text = decodeMetafileText(head);
    const QString start = text.mid(skipProlog(text), 8);
    if (start.startsWith(u"<asx", Qt::CaseInsensitive) &&
        (start.size() == 4 || start[4].isSpace() || start[4] == u'>' || start[4] == u'/')) {
        return EMetafileKind::Asx;
    }
    if (text.startsWith(u"#EXTM3U")) {
        return EMetafileKind::M3u;
    }
    const QString lowerSuffix = suffix.toLower();
    if ((lowerSuffix == u"m3u" || lowerSuffix == u"m3u8") && !head.contains('\0')) {
        return EMetafileKind::M3u;
    }
    return EMetafileKind::None;
}

EMetafileKind metafileKind(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return EMetafileKind::None;
    }
    return sniffMetafile(file.read(kSniffBytes), QFileInfo(path).suffix());
}

QString resolveMetafileAddress(const QString &href, const QString &base) {
    const QString address = href.trimmed();
    if (address.isEmpty() || hasScheme(address) || isDrivePath(address) ||
        address.startsWith(u'/') || address.startsWith(u"\\\\")) {
        return address;
    }
    if (hasScheme(base)) {
        // A BASE that is not a valid address cannot help; the address then stays as written.
        const QUrl baseUrl(base);
        const QString resolved =
            baseUrl.isValid() ? baseUrl.resolved(QUrl(address)).toString() : QString();
        return resolved.isEmpty() ? address : resolved;
    }
    QString relative = address;
    relative.replace(u'\\', u'/');
    return QDir::cleanPath(QDir(base).filePath(relative));
}

bool readMetafilePlaylist(const QString &path, CMetafilePlaylist &playlist, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.size() > kMaxMetafileBytes) {
        setError(error, QStringLiteral("playlist larger than %1 bytes").arg(kMaxMetafileBytes));
        return false;
    }
    const QByteArray bytes = file.read(kMaxMetafileBytes + 1);
    if (bytes.size() > kMaxMetafileBytes) {
        setError(error, QStringLiteral("playlist larger than %1 bytes").arg(kMaxMetafileBytes));
        return false;
    }
    const QFileInfo info(path);
    const QString baseDir = info.absolutePath();
    switch (sniffMetafile(bytes.left(kSniffBytes), info.suffix())) {
        case EMetafileKind::Asx:
            return parseAsxPlaylist(bytes, baseDir, playlist, error, info.canonicalFilePath());
        case EMetafileKind::M3u:
            return parseM3uPlaylist(bytes, baseDir, playlist, error);
        case EMetafileKind::None:
            break;
    }
    setError(error, QStringLiteral("not a playlist"));
    return false;
}

bool parseM3uPlaylist(const QByteArray &bytes, const QString &baseDir, CMetafilePlaylist &playlist,
                      QString *error) {
    std::vector<CMetafileEntry> entries;
    const QString text = decodeMetafileText(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        if (entries.size() == kMaxMetafileItems) {
            break;
        }
        CMetafileEntry entry;
        CPlaylistSource source;
        source.url = resolveMetafileAddress(line.toString(), baseDir);
        entry.sources.push_back(std::move(source));
        entries.push_back(std::move(entry));
    }
    if (entries.empty()) {
        setError(error, QStringLiteral("playlist has no entries"));
        return false;
    }
    playlist = CMetafilePlaylist(std::move(entries), CPlaylistRepeat{});
    return true;
}
