#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "player/lists/foundfiles.h"
#include "player/lists/localdate.h"

// The media finder's search: every media file below a folder, sub-folders first where they
// come (the entries of a folder in byte order of their names). A file counts by the text after
// the last '.' of its name: a video extension ("dat" only for files longer than 31457279 bytes,
// which leaves out the small .dat files of other programs) or an audio extension.
//
// The scan runs on whatever thread calls run() (the finder's window runs it on a worker) and
// hands the files over in batches, on that thread; the files' sizes and dates are read by a few
// threads of the scan's own meanwhile, which end before run() returns. Symbolic links are followed,
// but no folder is entered twice, so links that lead back up end; folders that cannot be read and
// files that vanish during the scan are passed over. Names keep the file system's bytes, UTF-8 or
// not. A file's date is the local date of its birth where the file system records one, else of its
// last modification.
namespace kivo::lists {

class CFolderFiles;
class CFolderFileReaders;

class CMediaScan {
public:
    // Receives each batch on the scanning thread, in the order the files were found.
    using BatchSink = std::function<void(std::vector<CFoundFile> batch)>;

    enum class Outcome {
        Finished,    // the whole tree was searched
        Stopped,     // the stop token asked for the end; the files found so far were handed over
        Unreadable,  // the folder itself could not be read, or none was given
    };

    // A batch goes out when it holds `batchSize` files or, between one folder's files and the
    // next's, when `batchInterval` has passed since the last one, so a slow disk still shows
    // its files soon; the last files go out before run() returns.
    explicit CMediaScan(BatchSink sink, size_t batchSize = 256,
                        std::chrono::milliseconds batchInterval = std::chrono::milliseconds(100));

    Outcome run(const std::string &folder, std::stop_token stop = {});

private:
    // Files met in the walk whose records are being made elsewhere: a run of one folder's files.
    struct CPendingFiles {
        std::shared_ptr<CFolderFiles> folder;
        size_t first = 0;
        size_t count = 0;
    };

    void expect(const std::shared_ptr<CFolderFiles> &folder, size_t first, size_t end);
    bool handOverMade(const std::stop_token &stop, CFolderFileReaders *helping);
    void add(CFoundFile file);
    void flushWhenDue();
    void flush();

    BatchSink m_sink;
    size_t m_batchSize;
    std::chrono::milliseconds m_batchInterval;
    std::vector<CFoundFile> m_batch;
    std::chrono::steady_clock::time_point m_lastFlush;
    std::deque<CPendingFiles> m_pending;
    CLocalDates m_dates;
};

}  // namespace kivo::lists
