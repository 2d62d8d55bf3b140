#include "player/lists/mediakind.h"

#include <algorithm>
#include <array>

namespace kivo::lists {
namespace {

// The classic kinds first, then the containers of today's files, which the engine plays as well.
constexpr std::array<std::string_view, 27> kVideoExtensions = {
    "scv", "mpeg", "mpg", "m1v", "mp2", "mpa",  "mpe", "avi", "wmv",
    "dat", "asf",  "wm",  "wma", "mov", "qt",   "asx", "mp4", "m4v",
    "mkv", "webm", "ogv", "flv", "ts",  "m2ts", "mts", "3gp", "vob"};
constexpr std::array<std::string_view, 18> kAudioExtensions = {
    "mid",  "rmi", "midi", "mp3", "wav",  "snd", "au",  "aif",  "aifc",
    "aiff", "wam", "m4a",  "aac", "flac", "ogg", "oga", "opus", "wv"};

std::string_view fileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool contains(const auto &table, std::string_view ext) {
    return std::find(table.begin(), table.end(), ext) != table.end();
}

}  // namespace

std::string lowerExtension(std::string_view path) {
    const std::string_view name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    std::string ext(name.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), asciiLower);
    return ext;
}

MediaKind kindOfExtension(std::string_view lowerExt) {
    if (contains(kVideoExtensions, lowerExt)) {
        return kVideo;
    }
    if (contains(kAudioExtensions, lowerExt)) {
        return kAudio;
    }
    return kUnsupported;
}

std::string upperFileName(std::string_view path) {
    std::string name(fileNameOf(path));
    std::transform(name.begin(), name.end(), name.begin(), asciiUpper);
    return name;
}

}  // namespace kivo::lists
