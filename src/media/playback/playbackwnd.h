#pragma once

#include "media/playback/metafileplaylist.h"
#include "media/playback/mpvresources.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>

class IVideoSurface;
class QEventLoop;

// The player's playback engine: a child widget that plays one media file at a time through a
// libmpv handle it owns for its whole life, shows the video inside itself and reports to its
// parent by signals. Transport calls answer 1 on success and 0 when refused (wrong state, no
// file) or when libmpv fails; a refused call changes nothing.
//
// The signals stand for the engine's posted window messages and are always delivered later from
// the event loop, never from inside the call that caused them, so a handler may call back into
// the engine freely.
//
// Video is drawn with OpenGL when the application sets Qt::AA_ShareOpenGLContexts before it
// creates its QApplication and a graphics processor is there, and by libmpv's software renderer
// otherwise (see videosurface.h).
class CPlaybackWnd : public QWidget {
    Q_OBJECT

public:
    enum EState { kClosed = 0, kRunning = 1, kPaused = 2, kStopped = 3 };

    // Codes carried by graphEvent.
    enum EGraphEvent {
        kEventComplete = 1,        // the media played to its end
        kEventUserAbort = 2,       // the user closed the video (or libmpv was told to quit)
        kEventErrorAbort = 3,      // playback broke off with an error
        kEventBufferingData = 17,  // parameter 1 when buffering starts, 0 when it ends
        kEventText = 24,           // a caption of the caption file; the text is the caption
    };

    // Message numbers of the notifications, for the windows that relay or log them.
    enum EMessage {
        kMsgGraphEvent = 0x0FB9,
        kMsgTick = 0x0FBA,
        kMsgSteppedEnd = 0x0FBB,
        kMsgLeftButton = 0x0FBC,
        kMsgRightButton = 0x0FBD,
    };

    // 1/30 s in 100-nanosecond units: the transport's frame time.
    static constexpr double kFrameTime = 333300.0;
    static constexpr int kTickMilliseconds = 125;

    explicit CPlaybackWnd(QWidget *parent = nullptr);
    ~CPlaybackWnd() override;

    // Opens a file or address; afterwards the state is stopped, the first picture shown. The
    // event loop keeps running while the file loads (a network address may take seconds), so
    // the engine may be closed meanwhile, which makes this open return 0. Deleting the engine
    // while it opens is safe too. A failed open leaves the engine closed.
    int open(const QString &path);
    // Stops and forgets the file. Effects settings, buffering time, colours, logo and playlist
    // stay.
    void close();

    int play();
    int pause();
    int stop();
    // position in 100 ns. When not running the engine pauses so the frame there is shown; the
    // state does not change.
    int seek(double position);
    // 100 ns, or -1 without a file.
    double currentPosition() const;

    // Hundredths of a decibel (0 full, -10000 silence); above 0 becomes 0, below -4000 silence.
    int setVolume(int level);
    int setMute(bool on);
    // -10000 (right silent) .. 10000 (left silent).
    int setBalance(int balance);
    // Only with video: the engine widget becomes a full-screen window of its own and returns
    // into its parent afterwards. Key presses then reach the engine, not its parent; the video
    // window watches them (an event filter) to leave full screen on Esc.
    int setFullScreen(bool on);
    void showVideo(bool show);

    // Painted where no video is shown.
    void setLogoBitmap(const QImage &logo);
    void setBackgroundColour(const QColor &colour);

    // Metafile playlists (ASX, WAX, WVX, M3U). openPlaylist returns 0 when the path is not a
    // list, or a list without entries; the previous list is then kept.
    int openPlaylist(const QString &path);
    int nextPlaylistEntry(QString &url, double &start, double &duration, bool forceNext);
    static bool isPlaylist(const QString &path);

    // Image effects; 0 when the file was opened without the effects filter or the mode is not
    // an effect.
    int setEffectMode(int mode);
    void setEffectsEnabled(bool enabled) { m_effectsEnabled = enabled; }
    bool effectsEnabled() const { return m_effectsEnabled; }
    bool hasEffectsFilter() const { return m_effectsFilter; }
    int effectMode() const { return m_effectMode; }

    // Written before each play; a rate libmpv refuses (any negative one) plays in steps.
    void setRate(double rate) { m_rate = rate; }
    double rate() const { return m_rate; }

    // The caption file added to the next opened media; cleared by close.
    void setSecondPath(const QString &path) { m_secondPath = path; }
    const QString &secondPath() const { return m_secondPath; }
    const QString &mediaPath() const { return m_mediaPath; }

    // Seconds of a network stream buffered before it plays.
    void setBufferingTime(double seconds);
    double bufferingTime() const { return m_bufferingTime; }
    // Percent of the buffering done, or -1 when the media is not a network stream.
    int bufferingProgress() const;

