// The seed mesh: the small object DROP scatters copies of, read by the seed
// loader (SeedLoader.cpp) and replaced by each load.
//
// Capacities: 5,000 vertices, 5,000 corners, 5,000 faces, 130,000 texture
// coordinates. Vertex k of the file is entry k - 1; the corner list holds the
// 1-based vertex numbers as written (a face may name a vertex the file never
// gives: only the drop routine checks); the corner UV list holds the texture
// number of each corner, 0 where the face gave none. Face normals are the
// sums of the face normal operation over the face's first triangle and, for
// four and more corners, the triangle of its corners 1, 3, 4, unnormalised,
// from the coordinates as read.
#pragma once

#include "doc/CVELTADoc.h"

namespace vortel {

inline constexpr int kMaxSeedVertices = 5000;
inline constexpr int kMaxSeedCorners = 5000;
inline constexpr int kMaxSeedFaces = 5000;
inline constexpr int kMaxSeedUvs = 130000;

struct SeedMesh {
    FixedArray<Vec3> vertexList{kMaxSeedVertices};
    int vertexCount = 0;
    FixedArray<int> cornerList{kMaxSeedCorners};
    FixedArray<int> cornerUvList{kMaxSeedCorners};
    FixedArray<int> faceFirstCorner{kMaxSeedFaces};
    FixedArray<int> faceCornerCount{kMaxSeedFaces};
    FixedArray<Vec3> faceNormal{kMaxSeedFaces};
    int faceCount = 0;
    FixedArray<UvCoord> uvList{kMaxSeedUvs};
    int uvCount = 0;
    int hasUvFlag = 0;
    Vec3 boxMax, boxMin;
    int cornerTotal = 0;  // the running corner index: corners stored so far
    // Set by a load that ran to its end. A failed load leaves what it read
    // (unnormalised, without normals) in the lists; DROP and the preview then
    // treat the seed as empty.
    bool loaded = false;

    // The seed as DROP and the preview take it: its vertices, or none after a failed load.
    int usableVertexCount() const { return loaded ? vertexCount : 0; }
    int usableFaceCount() const { return loaded ? faceCount : 0; }
    // Sum of the corner counts of the usable faces.
    int usableCornerSum() const;
    // True when every corner of the face names one of the seed's vertices.
    bool faceIsWhole(int face) const;
    // What a load does first: counts, flags, the box and the running corner index.
    void empty();
};

}  // namespace vortel
