#include "player/captions/captiontrack.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/atomicfile.h"
#include "player/captions/samisource.h"

namespace kivo::captions {

namespace {

// How long the last caption stays: SAMI shows a caption until the next SYNC, and the last one
// has none.
constexpr int64_t kLastCaptionMs = 60'000;

void appendTime(QByteArray &out, int64_t ms) {
    char text[40];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld",
                  static_cast<long long>(ms / 3'600'000), static_cast<long long>(ms / 60'000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    out += text;
}

}  // namespace

QByteArray srtBytes(std::span<const CSamiEntry> entries) {
    std::vector<CSamiEntry> sorted(entries.begin(), entries.end());
    for (CSamiEntry &entry : sorted) {
        entry.start = std::max(entry.start, 0);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const CSamiEntry &a, const CSamiEntry &b) { return a.start < b.start; });
    QByteArray out;
    int number = 0;
    for (size_t i = 0; i < sorted.size(); ++i) {
        const CSamiEntry &entry = sorted[i];
        // Of several entries at one time, the last is what stays on screen.
        if (entry.text.empty() || (i + 1 < sorted.size() && sorted[i + 1].start == entry.start)) {
            continue;
        }
        const int64_t end =
            i + 1 < sorted.size() ? sorted[i + 1].start : int64_t(entry.start) + kLastCaptionMs;
        out += QByteArray::number(++number);
        out += "\n";
        appendTime(out, entry.start);
        out += " --> ";
        appendTime(out, end);
        out += "\n";
        out += QByteArray::fromStdString(entry.text);
        out += "\n\n";
    }
    return out;
}

QString writeCaptionTrack(const QString &location, const QString &folder) {
    const auto entries = loadSami(location);
    if (!entries || !QDir().mkpath(folder)) {
        return {};
    }
    const QByteArray name =
        QCryptographicHash::hash(location.toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".srt"));
    const QByteArray bytes = srtBytes(*entries);
    const int written =
        kivo::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                  std::span(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                            static_cast<size_t>(bytes.size())));
    return written == 1 ? path : QString();
}

QString captionTrackFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("captions"));
}

}  // namespace kivo::captions
