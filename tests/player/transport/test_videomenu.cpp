#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "player/transport/playercommands.h"
#include "player/transport/playermenus.h"
#include "player/transport/videocommands.h"
#include "player/transport/videomenustate.h"

namespace {

using namespace kivo::player;

VideoMenuInput openVideo() {
    VideoMenuInput input;
    input.fileOpen = true;
    input.hasVideo = true;
    input.sceneNavigation = true;
    return input;
}

// The sub-menus sit where the rules grey them by position, and every item the video window does
// not run itself is a command of the control panel.
TEST(VideoMenu, SubMenusSitWhereTheRulesLookAndTheRestIsThePanels) {
    const PlayerMenu *menu = playerMenu(kViewMenu);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->items.size(), 26u);
    const std::pair<int, const char *> subMenus[] = {
        {kViewSpeedSubMenuPosition, "재생 속도(&M)"},
        {kViewPlayModeSubMenuPosition, "재생 모드(&D)"},
        {kViewZoomSubMenuPosition, "확대/축소"},
        {kViewSaveImageSubMenuPosition, "이미지 저장(&I)"},
    };
    for (const auto &[position, title] : subMenus) {
        const MenuItem &item = menu->items[static_cast<std::size_t>(position)];
        EXPECT_EQ(item.kind, MenuItem::kSubMenu);
        EXPECT_EQ(item.text, QString::fromUtf8(title));
    }
    std::set<int> own = {
        kViewRate100,          kViewRate50,         kViewRate200,        kViewRate300,
        kViewFullScreen,       kViewNormalPlayMode, kViewRepeatPlayMode, kViewSaveNativeSize,
        kViewSaveCurrentSize,  kViewSaveChosenSize, kViewHelp,           kViewAbout,
        kViewAutoScale,        kViewFreeSize,       kViewCaptionFont,    kViewCaptionBackground,
        kViewDetachCaptionBox, kViewOriginalFont};
    for (int id = kViewEffectNone; id <= kViewEffectBlur; ++id) {
        own.insert(id);
    }
    std::function<void(const std::vector<MenuItem> &)> check = [&](const auto &items) {
        for (const MenuItem &item : items) {
            if (item.kind == MenuItem::kCommand && !own.contains(item.id)) {
                EXPECT_NE(findPlayerCommand(item.id), nullptr) << item.id;
            }
            check(item.items);
        }
    };
    check(menu->items);
    EXPECT_EQ(sizeRateOfCommand(kViewRate50), 0.5);
    EXPECT_EQ(sizeRateOfCommand(kViewRate300), 3.0);
    EXPECT_FALSE(sizeRateOfCommand(kViewFullScreen));
    EXPECT_EQ(effectModeOfCommand(kViewEffectXor), 1006);
    EXPECT_EQ(effectModeOfCommand(kViewEffectNone), 1011);
    EXPECT_FALSE(effectModeOfCommand(kViewEffectsWanted));
}

// Without a file the transport, the play modes, full screen and zoom are greyed; without video
// so are full screen and zoom, and the speeds and stills without the frame grabber.
TEST(VideoMenu, WhatNeedsAFileVideoOrFramesIsGreyedWithoutThem) {
    const CMenuState empty = videoMenuState({});
    for (const int id : {int(kViewPlay), int(kViewPause), int(kViewStop), int(kViewFullScreen),
                         int(kViewFullVideo), int(kViewAutoScale), int(kViewFreeSize)}) {
        EXPECT_FALSE(empty.item(id).enabled) << id;
    }
    for (const int position : {kViewPlayModeSubMenuPosition, kViewZoomSubMenuPosition,
                               kViewSpeedSubMenuPosition, kViewSaveImageSubMenuPosition}) {
        EXPECT_FALSE(empty.isSubMenuEnabled(position)) << position;
    }

    VideoMenuInput sound;
    sound.fileOpen = true;
    const CMenuState audio = videoMenuState(sound);
    EXPECT_TRUE(audio.item(kViewPlay).enabled);
    EXPECT_TRUE(audio.isSubMenuEnabled(kViewPlayModeSubMenuPosition));
    EXPECT_FALSE(audio.item(kViewFullScreen).enabled);
    EXPECT_FALSE(audio.isSubMenuEnabled(kViewZoomSubMenuPosition));
    EXPECT_FALSE(audio.isSubMenuEnabled(kViewSpeedSubMenuPosition));

    VideoMenuInput noGrabber = openVideo();
    noGrabber.sceneNavigation = false;
    const CMenuState stream = videoMenuState(noGrabber);
    EXPECT_TRUE(stream.isSubMenuEnabled(kViewZoomSubMenuPosition));
    EXPECT_FALSE(stream.isSubMenuEnabled(kViewSpeedSubMenuPosition));
    EXPECT_FALSE(stream.isSubMenuEnabled(kViewSaveImageSubMenuPosition));

    const CMenuState video = videoMenuState(openVideo());
    for (const int position : {kViewPlayModeSubMenuPosition, kViewZoomSubMenuPosition,
                               kViewSpeedSubMenuPosition, kViewSaveImageSubMenuPosition}) {
        EXPECT_TRUE(video.isSubMenuEnabled(position)) << position;
    }
}

