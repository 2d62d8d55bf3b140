#include "player/lists/mediascan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

struct DirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

// One name of a folder, with what the folder listing already says of its type.
struct CFolderEntry {
    std::string name;
    unsigned char type = DT_UNKNOWN;

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

// Reads a folder's entries, keeping only those that may matter: folders, links and entries of
// unknown type (decided later by their target), and regular files with a media extension.
// Nothing when the folder cannot be read or was entered before.
std::optional<CFolderFrame> openFolder(std::string path, FolderIds &entered) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !entered.emplace(info.st_dev, info.st_ino).second) {
        return std::nullopt;
    }
    CFolderFrame frame{std::move(path), {}, 0};
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const bool keep = entry->d_type == DT_DIR || entry->d_type == DT_LNK ||
                          entry->d_type == DT_UNKNOWN ||
                          (entry->d_type == DT_REG && kindOfPath(name) != kUnsupported);
        if (keep) {
            frame.entries.push_back({std::string(name), entry->d_type});
        }
    }
    std::sort(frame.entries.begin(), frame.entries.end());
    return frame;
}

// Whether a file of this name and size is a media file the finder lists.
bool accepts(const std::string &name, unsigned long long length) {
    const std::string ext = lowerExtension(name);
    if (ext == "dat") {
        return length >= kSmallestDatVideo;
    }
    return kindOfExtension(ext) != kUnsupported;
}

std::string creationDate(const struct statx &info) {
    const time_t seconds =
        (info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec;
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
        const CFolderEntry &entry = frame.entries[frame.next++];
        std::string path = frame.path + entry.name;
        if (entry.type == DT_DIR) {
            if (std::optional<CFolderFrame> sub = openFolder(std::move(path) + '/', entered)) {
                stack.push_back(std::move(*sub));
            }
            continue;
        }
        // Regular files, links and entries of unknown type: what the path leads to now decides.
        struct statx info {};
        if (::statx(AT_FDCWD, path.c_str(), 0, STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_MTIME,
                    &info) != 0) {
            continue;  // gone since the folder was listed, or a dangling link
        }
        if (S_ISDIR(info.stx_mode)) {
            if (std::optional<CFolderFrame> sub = openFolder(std::move(path) + '/', entered)) {
                stack.push_back(std::move(*sub));
            }
        } else if (S_ISREG(info.stx_mode) && accepts(entry.name, info.stx_size)) {
            add({entry.name, creationDate(info), std::move(path), info.stx_size});
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
