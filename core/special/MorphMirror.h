// "L->R", "R->L", "SWAP", "RESET R", "RESET L": morph mirroring through the VCM table.
//
// Reads the VCM table, the display vertex array (sides: right is display
// x <= 0, left is display x >= 0, the centre line belongs to both) and the
// morph delta backup; rewrites the morph delta array, the moved flags and the
// face moved flags. Every command starts again from the backup, so results
// never accumulate.
#pragma once

#include "doc/CVELTADoc.h"
#include "special/MtmPanel.h"

namespace vortel {

// The per-vertex pass of one command over vertices 0 .. n-1, in order. `delta`
// must already hold the backup. A partner outside 0 .. n-1 counts as none (-1).
void mirrorMorph(MirrorMode mode, int n, const Vec3* display, const int* table, Vec3* delta, const Vec3* backup);

// Moved flags over the vertex count and face moved flags over the faces.
void recomputeMovedFlags(CVELTADoc& doc);

}  // namespace vortel
