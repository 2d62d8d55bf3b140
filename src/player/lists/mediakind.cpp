#include "player/lists/mediakind.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

bool contains(const auto &table, const auto &ext) {
    return std::find(table.begin(), table.end(), ext) != table.end();
}

// Extensions of up to four bytes as one number each, so that a name's extension is looked up
// with a few integer comparisons. No byte of an extension is zero, so different extensions
// never share a number.
constexpr size_t kLongestExtension = 4;

constexpr uint32_t packedExtension(std::string_view ext) {
    uint32_t packed = 0;
    for (const char c : ext) {
        packed = packed << 8 | static_cast<uint8_t>(c);
    }
    return packed;
}

template <size_t N>
constexpr std::array<uint32_t, N> packedTable(const std::array<std::string_view, N> &table) {
    std::array<uint32_t, N> packed{};
    for (size_t i = 0; i < N; ++i) {
        if (table[i].size() > kLongestExtension) {
            throw "an extension longer than the packed form holds";  // fails the compilation
        }
        packed[i] = packedExtension(table[i]);
    }
    return packed;
}

constexpr auto kPackedVideo = packedTable(kVideoExtensions);
constexpr auto kPackedAudio = packedTable(kAudioExtensions);
constexpr uint32_t kPackedDat = packedExtension("dat");

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

CNameKind kindOfFileName(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || fileName.size() - dot - 1 > kLongestExtension) {
        return {};
    }
    uint32_t packed = 0;
    for (const char c : fileName.substr(dot + 1)) {
        packed = packed << 8 | static_cast<uint8_t>(asciiLower(c));
    }
    if (packed == 0) {
        return {};  // nothing after the dot
    }
    if (contains(kPackedVideo, packed)) {
        return {kVideo, packed == kPackedDat};
    }
    return {contains(kPackedAudio, packed) ? kAudio : kUnsupported, false};
}

std::string upperFileName(std::string_view path) {
    std::string name(fileNameOf(path));
    std::transform(name.begin(), name.end(), name.begin(), asciiUpper);
    return name;
}

}  // namespace kivo::lists
