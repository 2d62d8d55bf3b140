#pragma once

#include <QString>

#include "player/transport/playertransport.h"

class CPlayerSession;

// A metafile list (ASX, WAX, WVX, M3U) as the control panel plays it: the list's own path, and
// the entry playing now with the part of it to play. The engine reads the list; entries open
// through the control panel (IPlayerControl::openFile) like any file.
class CMetafileListPlayer : public IMetafileList {
public:
    explicit CMetafileListPlayer(CPlayerSession &session);

    bool isActive() const override { return m_active; }
    // The list at path becomes active; *first is its first entry. False when it is no list or
    // holds nothing to play.
    bool start(const QString &path, QString *first);
    // The next address to try after one that did not open: the entry's backup address or the
    // next entry. False at the end of the list (the list is then no longer active).
    bool nextToTry(QString *address);
    // Where the entry that has just opened starts (100 ns), 0 for its beginning.
    double entryStart() const { return m_entryStart; }
    void clear();

    // The end of an entry (its media ended, or its time is used up): the next entry plays;
    // after the last, the list opens again stopped at its first entry, unless a playlist is
    // playing, which then goes on (0).
    int playNextEntry(bool playlistPlaying) override;
    bool entryTimeUsedUp(double position) const override;

private:
    bool take(bool forceNext, QString *address);

    CPlayerSession &m_session;
    bool m_active = false;
    QString m_listPath;
    double m_entryStart = 0;
    double m_entryDuration = 0;
};
