// Any byte string read as a found-file list keeps the whole records before any damage, and
// those records, written out, read back whole and equal and write out the same bytes again.

#include <cstdlib>

#include "player/lists/foundfiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<kivo::lists::CFoundFile> files;
    kivo::lists::readFoundFiles({data, size}, files);
    const std::vector<uint8_t> written = kivo::lists::foundFilesBytes(files);
    std::vector<kivo::lists::CFoundFile> reread;
    if (!kivo::lists::readFoundFiles(written, reread) || reread != files ||
        kivo::lists::foundFilesBytes(reread) != written) {
        std::abort();
    }
    return 0;
}
