// The hair operation: what the HAIR window's requests do to the hair strip mesh.
//
//   w = 0      CLOSE: all views redraw; the HAIR window is destroyed (HairModule)
//   w = 9999   RESET: the hair vertex count becomes 0; all views redraw
//   otherwise  DONE: the line points replace the hair vertex list; all views redraw
//
// Collecting the line points: for every line face in face order, the display
// position of each corner's vertex, in corner order. The hair corner list, the
// hair faces and the strand count stay as they are, and the value of w (the
// THIN..THICK position) sets nothing: the strips' width is the builder's 1 %.
#pragma once

#include "doc/CVELTADoc.h"
#include "scatter/HairMesh.h"
#include "scatter/LineFaces.h"
#include "scatter/StripBuilder.h"

namespace vortel {

inline constexpr int kHairRequestClose = 0;
inline constexpr int kHairRequestReset = 9999;

// The line points a collection appends.
long long countLinePoints(const LineFaceTable& faces, int vertexCount);
// Replaces the hair vertex list by the line points; returns their number.
int collectLinePoints(const LineFaceTable& faces, const Vec3* display, int vertexCount, HairMesh& mesh);

// DONE and RESET (w = 0 is the module's: it also closes the window). A
// collection that would pass the hair vertex list is refused with a message.
HairResult runHairOperation(CVELTADoc& doc, HairMesh& mesh, int w);

}  // namespace vortel
