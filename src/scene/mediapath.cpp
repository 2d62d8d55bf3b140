#include "scene/mediapath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool hasDriveLetter(const std::string &path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool usesWindowsForm(const std::string &path) {
    return hasDriveLetter(path) || path.find('\\') != std::string::npos;
}

}  // namespace

bool isRelativeMediaPath(const std::string &path) {
    return !path.empty() && !isSeparator(path[0]) && !hasDriveLetter(path);
}

std::string mediaPathCandidate(const std::string &storedPath, const std::string &scvPath) {
    if (!isRelativeMediaPath(storedPath)) {
        return storedPath;
    }
    const char separator = usesWindowsForm(scvPath) ? '\\' : '/';
    std::string base = hasDriveLetter(scvPath) ? scvPath.substr(2) : scvPath;
    const auto lastSeparator = std::find_if(base.rbegin(), base.rend(), isSeparator);
    base.erase(lastSeparator == base.rend()
                   ? 0
                   : base.size() - static_cast<size_t>(lastSeparator - base.rbegin()) - 1);
    std::string rest = storedPath;
    while (rest.find("..") != std::string::npos) {
        rest.erase(0, std::min<size_t>(3, rest.size()));
        const auto cut = std::find_if(base.rbegin(), base.rend(), isSeparator);
        base.erase(cut == base.rend() ? 0
                                      : base.size() - static_cast<size_t>(cut - base.rbegin()) - 1);
    }
    if (separator == '/') {
        std::replace(rest.begin(), rest.end(), '\\', '/');
    }
    return base + separator + rest;
}

std::string toLocalSeparators(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string resolveMediaPath(const std::string &storedPath, const std::string &scvPath,
                             const std::function<bool(const std::string &)> &exists) {
    if (storedPath.empty()) {
        return storedPath;
    }
    const std::string candidate = toLocalSeparators(mediaPathCandidate(storedPath, scvPath));
    return exists(candidate) ? candidate : storedPath;
}

std::string resolveMediaPath(const std::string &storedPath, const std::string &scvPath) {
    return resolveMediaPath(storedPath, scvPath, [](const std::string &path) {
        std::error_code error;
        return std::filesystem::is_regular_file(path, error);
    });
}
