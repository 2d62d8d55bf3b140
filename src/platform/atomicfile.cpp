#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

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
    // Closes now and reports whether the close (the last chance of a write error) succeeded.
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

bool writeAll(int fd, const uint8_t *data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

int writeFileAtomically(const std::string &path, std::span<const uint8_t> bytes) {
    if (path.empty()) {
        return 0;
    }
    const std::filesystem::path target(path);
    std::string pattern =
        (target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path()) /
        ("." + target.filename().string() + ".XXXXXX");
    CFileDescriptor fd(::mkstemp(pattern.data()));
    if (!fd.valid()) {
        return 0;
    }
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const bool written = writeAll(fd.get(), bytes.data(), bytes.size()) &&
                         ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0;
    const bool closed = fd.close();
    if (!written || !closed || std::rename(pattern.c_str(), path.c_str()) != 0) {
        std::remove(pattern.c_str());
        return 0;
    }
    return 1;
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
