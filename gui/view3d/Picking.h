// Group picking of the 3D view: selection-mode rendering (GL_SELECT) of the
// faces under a 1 x 1 pixel pick region; the nearest hit is the one with the
// smallest maximum-depth word.
#pragma once

#include "doc/CVELTADoc.h"
#include "view3d/ViewState.h"

namespace vortel::view {

// Hit records of one pick buffer: 100 words, at most 25 records of 4 words.
inline constexpr int kPickBufferWords = 100;

struct PickOutcome {
    int hits = -1;      // hit count, -1 for none or overflow
    int pickedName = 0;  // face index (0-based) of the nearest hit
};

// The context must be current with the view's viewport and projection, model-view
// at the fixed camera. Faces whose visible flag is 0 (by group in OBJECT mode,
// by material otherwise) are not offered. With preCull, faces whose window-space
// bounds lie more than two pixels away from the pick region are left out before
// the selection pass; they cannot be hit, so the records are the same.
PickOutcome pickFaces(const CVELTADoc& doc, const ViewState& s, int x, int y, bool preCull = true);

}  // namespace vortel::view
