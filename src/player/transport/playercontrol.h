#pragma once

#include <QString>

// What the player's satellite windows (video window, scene and list panels, caption editor,
// channel browser, remote control) ask of the control panel. The control panel implements it;
// the satellites are handed the interface through the session and never link the control
// panel's window library, so calls go down the layers and the control panel stays the one
// place where the state of the open file changes.
//
// Results follow the player's conventions: 1 done, 0 refused (no file, busy, wrong state).
class IPlayerControl {
public:
    virtual ~IPlayerControl() = default;

    // Transport, as the control panel's own buttons do it (play state, displays, CD mode).
    virtual int play() = 0;
    virtual int pause() = 0;
    virtual int stop() = 0;
    // Moves the player to a frame of the open video (scene selected, frame chosen in the strip);
    // negative frames are ignored.
    virtual int seekToFrame(double frame) = 0;
    // Moves the player to a media time in 100-nanosecond units (captions, repeat sections).
    virtual int seekToPosition(double position) = 0;

    // The single entry through which every file reaches the player: media, playlists and
    // scene-description files; with play, playback starts at once (the open button, hand-offs
    // and the command line ask for it; the playlist starts playback itself).
    virtual int openFile(const QString &path, bool play) = 0;
    // Writes the whole scene description of the open file ("save" in any panel).
    virtual int saveDescription() = 0;

    // Runs a command of the control panel (playercommands.h) as its menus and keys do; the
    // video window passes on the items of its menu that are not its own.
    virtual int runCommand(int id) = 0;

    // The windows and pages other programs may show or hide.
    enum class EWindowRequest {
        FinderPage,        // the information window at its media finder, placed if hidden
        PlaylistPage,      // the information window at its playlist, placed if hidden
        SceneTreePage,     // the scene window at its scene tree, placed if hidden
        HideInformation,   // the information window hidden
        MaximizeVideo,     // the video window maximised
        HideVideo,         // the video window hidden
        RaiseControlPanel  // the control panel shown and brought to the front
    };
    virtual int arrangeWindow(EWindowRequest request) = 0;

    // What other programs read as the player's state: in audio-CD mode "트랙 %d" with the
    // current track, otherwise the path of the open file (empty when none is open).
    virtual QString stateText() const = 0;

    // The play-state line of the control panel ("재생", "멈춤", "버퍼링.. : %d%%", ...).
    virtual void showPlayState(const QString &text) = 0;
};
