#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>

class CPlayerSession;
class CPlayerTransport;

// What the desktop sees of the player through MPRIS, read from the session and the transport:
// the properties of the player interface, the current track's identity and the picture of its
// current scene. Kept apart from the bus so that it is checked without one.
namespace kivo::remote {

class CMprisState {
public:
    // The rates the control panel offers forward.
    static constexpr double kMinimumRate = 0.2;
    static constexpr double kMaximumRate = 7.0;
    static constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

    // artFolder: where the scene pictures go (the user's cache); canChangeFile: whether next
    // and previous have somewhere to go (a playlist of two or more, an audio CD).
    CMprisState(CPlayerSession &session, CPlayerTransport &transport, QString artFolder,
                std::function<bool()> canChangeFile);

    // The player interface's properties as they are now (Position included); takes the next
    // track identity when the open file changed, and draws the current scene's picture when
    // the scene changed.
    QVariantMap playerProperties();
    QString trackId() const { return m_trackId; }
    // In microseconds, as MPRIS counts.
    qint64 positionMicroseconds() const;
    qint64 lengthMicroseconds() const;

private:
    QString playbackStatus() const;
    QVariantMap metadata();
    void followFile();
    void drawSceneArt();
    double currentSceneFrame() const;

    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    QString m_artFolder;
    std::function<bool()> m_canChangeFile;
    QString m_file;
    QString m_trackId = QString::fromLatin1(kNoTrack);
    int m_trackNumber = 0;
    double m_artFrame = -1;
    QString m_artPath;
};

}  // namespace kivo::remote
