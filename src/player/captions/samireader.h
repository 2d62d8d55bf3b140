#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reading a SAMI caption document (.smi) into its SYNC elements, over the document's bytes (a
// local file or a download, decoded by decodeSamiBytes).
//
// The reading keeps only the tags that contain "SYNC" (any case): every other tag becomes one
// space, each carriage return + line feed two spaces. Each remaining SYNC element then gives one
// entry: the number after "Start=" (spaces and case do not matter; one opening quote is
// skipped; a SYNC without it starts at 0; values beyond 32 bits are clamped), and the text up
// to the next SYNC with the first non-breaking-space entity removed, line breaks and tabs
// deleted and spaces trimmed; a body that is empty or only "&nbsp;" gives an empty text.
//
// Languages: a document with captions in several languages names each one's class in the P tag
// that follows the SYNC tag (<P Class=KRCC>, <P Class=ENCC>). When the SYNC elements name more
// than one class, the reading keeps the first class, in the order the classes first appear,
// that has a caption with text (the first class when none has), together with the SYNC
// elements that name no class; so the result is one language, never a mix.
//
// The reading fails only when the document holds no SYNC element at all (no "<", an HTML or SMIL
// file, binary data). Any input ends in time linear in its size.
namespace kivo::captions {

struct CSamiEntry {
    int32_t start = 0;  // milliseconds
    std::string text;   // UTF-8

    bool operator==(const CSamiEntry &) const = default;
};

// Shown by the window whose reading failed.
inline constexpr const char *kSamiReadFailedMessage = "SMI 파일 분석에 실패했습니다.";

// The entries in document order, or nothing when the document has no SYNC element.
std::optional<std::vector<CSamiEntry>> readSami(std::span<const uint8_t> bytes);

// The same for a local file; nothing also when it cannot be read.
std::optional<std::vector<CSamiEntry>> loadSamiFile(const std::string &path);

}  // namespace kivo::captions
