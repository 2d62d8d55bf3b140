#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kivo {

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so a failed or interrupted save leaves the previous file whole. 1 on success, 0 on
// failure (the temporary file is removed).
int writeFileAtomically(const std::string &path, std::span<const uint8_t> bytes);

// The whole content of a regular file, or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string &path);

}  // namespace kivo
