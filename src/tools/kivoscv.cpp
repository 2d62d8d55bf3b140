// kivoscv: shows what a KIVO scene-description file (.scv) holds, and converts captions between
// scene descriptions and SAMI files.
//
//   kivoscv dump FILE.scv                          header version, media path, info, scene tree,
//                                                  lists
//   kivoscv json FILE.scv                          the same as JSON (caption times also in ms)
//   kivoscv demo FILE.scv                          writes a small example file
//   kivoscv smi2scv IN.smi OUT.scv [--media VIDEO] a new description holding the SAMI file's
//                                                  captions (and the video's name)
//   kivoscv scv2smi IN.scv OUT.smi                 the description's captions as a SAMI file
//
// Exit status: 0 done, 1 a file could not be written, 2 the input could not be read (or the
// command line could not be understood). The reason goes to standard error.

#include "player/captions/samiconversion.h"
#include "player/captions/samireader.h"
#include "player/captions/samiwriter.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "tools/scvprinter.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kDone = 0;
constexpr int kWriteFailed = 1;
constexpr int kUnreadable = 2;

int usage() {
    std::cerr << "usage: kivoscv dump FILE.scv | json FILE.scv | demo FILE.scv\n"
                 "       kivoscv smi2scv IN.smi OUT.scv [--media VIDEO]\n"
                 "       kivoscv scv2smi IN.scv OUT.smi\n";
    return kUnreadable;
}

int load(const std::string &path, CVideoDescription &document, int &version) {
    switch (loadScv(path, document, &version)) {
        case ScvReadResult::Ok:
            return kDone;
        case ScvReadResult::OldVersion:
            std::cerr << "kivoscv: " << path << ":\n" << kScvOldVersionMessage;
            return kUnreadable;
        case ScvReadResult::ReadError:
            break;
    }
    std::cerr << "kivoscv: " << path << ":\n" << kScvReadErrorMessage << '\n';
    return kUnreadable;
}

int print(const std::string &path, bool json) {
    CVideoDescription document;
    int version = 0;
    if (const int status = load(path, document, version)) {
        return status;
    }
    if (json) {
        printDescriptionJson(std::cout, document, version, nullptr);
    } else {
        printDescription(std::cout, document, version, nullptr);
    }
    return std::cout.good() ? kDone : kWriteFailed;
}

int demo(const std::string &path) {
    CVideoDescription document;
    fillDemoDescription(document);
    if (!saveScv(document, path)) {
        std::cerr << "kivoscv: cannot write " << path << '\n';
        return kWriteFailed;
    }
    return kDone;
}

int samiToScv(const std::string &in, const std::string &out, const std::string &media) {
    const auto entries = kivo::captions::loadSamiFile(in);
    if (!entries) {
        std::cerr << "kivoscv: " << in << ":\n" << kivo::captions::kSamiReadFailedMessage << '\n';
        return kUnreadable;
    }
    const auto description = kivo::captions::descriptionFromSami(*entries, media);
    if (!saveScv(*description, out)) {
        std::cerr << "kivoscv: " << out << ":\n"
                  << kivo::captions::kConversionSaveFailedMessage << '\n';
        return kWriteFailed;
    }
    return kDone;
}

int scvToSami(const std::string &in, const std::string &out) {
    CVideoDescription document;
    int version = 0;
    if (const int status = load(in, document, version)) {
        return status;
    }
    const kivo::captions::CSamiWriteResult result =
        kivo::captions::saveSamiFile(out, document.captions());
    if (result.status != kivo::captions::SamiWriteStatus::Saved) {
        std::cerr << "kivoscv: " << out << ":\n"
                  << kivo::captions::samiWriteMessage(result) << '\n';
        return kWriteFailed;
    }
    return kDone;
}

}  // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && (args[0] == "dump" || args[0] == "json")) {
        return print(args[1], args[0] == "json");
    }
    if (args.size() == 2 && args[0] == "demo") {
        return demo(args[1]);
    }
    if (args.size() == 3 && args[0] == "smi2scv") {
        return samiToScv(args[1], args[2], "");
    }
    if (args.size() == 5 && args[0] == "smi2scv" && args[3] == "--media") {
        return samiToScv(args[1], args[2], args[4]);
    }
    if (args.size() == 3 && args[0] == "scv2smi") {
        return scvToSami(args[1], args[2]);
    }
    return usage();
}
