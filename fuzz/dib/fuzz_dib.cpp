// Packed bitmaps arrive from decoders and other programs' memory; whatever the header claims,
// accepting or refusing one must never read outside the given bytes.
#include <cstddef>
#include <cstdint>

#include "imaging/dib.h"

namespace {
// Keeps the results observable so the work is not optimised away.
volatile uint32_t g_sink;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    CDib dib;
    if (!dib.createFromPackedDib(data, size)) {
        return 0;
    }
    uint32_t sum = 0;
    for (int y = 0; y < dib.height(); ++y) {
        for (int x = 0; x < dib.width(); ++x) {
            sum += dib.colorAt(x, y) + static_cast<uint32_t>(dib.luminanceAt(x, y));
        }
    }
    for (const auto &derived : {dib.greyCopy(), dib.resized(17, 0), dib.resized(5, 5)}) {
        sum += derived ? derived->colorAt(0, 0) : 1;
    }
    sum += static_cast<uint32_t>(dib.palette().size() + dib.bmpFileImage().size());
    g_sink = sum;
    return 0;
}
