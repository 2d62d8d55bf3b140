// Any byte string read as a SAMI document either fails or gives captions; those captions,
// converted into a scene description and exported, read back as the same number of captions at
// the same times.

#include <cstdlib>

#include "player/captions/samiconversion.h"
#include "player/captions/samireader.h"
#include "player/captions/samiwriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto entries = kivo::captions::readSami({data, size});
    if (!entries) {
        return 0;
    }
    const auto description = kivo::captions::descriptionFromSami(*entries, "video.mp4");
    const auto reread =
        kivo::captions::readSami(kivo::captions::samiBytes(description->captions()));
    if (!reread || reread->size() != entries->size()) {
        std::abort();
    }
    for (size_t i = 0; i < entries->size(); ++i) {
        if ((*reread)[i].start != (*entries)[i].start) {
            std::abort();
        }
    }
    return 0;
}
