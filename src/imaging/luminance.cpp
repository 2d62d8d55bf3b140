#include "imaging/luminance.h"

namespace kivo::luminance {

int reference(unsigned red, unsigned green, unsigned blue) {
    return static_cast<int>(0.299 * red + 0.587 * green + 0.114 * blue + 0.5);
}

}  // namespace kivo::luminance