// In the engine's full screen zooming and stills are greyed and full screen offers the way
// back; the modes and switches show as checks and labels.
TEST(VideoMenu, ModesShowAsChecksAndLabels) {
    VideoMenuInput input = openVideo();
    input.engineFullScreen = true;
    input.fullVideo = true;
    input.autoScale = true;
    const CMenuState full = videoMenuState(input);
    EXPECT_FALSE(full.isSubMenuEnabled(kViewZoomSubMenuPosition));
    EXPECT_FALSE(full.isSubMenuEnabled(kViewSaveImageSubMenuPosition));
    EXPECT_FALSE(full.item(kViewAutoScale).enabled);
    EXPECT_EQ(full.text(kViewFullScreen), QString::fromUtf8("이전 화면        Alt + Enter"));
    EXPECT_EQ(full.text(kViewFullVideo), QString::fromUtf8("이전 화면        Ctrl + Enter"));

    const CMenuState normal = videoMenuState(openVideo());
    EXPECT_EQ(normal.text(kViewFullScreen), QString::fromUtf8("전체 화면        Alt + Enter"));
    EXPECT_EQ(normal.item(kViewFreeSize), (MenuItemState{true, true}));
    EXPECT_EQ(normal.item(kViewAutoScale), (MenuItemState{true, false}));
    EXPECT_EQ(normal.item(kViewNormalPlayMode), (MenuItemState{true, true}));
    EXPECT_EQ(normal.item(kViewRepeatPlayMode), (MenuItemState{false, false}));
    EXPECT_EQ(normal.text(kKeyToggleControlPanel), QString::fromUtf8("플레이어 감춤  Ctrl + P"));
    EXPECT_FALSE(normal.item(kViewDetachCaptionBox).enabled);
    EXPECT_FALSE(normal.item(kViewMute).checked);

    input = openVideo();
    input.repeatPlayMode = true;
    input.hasRepeatSections = true;
    input.soundOn = false;
    input.showCaption = true;
    input.captionBoxDetached = true;
    input.originalFont = true;
    input.topMost = true;
    input.controlPanelVisible = false;
    const CMenuState switched = videoMenuState(input);
    EXPECT_EQ(switched.item(kViewNormalPlayMode), (MenuItemState{true, false}));
    EXPECT_EQ(switched.item(kViewRepeatPlayMode), (MenuItemState{true, true}));
    EXPECT_TRUE(switched.item(kViewMute).checked);
    EXPECT_EQ(switched.item(kViewDetachCaptionBox), (MenuItemState{true, true}));
    EXPECT_EQ(switched.item(kViewOriginalFont), (MenuItemState{true, true}));
    EXPECT_FALSE(switched.item(kViewCaptionFont).enabled);
    EXPECT_TRUE(switched.item(kTopMost).checked);
    EXPECT_EQ(switched.text(kKeyToggleControlPanel), QString::fromUtf8("플레이어 보임  Ctrl + P"));
}

// The effects need the filter wanted, a file and the filter in the engine.
TEST(VideoMenu, EffectsNeedTheFilter) {
    struct Case {
        bool wanted, open, filter, enabled;
    };
    const Case cases[] = {{true, true, true, true},
                          {false, true, true, false},
                          {true, false, true, false},
                          {true, true, false, false}};
    for (const Case &c : cases) {
        VideoMenuInput input = openVideo();
        input.effectsWanted = c.wanted;
        input.fileOpen = c.open;
        input.effectsFilter = c.filter;
        const CMenuState state = videoMenuState(input);
        for (int id = kViewEffectNone; id <= kViewEffectBlur; ++id) {
            if (id != kViewEffectsWanted) {
                EXPECT_EQ(state.item(id).enabled, c.enabled) << id;
            }
        }
        EXPECT_EQ(state.item(kViewEffectsWanted), (MenuItemState{true, c.wanted}));
    }
}

}  // namespace
