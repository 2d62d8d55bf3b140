#pragma once

#include <string>

#include "platform/binarystream.h"

// The length-prefixed text of every file of the system (.scv, .mpl, .mfl).
//
// A text is stored in code page 949 behind a length prefix: one byte below 255; 0xFF and a
// 16-bit length up to 65533; 0xFF, 0xFFFF and a 32-bit length beyond. A prefix 0xFF 0xFFFE
// marks a text of 16-bit characters whose own prefix (same scheme, counting characters)
// follows; such texts are written when CP949 cannot hold every character.
namespace kivo {

void writeCountedText(CBinaryWriter &writer, const std::string &utf8);

// Writes the text in the 16-bit form even when CP949 could hold it: for texts whose narrow
// bytes would not read back as the same text.
void writeWideCountedText(CBinaryWriter &writer, const std::string &utf8);

// Reads one text into `utf8`; false (and the reader failed) on a truncated or absurd text.
bool readCountedText(CBinaryReader &reader, std::string &utf8);

}  // namespace kivo
