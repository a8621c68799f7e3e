// "FUSION": welds a mesh of several groups into one group "FUSIONDATA" and
// writes the VCM work file that "TO ORIGINAL" needs to undo the weld.
//
// Reads the base positions, the face table, the corner vertex list, the group
// names and the floating count; writes the floating flags and count, the face
// groups, the corners, group name 0 and the group count. Limits: 25,000
// duplicate pairs, 25,000 re-pointed corners, 248 groups.
#pragma once

#include <functional>
#include <string>

#include "geometry/Vector.h"

namespace vortel {

struct DuplicateSearch {
    int pairs = 0;
    bool limitReached = false;  // the list reached maxPairs
};

// The pairs (first copy, duplicate), 0-based, that the scan "for each i, for
// each later k not yet marked, when k stands where i stands" lists, in its
// order: every duplicate paired with its lowest-numbered copy, by first copy
// then by duplicate. Equality is float `==` on x, y and z (-0 equals 0, NaN
// equals nothing). Marks each listed duplicate (mark[k] = 1, firstCopyOf[k] =
// its copy) and stops as soon as the list holds maxPairs pairs. mark[0 .. n-1]
// is cleared first. `progress` receives a percentage for every 250th vertex.
// Hashing of exact bit patterns; the result equals the scan's.
DuplicateSearch findDuplicatePairs(const Vec3* vertices, int n, int maxPairs, int* pairFirst, int* pairDuplicate,
                                   unsigned char* mark, int* firstCopyOf,
                                   const std::function<void(int)>& progress = {});

// The vertex map: for each pre-weld vertex j, its 0-based position in the
// welded mesh once the marked vertices are dropped; a marked vertex maps to
// the position of its first copy.
void weldVertexMap(int n, const unsigned char* mark, const int* firstCopyOf, int* map);

}  // namespace vortel
