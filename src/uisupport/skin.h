#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

// The skin: bitmaps, icons and cursors addressed by their resource numbers, as the windows of
// both programs ask for them. The art is drawn by the program itself; a PNG placed in a Qt
// resource at ":/skin/<number>.png" (for example by a program that wants other art) takes the
// place of the built-in picture of that number.
namespace kivo::skin {

// Pixels of this colour are "no pixel" in every keyed skin bitmap: RGB(0, 0, 255).
inline constexpr QRgb kTransparentColor = 0xFF0000FFu;

// Numbers of the built-in bitmaps.
enum BitmapId {
    kSelectedCell = 249,           // 41 x 25, scene tree cell of a selected scene
    kNormalCell = 250,             // 41 x 25, scene tree cell
    kCollapsedButton = 251,        // 7 x 7, "+" (segmentation tool)
    kExpandedButton = 252,         // 7 x 7, "-" (segmentation tool)
    kChosenStripCell = 369,        // 46 x 23, frame strip cell of the chosen frame
    kStripCell = 370,              // 46 x 23, frame strip cell
    kPlayerExpandedButton = 455,   // 7 x 7, "-" (player)
    kPlayerCollapsedButton = 456,  // 7 x 7, "+" (player)
    kTimeDigits = 463,             // 99 x 9: the glyphs 0..9 and ':' side by side, 9 x 9 each
    kVolumeChannel = 203,          // 64 x 9
    kVolumeThumb = 202,            // 7 x 9
    kVolumeFill = 205,             // 64 x 9, the channel left of the thumb
    kPositionChannel = 285,        // 181 x 12
    kPositionThumb = 204,          // 9 x 12
    kPositionFill = 206,           // 181 x 12
    kPanelBackground = 129,        // 476 x 98, the control panel (its places: panelart.h)
    kPlayStateBackground = 469,    // 107 x 13
    kFileInfoBackground = 470,     // 165 x 13
    kPanelButtons = 500,           // 500 to 555: the panel's buttons, four looks each
    kCloseButton = 224,            // 16 x 16, "x" of the framed windows (also pressed, disabled)
    kCloseButtonHover = 228,       // 16 x 16, "x" under the mouse
    kNextPageButton = 332,         // 332 to 335: ">" of the containers, four looks
    kPreviousPageNormal = 339,     // "<": 339 normal, 337 hover, 338 pressed, 336 disabled
    kPreviousPageHover = 337,
    kPreviousPagePressed = 338,
    kPreviousPageDisabled = 336,
    kVideoTopBar = 560,     // 48 x 24, the video window's frame (videoframeart.h)
    kVideoBottomBar = 561,  // 48 x 20
    kVideoLeftBar = 562,    // 15 x 48
    kVideoRightBar = 563,   // 15 x 48
    kVideoButtons = 570,    // 570 to 593: the video window's buttons, four looks each
};

// Numbers of the built-in icons.
enum IconId {
    kSegmentationIcon = 128,  // window icon of the segmentation tool
    kOpenVideoIcon = 144,     // 16 x 16, "open a video"
    kSaveScvIcon = 147,       // 16 x 16, "save the scene description"
    kMediaFilesIcon = 130,    // 16 x 16, the media finder's root
    kVideoIcon = 131,         // 16 x 16, video files (finder group, playlist kind 1)
    kAudioIcon = 132,         // 16 x 16, audio files (finder group, playlist kind 2)
    kExtensionIcon = 133,     // 16 x 16, one extension of the finder's tree
    kMediaFileIcon = 134,     // 16 x 16, a found file
    kStopSearchIcon = 376,    // 16 x 16, "stop searching"
    kSearchIcon = 377,        // 16 x 16, "search"
    kBrowseFolderIcon = 381,  // 16 x 16, "choose a folder"
};

// Numbers of the built-in cursors.
enum CursorId {
    kHandCursor = 427,
};

// The bitmap with the given number, opaque, with kTransparentColor where it has no pixels; a
// null image for a number the skin does not know.
QImage bitmap(int id);

// The image with every pixel of the given colour made fully transparent (the mask that a
// transparent blit builds).
QImage transparentImage(const QImage &image, QRgb transparent);

// transparentImage() as a pixmap ready to draw.
QPixmap transparentPixmap(const QImage &image, QRgb transparent);

// bitmap(id) through transparentPixmap() with kTransparentColor; null when unknown.
QPixmap keyedPixmap(int id);

// The icon with the given number (all of its sizes); null when unknown.
QIcon icon(int id);

// The cursor with the given number; the arrow, with *found cleared, when unknown.
QCursor cursor(int id, bool *found = nullptr);

}  // namespace kivo::skin
