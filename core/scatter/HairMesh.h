// The hair strip mesh: the polygons the strip builder makes from the mesh's
// line faces, kept beside the document for HAIR's export.
//
// Capacities follow the mesh's own limits, so that every mesh VORTEL can load
// fits: line faces share the 520,000-entry corner list, a line of n corners has
// n - 1 segments, and each segment becomes one strip of four vertices and four
// corners. Anything beyond these is refused with a message; the lists never grow.
// The vertex list is in display coordinates; the display transform in force
// when it was filled goes with it, so the export writes file units even after
// the display transform changed (a group selected, another mesh loaded).
// The strand count itself lives in the document (hairStrandCount): it enables
// Export > "HAIR".
#pragma once

#include "doc/CVELTADoc.h"

namespace vortel {

inline constexpr int kMaxHairStrands = kMaxCorners;
inline constexpr int kMaxHairVertices = 4 * kMaxHairStrands;
inline constexpr int kMaxHairCorners = 4 * kMaxHairStrands;
inline constexpr int kHairCornersPerStrip = 4;

struct HairMesh {
    FixedArray<Vec3> vertices{kMaxHairVertices};
    int vertexCount = 0;
    FixedArray<int> corners{kMaxHairCorners};  // 1-based hair vertex numbers
    FixedArray<int> faceFirstCorner{kMaxHairStrands};
    FixedArray<int> faceCornerCount{kMaxHairStrands};
    // The display transform the vertex list was taken with.
    float displayScale = 1.0f;
    Vec3 displayCentre;

    void takeTransformOf(const CVELTADoc& doc) {
        displayScale = doc.displayScale;
        displayCentre = doc.displayCentre;
    }
};

// True when N entries fit a hair list of LIMIT; otherwise says so ("TOO MANY
// HAIR <WHAT> [n/limit]") under CAPTION and is false.
bool fitsHairList(Platform& ui, const char* caption, const char* what, long long n, int limit);

}  // namespace vortel
