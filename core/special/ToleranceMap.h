// Mirror map with a tolerance (vortel-cli "vcm --tolerance EPS" and
// "mirror --tolerance EPS"): "VCM GEN" for meshes that are symmetric only up
// to rounding. The window's "VCM GEN" stays exact.
//
// Reads the base positions (vertex array); writes the VCM table and the
// per-vertex match counts, in the form the exact search gives them, so that the
// command's marker points, messages and mirror buttons follow unchanged.
// Capacity: the document's 130,000 vertices; working storage is allocated once.
#pragma once

#include "geometry/Vector.h"

namespace vortel {

// Squared distance, in double precision, between the mirror image (-x, y, z)
// of vertex i and vertex j. Equal components count as no gap, so equal
// infinities match as they do under float `==`; a NaN component gives NaN,
// which is within no tolerance.
inline double mirrorGapSquared(const Vec3& i, const Vec3& j) {
    auto gap = [](float a, float b) { return a == b ? 0.0 : static_cast<double>(a) - static_cast<double>(b); };
    const double dx = gap(-i.x, j.x), dy = gap(i.y, j.y), dz = gap(i.z, j.z);
    return dx * dx + dy * dy + dz * dz;
}

// For every vertex j (0-based) of `vertices[0 .. n-1]`: the vertices i whose
// mirror image lies within `eps` of j (mirrorGapSquared <= eps * eps) are its
// candidates; the nearest of them is its partner. matchCount[j] is the number
// of candidates at that nearest distance (0 when there is none, 2 or more on a
// tie) and table[j] the highest-numbered of them, or -1. Returns the resolved
// count: vertices with exactly one nearest candidate.
//
// With eps = 0 the candidates are exactly the vertices the exact search finds,
// all at distance 0, so the result equals symmetryMatch's.
//
// A hashed grid of cells a little over 2 eps wide (never narrower than 2^-22 of the largest
// coordinate, so that cell numbers stay small) holds the mirror images; each
// vertex looks at the one to eight cells that the box of eps around it
// touches. The work per vertex is the number of mirror images in those cells,
// so the search is linear while eps stays below the spacing of the mesh's
// vertices, which is what a rounding tolerance is. eps must be finite and not
// negative.
int toleranceMatch(const Vec3* vertices, int n, double eps, int* table, int* matchCount);

}  // namespace vortel
