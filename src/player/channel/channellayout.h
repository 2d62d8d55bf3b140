#pragma once

#include <QRect>
#include <QSize>

// Where the channel window puts its parts, for a window of a given size: the skin's frame
// around a caption line, a toolbar and the browser.
namespace kivo::channel {

inline constexpr QSize kMinimumSize{240, 240};
inline constexpr QSize kMaximumSize{550, 385};

struct ChannelLayout {
    QRect top;
    QRect bottom;
    QRect left;
    QRect right;
    QPoint closeButton;
    QPoint caption;
    QRect toolbar;
    QRect browser;
};

ChannelLayout channelLayout(QSize window);

}  // namespace kivo::channel
