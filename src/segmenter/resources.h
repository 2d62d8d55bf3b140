#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Data compiled into the segmentation program, addressed by number and type name as the
// program's resources always were.
namespace kivo {

inline constexpr int kWeightResourceId = 361;
inline constexpr const char *kWeightResourceType = "WEI_DATA";

// The bytes of the resource, or an empty span when the program has no such resource.
std::span<const uint8_t> findResource(int id, std::string_view type);

}  // namespace kivo
