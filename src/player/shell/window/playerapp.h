#pragma once

#include <QStringList>

#include "uisupport/versionapp.h"

// The player's application object, in the player program that the launcher KIVOP starts when
// no player of the user runs (or always, with Player/MultiPlayer above 0). It becomes the
// player: the control panel is its main window, and the process ends when the control panel
// closes. A player that began meanwhile is handed the files instead.
class CPlayerApp : public COVVersionApp {
    Q_OBJECT

public:
    // The whole life of the process; the result is main's.
    static int run(int argc, char **argv);

private:
    CPlayerApp(int &argc, char **argv);
};
