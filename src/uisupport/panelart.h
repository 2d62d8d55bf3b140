#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

#include "uisupport/skin.h"

// The player's control panel as the skin draws it: its background, the four looks of each of
// its buttons and the background of its two text lines, with the places they are drawn for.
// The window places its controls by these constants.
namespace kivo::skin::panel {

inline constexpr QSize kSize{476, 98};

// The window's outline in window pixels, a polygon filled by the winding rule; the background
// outside it is masked.
inline constexpr std::array<QPoint, 13> kOutline = {{{4, 0},
                                                     {0, 4},
                                                     {0, 86},
                                                     {1, 86},
                                                     {1, 87},
                                                     {12, 87},
                                                     {12, 97},
                                                     {13, 97},
                                                     {13, 98},
                                                     {473, 98},
                                                     {476, 96},
                                                     {476, 1},
                                                     {474, 0}}};

// The places of the displays, in window pixels.
inline constexpr QRect kTimeDisplay{90, 34, 72, 9};
inline constexpr QRect kFileInfoLine{91, 18, 165, 13};
inline constexpr QRect kPlayStateLine{91, 48, 107, 13};
inline constexpr QRect kVolumeSlider{114, 75, 64, 9};
inline constexpr QRect kPositionSlider{231, 80, 181, 12};
// The audio-CD track grid: 3 rows of 5 cells, 11 x 14 pixels each.
inline constexpr QRect kTrackGrid{31, 18, 55, 42};

enum class Button {
    kExit,
    kVideoWindow,
    kMinimise,
    kOpen,
    kChannel,
    kPlay,
    kPause,  // a toggle: the pressed look is "paused"
    kStop,
    kFastBackward,
    kFastForward,
    kStepBack,
    kStepForward,
    kOption,
    kSpeaker,  // a toggle: the pressed look is "sound on", the others "muted"
};
inline constexpr int kButtonCount = 14;

// The looks in the order COVHoverButton::loadBitmaps() takes them.
enum Look { kNormal, kHover, kPressed, kDisabled, kLookCount };

struct ButtonPlace {
    int controlId;
    QRect rect;  // in window pixels; the size is that of the button's bitmaps
};

// Indexed by Button.
inline constexpr std::array<ButtonPlace, kButtonCount> kButtons = {{
    {1001, {458, 2, 14, 12}},
    {1011, {426, 2, 14, 12}},
    {1012, {443, 2, 14, 12}},
    {1014, {345, 31, 48, 28}},
    {1019, {423, 19, 48, 20}},
    {1015, {294, 31, 48, 28}},
    {1016, {297, 62, 30, 17}},
    {1017, {329, 62, 30, 17}},
    {1003, {265, 62, 30, 17}},
    {1006, {361, 62, 30, 17}},
    {1008, {234, 62, 30, 17}},
    {1009, {392, 62, 30, 17}},
    {1010, {423, 76, 48, 16}},
    {1020, {85, 69, 24, 18}},
}};

// The skin bitmap number of a look of a button.
constexpr int bitmapId(Button button, Look look) {
    return kPanelButtons + kLookCount * static_cast<int>(button) + look;
}

QImage background();
QImage button(Button which, Look look);
// A text line's background, dark so that white and yellow text read on it.
QImage textLineBackground(int width, int height);

// The whole panel as the skin draws it, for a look at the art: the background with the shape
// cut out (transparent outside), the text lines and a time of 00:00:00, every button in its
// normal look at its place, the volume slider at 90 and the position slider a third along.
QImage preview();

}  // namespace kivo::skin::panel
