#include "player/transport/playlistplayer.h"

#include <QString>

#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"

CPlaylistPlayer::CPlaylistPlayer(CPlayerSession &session, QObject *parent)
    : QObject(parent), m_session(session) {}

QStringList CPlaylistPlayer::addFiles(const QStringList &paths) {
    const size_t first = m_playlist.size();
    QStringList refused;
    for (const QString &path : paths) {
        if (!m_playlist.add(path.toStdString())) {
            refused.append(path);
        }
    }
    if (m_playlist.size() > first) {
        emit entriesAdded(qsizetype(first));
    }
    return refused;
}

int CPlaylistPlayer::start() {
    std::vector<kivo::lists::CPlaylistEntry> shown;
    for (const kivo::lists::CPlaylistEntry &entry : m_playlist.entries()) {
        if (entry.shown()) {
            shown.push_back(entry);
        }
    }
    return playEntries(std::move(shown));
}

int CPlaylistPlayer::playEntries(std::vector<kivo::lists::CPlaylistEntry> entries) {
    m_queue.setEntries(std::move(entries));
    if (m_queue.empty()) {
        return 0;
    }
    m_playing = true;
    return step(true);
}

void CPlaylistPlayer::leave() {
    m_queue.clear();
    m_playing = false;
}

int CPlaylistPlayer::step(bool forward) {
    IPlayerControl *control = m_session.control();
    if (control == nullptr) {
        return 0;
    }
    const std::optional<kivo::lists::CQueueStep> next = m_queue.advance(forward);
    if (!next) {
        return 0;
    }
    const QString path = QString::fromStdString(m_queue.entries()[next->index].path());
    if (control->openFile(path, next->play) != 1) {
        return 0;
    }
    m_queue.markPlayed(next->index);
    emit entryOpened(path);
    return 1;
}
