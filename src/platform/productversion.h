#pragma once

// The product version of this build ("2.1"), the one the about box shows and `KIVOP --version`
// prints.
namespace kivo {

const char *productVersion();

}  // namespace kivo
