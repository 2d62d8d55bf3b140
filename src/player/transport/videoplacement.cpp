#include "player/transport/videoplacement.h"

#include <algorithm>
#include <cstdint>

namespace kivo::player::video {
namespace {

constexpr int kButtonTop = 4;
constexpr int kSideButtonHalfHeight = 10;
// "Current size" leaves this much of the client area out on each axis.
constexpr QSize kExportMargin{45, 61};

int nonNegative(int value) {
    return std::max(value, 0);
}

bool isKnown(QSize size) {
    return size.width() > 0 && size.height() > 0;
}

// a x b / c without overflow, for positive c; at most kMaxVideoExtent.
int scaled(int a, int b, int c) {
    const int64_t product = int64_t{a} * b / c;
    return static_cast<int>(std::clamp<int64_t>(product, 0, kMaxVideoExtent));
}

}  // namespace

CFrameLayout frameLayout(QSize client) {
    const int a = nonNegative(client.width());
    const int b = nonNegative(client.height());
    const int sideHeight = nonNegative(b - kTopBar - kBottomBar);
    CFrameLayout layout;
    layout.topBar = QRect(0, 0, a, kTopBar);
    layout.bottomBar = QRect(0, b - kBottomBar, a, kBottomBar);
    layout.leftBar = QRect(0, kTopBar, kSideBar, sideHeight);
    layout.rightBar = QRect(a - kSideBar, kTopBar, kSideBar, sideHeight);
    layout.closeButton = QPoint(a - 16, kButtonTop);
    layout.maximiseButton = QPoint(a - 28, kButtonTop);
    layout.hideButton = QPoint(a - 40, kButtonTop);
    layout.infoButton = QPoint(0, b / 2 - kSideButtonHalfHeight);
    layout.info2Button = QPoint(a - kSideBar, b / 2 - kSideButtonHalfHeight);
    return layout;
}

CVideoPlace placeVideo(QSize window, bool autoScale, QSize nativeSize, int captionHeight) {
    const int height = nonNegative(window.height());
    const int w = nonNegative(window.width() - 2 * kSideBar);
    int h = height;
    CVideoPlace place;
    if (captionHeight > 0) {
        const int hc = std::min(captionHeight, nonNegative(height - kCaptionBoxReserve));
        place.captionBox = QRect(kSideBar, height - hc - kBottomBar, w, hc);
        h -= hc;
    }
    h = nonNegative(h - kTopBar - kBottomBar);
    if (autoScale && isKnown(nativeSize) && h > 0 && w > 0) {
        const int vw = nativeSize.width();
        const int vh = nativeSize.height();
        const int fittingWidth = scaled(vw, h, vh);
        if (fittingWidth > w) {
            const int fittedHeight = scaled(w, vh, vw);
            place.video = QRect(kSideBar, kTopBar + h / 2 - fittedHeight / 2, w, fittedHeight);
        } else {
            place.video = QRect(kSideBar + w / 2 - fittingWidth / 2, kTopBar, fittingWidth, h);
        }
        return place;
    }
    place.video = QRect(kSideBar, kTopBar, w, h);
    return place;
}

CRateSize sizeForRate(QSize nativeSize, double rate, int captionHeight) {
    const auto times = [rate](int extent) {
        const double product = std::max(extent, 0) * std::max(rate, 0.0);
        return static_cast<int>(std::min<double>(product, kMaxVideoExtent));
    };
    const int d = times(nativeSize.width());
    const int e = times(nativeSize.height());
    const int minimumWidth = kMinimumWindow.width();
    const int minimumHeight = kMinimumWindow.height();
    CRateSize result;
    int x = kSideBar;
    int width = d + 2 * kSideBar;
    if (width < minimumWidth) {
        width = minimumWidth;
        x = minimumWidth / 2 - d / 2;
    }
    int y = kTopBar;
    int height = e + kTopBar + kBottomBar;
    if (height < minimumHeight) {
        height = minimumHeight;
        y = (minimumHeight + kTopBar - kBottomBar) / 2 - e / 2;
    }
    const int hc = std::max(captionHeight, 0);
    if (hc > 0) {
        height += hc;
        result.place.captionBox =
            QRect(kSideBar, height - hc - kBottomBar, width - 2 * kSideBar, hc);
    }
    result.window = QSize(width, height);
    result.place.video = QRect(x, y, d, e);
    return result;
}

QRect fullVideoRect(const QRect &screen) {
    return QRect(screen.left() - kSideBar, screen.top() - kTopBar, screen.width() + 2 * kSideBar,
                 screen.height() + kTopBar + kBottomBar);
}

QRect dockedLeft(const QRect &window, int width) {
    return QRect(window.left() - width, window.top() + kSideBar, width,
                 nonNegative(window.height() - 2 * kSideBar));
}

QRect dockedRight(const QRect &window, int width) {
    return QRect(window.right() + 1, window.top() + kSideBar, width,
                 nonNegative(window.height() - 2 * kSideBar));
}

QSize currentExportSize(QSize client) {
    return QSize(std::max(client.width() - kExportMargin.width(), 1),
                 std::max(client.height() - kExportMargin.height(), 1));
}

}  // namespace kivo::player::video
