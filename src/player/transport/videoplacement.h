#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The arithmetic of the video window: where its frame bars and buttons go for a window size,
// where the video goes inside it (fitted to the window or filling it), how large the window is
// for a size rate of the video, the full-video rectangle and where the docked containers go.
// Rectangles are in window pixels unless a name says screen. Every result is a size of 0 or
// more, whatever the input (a video of unknown size, a window smaller than its frame).
namespace kivo::player::video {

// The frame around the video.
inline constexpr int kTopBar = 24;
inline constexpr int kBottomBar = 20;
inline constexpr int kSideBar = 15;
inline constexpr QSize kMinimumWindow{240, 240};
// A caption box never leaves less than this much of the window's height to the rest.
inline constexpr int kCaptionBoxReserve = 90;
// No video extent goes beyond this: an absurd native size cannot ask for a window the window
// system would refuse.
inline constexpr int kMaxVideoExtent = 16384;

struct CFrameLayout {
    QRect topBar;
    QRect bottomBar;
    QRect leftBar;
    QRect rightBar;
    // The top-left corners of the buttons.
    QPoint hideButton;      // 1029
    QPoint maximiseButton;  // 1030, and 1032 (restore) in its place while maximised
    QPoint closeButton;     // 1031
    QPoint infoButton;      // 1049, on the left bar
    QPoint info2Button;     // 1046, on the right bar
};

// The frame of a client area of the given size.
CFrameLayout frameLayout(QSize client);

struct CVideoPlace {
    QRect video;
    // The docked caption box; empty when there is none.
    QRect captionBox;
};

// Where the video goes in a window of the given size. With autoScale and a known native size
// the video keeps its aspect ratio, fitted to the width or centred across at full height;
// otherwise it fills the area inside the frame. captionHeight is the height of a docked caption
// box below the video (0 for none).
CVideoPlace placeVideo(QSize window, bool autoScale, QSize nativeSize, int captionHeight);

struct CRateSize {
    QSize window;
    CVideoPlace place;
};

// The window for the video at a size rate (0.5 is half the native size): the video is the
// native size times the rate, the window that plus the frame but at least 240 x 240 with the
// video centred in it, and taller by a docked caption box.
CRateSize sizeForRate(QSize nativeSize, double rate, int captionHeight);

// Full-video mode: the frame lies just outside the screen, the video covers it.
QRect fullVideoRect(const QRect &screen);

// The containers docked to a window (screen rectangles): the left one ends where the window
// begins, the right one begins where the window ends; both start 15 pixels below its top and
// are 30 pixels shorter. Widths are kept.
QRect dockedLeft(const QRect &window, int width);
QRect dockedRight(const QRect &window, int width);

// The size a frame is saved at by "current size": the window's client size less the frame and
// a margin; at least 1 x 1.
QSize currentExportSize(QSize client);

}  // namespace kivo::player::video
