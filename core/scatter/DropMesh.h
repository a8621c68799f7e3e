// The drop mesh: the scattered copies of the seed, written by DROP, drawn by
// the 3D view and written out by the DROP export.
//
// Capacities: 130,000 vertices (display coordinates), 520,000 corners, 520,000
// faces. Drop vertex number m (1-based, as the corner list holds it) is entry
// m - 1 of vertexList(); its counts are the document's drop result count and
// drop face count, which every mesh load sets to 0.
#pragma once

#include "doc/CVELTADoc.h"

namespace vortel {

inline constexpr int kMaxDropVertices = 130000;
inline constexpr int kMaxDropCorners = 520000;
inline constexpr int kMaxDropFaces = 520000;

struct DropMesh {
    // Slot 0 is never written, so that slot m holds drop vertex number m and
    // the corner list indexes it directly (the 3D view draws from it so).
    FixedArray<Vec3> vertexSlots{kMaxDropVertices + 1};
    FixedArray<int> cornerList{kMaxDropCorners};
    FixedArray<int> faceFirstCorner{kMaxDropFaces};
    FixedArray<int> faceCornerCount{kMaxDropFaces};
    FixedArray<Vec3> faceNormal{kMaxDropFaces};

    Vec3* vertexList() { return vertexSlots.data() + 1; }
    const Vec3* vertexList() const { return vertexSlots.data() + 1; }
    const Vec3* verticesByNumber() const { return vertexSlots.data(); }
};

}  // namespace vortel
