#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kivo {

// Writes a file through a temporary file beside it, and moves that over the target only when
// everything was written and flushed to disk: a failed or interrupted save never leaves a
// truncated file under the target's name and never destroys the file that was there before.
// The new file keeps the permissions of the one it replaces.
//
// The temporary file is locked while it is written, so that a later save of the same target
// can tell the temporaries of processes killed mid-write (nothing holds their lock) from those
// being written right now: open() removes the stale ones.
class CReplacingFile {
public:
    explicit CReplacingFile(std::string target);
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile &) = delete;
    CReplacingFile &operator=(const CReplacingFile &) = delete;

    // Creates the temporary file for binary writing, and removes the temporaries of earlier
    // saves of the target that were left behind by killed processes; null when it cannot be
    // created.
    FILE *open();
    // Flushes, syncs and closes the temporary file and moves it over the target. 1 when the
    // target now holds everything written; 0 after any error (the target is then untouched and
    // the temporary file removed).
    int commit();

private:
    struct FileCloser {
        void operator()(FILE *file) const { std::fclose(file); }
    };

    void discard();
    void unlock();

    std::string m_target;
    std::string m_temporary;
    std::unique_ptr<FILE, FileCloser> m_file;
    // A second descriptor of the temporary that holds its lock from creation until it was
    // moved over the target or removed, also after m_file is closed.
    int m_lock = -1;
};

// Writes `bytes` through a CReplacingFile. 1 on success, 0 on failure.
int writeFileAtomically(const std::string &path, std::span<const uint8_t> bytes);

// The whole content of a regular file, or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string &path);

}  // namespace kivo
