#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CPlaybackEngine;
class CVideoDescription;
class CVideoManager;
class IPlayerControl;

// The state of the open file that every window of the player shares: the playback engine, the
// frame grabber on the same media, the scene description, whether the description holds edits
// not yet saved, the play state, and the busy flag of long jobs. The control panel owns the
// session and is its only writer of files and transport; panels read it, mark the description
// changed, and reach the control panel through control().
//
// The scene controls borrow the description and the grabber: before either is replaced or
// freed the session emits aboutToReleaseFile() (synchronously), so that they are detached in
// time.
class CPlayerSession : public QObject {
    Q_OBJECT

public:
    // The control panel's play state.
    enum EPlayState { kPlaying = 0, kStopped = 1, kPaused = 2, kExtendedPlay = 3 };

    explicit CPlayerSession(QObject *parent = nullptr);
    ~CPlayerSession() override;

    CPlaybackEngine &engine() { return *m_engine; }
    CVideoManager &grabber() { return *m_grabber; }
    // Null while no scene description is loaded.
    CVideoDescription *description() { return m_description.get(); }

    IPlayerControl *control() const { return m_control; }
    void setControl(IPlayerControl *control) { m_control = control; }

    // Takes a new scene description (a file was opened, a basic tree was built). The old one is
    // freed after aboutToReleaseFile(); the changed flag is cleared.
    void replaceDescription(std::unique_ptr<CVideoDescription> description);
    // Opens the grabber on the open media; 0 when it cannot (sound only, a stream).
    int openGrabber(const QString &mediaPath);
    // Closes the engine's file and the grabber and frees the description; the play state
    // becomes stopped.
    void closeFile();

    bool isDescriptionChanged() const { return m_changed; }
    void markDescriptionChanged();
    void markDescriptionSaved();

    EPlayState playState() const { return m_playState; }
    void setPlayState(EPlayState state);

    bool isAudioCdMode() const { return m_audioCdMode; }
    // Entering or leaving audio-CD mode is announced: the control panel switches its face, the
    // CD page stops the disc when the mode is left for a file.
    void setAudioCdMode(bool on);
    // The audio CD's track playing now (from 1; 0 when none).
    int audioCdTrack() const { return m_audioCdTrack; }
    void setAudioCdTrack(int track) { m_audioCdTrack = track; }

    // Set while a long job (basic tree, thumbnail re-extraction, folder search) runs.
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);

    // The caption shown now: the caption window displays it, remote control reads and sets it.
    const QString &captionText() const { return m_captionText; }
    void setCaptionText(const QString &text);

    // The grabber's frame at a media time and back; -1 without a video.
    double frameAt(double position) const;
    double positionOfFrame(double frame) const;

signals:
    // Before the description or the grabber goes away: detach everything that borrows them.
    void aboutToReleaseFile();
    // A new description is in place (panels fill themselves from it).
    void descriptionReplaced();
    void descriptionChangedFlag(bool changed);
    void playStateChanged(int state);
    void busyChanged(bool busy);
    void captionTextChanged(const QString &text);
    void audioCdModeChanged(bool on);
    // The engine's tick fanned out with the position it reported (100 ns): seek bar, time
    // display, repeat sections, captions, metafile entries.
    void positionUpdated(double position);

private:
    void onEngineTick();

    std::unique_ptr<CPlaybackEngine> m_engine;
    std::unique_ptr<CVideoManager> m_grabber;
    std::unique_ptr<CVideoDescription> m_description;
    IPlayerControl *m_control = nullptr;
    bool m_changed = false;
    EPlayState m_playState = kStopped;
    bool m_audioCdMode = false;
    int m_audioCdTrack = 0;
    bool m_busy = false;
    QString m_captionText;
};
