#pragma once

#include "media/playback/metafileplaylist.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class CMpvClient;
struct mpv_handle;
struct mpv_event;
struct mpv_event_property;

// What shows the engine's video (the playback window's surface). The engine calls it
// synchronously, on its own thread, because a render context must be freed before the libmpv
// handle it was made for.
class IPlaybackVideoOutput {
public:
    // A file was opened (the engine is stopped, its media facts read) or the media was closed.
    virtual void mediaChanged() = 0;
    // libmpv's handle is about to be destroyed: free every render context made for it now.
    virtual void releaseRenderContext() = 0;
    // The engine is being destroyed, after releaseRenderContext: it must not be called again.
    virtual void engineDestroyed() = 0;

protected:
    ~IPlaybackVideoOutput() = default;
};

// The player's playback engine: plays one media file at a time through a libmpv handle it owns
// for its whole life and reports by signals. It needs Qt Core only; the picture is drawn by the
// video output attached to it (see CPlaybackWnd). Transport calls answer 1 on success and 0
// when refused (wrong state, no file) or when libmpv fails; a refused call changes nothing.
//
// The signals stand for the engine's posted window messages and are always delivered later from
// the event loop, never from inside the call that caused them, so a handler may call back into
// the engine freely.
class CPlaybackEngine : public QObject {
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

    explicit CPlaybackEngine(QObject *parent = nullptr);
    ~CPlaybackEngine() override;

    // Starts opening a file or address and returns a ticket (above 0) for it, or 0 when the
    // path is refused at once (empty, no such file, no libmpv; the engine is then closed). An
    // open file is closed first; the caption file set for the new one is kept. openFinished
    // follows exactly once for every ticket.
    int startOpen(const QString &path);
    // Stops and forgets the file; an open under way finishes with 0. Effects settings,
    // buffering time and playlist stay.
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

    // Metafile playlists (ASX, WAX, WVX, M3U). openPlaylist returns 0 when the path is not a
    // list, or a list without entries; the previous list is then kept.
    int openPlaylist(const QString &path);
    int nextPlaylistEntry(QString &url, double &start, double &duration, bool forceNext);
    static bool isPlaylist(const QString &path);

    // Image effects; 0 when the file was opened without the effects filter or the mode is not
    // an effect. The filter is only put in for media with video shown by an output.
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
    // What makes of the caption file the file libmpv is given when a media file opens (the
    // player hands its own reading of SAMI files as a track of one language); when it answers
    // empty, or none is set, libmpv reads the caption file itself.
    void setCaptionFileConverter(std::function<QString(const QString &)> convert) {
        m_convertCaptionFile = std::move(convert);
    }
    const QString &mediaPath() const { return m_mediaPath; }

    // Seconds of a network stream buffered before it plays.
    void setBufferingTime(double seconds);
    double bufferingTime() const { return m_bufferingTime; }
    // Percent of the buffering done, or -1 when the media is not a network stream.
    int bufferingProgress() const;

    // Longest wait for a file to load before the open gives up, in milliseconds. An address is
    // given no longer than the buffering time and kAddressGraceMs.
    static constexpr int kAddressGraceMs = 5000;
    void setOpenTimeout(int milliseconds) { m_openTimeoutMs = milliseconds; }
    // libmpv's audio output ("null" for none); the system's default otherwise.
    void setAudioOutput(const QString &driver);
    // The CD drive or .cue image that a "cdda://" address plays.
    void setDiscDevice(const QString &device);
    // The time of the sound being output now (libmpv's audio clock) in seconds, -1 when no
    // sound plays: it advances once sound reaches the output.
    double audioClock() const;

    // The user ended playback outside the engine (the window manager closed the full-screen
    // video): graphEvent reports kEventUserAbort when a file is open.
    void reportUserAbort();

    int state() const { return m_state; }
    // Only media opened while a video output was attached has video.
    bool hasVideo() const { return m_hasVideo; }
    QSize nativeVideoSize() const { return m_nativeSize; }
    double duration() const { return m_duration; }
    double earliest() const { return m_earliest; }
    double latest() const { return m_latest; }
    int volume() const { return m_volume; }
    int balance() const { return m_balance; }

    // The handle a video output makes its render context for; null without libmpv or once it
    // shut down.
    mpv_handle *renderHandle() const;
    // One output at a time. It attaches once its render context exists (media opened from then
    // on has video) and detaches (null) before it frees that context, so that media playing
    // goes on without pictures: libmpv drops a video whose render context goes while in use.
    void attachVideoOutput(IPlaybackVideoOutput *output);

signals:
    // 0x0FB9: a notification of the media (EGraphEvent code, its parameter, caption text).
    void graphEvent(int code, qint64 parameter, const QString &text);
    // 0x0FBA: every 125 ms while running, and after each step of stepped playback.
    void tick();
    // 0x0FBB: stepped playback went past the start or the end; the engine has stopped.
    void steppedEnd();
    // The open of startOpen's ticket is over: result 1 when the file is open (the engine
    // stopped, its facts read), 0 when it failed, timed out or was superseded by close or
    // another open.
    void openFinished(int ticket, int result);

private:
    enum class ELoad { Idle, AwaitingStart, AwaitingFile, AwaitingPicture };

    void drainEvents();
    void handleEvent(const mpv_event &event);
    void handlePropertyChange(uint64_t observation, const mpv_event_property &property);
    void handleLoadEvent(const mpv_event &event);
    void loadSucceeded();
    void loadFailed(const QString &reason);
    void postOpenFinished(int ticket, int result);
    void readMediaFacts();
    void shutDown();

    void onTimer();
    void stepOnce();
    bool setPaused(bool paused);
    bool seekTo(double position);
    // The frame on screen while not running and no seek is under way: its time and length in
    // seconds (the frame a step goes to, while the step is under way).
    struct CShownFrame {
        double time;
        double length;
    };
    std::optional<CShownFrame> shownFrame() const;

    void postGraphEvent(int code, qint64 parameter, const QString &text = {});

    std::unique_ptr<CMpvClient> m_mpv;
    IPlaybackVideoOutput *m_output = nullptr;
    std::atomic<bool> m_drainQueued{false};

    // The open file.
    QString m_mediaPath;
    QString m_secondPath;
    QString m_captionTrack;  // what libmpv reads for the caption file of the file opening
    std::function<QString(const QString &)> m_convertCaptionFile;
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
    QString m_lastCaption;

    // Effects.
    bool m_effectsEnabled = false;
    bool m_effectsFilter = false;
    int m_effectMode = 1011;

    // Network and loading. m_ticket is the ticket of the file being opened or open, 0 after
    // close.
    double m_bufferingTime = 10.0;
    int m_openTimeoutMs = 15000;
    QTimer m_openTimer;
    ELoad m_load = ELoad::Idle;
    int64_t m_loadingEntry = -1;
    int m_ticket = 0;
    int m_lastTicket = 0;

    // Transport timing. A seek's target is what the position reads until libmpv has moved
    // there (or, when not running, until playing starts again): the caller gets back the
    // position it set, not the start time of the frame shown there, and stepped playback moves
    // by exact steps.
    QTimer m_timer;
    bool m_stepping = false;
    // The frame time the last frame step went to (seconds), until the next seek or play.
    std::optional<double> m_steppedTo;
    double m_step = 0;
    std::optional<double> m_heldPosition;
    bool m_seekPending = false;

    CMetafilePlaylist m_playlist;
};
