// "1.ANALYSIS" and "2.EXCUTE": edges shared by two faces whose normals differ
// by at least the slider's angle, and the cut along them.
//
// The analysis reads the face table, the corner vertex list and the face
// normal array (normalised in place while the normals dirty flag is set) and
// writes the edge line list (first endpoint, second endpoint, 0-based face of
// the later face; at most 130,000 lines) and the edge line count. The cut
// re-points corners of the listed faces to new vertices appended after the
// vertex count (at most 130,000 vertices in all).
#pragma once

#include <functional>

#include "geometry/Vector.h"

namespace vortel {

// 1 - sin(p x 10 x 0.017455555) in extended precision, stored as float, negated above 9.
float edgeThreshold(int sliderPosition);

// The face table as flat arrays: face f (0-based) owns corners
// [firstCorner[f], firstCorner[f] + cornerCount[f]) of cornerVertexList.
struct FaceTableView {
    const int* firstCorner = nullptr;
    const int* cornerCount = nullptr;
    int faceCount = 0;
    const int* cornerVertexList = nullptr;
};

struct EdgeScan {
    int hits = 0;
    bool limitReached = false;  // more than maxHits hits; the lists hold maxHits + 1
};

// The edge lines that the all-pairs scan finds (every face A against every
// later face B, in order, leaving A once it has as many neighbours as
// corners), found through vertex-to-face adjacency: only later faces that
// share a vertex with A can share an edge with it. The neighbour counts, the
// shared-edge pair counting (a vertex repeated within a face counts every
// pair) and the order of the hits are those of the scan. A hit (u, v, B) is
// listed when the shared-edge test finds the edge u <= v and the dot product
// of the two normals is not greater than t. The lists need maxHits + 1
// entries. `progress` receives a percentage for every 250th face.
EdgeScan findEdgeLines(const FaceTableView& faces, const Vec3* faceNormals, float t, int maxHits, int* first,
                       int* second, int* face, const std::function<void(int)>& progress = {});

}  // namespace vortel
