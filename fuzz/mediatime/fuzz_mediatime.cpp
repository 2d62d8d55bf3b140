// Typed and imported time texts: a text either gives no time, or a time in range whose own text
// reads back as the same time.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scene/mediatime.h"

namespace {

template <typename Parse, typename Format>
void checkRoundTrip(std::string_view text, Parse parse, Format format) {
    const std::optional<double> time = parse(text);
    if (!time) {
        return;
    }
    if (!std::isfinite(*time) || *time < 0 || *time >= 9.3e18) {
        std::abort();
    }
    const std::optional<double> again = parse(format(*time));
    if (!again || *again != *time) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkRoundTrip(text, kivo::scene::parseCaptionTime, kivo::scene::formatCaptionTime);
    checkRoundTrip(text, kivo::scene::parseRepeatSectionTime, kivo::scene::formatRepeatSectionTime);
    return 0;
}
