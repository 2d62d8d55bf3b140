#include "player/transport/metafilelistplayer.h"

#include <QFileInfo>
#include <QUrl>

#include "media/playback/metafilereader.h"
#include "media/playback/playbackengine.h"
#include "platform/netfetch.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"

CMetafileListPlayer::CMetafileListPlayer(CPlayerSession &session) : m_session(session) {}

bool CMetafileListPlayer::start(const QString &path, QString *first) {
    clear();
    if (m_session.engine().openPlaylist(path) != 1) {
        return false;
    }
    m_active = true;
    m_listPath = path;
    return take(false, first);
}

namespace {

bool namesNetworkList(const QUrl &url) {
    static const QStringList kListSuffixes{QStringLiteral("asx"), QStringLiteral("wax"),
                                           QStringLiteral("wvx"), QStringLiteral("m3u"),
                                           QStringLiteral("m3u8")};
    return kivo::net::isFetchable(url) &&
           kListSuffixes.contains(QFileInfo(url.path()).suffix(), Qt::CaseInsensitive);
}

}  // namespace

bool CMetafileListPlayer::nextOfInnermost(QString &url, double &start, double &duration,
                                          bool forceNext) {
    if (m_nested.empty()) {
        return m_session.engine().nextPlaylistEntry(url, start, duration, forceNext) == 1;
    }
    return m_nested.back().nextEntry(url, start, duration, forceNext);
}

bool CMetafileListPlayer::enterNetworkList(const QString &url) {
    const QUrl address(url);
    if (m_nested.size() >= kMaxNesting || m_nestedAddresses.contains(url)) {
        return false;
    }
    CPlaybackEngine &engine = m_session.engine();
    kivo::net::CFetchLimits limits;
    limits.maxBytes = kMaxMetafileBytes;
    limits.timeoutMs = int(engine.bufferingTime() * 1000) + CPlaybackEngine::kAddressGraceMs;
    const kivo::net::CFetchResult fetched = kivo::net::fetchDocument(address, limits);
    if (fetched.status != kivo::net::CFetchResult::kOk) {
        return false;
    }
    // Relative addresses in the list are relative to where it was found.
    const QString base = fetched.finalUrl.adjusted(QUrl::RemoveFilename).toString();
    CMetafilePlaylist list;
    switch (sniffMetafile(fetched.bytes.left(4096), QFileInfo(address.path()).suffix())) {
        case EMetafileKind::Asx:
            if (!parseAsxPlaylist(fetched.bytes, base, list)) {
                return false;
            }
            break;
        case EMetafileKind::M3u:
            if (!parseM3uPlaylist(fetched.bytes, base, list)) {
                return false;
            }
            break;
        case EMetafileKind::None:
            return false;
    }
    m_nested.push_back(std::move(list));
    m_nestedAddresses.append(url);
    return true;
}

bool CMetafileListPlayer::take(bool forceNext, QString *address) {
    QString url;
    double start = 0;
    double duration = 0;
    int failedLists = 0;
    for (;;) {
        if (!nextOfInnermost(url, start, duration, forceNext)) {
            if (m_nested.empty()) {
                m_active = false;
                return false;
            }
            // A nested list played out is the entry that brought it in, done.
            m_nested.pop_back();
            m_nestedAddresses.removeLast();
            forceNext = true;
            continue;
        }
        if (!namesNetworkList(QUrl(url))) {
            break;
        }
        // A list that cannot be fetched or read fails like an address that does not open: the
        // entry's next address, or the next entry, is tried.
        forceNext = false;
        if (!enterNetworkList(url) && ++failedLists > kMaxFailedLists) {
            clear();
            return false;
        }
    }
    *address = url;
    m_entryStart = start;
    m_entryDuration = duration;
    return true;
}

bool CMetafileListPlayer::nextToTry(QString *address) {
    return m_active && take(false, address);
}

void CMetafileListPlayer::clear() {
    m_active = false;
    m_listPath.clear();
    m_entryStart = 0;
    m_entryDuration = 0;
    m_nested.clear();
    m_nestedAddresses.clear();
}

int CMetafileListPlayer::playNextEntry(bool playlistPlaying) {
    IPlayerControl *control = m_session.control();
    if (!m_active || control == nullptr) {
        return 0;
    }
    // An entry that played to its end is done: its backup addresses are for failures only.
    QString next;
    if (take(true, &next)) {
        return control->openFile(next, true) == 1 ? 1 : 0;
    }
    const QString list = m_listPath;
    clear();
    if (playlistPlaying) {
        return 0;
    }
    control->openFile(list, false);
    return 1;
}

bool CMetafileListPlayer::entryTimeUsedUp(double position) const {
    return m_active && m_entryDuration > 0 && m_entryStart + m_entryDuration <= position;
}
