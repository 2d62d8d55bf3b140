#include "player/transport/videomenustate.h"

#include "player/transport/playercommands.h"
#include "player/transport/playermenus.h"
#include "player/transport/videocommands.h"

namespace kivo::player {
namespace {

constexpr int kEffects[] = {
    kViewEffectNone,   kViewEffectRed,  kViewEffectBlue,   kViewEffectGreen, kViewEffectEmboss,
    kViewEffectPoster, kViewEffectGrey, kViewEffectDarken, kViewEffectXor,   kViewEffectBlur};

}  // namespace

CMenuState videoMenuState(const VideoMenuInput &input) {
    CMenuState state;
    const bool video = input.fileOpen && input.hasVideo;

    if (input.fileOpen) {
        state.setItem(kViewNormalPlayMode, {true, !input.repeatPlayMode});
        state.setItem(kViewRepeatPlayMode, {input.hasRepeatSections, input.repeatPlayMode});
    } else {
        for (const int id : {kViewPlay, kViewPause, kViewStop}) {
            state.setItem(id, {false, false});
        }
        state.disableSubMenu(kViewPlayModeSubMenuPosition);
    }
    // Full screen and zooming need pictures; in full screen the window's size means nothing.
    if (video) {
        state.setText(kViewFullScreen, input.engineFullScreen
                                           ? QStringLiteral("이전 화면        Alt + Enter")
                                           : QStringLiteral("전체 화면        Alt + Enter"));
        state.setText(kViewFullVideo, input.fullVideo
                                          ? QStringLiteral("이전 화면        Ctrl + Enter")
                                          : QStringLiteral("꽉찬 화면        Ctrl + Enter"));
    } else {
        state.setItem(kViewFullScreen, {false, false});
        state.setItem(kViewFullVideo, {false, false});
    }
    if (!video || input.engineFullScreen) {
        state.disableSubMenu(kViewZoomSubMenuPosition);
        state.setItem(kViewFreeSize, {false, false});
        state.setItem(kViewAutoScale, {false, false});
    } else {
        state.setItem(kViewAutoScale, {true, input.autoScale});
        state.setItem(kViewFreeSize, {true, !input.autoScale});
    }
    // Speeds, steps and still images work on frames, which the grabber gives.
    const bool frames = video && input.sceneNavigation;
    if (!frames) {
        state.disableSubMenu(kViewSpeedSubMenuPosition);
    }
    if (!frames || input.engineFullScreen) {
        state.disableSubMenu(kViewSaveImageSubMenuPosition);
    }

    state.setItem(kViewMute, {true, !input.soundOn});
    state.setItem(kViewShowCaption, {true, input.showCaption});
    state.setItem(kViewDetachCaptionBox, {input.showCaption, input.captionBoxDetached});
    state.setItem(kViewOriginalFont, {true, input.originalFont});
    state.setItem(kViewCaptionFont, {!input.originalFont, false});
    state.setItem(kTopMost, {true, input.topMost});
    state.setText(kKeyToggleControlPanel, input.controlPanelVisible
                                              ? QStringLiteral("플레이어 감춤  Ctrl + P")
                                              : QStringLiteral("플레이어 보임  Ctrl + P"));

    state.setItem(kViewEffectsWanted, {true, input.effectsWanted});
    const bool effects = input.effectsWanted && input.fileOpen && input.effectsFilter;
    for (const int id : kEffects) {
        state.setItem(id, {effects, false});
    }
    return state;
}

}  // namespace kivo::player
