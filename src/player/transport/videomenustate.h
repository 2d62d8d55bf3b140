#pragma once

#include "player/transport/optionmenustate.h"

// Which items of the video window's context menu are greyed, checked or relabelled, worked out
// from the player's state just before the menu is shown.
namespace kivo::player {

// What the video window's menu rules read.
struct VideoMenuInput {
    bool fileOpen = false;
    bool hasVideo = false;
    bool sceneNavigation = false;  // the frame grabber is open on the file
    bool repeatPlayMode = false;
    bool hasRepeatSections = false;
    bool engineFullScreen = false;
    bool fullVideo = false;
    bool soundOn = true;
    bool autoScale = false;
    bool showCaption = false;
    bool captionBoxDetached = false;
    bool originalFont = false;
    bool topMost = false;
    bool controlPanelVisible = true;
    bool effectsWanted = false;
    bool effectsFilter = false;  // the engine has the effects filter in its picture's way
};

CMenuState videoMenuState(const VideoMenuInput &input);

}  // namespace kivo::player
