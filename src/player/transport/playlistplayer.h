#pragma once

#include <QObject>
#include <QStringList>

#include <vector>

#include "player/lists/playlist.h"
#include "player/lists/playqueue.h"
#include "player/transport/playertransport.h"

class CPlayerSession;

// The playlist as the control panel plays it: the list the user keeps, the queue chosen from it
// and the playlist mode, in which the queue drives playback. Files open through the control
// panel (IPlayerControl::openFile), so a queued file opens like any other. The playlist page
// follows its signals.
class CPlaylistPlayer : public QObject, public IPlaylistPlayer {
    Q_OBJECT

public:
    explicit CPlaylistPlayer(CPlayerSession &session, QObject *parent = nullptr);

    kivo::lists::CPlaylist &playlist() { return m_playlist; }
    const kivo::lists::CPlaylist &playlist() const { return m_playlist; }
    kivo::lists::CPlayQueue &queue() { return m_queue; }

    // Appends the files the player supports to the playlist, in order, and answers the ones it
    // refused; entriesAdded announces the new entries.
    QStringList addFiles(const QStringList &paths);

    bool hasEntries() const override { return !m_playlist.empty(); }
    bool isPlaying() const override { return m_playing; }
    // Plays the whole list (shown entries) from its start, in the queue's order.
    int start() override;
    int playNext() override { return step(true); }
    int playPrevious() { return step(false); }

    // The entries become the queue and the first of them plays (dropped files, play now).
    // 0 when none could be opened.
    int playEntries(std::vector<kivo::lists::CPlaylistEntry> entries);
    // Playback leaves the queue (the user released it, or chose a file by other means).
    void leave();

signals:
    // The playlist's entries from `first` to its end were just added (files dropped on the
    // panel or sent from the media finder); the page shows them selected.
    void entriesAdded(qsizetype first);
    // A file of the queue was opened; the page selects its row.
    void entryOpened(const QString &path);

private:
    int step(bool forward);

    CPlayerSession &m_session;
    kivo::lists::CPlaylist m_playlist;
    kivo::lists::CPlayQueue m_queue;
    bool m_playing = false;
};
