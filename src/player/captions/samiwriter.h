#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/videodescription.h"

// SAMI export of a caption list: a fixed header (Korean closed captions, class KRCC), one SYNC
// block per caption in list order with its start in whole milliseconds (truncated), and the
// closing tags; every line ends with CR LF and no character of a text is escaped.
//
// Encoding: code page 949 without a byte-order mark, as SAMI players expect of Korean files.
// When a caption holds a character that CP949 cannot represent, the whole file is written in
// UTF-8 behind the UTF-8 byte-order mark instead (the mark is its declaration), so that no
// caption loses a character; decodeSamiBytes reads both forms.
namespace kivo::captions {

// The whole document.
std::vector<uint8_t> samiBytes(std::span<const CCaptionEntry> captions);

enum class SamiWriteStatus {
    Saved,
    CannotCreate,   // the file could not be created
    HeaderFailed,   // writing the header failed
    CaptionFailed,  // writing a caption block failed
    TrailerFailed,  // writing the closing tags, or putting the file in place, failed
};

struct CSamiWriteResult {
    SamiWriteStatus status = SamiWriteStatus::Saved;
    int error = 0;  // errno of the failure
};

// Writes the document through a temporary file that replaces `path` only when complete: a
// failure never leaves a partial file, and the file that was there stays as it was.
CSamiWriteResult saveSamiFile(const std::string &path, std::span<const CCaptionEntry> captions);

// The text the user sees for a result ("정상적으로 저장되었습니다." when saved).
std::string samiWriteMessage(const CSamiWriteResult &result);

}  // namespace kivo::captions
