#include "player/lists/mediascan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <memory>
#include <optional>
#include <set>
#include <utility>

#include "player/lists/mediakind.h"

namespace kivo::lists {
namespace {

// Shorter .dat files are the data files of other programs rather than video CD tracks.
constexpr unsigned long long kSmallestDatVideo = 31457280;

struct FdCloser {
    void operator()(const int *fd) const { ::close(*fd); }
};

// A sub-folder to enter, or a media file with what the found-file record needs.
struct CFolderEntry {
    std::string name;
    bool folder = false;
    uint64_t length = 0;
    time_t created = 0;

    bool operator<(const CFolderEntry &other) const { return name < other.name; }
};

// A folder being searched: its path (ending in '/'), its entries in order and the next one.
struct CFolderFrame {
    std::string path;
    std::vector<CFolderEntry> entries;
    size_t next = 0;
};

// The folders entered so far, by device and inode, so that none is entered twice.
using FolderIds = std::set<std::pair<dev_t, ino_t>>;

// Whether a file of this name and size is a media file the finder lists.
bool accepts(std::string_view name, unsigned long long length) {
    const std::string ext = lowerExtension(name);
    if (ext == "dat") {
        return length >= kSmallestDatVideo;
    }
    return kindOfExtension(ext) != kUnsupported;
}

// What a name of the folder `fd` is, looked up relative to the folder (no path walk): links
// and entries of unknown type by what they lead to. Nothing for other files, names that are
// gone since the listing, and dangling links.
std::optional<CFolderEntry> lookUp(int fd, const dirent64 &entry) {
    const std::string_view name = entry.d_name;
    if (entry.d_type == DT_DIR) {
        return CFolderEntry{std::string(name), true};
    }
    if (entry.d_type != DT_REG && entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return std::nullopt;
    }
    if (entry.d_type == DT_REG && kindOfPath(name) == kUnsupported) {
        return std::nullopt;  // decided by the name alone, without a look at the file
    }
    struct statx info {};
    if (::statx(fd, entry.d_name, 0, STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_MTIME, &info) !=
        0) {
        return std::nullopt;
    }
    if (S_ISDIR(info.stx_mode)) {
        return CFolderEntry{std::string(name), true};
    }
    if (!S_ISREG(info.stx_mode) || !accepts(name, info.stx_size)) {
        return std::nullopt;
    }
    const time_t created =
        (info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec;
    return CFolderEntry{std::string(name), false, info.stx_size, created};
}

// The entries of a folder as the kernel hands them out, read straight into a buffer: no
// directory stream, so no descriptor-flag or type checks per folder.
class CFolderListing {
public:
    explicit CFolderListing(int fd) : m_fd(fd) {}

    // The next entry; nullptr at the end or when the folder cannot be read further.
    const dirent64 *next() {
        if (m_offset == m_filled) {
            const ssize_t read = ::getdents64(m_fd, m_buffer.data(), m_buffer.size());
            if (read <= 0) {
                return nullptr;
            }
            m_filled = size_t(read);
            m_offset = 0;
        }
        const auto *entry = reinterpret_cast<const dirent64 *>(m_buffer.data() + m_offset);
        m_offset += entry->d_reclen;
        return entry;
    }

private:
    int m_fd;
    alignas(dirent64) std::array<char, 32768> m_buffer;
    size_t m_filled = 0;
    size_t m_offset = 0;
};

// Reads a folder's sub-folders and media files in byte order of their names. Nothing when the
// folder cannot be read or was entered before.
std::optional<CFolderFrame> openFolder(std::string path, FolderIds &entered) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    const std::unique_ptr<const int, FdCloser> owner(&fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !entered.emplace(info.st_dev, info.st_ino).second) {
        return std::nullopt;
    }
    CFolderFrame frame{std::move(path), {}, 0};
    CFolderListing listing(fd);
    while (const dirent64 *entry = listing.next()) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (std::optional<CFolderEntry> found = lookUp(fd, *entry)) {
            frame.entries.push_back(std::move(*found));
        }
    }
    std::sort(frame.entries.begin(), frame.entries.end());
    return frame;
}

std::string dateText(time_t seconds) {
    struct tm local {};
    char text[32] = {};
    if (::localtime_r(&seconds, &local)) {
        std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    }
    return text;
}

}  // namespace

CMediaScan::CMediaScan(BatchSink sink, size_t batchSize, std::chrono::milliseconds batchInterval)
    : m_sink(std::move(sink)),
      m_batchSize(std::max<size_t>(batchSize, 1)),
      m_batchInterval(batchInterval) {}

CMediaScan::Outcome CMediaScan::run(const std::string &folder, std::stop_token stop) {
    m_batch.clear();
    m_lastFlush = std::chrono::steady_clock::now();
    FolderIds entered;
    std::vector<CFolderFrame> stack;
    if (folder.empty()) {
        return Outcome::Unreadable;  // not the root folder that "/" would make of it
    }
    if (std::optional<CFolderFrame> root =
            openFolder(folder.ends_with('/') ? folder : folder + '/', entered)) {
        stack.push_back(std::move(*root));
    } else {
        return Outcome::Unreadable;
    }
    while (!stack.empty()) {
        if (stop.stop_requested()) {
            flush();
            return Outcome::Stopped;
        }
        CFolderFrame &frame = stack.back();
        if (frame.next == frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        CFolderEntry &entry = frame.entries[frame.next++];
        std::string path = frame.path + entry.name;
        if (!entry.folder) {
            add({std::move(entry.name), dateText(entry.created), std::move(path), entry.length});
        } else if (std::optional<CFolderFrame> sub = openFolder(std::move(path) + '/', entered)) {
            stack.push_back(std::move(*sub));  // `frame` and `entry` are not used past here
        }
    }
    flush();
    return Outcome::Finished;
}

void CMediaScan::add(CFoundFile file) {
    m_batch.push_back(std::move(file));
    if (m_batch.size() >= m_batchSize ||
        std::chrono::steady_clock::now() - m_lastFlush >= m_batchInterval) {
        flush();
    }
}

void CMediaScan::flush() {
    m_lastFlush = std::chrono::steady_clock::now();
    if (m_batch.empty()) {
        return;
    }
    std::vector<CFoundFile> batch;
    batch.swap(m_batch);
    m_sink(std::move(batch));
}

}  // namespace kivo::lists
