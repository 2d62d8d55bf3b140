#pragma once

#include <memory>
#include <span>
#include <string>

#include "player/captions/samireader.h"
#include "scene/videodescription.h"

// SMI -> SCV: a SAMI document's captions become a new scene description of their own.
namespace kivo::captions {

// A new, empty description naming `mediaPath`, whose caption list holds one caption per entry in
// document order (empty texts included), at start x 10,000 (100-ns units). The order is kept as
// the document has it; sortCaptions puts it in time order.
std::unique_ptr<CVideoDescription> descriptionFromSami(std::span<const CSamiEntry> entries,
                                                       const std::string &mediaPath);

// Shown when the converted description could not be saved.
inline constexpr const char *kConversionSaveFailedMessage = "저장중에 오류가 발생했습니다.";

}  // namespace kivo::captions
