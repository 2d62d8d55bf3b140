#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <vector>

#include "player/lists/repeatplayer.h"

class CPlayerSession;

// What the transport asks of the playlist (the playlist page supplies it).
class IPlaylistPlayer {
public:
    virtual ~IPlaylistPlayer() = default;
    virtual bool hasEntries() const = 0;
    // A playlist file is what is playing now.
    virtual bool isPlaying() const = 0;
    // Opens and plays the first file of the list (or of its play order).
    virtual int start() = 0;
    // Opens and plays the next file; 0 at the end of the list.
    virtual int playNext() = 0;
};

// What the transport asks of the metafile list (ASX, M3U) that is playing, if any.
class IMetafileList {
public:
    virtual ~IMetafileList() = default;
    virtual bool isActive() const = 0;
    // The entry ended: 1 when the list took care of what plays next, 0 when it has ended and
    // a playing playlist goes on.
    virtual int playNextEntry(bool playlistPlaying) = 0;
    // The entry's own duration is over at this position.
    virtual bool entryTimeUsedUp(double position) const = 0;
};

// What the transport asks of the audio-CD player (the audio-CD page supplies it) while the panel
// is in audio-CD mode, and of the system mixer that the CD's volume slider drives.
class IAudioCdPlayer {
public:
    virtual ~IAudioCdPlayer() = default;
    virtual int play() = 0;
    virtual int pauseToggle() = 0;
    virtual int stop() = 0;
    virtual int next() = 0;
    virtual int previous() = 0;
    // The first or the last selected track.
    virtual int first() = 0;
    virtual int last() = 0;
    // Seconds into the current track.
    virtual int seek(int seconds) = 0;
    // The mixer's volume (0 … 65535); setting clamps to 2000 … 65535; a step is 2047.
    virtual long volume() = 0;
    virtual void setVolume(long value) = 0;
    virtual void stepVolume(bool up) = 0;
    virtual void setMute(bool on) = 0;
};

// The control panel's transport: the play state machine and every operation that moves the
// open file (play, stop, pause, rates, steps, seeks, start and end, zoom, volume), and what the
// panel shows of them (play-state text, pause button, time display, sliders, which controls are
// enabled). The panel's widgets and the other windows call these operations and follow the
// signals; nothing here draws. Times are in 100-nanosecond units unless a name says seconds.
//
// Operations return 1 when done and 0 when their preconditions fail or the engine refuses; a
// refusal leaves the state as it was.
class CPlayerTransport : public QObject {
    Q_OBJECT

public:
    static constexpr double kStep = 333300.0;
    static constexpr double kMinSizeRate = 0.5;
    static constexpr double kMaxSizeRate = 5.0;

    struct CControls {
        bool play = false;
        bool pause = false;
        bool stop = false;
        // fr, ff, ssr, ssf.
        bool seekButtons = false;
        bool positionSlider = false;
        bool operator==(const CControls &) const = default;
    };

    explicit CPlayerTransport(CPlayerSession &session, QObject *parent = nullptr);

    void setPlaylist(IPlaylistPlayer *playlist) { m_playlist = playlist; }
    void setMetafileList(IMetafileList *list) { m_metafile = list; }
    void setAudioCd(IAudioCdPlayer *cd) { m_cd = cd; }

    // A file was opened: its duration (0 unknown, as for a live stream), whether it shows
    // pictures, and whether the grabber could open it (scenes, frames and steps need it).
    void fileOpened(double durationSeconds, bool hasVideo, bool sceneNavigation);
    // Back to the empty panel: nothing open, stopped, normal play mode, remaining time shown.
    void reset();

    bool isFileOpen() const { return m_open; }
    bool hasVideo() const { return m_hasVideo; }
    // The grabber could open the file: scenes, frames, steps and rates work.
    bool hasSceneNavigation() const { return m_sceneNavigation; }
    double durationSeconds() const { return m_durationSeconds; }
    CControls controls() const;
    // Re-evaluates which controls are enabled (the playlist gained or lost entries).
    void updateControls();

    int play();
    int stopAndRewind();
    int stopWithoutRewinding();
    int pauseToggle();
    int setRate(double rate);
    // In audio-CD mode: the previous and the next track.
    int fastBackward();
    int fastForward();
    double extendedRate() const { return m_extendedRate; }
    int stepBack();
    int stepForward();
    // Moves to t; with stopFirst the engine stops there.
    int seek(double position, bool stopFirst);
    // In place: the play state is kept. A frame goes through the grabber's frame times.
    int seekToTime(double position);
    int seekToFrame(double frame);
    int goToStart();
    int goToEnd();
    // The engine's completion: the next playlist file, else back to the start.
    int endOfStream();

