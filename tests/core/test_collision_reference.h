// The plain loop of Collision: every vertex of the range against every face,
// kept as the reference the grid must equal (tests) and the figure it is
// measured against (benchmarks).
#pragma once

#include <vector>

#include "scatter/Collision.h"

namespace vortel::test {

// The loop over all faces for every vertex of the range, step by step as Collision is described.
inline int referenceCollide(const CollisionMesh& m, int lo, int hi, std::vector<Vec3>& before,
                            std::vector<Vec3>& after) {
    const FaceGridMesh& g = m.faces;
    const Vec3 up{0, 1, 0};
    for (int v = lo; v <= hi; ++v) {
        const Vec3 p = m.positions[v - 1];
        float best = absValue(p.y - 1e13f);
        int bestFace = -1;
        Vec3 bestHit;
        for (int f = 0; f < g.faceCount; ++f) {
            if (!isCollisionFace(m, f)) continue;
            const int* cv = g.cornerVertices + g.faceFirstCorner[f];
            auto at = [&](int i) { return g.positions[cv[i] - 1]; };
            const Vec3 n = g.faceNormals[f];
            Vec3 h;
            if (!rayPlane(p, up, at(0), n, h)) continue;
            const int inside = g.faceCornerCount[f] == 3 ? pointInTriangle(at(0), at(1), at(2), h, n)
                                                         : pointInQuad(at(0), at(1), at(2), at(3), h, n);
            if (inside && absValue(p.y - h.y) < best) {
                best = absValue(p.y - h.y);
                bestFace = f;
                bestHit = h;
            }
        }
        const Vec3 bestCorner = bestFace >= 0 ? g.positions[g.cornerVertices[g.faceFirstCorner[bestFace]] - 1] : p;
        if (bestFace >= 0 && sideOfPlane(p, bestCorner, g.faceNormals[bestFace]) == -1) {
            before.push_back(p);
            after.push_back(bestHit);
            m.positions[v - 1] = bestHit;
        } else {
            vecScale(m.positions[v - 1], 1.1f);
        }
    }
    return static_cast<int>(before.size());
}

}  // namespace vortel::test
