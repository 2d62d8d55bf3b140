#include "player/lists/mediascan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <utility>

#include "player/lists/folderfiles.h"
#include "player/lists/mediakind.h"

namespace kivo::lists {
namespace {

// Shorter .dat files are the data files of other programs rather than video CD tracks.
constexpr uint64_t kSmallestDatVideo = 31457280;

struct FdCloser {
    void operator()(const int *fd) const { ::close(*fd); }
};

// A name of a folder that the scan follows up: a sub-folder to enter or a media file.
struct CFolderEntry {
    std::string name;
    bool folder = false;
    uint64_t smallestLength = 0;  // a file's; shorter ones are not listed

    bool operator<(const CFolderEntry &other) const { return name < other.name; }
};

// A folder being searched: its path (ending in '/'), its entries in order and the next one,
// and its media files (the file entries, in the same order) with the next of those.
struct CFolderFrame {
    std::string path;
    std::vector<CFolderEntry> entries;
    size_t next = 0;
    std::shared_ptr<CFolderFiles> files;
    size_t nextFile = 0;
};

// The folders entered so far, by device and inode, so that none is entered twice.
using FolderIds = std::set<std::pair<dev_t, ino_t>>;

// What a name in the folder `fd` is to the scan: the listing's type and the name decide, but
// links and entries of unknown type are looked at (relative to the folder, no path walk) for
// what they lead to. Nothing for other files, names that are gone since the listing, and
// dangling links.
std::optional<CFolderEntry> classify(int fd, const dirent64 &entry) {
    const std::string_view name = entry.d_name;
    unsigned char type = entry.d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct statx info {};
        if (::statx(fd, entry.d_name, 0, STATX_TYPE, &info) != 0) {
            return std::nullopt;
        }
        type = S_ISDIR(info.stx_mode) ? DT_DIR : S_ISREG(info.stx_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR) {
        return CFolderEntry{std::string(name), true};
    }
    const CNameKind kind = kindOfFileName(name);
    if (type != DT_REG || kind.kind == kUnsupported) {
        return std::nullopt;
    }
    return CFolderEntry{std::string(name), false, kind.dat ? kSmallestDatVideo : 0};
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

// Reads a folder's sub-folders and media files in byte order of their names, and hands its
// media files to the readers. Nothing when the folder cannot be read or was entered before.
std::optional<CFolderFrame> openFolder(std::string path, FolderIds &entered,
                                       CFolderFileReaders &readers) {
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::unique_ptr<const int, FdCloser> owner(&fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !entered.emplace(info.st_dev, info.st_ino).second) {
        return std::nullopt;
    }
    CFolderFrame frame{std::move(path), {}, 0, nullptr, 0};
    CFolderListing listing(fd);
    while (const dirent64 *entry = listing.next()) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (std::optional<CFolderEntry> found = classify(fd, *entry)) {
            frame.entries.push_back(std::move(*found));
        }
    }
    std::sort(frame.entries.begin(), frame.entries.end());
    auto files = std::make_shared<CFolderFiles>(fd, frame.path);
    owner.release();  // the folder is the files' now, open until they are read
    for (CFolderEntry &entry : frame.entries) {
        if (!entry.folder) {
            files->add(std::move(entry.name), entry.smallestLength);
        }
    }
    if (files->size() > 0) {
        frame.files = files;
        readers.submit(std::move(files));
    }
    return frame;
}

}  // namespace

CMediaScan::CMediaScan(BatchSink sink, size_t batchSize, std::chrono::milliseconds batchInterval)
    : m_sink(std::move(sink)),
      m_batchSize(std::max<size_t>(batchSize, 1)),
      m_batchInterval(batchInterval) {}

CMediaScan::Outcome CMediaScan::run(const std::string &folder, std::stop_token stop) {
    m_batch.clear();
    m_batch.reserve(std::min<size_t>(m_batchSize, 4096));
    m_pending.clear();
    m_lastFlush = std::chrono::steady_clock::now();
    if (folder.empty()) {
        return Outcome::Unreadable;  // not the root folder that "/" would make of it
    }
    CFolderFileReaders readers(CFolderFileReaders::suitableThreads(), stop);
    FolderIds entered;
    std::vector<CFolderFrame> stack;
    if (std::optional<CFolderFrame> root =
            openFolder(folder.ends_with('/') ? folder : folder + '/', entered, readers)) {
        stack.push_back(std::move(*root));
    } else {
        return Outcome::Unreadable;
    }
    Outcome outcome = Outcome::Finished;
    while (!stack.empty() && outcome == Outcome::Finished) {
        CFolderFrame &frame = stack.back();
        if (frame.next == frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const CFolderEntry &entry = frame.entries[frame.next++];
        if (!entry.folder) {
            expect(frame.files, frame.nextFile++);
            continue;
        }
        if (std::optional<CFolderFrame> sub =
                openFolder(frame.path + entry.name + '/', entered, readers)) {
            stack.push_back(std::move(*sub));  // `frame` and `entry` are not used past here
        }
        if (!handOverMade(stop, nullptr)) {
            outcome = Outcome::Stopped;
        }
    }
    if (outcome == Outcome::Finished && !handOverMade(stop, &readers)) {
        outcome = Outcome::Stopped;
    }
    flush();
    m_pending.clear();
    return outcome;
}

void CMediaScan::expect(const std::shared_ptr<CFolderFiles> &folder, size_t index) {
    if (!m_pending.empty() && m_pending.back().folder == folder &&
        m_pending.back().first + m_pending.back().count == index) {
        ++m_pending.back().count;
    } else {
        m_pending.push_back({folder, index, 1});
    }
}

// Hands over the records made so far in the order of the walk, stopping at the first file whose
// folder is still being read; or, `helping` the readers, reading folders in line until that one
// is read. False when asked to stop.
bool CMediaScan::handOverMade(const std::stop_token &stop, CFolderFileReaders *helping) {
    while (!m_pending.empty()) {
        CPendingFiles &files = m_pending.front();
        if (!files.folder->ready()) {
            if (!helping) {
                return !stop.stop_requested();
            }
            while (!files.folder->ready() && helping->readNext()) {
            }
            files.folder->waitUntilReady();
        }
        for (; files.count > 0; ++files.first, --files.count) {
            if (stop.stop_requested()) {
                return false;
            }
            if (std::optional<CFoundFile> file = files.folder->take(files.first)) {
                add(std::move(*file));
            }
        }
        m_pending.pop_front();
    }
    return !stop.stop_requested();
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
    m_batch.reserve(std::min<size_t>(m_batchSize, 4096));  // rather than growing it step by step
    m_sink(std::move(batch));
}

}  // namespace kivo::lists
