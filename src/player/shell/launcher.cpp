// KIVOP: the program users start. A second start hands its files to the running player of the
// same user and ends at once, having loaded nothing of the player; otherwise it becomes the
// player program.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/productversion.h"
#include "player/shell/commandline.h"
#include "player/shell/handoff.h"
#include "player/shell/playersettings.h"
#include "uisupport/registry.h"

namespace {

// Beside the launcher in the build, in the private program folder when installed.
std::filesystem::path playerProgram() {
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::filesystem::path beside = folder / "kivop-player";
    if (std::filesystem::exists(beside, error)) {
        return beside;
    }
    return folder / KIVO_PLAYER_FROM_BINDIR;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("KIVO Player %s\n", kivo::productVersion());
        return 0;
    }
    if (!isMultiPlayer(COVRegistry()) &&
        kivo::shell::handOffToRunningPlayer(pathsFromArguments(argc, argv))) {
        return 0;
    }
    const std::filesystem::path player = playerProgram();
    ::execv(player.c_str(), argv);
    std::fprintf(stderr, "KIVOP: cannot start %s: %s\n", player.c_str(), std::strerror(errno));
    return 1;
}