    // The engine's tick: the position slider, the time display and the checks that ride on the
    // tick (repeat sections, captions, list entries; positionReport).
    void positionUpdate(double position);
    // The user moved the position slider (in seconds): a seek that keeps the play state.
    int positionSliderMoved(int seconds);

    // Elapsed or remaining time on the display; a click on it switches.
    void toggleTimeDisplayMode();
    bool showsElapsedTime() const { return m_elapsedMode; }

    // Repeat play mode: the repeat sections play; "반복 재생" instead of "재생", and the
    // position slider is greyed.
    void setRepeatMode(bool on);
    bool isRepeatMode() const { return m_repeatMode; }
    // Repeat playback of the description's sections at these indices, in this order: in repeat
    // mode, stopped at the first one's start. Nothing chosen ends repeat mode. 1 when started.
    int startRepeatPlayback(const std::vector<size_t> &sections);
    // Repeat mode switched on by the play-mode command: the running list goes on from the start
    // of its current section in place (every section of the description when none runs).
    int resumeRepeatPlayback();
    // The description lost its section at `index`: it leaves the running list.
    void repeatSectionRemoved(size_t index);
    const kivo::lists::CRepeatPlayer &repeatPlayer() const { return m_repeat; }

    double sizeRate() const { return m_sizeRate; }
    void setSizeRate(double rate) { m_sizeRate = rate; }
    int zoomIn();
    int zoomOut();

    // Audio-CD mode (the session's flag): the transport's commands go to the CD, the volume
    // slider runs over the mixer's range. Entering shows no track; leaving empties the panel.
    void enterAudioCdMode();
    void leaveAudioCdMode();
    // The CD player started a track of this length: file information "오디오 CD", state
    // "미디어에 연결중..", the position slider over the track.
    void cdTrackStarted(int lengthSeconds);
    // The CD's play state (kPlaying, kStopped, kPaused) on the play-state line.
    void showCdPlayState(int state) { setPlayState(state); }
    // The CD's position in the current track: slider at it, time display at the rest.
    void cdPositionUpdate(int seconds);
    static constexpr int kCdVolumeSliderMaximum = 63535;

    // The volume slider (0 to 100, 0 to 63535 in audio-CD mode) and the speaker button.
    int volumeSlider() const { return m_volumeSlider; }
    bool isSoundOn() const { return m_soundOn; }
    int volumeSliderMoved(int value);
    int volumeUp() { return moveVolume(+10); }
    int volumeDown() { return moveVolume(-10); }
    int setSoundOn(bool on);
    // The engine's level for a slider position: hundredths of a decibel, 0 at 100, -4100 at 0.
    static int engineVolumeOf(int slider) { return slider * 41 - 4100; }

signals:
    void playStateTextChanged(const QString &text);
    void pauseButtonChanged(bool enabled, bool pressed);
    void controlsChanged(const CControls &controls);
    // The seconds the time display shows (remaining or elapsed, or the wall clock's time of
    // day for media of unknown duration).
    void timeDisplayChanged(int seconds);
    void positionSliderChanged(int seconds);
    void volumeSliderChanged(int value, bool enabled);
    void volumeSliderRangeChanged(int maximum);
    // The file-information line of the panel.
    void fileInformationChanged(const QString &text);
    // The caption editor shows the captions around the new position.
    void captionsRefreshNeeded();
    // The video window takes the new size rate.
    void sizeRateChanged(double rate);
    // Every tick while a file plays, after the displays: for repeat sections, captions and
    // list entries.
    void positionReport(double position);
    // Repeat playback went to the section at this index of the description's list (its page
    // selects the row).
    void repeatSectionStarted(int index);

private:
    void setPlayState(int state);
    // The position slider and the time display at a position.
    void showPosition(double position);
    void showTime(double remainingSeconds);
    // Stopped at the start or the end of a file of known duration.
    int goToEdge(double position);
    int moveVolume(int delta);
    bool cdMode() const;
    int seekInPlace(double position);
    bool engineReady() const;
    void followRepeatCue(const kivo::lists::CRepeatCue &cue);

    CPlayerSession &m_session;
    IPlaylistPlayer *m_playlist = nullptr;
    IMetafileList *m_metafile = nullptr;
    IAudioCdPlayer *m_cd = nullptr;
    bool m_open = false;
    bool m_hasVideo = false;
    bool m_sceneNavigation = false;
    double m_durationSeconds = 0;
    int m_stateBeforePause = 1;
    double m_extendedRate = 1.0;
    bool m_elapsedMode = false;
    bool m_repeatMode = false;
    kivo::lists::CRepeatPlayer m_repeat;
    double m_sizeRate = 1.0;
    int m_volumeSlider = 90;
    bool m_soundOn = true;
    double m_lastRemaining = 0;
};
