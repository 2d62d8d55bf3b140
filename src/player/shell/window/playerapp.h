#pragma once

#include <QStringList>

#include "uisupport/versionapp.h"

// The player's application object. A start either hands its files to the player of the same
// user that already runs, and ends without a window, or becomes that player: the control panel
// is its main window, and the process ends when the control panel closes. Player/MultiPlayer
// above 0 lets every start be a player of its own.
class CPlayerApp : public COVVersionApp {
    Q_OBJECT

public:
    // The whole life of the process; the result is main's.
    static int run(int argc, char **argv);

private:
    CPlayerApp(int &argc, char **argv);
};
