#pragma once

#include <string>

#include "platform/binarystream.h"

// The paths of the list files. In memory a path is what the file system gives: UTF-8, or any
// bytes for a name that is not valid UTF-8. On disk it is a counted text; the bytes of a name
// that is not UTF-8 travel as the private-use characters U+F780..U+F7FF (the code page layer's
// form of raw bytes), in the 16-bit form whenever the narrow form would read back as other
// bytes. So every name a scan finds is found again under the same bytes after a save and load.
namespace kivo::lists {

void writePathText(CBinaryWriter &writer, const std::string &path);

// False (and the reader failed) on a truncated or absurd text.
bool readPathText(CBinaryReader &reader, std::string &path);

}  // namespace kivo::lists
