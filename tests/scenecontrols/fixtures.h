#pragma once

#include <cstdlib>
#include <string>

// The fixture videos made by tools/make-fixtures.sh, found through KIVO_FIXTURES.
inline std::string fixturePath(const std::string &name) {
    const char *folder = std::getenv("KIVO_FIXTURES");
    return std::string(folder != nullptr ? folder : ".") + "/" + name;
}
