// The surface ray cast over the face grid's candidates.
#include "scatter/SurfaceRayCast.h"

namespace vortel {

bool surfaceRayCast(const FaceGrid& grid, const FaceGridMesh& mesh, LineAxis axis, Vec3 origin, SurfaceHit& hit) {
    const bool alongY = axis == LineAxis::Y;
    const Vec3 direction = alongY ? Vec3{0.0f, 1.0f, 0.0f} : Vec3{0.0f, 0.0f, 1.0f};
    const float along = alongY ? origin.y : origin.z;
    auto corner = [&](int face, int c) {
        return mesh.positions[mesh.cornerVertices[mesh.faceFirstCorner[face] + c] - 1];
    };
    float best = absValue(along - 1e13f);
    int bestFace = -1;
    Vec3 bestPoint;
    grid.forEachCandidate(origin, [&](int f) {
        const Vec3 normal = mesh.faceNormals[f];
        Vec3 h;
        if (!rayPlane(origin, direction, corner(f, 0), normal, h)) return;
        const int inside = mesh.faceCornerCount[f] == 3
                               ? pointInTriangle(corner(f, 0), corner(f, 1), corner(f, 2), h, normal)
                               : pointInQuad(corner(f, 0), corner(f, 1), corner(f, 2), corner(f, 3), h, normal);
        if (!inside) return;
        const float distance = absValue(along - (alongY ? h.y : h.z));
        if (distance < best) {
            best = distance;
            bestFace = f;
            bestPoint = h;
        }
    });
    if (bestFace < 0) return false;
    // Behind the nearest face: no hit, and the next one is not tried.
    if (sideOfPlane(origin, corner(bestFace, 0), mesh.faceNormals[bestFace]) == -1) return false;
    hit.point = bestPoint;
    hit.face = bestFace;
    return true;
}

}  // namespace vortel
