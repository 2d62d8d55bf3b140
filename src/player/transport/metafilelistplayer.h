#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "media/playback/metafileplaylist.h"
#include "player/transport/playertransport.h"

class CPlayerSession;

// A metafile list (ASX, WAX, WVX, M3U) as the control panel plays it: the list's own path, and
// the entry playing now with the part of it to play. The engine reads the list; entries open
// through the control panel (IPlayerControl::openFile) like any file.
//
// An entry whose address is a list on a web server (ENTRYREF to http, or a REF naming an .asx or
// .m3u there) is fetched when its turn comes and played entry by entry in its place; lists nest
// at most kMaxNesting deep and a list is not entered again inside itself, so lists that name
// each other end.
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

    static constexpr size_t kMaxNesting = 8;
    // Lists that cannot be fetched, one after another, before the list is given up.
    static constexpr int kMaxFailedLists = 64;

private:
    bool take(bool forceNext, QString *address);
    bool nextOfInnermost(QString &url, double &start, double &duration, bool forceNext);
    // True when url named a list that could be fetched and read: it is now the innermost.
    bool enterNetworkList(const QString &url);

    CPlayerSession &m_session;
    bool m_active = false;
    QString m_listPath;
    double m_entryStart = 0;
    double m_entryDuration = 0;
    // The lists from web servers being played, the innermost last; the engine holds the outer.
    std::vector<CMetafilePlaylist> m_nested;
    // The addresses of m_nested's lists.
    QStringList m_nestedAddresses;
};
