#pragma once

#include <functional>

#include "player/scenes/basictreeplan.h"

class CPlayerSession;
class CSceneImageTree;

// The two long jobs on the scene tree, run on the window thread a step at a time: between steps
// the windows stay live (the job's own dialog among them) and the tree control's stop and pause
// flags are read. A job ends early, keeping what it made, when it is stopped or when the open
// file goes away under it.
namespace kivo::scenes {

using Progress = std::function<void(int percent)>;

// Replaces the tree below the root by a basic tree (root at the first frame, one start scene,
// under it the planned scenes) with thumbnails for the first 500; reports progress in per cent
// and 100 at the end. 1 when the tree was built to its end, 0 when stopped or cut short.
int buildBasicTree(CPlayerSession &session, CSceneImageTree &tree, const BasicTreeRequest &request,
                   const Progress &progress);

// Grabs the thumbnails of the first 500 scenes again (after a change of scale), reporting per
// cent, and -1 at the end. 1 when all were visited, 0 when stopped or cut short.
int extractThumbnailsAgain(CPlayerSession &session, CSceneImageTree &tree,
                           const Progress &progress);

}  // namespace kivo::scenes
