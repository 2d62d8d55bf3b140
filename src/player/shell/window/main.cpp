#include "player/shell/window/playerapp.h"

int main(int argc, char **argv) {
    return CPlayerApp::run(argc, argv);
}
