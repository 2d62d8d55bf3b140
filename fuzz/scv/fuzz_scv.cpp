// Any byte string must either be refused or read into a document whose written form reads
// back to the same written form.

#include "scene/scvfile.h"
#include "scene/videodescription.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    CVideoDescription document;
    if (readScv({data, size}, document) != ScvReadResult::Ok) {
        return 0;
    }
    const std::vector<uint8_t> written = writeScv(document);
    CVideoDescription reread;
    if (readScv(written, reread) != ScvReadResult::Ok || writeScv(reread) != written) {
        std::abort();
    }
    return 0;
}
