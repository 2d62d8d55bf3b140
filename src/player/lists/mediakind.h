#pragma once

#include <string>
#include <string_view>

// What the player makes of a file by its extension: the playlist shows kind 1 with the video icon
// and kind 2 with the audio icon, the media finder files them under "Video" and "Audio". Kind 0
// is a file the player does not support.
namespace kivo::lists {

enum MediaKind : int { kUnsupported = 0, kVideo = 1, kAudio = 2 };

// The text after the last '.' of the path's file name, lower-cased (ASCII only, so the bytes of
// other characters stay as they are); empty when the name has no dot.
std::string lowerExtension(std::string_view path);

// The kind of an extension as lowerExtension gives it: the video table is searched first.
MediaKind kindOfExtension(std::string_view lowerExt);

inline MediaKind kindOfPath(std::string_view path) {
    return kindOfExtension(lowerExtension(path));
}

// The kind of a bare file name (no folder before it) by its extension, and whether that
// extension is "dat", as kindOfPath decides but without building the extension: the media
// finder asks it of every name in every folder it searches.
struct CNameKind {
    MediaKind kind = kUnsupported;
    bool dat = false;
};
CNameKind kindOfFileName(std::string_view fileName);

// The file name with its extension, after the last '/' or '\', upper-cased (ASCII only): the
// text the playlist shows and sorts by.
std::string upperFileName(std::string_view path);

}  // namespace kivo::lists
