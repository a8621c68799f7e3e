// Collision (Function > "Collision"): pushes the vertices of the mesh's first
// group out of the other groups.
//
// Every vertex numbered from the lowest to the highest vertex of the first
// group's faces is processed in ascending order, whether it belongs to that
// group or not. From its display position P a vertical line is cast through
// the faces of the other groups: the nearest inside hit along Y wins (strictly
// smaller |P.y - H.y|, the first best |P.y - 1e13|, equal distances keep the
// lower face number), hits above and below alike. If P lies behind that face
// (side of its plane -1) the vertex moves onto the hit point, which goes to
// marker point list 3 and P to list 2; otherwise the vertex moves 10 % away
// from the display origin (x 1.1). List 1 is emptied. Line faces and faces of
// fewer than three corners have no surface and take no part.
//
// Reads the face table, corner vertex list and face normal array; writes the
// display vertex array and the three marker point lists. A mesh of fewer than
// two groups is left alone, silently; a first group without faces empties the
// lists and changes nothing else. Shows the wait cursor; the status progress
// bar follows the vertices and goes back to 0.
//
// The faces are found through FaceGrids over the XZ plane: a vertical line's
// hit point keeps the line's x and z, so only faces whose test can pass at
// (P.x, P.z) need a test. Processed vertices can be corners of other groups'
// faces; such a face changes when its corner moves. The faces that never
// change are cast, before the run, onto the lines' origins sorted into cells,
// each face onto the lines it can meet, in ascending face order, with its
// enlarged triangles worked out once. The changing faces are looked up in a
// grid of their first shape until their first corner moves, visited directly
// while their corners are moving, and put in grids of their last shape once
// their last corner has moved. Both keep the nearest hit by (distance, face).
#pragma once

#include "doc/CVELTADoc.h"
#include "platform/Settings.h"
#include "scatter/FaceGrid.h"

namespace vortel {

// "Function"/"Coligion" other than "NONE" (the default) switches Collision on.
bool collisionEnabled(const Settings& settings);

struct CollisionResult {
    int processed = 0;  // vertices in the processed range
    int collided = 0;   // entries of marker point list 2
};

// The mesh as Collision reads and writes it.
struct CollisionMesh {
    FaceGridMesh faces;       // positions: the display vertex array
    Vec3* positions;          // the same array, written
    const int* faceGroup;
    const char* faceKind;
};

CollisionMesh collisionMeshOf(CVELTADoc& doc);

// Whether face f is a candidate of the ray cast: a surface outside the first group.
bool isCollisionFace(const CollisionMesh& mesh, int f);

// The processed range [lo, hi] of vertex numbers; false when the first group has no faces.
bool collisionRange(const CollisionMesh& mesh, int& lo, int& hi);

// Runs Collision over the range on flat arrays: moves the vertices, appends to
// the marker lists (each of capacity markerSlots) and reports progress
// through PROGRESS (may be empty). Returns the collided count.
int collideRange(const CollisionMesh& mesh, int lo, int hi, Vec3* before, Vec3* after, int markerSlots,
                 Platform* progress);

// The command: the whole of Collision on the document.
CollisionResult runCollision(CVELTADoc& doc);

}  // namespace vortel
