#include "player/lists/folderfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "player/lists/localdate.h"

namespace kivo::lists {
namespace {

// Folders in line for the threads, each open until read.
constexpr size_t kMostWaiting = 64;

}  // namespace

CFolderFiles::CFolderFiles(int folderFd, std::string folderPath, size_t files, size_t nameBytes)
    : m_fd(folderFd), m_folderPath(std::move(folderPath)) {
    m_names.reserve(nameBytes);
    m_files.reserve(files);
}

CFolderFiles::~CFolderFiles() {
    close();
}

void CFolderFiles::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void CFolderFiles::add(std::string_view name, uint64_t smallestLength) {
    m_files.push_back({m_names.size(), uint32_t(name.size()), smallestLength});
    m_names.append(name).push_back('\0');
}

void CFolderFiles::read(const std::stop_token &stop) {
    for (CWanted &file : m_files) {
        if (stop.stop_requested()) {
            break;
        }
        struct statx info {};
        if (::statx(m_fd, m_names.data() + file.offset, 0,
                    STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_MTIME, &info) != 0 ||
            !S_ISREG(info.stx_mode) || info.stx_size < file.smallestLength) {
            continue;
        }
        file.found = true;
        file.length = info.stx_size;
        file.created =
            (info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec;
    }
    close();
    m_ready.store(true, std::memory_order_release);
    m_ready.notify_all();
}

std::optional<CFoundFile> CFolderFiles::record(size_t index, CLocalDates &dates) const {
    if (index >= m_files.size() || !m_files[index].found) {
        return std::nullopt;
    }
    const CWanted &file = m_files[index];
    const std::string_view name(m_names.data() + file.offset, file.nameLength);
    std::string path;  // sized once: `folder + name` would grow it from the folder's size
    path.reserve(m_folderPath.size() + name.size());
    path.append(m_folderPath).append(name);
    return CFoundFile{std::string(name), dates.textOf(file.created), std::move(path), file.length};
}

CFolderFileReaders::CFolderFileReaders(unsigned threads, const std::stop_token &stop)
    : m_forwardStop(stop, [this] { m_stop.request_stop(); }) {
    try {
        for (unsigned i = 0; i < threads; ++i) {
            m_threads.emplace_back([this] { work(); });
        }
    } catch (const std::system_error &) {
        // No more threads to be had: the caller reads what the others leave.
    }
}

CFolderFileReaders::~CFolderFileReaders() {
    m_stop.request_stop();
    for (std::thread &thread : m_threads) {
        thread.join();
    }
}

void CFolderFileReaders::submit(std::shared_ptr<CFolderFiles> folder) {
    size_t waiting = 0;
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(folder));
        waiting = m_queue.size();
    }
    m_wake.notify_one();
    if (waiting > kMostWaiting) {
        readNext();
    }
}

bool CFolderFileReaders::readNext() {
    const std::shared_ptr<CFolderFiles> folder = takeNext();
    if (!folder) {
        return false;
    }
    folder->read(m_stop.get_token());
    return true;
}

unsigned CFolderFileReaders::suitableThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 2u, 5u) - 1;
}

std::shared_ptr<CFolderFiles> CFolderFileReaders::takeNext() {
    const std::lock_guard lock(m_mutex);
    if (m_queue.empty()) {
        return nullptr;
    }
    std::shared_ptr<CFolderFiles> folder = std::move(m_queue.front());
    m_queue.pop_front();
    return folder;
}

void CFolderFileReaders::work() {
    const std::stop_token stop = m_stop.get_token();
    for (;;) {
        std::shared_ptr<CFolderFiles> folder;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, stop, [this] { return !m_queue.empty(); })) {
                return;
            }
            folder = std::move(m_queue.front());
            m_queue.pop_front();
        }
        folder->read(stop);
    }
}

}  // namespace kivo::lists
