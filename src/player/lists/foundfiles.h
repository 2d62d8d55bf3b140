#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The media finder's found files and their file (.mfl): a little-endian 32-bit count, then per
// file its name, creation date and path as counted texts and its length as a 32-bit number.
namespace kivo::lists {

struct CFoundFile {
    std::string name;          // file name with extension, as found
    std::string creationDate;  // "%Y-%m-%d"
    std::string path;          // full path
    // The real size. The file stores 32 bits: larger sizes are written as 0xFFFFFFFF, so a
    // loaded list knows such a file only as "4 GiB or more".
    uint64_t length = 0;

    bool operator==(const CFoundFile &) const = default;
};

// Appends the files of an .mfl image to `files`; a truncated or damaged image stops the
// reading and keeps the files read so far. True when every file was read.
bool readFoundFiles(std::span<const uint8_t> bytes, std::vector<CFoundFile> &files);
std::vector<uint8_t> foundFilesBytes(const std::vector<CFoundFile> &files);

// The same over files: loading appends (1 when the whole file was read, 0 otherwise, keeping
// what was read); saving replaces the file atomically (1 on success, 0 on failure).
int loadFoundFilesFile(const std::string &path, std::vector<CFoundFile> &files);
int saveFoundFilesFile(const std::string &path, const std::vector<CFoundFile> &files);

}  // namespace kivo::lists
