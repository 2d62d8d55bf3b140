#include "platform/productversion.h"

namespace kivo {

const char *productVersion() {
    return KIVO_PRODUCT_VERSION;
}

}  // namespace kivo
