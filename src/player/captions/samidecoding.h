#pragma once

#include <cstdint>
#include <span>
#include <string>

// The text of a SAMI document, whatever program wrote it, as UTF-8.
namespace kivo::captions {

// Bytes of a SAMI document -> UTF-8 text:
// - a byte-order mark selects UTF-16 LE (FF FE), UTF-16 BE (FE FF) or UTF-8 (EF BB BF), and is
//   dropped; a last odd byte of UTF-16 is dropped, unpaired surrogates become U+FFFD;
// - without a mark, bytes that are valid UTF-8 are taken as they are;
// - anything else is code page 949 (with the UHC extension), the program's own code page: bytes
//   that are not CP949 keep their values as the platform's raw-byte characters, so a Big5 or
//   Latin-1 file reads as text that encodes back to the same bytes.
std::string decodeSamiBytes(std::span<const uint8_t> bytes);

}  // namespace kivo::captions
