// kivoscv: shows what a KIVO scene-description file (.scv) holds.
//
//   kivoscv dump FILE.scv    header version, media path, info, indented scene tree, lists
//   kivoscv json FILE.scv    the same as JSON
//   kivoscv demo FILE.scv    writes a small example file

#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "tools/scvprinter.h"

#include <cstring>
#include <iostream>

namespace {

int usage() {
    std::cerr << "usage: kivoscv dump FILE.scv | json FILE.scv | demo FILE.scv\n";
    return 1;
}

int load(const char *path, CVideoDescription &document, int &version) {
    switch (loadScv(path, document, &version)) {
        case ScvReadResult::Ok:
            return 0;
        case ScvReadResult::OldVersion:
            std::cerr << "kivoscv: " << path << ":\n" << kScvOldVersionMessage;
            return 2;
        case ScvReadResult::ReadError:
            break;
    }
    std::cerr << "kivoscv: " << path << ":\n" << kScvReadErrorMessage << '\n';
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        return usage();
    }
    const char *command = argv[1];
    const char *path = argv[2];
    CVideoDescription document;
    if (std::strcmp(command, "demo") == 0) {
        fillDemoDescription(document);
        if (!saveScv(document, path)) {
            std::cerr << "kivoscv: cannot write " << path << '\n';
            return 2;
        }
        return 0;
    }
    const bool json = std::strcmp(command, "json") == 0;
    if (!json && std::strcmp(command, "dump") != 0) {
        return usage();
    }
    int version = 0;
    if (const int status = load(path, document, version)) {
        return status;
    }
    if (json) {
        printDescriptionJson(std::cout, document, version, nullptr);
    } else {
        printDescription(std::cout, document, version, nullptr);
    }
    return std::cout.good() ? 0 : 2;
}
