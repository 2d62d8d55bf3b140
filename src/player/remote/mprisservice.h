#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include "player/remote/mprisstate.h"

class CPlayerSession;
class CPlayerTransport;

// The player on the desktop's session bus as an MPRIS media player: media keys, sound menus
// and widgets drive it through the same operations of the control panel as the messages of
// other programs do, and follow its changes through PropertiesChanged and Seeked.
namespace kivo::remote {

class CMprisService : public QObject {
    Q_OBJECT

public:
    static constexpr char kServiceName[] = "org.mpris.MediaPlayer2.kivop";

    CMprisService(CPlayerSession &session, CPlayerTransport &transport, QString artFolder,
                  std::function<bool()> canChangeFile, QObject *parent = nullptr);
    ~CMprisService() override;

    // Takes the name on the session bus (with ".instance<pid>" when several players may run).
    // False, without a word, when there is no bus or the name is taken.
    bool publish(bool multiPlayer);

    CMprisState &state() { return m_state; }
    // The properties as last published (brought up to date first when a change is pending).
    const QVariantMap &properties();

    // The operations, as the interfaces call them.
    void raise();
    void quit();
    void playPause();
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void seek(qint64 offset);
    void setPosition(const QDBusObjectPath &track, qint64 position);
    void openUri(const QString &uri);
    void setRate(double rate);
    void setVolume(double volume);

private:
    // Coalesces the changes of one turn of the event loop into one comparison.
    void scheduleRefresh();
    void refresh();
    void emitChanged(const QString &interface, const QVariantMap &changed);
    void followPosition(double position);
    void emitSeeked();

    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    CMprisState m_state;
    QVariantMap m_published;
    QString m_name;
    bool m_refreshQueued = false;
    // Where playback should be now if nothing jumped: the last position and when it was seen.
    double m_lastPosition = 0;
    QElapsedTimer m_sinceLastPosition;
};

// org.mpris.MediaPlayer2
class CMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

public:
    explicit CMprisRootAdaptor(CMprisService *service);
    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return QStringLiteral("KIVO Player"); }
    QString desktopEntry() const { return QStringLiteral("kivop"); }
    QStringList supportedUriSchemes() const;
    QStringList supportedMimeTypes() const;

public slots:
    void Raise() { m_service->raise(); }
    void Quit() { m_service->quit(); }

private:
    CMprisService *m_service;
};

// org.mpris.MediaPlayer2.Player
class CMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ minimumRate)
    Q_PROPERTY(double MaximumRate READ maximumRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPause)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)

public:
    explicit CMprisPlayerAdaptor(CMprisService *service);
    QString playbackStatus() const { return value("PlaybackStatus").toString(); }
    double rate() const { return value("Rate").toDouble(); }
    void setRate(double rate) { m_service->setRate(rate); }
    double minimumRate() const { return CMprisState::kMinimumRate; }
    double maximumRate() const { return CMprisState::kMaximumRate; }
    QVariantMap metadata() const { return value("Metadata").toMap(); }
    double volume() const { return value("Volume").toDouble(); }
    void setVolume(double volume) { m_service->setVolume(volume); }
    qlonglong position() const { return m_service->state().positionMicroseconds(); }
    bool canGoNext() const { return value("CanGoNext").toBool(); }
    bool canGoPrevious() const { return value("CanGoPrevious").toBool(); }
    bool canPlay() const { return value("CanPlay").toBool(); }
    bool canPause() const { return value("CanPause").toBool(); }
    bool canSeek() const { return value("CanSeek").toBool(); }
    bool canControl() const { return true; }

public slots:
    void Next() { m_service->next(); }
    void Previous() { m_service->previous(); }
    void Pause() { m_service->pause(); }
    void PlayPause() { m_service->playPause(); }
    void Stop() { m_service->stop(); }
    void Play() { m_service->play(); }
    void Seek(qlonglong offset) { m_service->seek(offset); }
    void SetPosition(const QDBusObjectPath &track, qlonglong position) {
        m_service->setPosition(track, position);
    }
    void OpenUri(const QString &uri) { m_service->openUri(uri); }

signals:
    void Seeked(qlonglong position);

private:
    QVariant value(const char *name) const;

    CMprisService *m_service;
};

}  // namespace kivo::remote
