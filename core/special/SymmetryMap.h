// "VCM GEN": the mirror partner of every vertex across the plane x = 0.
//
// Reads the base positions (vertex array) and, for the marker points, the
// display positions; writes the panel's VCM table, marker point list 1 and its
// count. Capacity: the document's 130,000 vertices.
#pragma once

#include "geometry/Vector.h"

namespace vortel {

// For every vertex j (0-based) of `vertices[0 .. n-1]`: table[j] is the highest i
// whose mirror image (-x, y, z) equals j's position exactly (component by
// component with float `==`: -0 equals 0, NaN equals nothing), or -1 when no i
// does; matchCount[j] is the number of such i. A vertex on x = 0 is its own
// partner. Returns the resolved count: vertices with exactly one match.
// Hashing of exact bit patterns; the result equals the all-pairs comparison.
int symmetryMatch(const Vec3* vertices, int n, int* table, int* matchCount);

}  // namespace vortel
