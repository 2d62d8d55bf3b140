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

// A name of a folder listing that the scan follows up, a sub-folder to enter or a media file,
// its bytes kept in the listing's store of names (no allocation per name, cheap to sort).
struct CListed {
    size_t offset = 0;
    uint32_t length = 0;
    bool folder = false;
    uint64_t smallestLength = 0;  // a file's; shorter ones are not listed
};

// One folder's listing at a time; the storage keeps its capacity from folder to folder.
struct CListingScratch {
    std::string names;
    std::vector<CListed> entries;

    std::string_view nameOf(const CListed &entry) const {
        return std::string_view(names).substr(entry.offset, entry.length);
    }
};

// A sub-folder in its place among its folder's media files.
struct CSubFolder {
    std::string name;
    size_t filesBefore = 0;
};

// A folder being searched: its path (ending in '/'), its sub-folders in order and the next
// one, and its media files with how many of them are handed on to be expected.
struct CFolderFrame {
    std::string path;
    std::vector<CSubFolder> folders;
    size_t nextFolder = 0;
    std::shared_ptr<CFolderFiles> files;
    size_t filesExpected = 0;

    size_t fileCount() const { return files ? files->size() : 0; }
};

// The folders entered so far, by device and inode, so that none is entered twice.
using FolderIds = std::set<std::pair<dev_t, ino_t>>;

// What a name in the folder `fd` is to the scan: the listing's type and the name decide, but
// links and entries of unknown type are looked at (relative to the folder, no path walk) for
// what they lead to. Nothing for other files, names that are gone since the listing, and
// dangling links.
std::optional<CListed> classify(int fd, const dirent64 &entry, std::string_view name) {
    unsigned char type = entry.d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct statx info {};
        if (::statx(fd, entry.d_name, 0, STATX_TYPE, &info) != 0) {
            return std::nullopt;
        }
        type = S_ISDIR(info.stx_mode) ? DT_DIR : S_ISREG(info.stx_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR) {
        return CListed{0, 0, true, 0};
    }
    const CNameKind kind = kindOfFileName(name);
    if (type != DT_REG || kind.kind == kUnsupported) {
        return std::nullopt;
    }
    return CListed{0, 0, false, kind.dat ? kSmallestDatVideo : 0};
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
                                       CFolderFileReaders &readers, CListingScratch &listed) {
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::unique_ptr<const int, FdCloser> owner(&fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !entered.emplace(info.st_dev, info.st_ino).second) {
        return std::nullopt;
    }
    listed.names.clear();
    listed.entries.clear();
    size_t fileCount = 0;
    CFolderListing listing(fd);
    while (const dirent64 *entry = listing.next()) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (std::optional<CListed> found = classify(fd, *entry, name)) {
            found->offset = listed.names.size();
            found->length = uint32_t(name.size());
            listed.names.append(name);
            listed.entries.push_back(*found);
            fileCount += found->folder ? 0 : 1;
        }
    }
    std::sort(listed.entries.begin(), listed.entries.end(),
              [&listed](const CListed &a, const CListed &b) {
                  return listed.nameOf(a) < listed.nameOf(b);
              });
    CFolderFrame frame{std::move(path), {}, 0, nullptr, 0};
    if (fileCount > 0) {
        frame.files = std::make_shared<CFolderFiles>(fd, frame.path, fileCount,
                                                     listed.names.size() + fileCount);
        owner.release();  // the folder is the files' now, open until they are read
    }
    for (const CListed &entry : listed.entries) {
        if (entry.folder) {
            frame.folders.push_back({std::string(listed.nameOf(entry)), frame.fileCount()});
        } else {
            frame.files->add(listed.nameOf(entry), entry.smallestLength);
        }
    }
    if (frame.files) {
        readers.submit(frame.files);
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
    CListingScratch listed;
    FolderIds entered;
    std::vector<CFolderFrame> stack;
    if (std::optional<CFolderFrame> root =
            openFolder(folder.ends_with('/') ? folder : folder + '/', entered, readers, listed)) {
        stack.push_back(std::move(*root));
    } else {
        return Outcome::Unreadable;
    }
    Outcome outcome = Outcome::Finished;
    while (!stack.empty() && outcome == Outcome::Finished) {
        CFolderFrame &frame = stack.back();
        if (frame.nextFolder == frame.folders.size()) {
            expect(frame.files, frame.filesExpected, frame.fileCount());
            stack.pop_back();
            continue;
        }
        const CSubFolder &sub = frame.folders[frame.nextFolder++];
        expect(frame.files, frame.filesExpected, sub.filesBefore);
        frame.filesExpected = sub.filesBefore;
        if (std::optional<CFolderFrame> opened =
                openFolder(frame.path + sub.name + '/', entered, readers, listed)) {
            stack.push_back(std::move(*opened));  // `frame` and `sub` are not used past here
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

// The files [first, end) of a folder come next in the walk's order.
void CMediaScan::expect(const std::shared_ptr<CFolderFiles> &folder, size_t first, size_t end) {
    if (end > first) {
        m_pending.push_back({folder, first, end - first});
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
                flushWhenDue();
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
            if (std::optional<CFoundFile> file = files.folder->record(files.first, m_dates)) {
                add(std::move(*file));
            }
        }
        m_pending.pop_front();
        flushWhenDue();
    }
    return !stop.stop_requested();
}

void CMediaScan::add(CFoundFile file) {
    m_batch.push_back(std::move(file));
    if (m_batch.size() >= m_batchSize) {
        flush();
    }
}

// Asked between folders rather than for each file: reading the clock costs more than adding a
// file to the batch.
void CMediaScan::flushWhenDue() {
    if (!m_batch.empty() && std::chrono::steady_clock::now() - m_lastFlush >= m_batchInterval) {
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
