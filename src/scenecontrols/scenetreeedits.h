#pragma once

#include "scene/videodescription.h"
#include "scenecontrols/sceneselection.h"

// The editing operations of the scene image tree on the scene model and the selection. They
// change only the model and the selection; the control lays itself out again and tells its
// parent.
namespace kivo::scenes {

// More than one node selected, all children of one parent, their indices one unbroken run.
bool canMerge(const CSceneSelection &selection);
// Folds the parent's children from the lowest to the highest selected index into the first of
// them, which becomes the only selection and is expanded. Null (nothing changed) unless the
// selected nodes are at least two children of one parent.
CSceneNode *mergeSelected(CSceneSelection &selection);

// At least one node selected, the last one deeper than the second level, all with its parent.
bool canSplit(const CSceneSelection &selection);
// Promotes every selected node in selection order; a node that cannot move stays and the rest
// still move. 1 when all moved, 0 when one did not (or canSplit() does not hold).
int splitSelected(CSceneSelection &selection);

// At most one node selected and it is not the root (with none selected, a tree must be there).
bool canDelete(const CSceneSelection &selection, bool treeAttached);
// Deletes the selected node with its subtree and selects its previous sibling, or its parent
// when it was the first child. False when nothing was deleted.
bool deleteSelected(CSceneSelection &selection);

// Where a scene at the frame belongs: the node after which it is inserted, found by walking
// every node in display order (collapsed ones included) for the last node whose frame is below
// it before the first whose frame is above it. The path to that node is expanded. Null when a
// node already has the frame, or when the first node's frame is above it.
CSceneNode *placeForScene(CSceneNode &root, double frame);

// A new node at the frame right after the node among its parent's children, or as the first
// child of the root when the node is the root (which is then expanded). The new node becomes the
// only selection.
CSceneNode *insertAfter(CSceneNode &root, CSceneNode *node, double frame,
                        CSceneSelection &selection);

// Moves every selected node, in selection order, under the target (the model refuses the root,
// the target itself, a frame the target already has among its children and the target's own
// ancestors) and expands the target. The number of nodes moved.
int moveSelectionUnder(CSceneSelection &selection, CSceneNode *target);

}  // namespace kivo::scenes
