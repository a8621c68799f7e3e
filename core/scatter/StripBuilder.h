// Strip builder: turns every segment of the mesh's line faces into a strip
// polygon of the hair strip mesh.
//
// Reads the face table, corner vertex list and display vertex array; replaces
// the hair strip mesh (vertices, corners, faces) and the document's hair strand
// count; ends with a message box that gives the strand count ("%d").
//
// A segment runs from the vertex e of corner j toward the vertex numbered
// e + 1 (for a strand with consecutively numbered vertices, its next corner):
// its strip is A, B, B x 1.01, A x 1.01 (1 % away from the display origin).
// Consecutive strips share no vertex. A segment whose vertex e is the mesh's
// last vertex has no vertex e + 1 and gives no strip.
#pragma once

#include "doc/CVELTADoc.h"
#include "scatter/HairMesh.h"
#include "scatter/LineFaces.h"

namespace vortel {

// The strips the builder makes from the line faces of a mesh of VERTEX COUNT vertices.
long long countHairStrips(const LineFaceTable& faces, int vertexCount);
// Fills MESH with the strips (the caller keeps the count within the capacity);
// returns their number.
int buildHairStrips(const LineFaceTable& faces, const Vec3* display, int vertexCount, HairMesh& mesh);

enum class HairResult { Done, Refused };

// The command: refuses, with a message and nothing changed, a mesh with more
// strips than the hair lists hold; otherwise builds them and shows the count.
HairResult runStripBuilder(CVELTADoc& doc, HairMesh& mesh);

}  // namespace vortel
