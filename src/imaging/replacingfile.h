#pragma once

#include <cstdio>
#include <memory>
#include <string>

// Writes a file through a temporary file beside it and renames it over the target only when
// everything was written, so a failed save never leaves a truncated picture under the target's
// name and never destroys the file that was there before.
class CReplacingFile {
public:
    explicit CReplacingFile(std::string target);
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile &) = delete;
    CReplacingFile &operator=(const CReplacingFile &) = delete;

    // Creates the temporary file for binary writing; null when it cannot be created.
    FILE *open();
    // Flushes and closes the temporary file and moves it over the target. 1 when the target now
    // holds everything written; 0 after any write, close or rename error (the target is then
    // untouched and the temporary file removed).
    int commit();

private:
    struct FileCloser {
        void operator()(FILE *file) const { std::fclose(file); }
    };

    void discard();

    std::string m_target;
    std::string m_temporary;
    std::unique_ptr<FILE, FileCloser> m_file;
};
