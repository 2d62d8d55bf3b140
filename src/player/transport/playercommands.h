#pragma once

#include <span>

// The control panel's command ids and what each one does. Buttons, the option and shortcut
// menus, the rate menus, the accelerator keys and the video window's context menu (which
// forwards its transport ids) all arrive at the control panel as one of these numbers; the
// control panel looks the number up here and runs the action.
namespace kivo::player {

enum PlayerCommandId {
    // The control panel's buttons and clickable displays.
    kExitButton = 1001,
    kFastBackwardButton = 1003,  // in audio-CD mode: previous track
    kFastForwardButton = 1006,   // in audio-CD mode: next track
    kStepBackButton = 1008,      // in audio-CD mode: first selected track
    kStepForwardButton = 1009,   // in audio-CD mode: last selected track
    kOptionButton = 1010,
    kVideoWindowButton = 1011,
    kMinimizeButton = 1012,
    kOpenButton = 1014,
    kPlayButton = 1015,
    kPauseButton = 1016,
    kStopButton = 1017,
    kChannelButton = 1019,
    kSpeakerButton = 1020,
    kTimeDisplay = 1022,

    // The video window's context menu, forwarded to the control panel.
    kViewPlay = 32784,
    kViewPause = 32785,
    kViewStop = 32786,
    kViewFastBackward = 32788,
    kViewFastForward = 32790,
    kViewMute = 32822,
    kViewShowCaption = 32841,
    kViewVolumeUp = 32844,
    kViewVolumeDown = 32845,
    kViewStepBack = 32848,
    kViewStepForward = 32849,
    kViewFullVideo = 32967,

    // The option menu.
    kSaveDescription = 32803,
    kStartSegmenter = 32804,
    kAssignMediaFile = 32805,
    kAbout = 32806,
    kBasicTree = 32809,
    kNormalPlayMode = 32815,
    kRepeatPlayMode = 32816,
    kTopMost = 32842,  // also in the video window's context menu
    kHelp = 32843,     // also F1
    kConvertSamiToScv = 32851,
    kAssignCaptionFile = 32859,
    kSaveDescriptionAs = 32903,
    kScreenSaverOff = 32905,
    kMultiPlayerMode = 32922,
    kHomePage = 32923,
    kSeparateMode = 32925,
    kBufferingTime = 32941,
    kFileAssociations = 32972,

    // The accelerator keys, each also an item of the shortcut menu.
    kKeyZoomOut = 32861,
    kKeyZoomIn = 32862,
    kKeyVolumeDown = 32863,
    kKeyVolumeUp = 32864,
    kKeyStepBack = 32865,
    kKeyStepForward = 32866,
    kKeyFullScreen = 32867,
    kKeyPlay = 32872,
    kKeyPause = 32873,
    kKeyStop = 32874,
    kKeySlowBackward = 32875,
    kKeyFastBackward = 32876,
    kKeySlowForward = 32877,
    kKeyFastForward = 32878,
    kKeyGoToStart = 32879,
    kKeyGoToEnd = 32880,
    kKeyOpen = 32881,
    kKeySaveDescription = 32882,
    kKeyExit = 32883,
    kKeyCloseFile = 32884,
    kKeyNormalPlayMode = 32885,
    kKeyRepeatPlayMode = 32886,
    kKeySceneSplit = 32889,
    kKeyStopAndHide = 32890,
    kKeyArrange = 32891,
    kKeyNextFile = 32892,
    kKeyPreviousFile = 32893,
    kKeyCaptionBoxTaller = 32896,
    kKeyCaptionBoxShorter = 32897,
    kKeyFullVideo = 32968,
    kKeyToggleControlPanel = 32970,

