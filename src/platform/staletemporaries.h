#pragma once

#include <string>

// The temporaries a CReplacingFile writes beside its target: `.NAME.XXXXXX` in the target's
// folder, locked (flock, exclusive) by the writing process for as long as it writes. A process
// killed mid-write leaves its temporary behind, and then nothing holds the lock on it.
namespace kivo {

// The mkstemp pattern of the temporaries of `target`.
std::string temporaryPatternOf(const std::string &target);

// True when `fileName` (a name without folder) has the form of a temporary of `target`.
bool isTemporaryNameOf(const std::string &fileName, const std::string &target);

// Removes the temporaries of `target` that no process holds locked, except `own`. Temporaries
// of other targets and every other file stay. Returns how many were removed.
int removeStaleTemporaries(const std::string &target, const std::string &own);

}  // namespace kivo
