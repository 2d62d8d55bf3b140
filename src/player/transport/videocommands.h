#pragma once

#include <optional>

// The video window's own commands: its frame buttons and the items of its context menu that it
// runs itself. Every other item of that menu is a command of the control panel
// (playercommands.h), which the video window passes on.
namespace kivo::player {

enum VideoCommandId {
    // The frame's buttons.
    kVideoHideButton = 1029,
    kVideoMaximiseButton = 1030,
    kVideoCloseButton = 1031,
    kVideoRestoreButton = 1032,
    kVideoInfo2Button = 1046,  // the scene container
    kVideoInfoButton = 1049,   // the information container

    // Size rates.
    kViewRate100 = 32772,
    kViewRate50 = 32780,
    kViewRate200 = 32781,
    kViewRate300 = 32782,
    // The engine's own full-screen mode.
    kViewFullScreen = 32783,
    kViewNormalPlayMode = 32795,
    kViewRepeatPlayMode = 32796,
    // The frame under the position saved as an image: native size, current size, a size asked.
    kViewSaveNativeSize = 32797,
    kViewSaveCurrentSize = 32798,
    kViewSaveChosenSize = 32799,
    kViewHelp = 32818,
    kViewAbout = 32817,
    kViewAutoScale = 32823,
    kViewFreeSize = 32824,
    // The caption box.
    kViewCaptionFont = 32856,
    kViewCaptionBackground = 32857,
    kViewDetachCaptionBox = 32953,
    kViewOriginalFont = 32971,
    // Image effects: the filter wanted for the next file, and the effects.
    kViewEffectNone = 32930,
    kViewEffectRed = 32931,
    kViewEffectBlue = 32932,
    kViewEffectsWanted = 32933,
    kViewEffectGreen = 32934,
    kViewEffectEmboss = 32935,
    kViewEffectPoster = 32936,
    kViewEffectGrey = 32937,
    kViewEffectDarken = 32938,
    kViewEffectXor = 32939,
    kViewEffectBlur = 32940,
};

// The size rate of a size-rate command (32772, 32780 to 32782).
std::optional<double> sizeRateOfCommand(int id);
// The effect mode an effect command gives the engine (32930 to 32940 but 32933).
std::optional<int> effectModeOfCommand(int id);

}  // namespace kivo::player
