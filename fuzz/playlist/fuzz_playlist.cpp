// Any byte string given as an ASX or M3U list must be refused or read into a list whose walk
// answers every call, never hands out an empty address and comes back to its start.

#include "media/playback/metafilereader.h"

#include <cstdlib>

namespace {

void walk(CMetafilePlaylist &playlist) {
    QString url;
    double start = 0;
    double duration = 0;
    // Long enough to pass a short repeated block several times.
    for (int call = 0; call < 200; ++call) {
        if (!playlist.nextEntry(url, start, duration, call % 7 == 3)) {
            return;
        }
        if (url.isEmpty() || start < 0 || duration < 0) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString base = QStringLiteral("/lists");
    sniffMetafile(bytes.left(4096), QStringLiteral("m3u"));
    CMetafilePlaylist asx;
    if (parseAsxPlaylist(bytes, base, asx)) {
        if (asx.isEmpty()) {
            std::abort();
        }
        walk(asx);
    }
    CMetafilePlaylist m3u;
    if (parseM3uPlaylist(bytes, base, m3u)) {
        walk(m3u);
    }
    return 0;
}
