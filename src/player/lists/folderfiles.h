#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "player/lists/foundfiles.h"

// Reading the sizes and dates of the media finder's files off the thread that walks the folders.
// Listing a folder costs one call for thousands of names, but each file's size and date cost a
// call of their own, so those calls are shared out over a few threads while the walk goes on.
namespace kivo::lists {

class CLocalDates;

// One folder's media files whose records are still to be made. The folder stays open until
// then (the descriptor is owned here), so each file is looked up by its name in it rather than
// by its whole path.
class CFolderFiles {
public:
    // `folderPath` ends in '/'; the records' paths are made of it and the names. The counts
    // of files and of their names' bytes to come are for reserving room.
    CFolderFiles(int folderFd, std::string folderPath, size_t files = 0, size_t nameBytes = 0);
    ~CFolderFiles();
    CFolderFiles(const CFolderFiles &) = delete;
    CFolderFiles &operator=(const CFolderFiles &) = delete;

    // Before the folder is read: a file to look at, listed only when it is at least
    // `smallestLength` bytes long. Links are followed.
    void add(std::string_view name, uint64_t smallestLength);
    size_t size() const { return m_files.size(); }

    // Reads the files' sizes and dates and closes the folder. Ends early, leaving the rest
    // unread, when `stop` is asked; ready() is true either way.
    void read(const std::stop_token &stop);

    bool ready() const { return m_ready.load(std::memory_order_acquire); }
    void waitUntilReady() const { m_ready.wait(false, std::memory_order_acquire); }

    // After ready(): the record of the index'th file added; nothing when the file vanished, is
    // not a plain file, is too short or was not reached. Made on the thread that asks, which
    // is also the one to free it (the records' memory then stays with one thread).
    std::optional<CFoundFile> record(size_t index, CLocalDates &dates) const;

private:
    // A file's name is kept in m_names, ended by a zero byte for the system call; what was
    // read of it follows.
    struct CWanted {
        size_t offset = 0;
        uint32_t nameLength = 0;
        uint64_t smallestLength = 0;
        bool found = false;
        uint64_t length = 0;
        time_t created = 0;
    };

    void close();

    int m_fd;
    std::string m_folderPath;
    std::string m_names;
    std::vector<CWanted> m_files;
    std::atomic<bool> m_ready{false};
};

// Threads that read the folders handed to them, first come first read; the caller reads the
// ones still in line when it needs them (readNext), so the folders are all read with fewer
// threads than asked for, or none, when the system has no more to give. Stopping (the token
// given, or the end of this object) leaves the folders not yet read without records and ends
// the threads before the destructor returns.
class CFolderFileReaders {
public:
    CFolderFileReaders(unsigned threads, const std::stop_token &stop);
    ~CFolderFileReaders();
    CFolderFileReaders(const CFolderFileReaders &) = delete;
    CFolderFileReaders &operator=(const CFolderFileReaders &) = delete;

    // Queues a folder. A folder waits open, so when the threads fall behind the caller reads
    // the one first in line itself: a bound on the descriptors held (the process may have as
    // few as 1024) and a share of the work for the caller.
    void submit(std::shared_ptr<CFolderFiles> folder);

    // Reads the folder first in line on the calling thread, which has nothing better to do
    // than wait for it; false when none was waiting. For one thread only (the submitting one).
    bool readNext();

    // One thread less than the machine runs side by side (the walk takes one, and reads
    // folders itself when it is done), at least one, at most four: beyond that the walk
    // cannot keep them busy.
    static unsigned suitableThreads();

private:
    std::shared_ptr<CFolderFiles> takeNext();
    void work();

    std::stop_source m_stop;
    std::stop_callback<std::function<void()>> m_forwardStop;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<std::shared_ptr<CFolderFiles>> m_queue;
    std::vector<std::thread> m_threads;
};

}  // namespace kivo::lists
