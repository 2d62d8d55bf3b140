#include "player/transport/metafilelistplayer.h"

#include "media/playback/playbackengine.h"
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

bool CMetafileListPlayer::take(bool forceNext, QString *address) {
    QString url;
    double start = 0;
    double duration = 0;
    if (m_session.engine().nextPlaylistEntry(url, start, duration, forceNext) != 1) {
        m_active = false;
        return false;
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
