#include "platform/staletemporaries.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace kivo {
namespace {

// mkstemp replaces these many trailing characters, with letters and digits.
constexpr size_t kUniqueChars = 6;

fs::path folderOf(const fs::path &target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

// Removes `path` when no process holds its lock. The lock is taken before the removal, so a
// writer that opens the file at this moment either finds it gone or waits for the lock and then
// sees that its file was replaced.
bool removeWhenUnlocked(const fs::path &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    bool removed = false;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        named.st_ino == opened.st_ino && named.st_dev == opened.st_dev) {
        removed = ::unlink(path.c_str()) == 0;
    }
    ::close(fd);
    return removed;
}

}  // namespace

std::string temporaryPatternOf(const std::string &target) {
    const fs::path path(target);
    return (folderOf(path) /
            ("." + path.filename().string() + "." + std::string(kUniqueChars, 'X')))
        .string();
}

bool isTemporaryNameOf(const std::string &fileName, const std::string &target) {
    const std::string prefix = "." + fs::path(target).filename().string() + ".";
    if (fileName.size() != prefix.size() + kUniqueChars || !fileName.starts_with(prefix)) {
        return false;
    }
    return std::all_of(fileName.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       fileName.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

int removeStaleTemporaries(const std::string &target, const std::string &own) {
    const fs::path path(target);
    if (path.filename().empty()) {
        return 0;
    }
    const fs::path ownName = fs::path(own).filename();
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator entry(folderOf(path), error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path name = entry->path().filename();
        if (name != ownName && isTemporaryNameOf(name.string(), target) &&
            removeWhenUnlocked(entry->path())) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace kivo