    // The rate menus beside the fast buttons.
    kRateForward0_2 = 33000,
    kRateForward0_5 = 33001,
    kRateForward0_7 = 33002,
    kRateForward2 = 33003,
    kRateForward5 = 33004,
    kRateForward7 = 33005,
    kRateBackward0_2 = 33006,
    kRateBackward0_5 = 33007,
    kRateBackward0_7 = 33008,
    kRateBackward1 = 33009,
    kRateBackward2 = 33010,
    kRateBackward5 = 33011,
    kRateBackward7 = 33012,
};

// The control panel's operations a command runs. The preconditions named here belong to the
// operation: a command that does not meet them does nothing.
enum class PlayerAction {
    Exit,         // nothing while busy
    OpenFile,     // the open dialog
    Play,         // starts the playlist when nothing is open
    PauseToggle,  // nothing while stopped
    StopAndRewind,
    FastBackward,  // rate -2; in audio-CD mode the previous track
    FastForward,   // rate 2; in audio-CD mode the next track
    StepBack,      // one frame back; in audio-CD mode the first selected track
    StepForward,   // one frame forward; in audio-CD mode the last selected track
    SetRate,       // the command's rate; file with video, scene navigation and known duration only
    GoToStart,     // file open and duration known
    GoToEnd,       // file open and duration known
    ZoomIn,        // file with video only
    ZoomOut,       // file with video only
    VolumeUp,      // only while sound is on
    VolumeDown,    // only while sound is on
    FlipSound,     // flips the speaker button, then applies it
    ApplySound,    // applies the speaker button's state
    ShowOptionMenu,     // the option menu beside the option button
    ToggleVideoWindow,  // hides it when visible, else shows it (maximised again if it was)
    MinimizeControlPanel,
    ToggleChannelBrowser,
    SwitchTimeDisplay,   // elapsed / remaining; only when the duration is known
    CloseFile,           // file open only; not while busy, not in audio-CD mode
    NormalPlayMode,      // asks first when leaving repeat play while playing
    RepeatPlayMode,      // file open with repeat sections only; asks first while playing
    SceneSplit,          // a scene at the current position
    StopAndHide,         // file open only: stopped or paused, shows the video window and plays;
                         // otherwise stops without rewinding and hides the video window
    ArrangePlayer,       // video window sized and centred, the control panel docked to it
    Next,                // next track (audio-CD mode, only when the ff button is enabled) or
                         // next playlist file (more than one entry); nothing while busy
    Previous,            // as Next, with the fr button and the previous track or file
    CaptionBoxTaller,    // caption box height +10
    CaptionBoxShorter,   // caption box height -10
    FullVideo,           // file with video only
    FullScreen,          // the engine's full-screen mode on/off; file with video only
    ToggleControlPanel,  // only while the video window is visible
    ToggleCaption,
    ToggleTopMost,
    ToggleScreenSaver,
    ToggleMultiPlayerMode,
    ToggleSeparateMode,
    BufferingTimeDialog,
    FileAssociationDialog,
    SaveDescription,  // file open with a scene description only
    SaveDescriptionAs,
    StartSegmenter,
    AssignMediaFile,
    BasicTree,
    ConvertSamiToScv,
    AssignCaptionFile,  // no file open only
    About,
    Help,
    HomePage,
};

struct PlayerCommand {
    int id = 0;
    PlayerAction action = PlayerAction::Exit;
    // An accelerator key runs its command only while this button of the control panel is
    // enabled (F2 only with the play button enabled, Ctrl+Left only with ssr enabled, ...);
    // 0 for commands that no button gates.
    int gateButton = 0;
    // The rate of PlayerAction::SetRate; 0 for the other actions.
    double rate = 0.0;
};

// Every command of the control panel, ids ascending.
std::span<const PlayerCommand> playerCommands();
// The command of an id, or null for an id that is not the control panel's.
const PlayerCommand *findPlayerCommand(int id);

// One entry of the rate menus: the id, its label and the rate it sets.
struct RateChoice {
    int id = 0;
    const char *label = "";
    double rate = 0.0;
};

// The rate choices, ids 33000 to 33012 in order.
std::span<const RateChoice> rateChoices();

}  // namespace kivo::player
