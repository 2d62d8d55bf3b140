#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversion between the files' code page 949 and UTF-8 in memory.
//
// Bytes that are not valid CP949 decode to private-use code points U+F780..U+F7FF (U+F700 plus
// the byte), which encode back to the same single byte, so loading and saving any file is
// byte-exact.
namespace kivo {

// Raw byte b travels as the code point kRawBytePlane + b (b from 0x80 to 0xFF).
inline constexpr char32_t kRawBytePlane = 0xF700;

// One well-formed UTF-8 sequence at text[pos] (no overlong form, no surrogate, at most
// U+10FFFF): its code point, with pos moved past it; nothing, with pos unchanged, otherwise.
std::optional<char32_t> decodeUtf8At(std::string_view text, size_t &pos);
void appendUtf8(std::string &out, char32_t cp);

std::string cp949ToUtf8(std::string_view bytes);

// Empty optional when the text holds a character that CP949 cannot represent (the caller then
// writes the text in the 16-bit form).
std::optional<std::string> utf8ToCp949(std::string_view text);

// UTF-8 <-> UTF-16 (code units in native order). Malformed input becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace kivo
