#include "player/transport/playercommands.h"

#include <algorithm>
#include <array>

namespace kivo::player {
namespace {

using enum PlayerAction;

constexpr std::array kRateChoices = {
    RateChoice{kRateForward0_2, "0.2x", 0.2},    RateChoice{kRateForward0_5, "0.5x", 0.5},
    RateChoice{kRateForward0_7, "0.7x", 0.7},    RateChoice{kRateForward2, "2x", 2.0},
    RateChoice{kRateForward5, "5x", 5.0},        RateChoice{kRateForward7, "7x", 7.0},
    RateChoice{kRateBackward0_2, "-0.2x", -0.2}, RateChoice{kRateBackward0_5, "-0.5x", -0.5},
    RateChoice{kRateBackward0_7, "-0.7x", -0.7}, RateChoice{kRateBackward1, "-1x", -1.0},
    RateChoice{kRateBackward2, "-2x", -2.0},     RateChoice{kRateBackward5, "-5x", -5.0},
    RateChoice{kRateBackward7, "-7x", -7.0},
};

constexpr PlayerCommand rateCommand(std::size_t index) {
    return {kRateChoices[index].id, SetRate, 0, kRateChoices[index].rate};
}

// Sorted by id.
constexpr std::array<PlayerCommand, 89> kCommands = {{
    {kExitButton, Exit},
    {kFastBackwardButton, FastBackward},
    {kFastForwardButton, FastForward},
    {kStepBackButton, StepBack},
    {kStepForwardButton, StepForward},
    {kOptionButton, ShowOptionMenu},
    {kVideoWindowButton, ToggleVideoWindow},
    {kMinimizeButton, MinimizeControlPanel},
    {kOpenButton, OpenFile},
    {kPlayButton, Play},
    {kPauseButton, PauseToggle},
    {kStopButton, StopAndRewind},
    {kChannelButton, ToggleChannelBrowser},
    {kSpeakerButton, ApplySound},
    {kTimeDisplay, SwitchTimeDisplay},
    {kViewPlay, Play},
    {kViewPause, PauseToggle},
    {kViewStop, StopAndRewind},
    {kViewFastBackward, FastBackward},
    {kViewFastForward, FastForward},
    {kSaveDescription, SaveDescription},
    {kStartSegmenter, StartSegmenter},
    {kAssignMediaFile, AssignMediaFile},
    {kAbout, About},
    {kBasicTree, BasicTree},
    {kNormalPlayMode, NormalPlayMode},
    {kRepeatPlayMode, RepeatPlayMode},
    {kViewMute, FlipSound},
    {kViewShowCaption, ToggleCaption},
    {kTopMost, ToggleTopMost},
    {kHelp, Help},
    {kViewVolumeUp, VolumeUp},
    {kViewVolumeDown, VolumeDown},
    {kViewStepBack, StepBack},
    {kViewStepForward, StepForward},
    {kConvertSamiToScv, ConvertSamiToScv},
    {kAssignCaptionFile, AssignCaptionFile},
    {kKeyZoomOut, ZoomOut},
    {kKeyZoomIn, ZoomIn},
    {kKeyVolumeDown, VolumeDown},
    {kKeyVolumeUp, VolumeUp},
    {kKeyStepBack, StepBack, kStepBackButton},
    {kKeyStepForward, StepForward, kStepForwardButton},
    {kKeyFullScreen, FullScreen},
    {kKeyPlay, Play, kPlayButton},
    {kKeyPause, PauseToggle, kPauseButton},
    {kKeyStop, StopAndRewind, kStopButton},
    {kKeySlowBackward, SetRate, 0, -0.5},
    {kKeyFastBackward, FastBackward, kFastBackwardButton},
    {kKeySlowForward, SetRate, 0, 0.5},
    {kKeyFastForward, FastForward, kFastForwardButton},
    {kKeyGoToStart, GoToStart},
    {kKeyGoToEnd, GoToEnd},
    {kKeyOpen, OpenFile},
    {kKeySaveDescription, SaveDescription},
    {kKeyExit, Exit},
    {kKeyCloseFile, CloseFile},
    {kKeyNormalPlayMode, NormalPlayMode},
    {kKeyRepeatPlayMode, RepeatPlayMode},
    {kKeySceneSplit, SceneSplit},
    {kKeyStopAndHide, StopAndHide},
    {kKeyArrange, ArrangePlayer},
    {kKeyNextFile, Next},
    {kKeyPreviousFile, Previous},
    {kKeyCaptionBoxTaller, CaptionBoxTaller},
    {kKeyCaptionBoxShorter, CaptionBoxShorter},
    {kSaveDescriptionAs, SaveDescriptionAs},
    {kScreenSaverOff, ToggleScreenSaver},
    {kMultiPlayerMode, ToggleMultiPlayerMode},
    {kHomePage, HomePage},
    {kSeparateMode, ToggleSeparateMode},
    {kBufferingTime, BufferingTimeDialog},
    {kViewFullVideo, FullVideo},
    {kKeyFullVideo, FullVideo},
    {kKeyToggleControlPanel, ToggleControlPanel},
    {kFileAssociations, FileAssociationDialog},
    rateCommand(0),
    rateCommand(1),
    rateCommand(2),
    rateCommand(3),
    rateCommand(4),
    rateCommand(5),
    rateCommand(6),
    rateCommand(7),
    rateCommand(8),
    rateCommand(9),
    rateCommand(10),
    rateCommand(11),
    rateCommand(12),
}};

static_assert(std::ranges::is_sorted(kCommands, {}, &PlayerCommand::id));
static_assert(std::ranges::adjacent_find(kCommands, {}, &PlayerCommand::id) == kCommands.end());

}  // namespace

std::span<const PlayerCommand> playerCommands() {
    return kCommands;
}

const PlayerCommand *findPlayerCommand(int id) {
    const auto found = std::ranges::lower_bound(kCommands, id, {}, &PlayerCommand::id);
    return found != kCommands.end() && found->id == id ? &*found : nullptr;
}

std::span<const RateChoice> rateChoices() {
    return kRateChoices;
}

}  // namespace kivo::player
