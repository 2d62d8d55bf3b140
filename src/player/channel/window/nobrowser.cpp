// The build without Qt WebEngine: the channel window has no browser of its own.
#include "player/channel/window/channelbrowser.h"

namespace kivo::channel {

bool hasBrowser() {
    return false;
}

CChannelBrowser *createBrowser(QWidget *) {
    return nullptr;
}

}  // namespace kivo::channel
