// The surface ray cast of DROP: where a grid line first meets the surface.
//
// For a line through P along Y (top) or Z (front), every face the cast takes
// is intersected with its plane (first corner, face normal) and the point is
// given the face's inside test; among the faces it passes, the one nearest P
// along the line wins (strictly nearer: the earlier face keeps a tie; hits on
// either side of P count). The line hits when P is not behind that face's
// plane; when it is, the line misses, whatever lies further on.
//
// The faces come from a FaceGrid over the same mesh, in ascending order, so
// the answer is the one the loop over all faces gives. Line faces (kind 'L')
// and faces without a surface (fewer than three corners) are not taken.
// Reads the display positions, corner vertex list, face table and face normals.
#pragma once

#include "scatter/FaceGrid.h"

namespace vortel {

struct SurfaceHit {
    Vec3 point;
    int face = -1;  // 0-based
};

// The faces DROP casts against, for FaceGrid::build's include.
inline bool dropCastsFace(const char* faceKind, int face) { return faceKind[face] != 'L'; }

// True and the hit, or false when the line misses.
bool surfaceRayCast(const FaceGrid& grid, const FaceGridMesh& mesh, LineAxis axis, Vec3 origin, SurfaceHit& hit);

}  // namespace vortel
