#pragma once

#include <functional>
#include <string>

// Where the media file of a scene-description file is looked for. Files written on Windows
// store paths with "\" and drive letters; both separators and both path forms are accepted.

// True when `path` is relative: no leading separator and no drive letter.
bool isRelativeMediaPath(const std::string &path);

// The candidate for a stored media path: an absolute path is its own candidate; a relative one
// is resolved against the folder of `scvPath` (without its drive letter), each leading ".."
// step cutting one folder. The candidate uses the separator style of `scvPath`.
std::string mediaPathCandidate(const std::string &storedPath, const std::string &scvPath);

// The path to open: the candidate when a file exists there, else the stored path unchanged.
// `exists` is asked with the candidate in this system's form ("\" turned into "/").
std::string resolveMediaPath(const std::string &storedPath, const std::string &scvPath,
                             const std::function<bool(const std::string &)> &exists);
std::string resolveMediaPath(const std::string &storedPath, const std::string &scvPath);

// "\" becomes "/", so a Windows-form path can be handed to this system's file functions.
std::string toLocalSeparators(std::string path);
