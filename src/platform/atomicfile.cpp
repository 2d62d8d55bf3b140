#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "platform/staletemporaries.h"

namespace kivo {
namespace {

// Owns a POSIX file descriptor.
class CFileDescriptor {
public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CFileDescriptor(const CFileDescriptor &) = delete;
    CFileDescriptor &operator=(const CFileDescriptor &) = delete;

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// The permissions a new file gets: those of the file it replaces, else what the umask allows.
mode_t modeFor(const std::string &target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// New temporaries tried when the cleaning of a concurrent save took the previous ones.
constexpr int kLockAttempts = 8;

// Locks the new temporary (waiting out a cleaning save that holds it for a moment) and checks
// that it is still the file under its name.
bool lockedUnderItsName(int fd, const std::string &path) {
    struct stat opened {};
    struct stat named {};
    int locked = -1;
    do {
        locked = ::flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    return locked == 0 && ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
}

}  // namespace

CReplacingFile::CReplacingFile(std::string target) : m_target(std::move(target)) {}

CReplacingFile::~CReplacingFile() {
    discard();
}

FILE *CReplacingFile::open() {
    discard();
    if (m_target.empty()) {
        return nullptr;
    }
    // Another save's cleaning may remove the new file between its creation and its lock (it
    // looks stale then): a file that is no longer under its name is given up for a new one.
    for (int attempt = 0; attempt < kLockAttempts && m_lock < 0; ++attempt) {
        std::string pattern = temporaryPatternOf(m_target);
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            return nullptr;
        }
        if (!lockedUnderItsName(fd, pattern)) {
            ::close(fd);
            continue;
        }
        m_lock = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        m_file.reset(m_lock >= 0 ? ::fdopen(fd, "wb") : nullptr);
        if (!m_file) {
            ::close(fd);
            std::remove(pattern.c_str());
            unlock();
            return nullptr;
        }
        m_temporary = std::move(pattern);
    }
    if (m_lock < 0) {
        return nullptr;
    }
    removeStaleTemporaries(m_target, m_temporary);
    return m_file.get();
}

int CReplacingFile::commit() {
    if (!m_file) {
        return 0;
    }
    const int fd = ::fileno(m_file.get());
    const bool written = std::fflush(m_file.get()) == 0 && std::ferror(m_file.get()) == 0 &&
                         ::fchmod(fd, modeFor(m_target)) == 0 && ::fsync(fd) == 0;
    const bool closed = std::fclose(m_file.release()) == 0;
    if (!written || !closed || std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        discard();
        return 0;
    }
    m_temporary.clear();
    unlock();
    return 1;
}

void CReplacingFile::discard() {
    m_file.reset();
    if (!m_temporary.empty()) {
        std::remove(m_temporary.c_str());
        m_temporary.clear();
    }
    unlock();
}

void CReplacingFile::unlock() {
    if (m_lock >= 0) {
        ::close(m_lock);
        m_lock = -1;
    }
}

int writeFileAtomically(const std::string &path, std::span<const uint8_t> bytes) {
    CReplacingFile file(path);
    FILE *out = file.open();
    if (!out ||
        (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())) {
        return 0;
    }
    return file.commit();
}

std::optional<std::vector<uint8_t>> readWholeFile(const std::string &path) {
    CFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::vector<uint8_t> data(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t got = ::read(fd.get(), data.data() + done, data.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return std::nullopt;
        }
        done += static_cast<size_t>(got);
    }
    return data;
}

}  // namespace kivo