    // Longest wait for a file to load before open gives up, in milliseconds.
    void setOpenTimeout(int milliseconds) { m_openTimeoutMs = milliseconds; }
    // libmpv's audio output ("null" for none); the system's default otherwise.
    void setAudioOutput(const QString &driver);

    int state() const { return m_state; }
    bool hasVideo() const { return m_hasVideo; }
    QSize nativeVideoSize() const { return m_nativeSize; }
    double duration() const { return m_duration; }
    double earliest() const { return m_earliest; }
    double latest() const { return m_latest; }
    int volume() const { return m_volume; }
    int balance() const { return m_balance; }
    bool isFullScreen() const { return m_fullScreen; }
    const QColor &backgroundColour() const { return m_background; }
    // "opengl" or "software"; empty when video cannot be shown.
    QString rendererName() const;
    // Pictures drawn since the engine was made: lets a measurement see the first frame arrive.
    quint64 picturesDrawn() const;

signals:
    // 0x0FB9: a notification of the media (EGraphEvent code, its parameter, caption text).
    void graphEvent(int code, qint64 parameter, const QString &text);
    // 0x0FBA: every 125 ms while running, and after each step of stepped playback.
    void tick();
    // 0x0FBB: stepped playback went past the start or the end; the engine has stopped.
    void steppedEnd();
    // 0x0FBC, 0x0FBD: a mouse button pressed in the engine window.
    void leftButton();
    void rightButton();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class ELoad { Idle, AwaitingStart, AwaitingFile, AwaitingPicture, Ready, Failed };

    void createPlayer();
    void drainEvents();
    void handleEvent(const mpv_event &event);
    void handlePropertyChange(uint64_t observation, const mpv_event_property &property);
    void handleLoadEvent(const mpv_event &event);
    void finishLoad(ELoad outcome);
    bool waitForLoad(int generation);
    void readMediaFacts();
    void releaseMedia();

    void onTimer();
    void stepOnce();
    void startTransportTimer();
    void stopTransportTimer();
    bool setPaused(bool paused);
    bool seekTo(double position);
    void updateSurfaceVisibility();
    void leaveFullScreen();

    void postGraphEvent(int code, qint64 parameter, const QString &text = {});
    void postSignal(void (CPlaybackWnd::*signal)());

    // Small wrappers over the client API; failures are logged with libmpv's text.
    bool mpvCommand(std::initializer_list<const char *> args);
    bool setMpvProperty(const char *name, const QString &value);
    bool setMpvProperty(const char *name, double value);
    bool setMpvFlag(const char *name, bool value);
    std::optional<double> mpvDouble(const char *name) const;
    std::optional<int64_t> mpvInt(const char *name) const;
    std::optional<bool> mpvFlag(const char *name) const;
    QString mpvString(const char *name) const;

    MpvHandlePtr m_mpv;
    std::unique_ptr<IVideoSurface> m_surface;  // after m_mpv: its render context goes first
    std::atomic<bool> m_drainQueued{false};

    // The open file.
    QString m_mediaPath;
    QString m_secondPath;
    int m_state = kClosed;
    double m_rate = 1.0;
    int m_volume = 0;
    int m_balance = 0;
    double m_duration = 0;
    double m_earliest = 0;
    double m_latest = 0;
    QSize m_nativeSize;
    bool m_hasVideo = false;
    bool m_hasAudio = false;
    bool m_isNetwork = false;
    bool m_buffering = false;
    bool m_fullScreen = false;
    QRect m_geometryBeforeFullScreen;
    bool m_videoShown = true;
    QString m_lastCaption;

    // Effects.
    bool m_effectsEnabled = false;
    bool m_effectsFilter = false;
    int m_effectMode = 1011;

    // Network and loading.
    double m_bufferingTime = 10.0;
    int m_openTimeoutMs = 15000;
    ELoad m_load = ELoad::Idle;
    int64_t m_loadingEntry = -1;
    int m_loadGeneration = 0;
    QString m_loadError;
    QEventLoop *m_loadLoop = nullptr;

    // Transport timing. A seek's target is what the position reads until libmpv has moved
    // there (or, when not running, until playing starts again): the caller gets back the
    // position it set, not the start time of the frame shown there, and stepped playback moves
    // by exact steps.
    QTimer m_timer;
    bool m_stepping = false;
    double m_step = 0;
    std::optional<double> m_heldPosition;
    bool m_seekPending = false;

    // Painting without video.
    QColor m_background = Qt::black;
    QImage m_logo;

    CMetafilePlaylist m_playlist;
};
