#include "player/channel/channellayout.h"

namespace kivo::channel {

ChannelLayout channelLayout(QSize window) {
    const int w = window.width();
    const int h = window.height();
    ChannelLayout layout;
    layout.top = QRect(0, 0, w, 27);
    layout.bottom = QRect(0, h - 20, w, 20);
    layout.left = QRect(0, 27, 15, h - 47);
    layout.right = QRect(w - 15, 27, 15, h - 47);
    layout.closeButton = QPoint(w - 16, 4);
    layout.caption = QPoint(19, 33);
    layout.toolbar = QRect(15, 49, w - 30, 33);
    layout.browser = QRect(15, 82, w - 30, h - 102);
    return layout;
}

}  // namespace kivo::channel
