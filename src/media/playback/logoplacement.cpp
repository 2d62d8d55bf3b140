#include "media/playback/logoplacement.h"

namespace {

constexpr int kMargin = 5;

struct CSpan {
    int start;
    int length;
};

CSpan place(int client, int logo) {
    if (logo > client - 2 * kMargin) {
        return {kMargin, client - 2 * kMargin};
    }
    return {(client - logo) / 2, logo};
}

}  // namespace

QRect logoRect(QSize client, QSize logo) {
    if (logo.isEmpty()) {
        return {};
    }
    const CSpan x = place(client.width(), logo.width());
    const CSpan y = place(client.height(), logo.height());
    if (x.length <= 0 || y.length <= 0) {
        return {};
    }
    return QRect(x.start, y.start, x.length, y.length);
}
