// Vector helpers shared by the document, the edge maker, DROP, Collision and HAIR.
//
// Vectors are three 32-bit floats; every result is stored as float. The exact
// formulas, the order of the cross-product terms, the 1.001 enlargement of the
// inside test and the direction cosines used as angles in the orientation are
// part of the behaviour: DROP, Collision and the edge maker depend on them.
#pragma once

namespace vortel {

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

void vecNormalise(Vec3 v, Vec3& out);  // no guard for a zero vector
float vecDot(Vec3 a, Vec3 b);
void vecCross(Vec3 a, Vec3 b, Vec3& out);
void vecDiff(Vec3 a, Vec3 b, Vec3& out);
void vecSet(float x, float y, float z, Vec3& out);
void vecAdd(Vec3 a, Vec3& out);
void vecDivide(Vec3& out, int n);
void vecScale(Vec3& out, float s);
float absValue(float x);

// Whole line through p with direction d against the plane (q, n): 1 and the point, or 0 when parallel.
int rayPlane(Vec3 p, Vec3 d, Vec3 q, Vec3 n, Vec3& out);
// cross(b - a, c - a), not normalised.
void faceNormal(Vec3 a, Vec3 b, Vec3 c, Vec3& out);
// 1 when p lies in the triangle enlarged by 0.1 % about its centroid (signs against n).
int pointInTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 n);
int pointInQuad(Vec3 v1, Vec3 v2, Vec3 v3, Vec3 v4, Vec3 p, Vec3 n);
// +1, 0 or -1 by the side of the plane (q, n) that p lies on.
int sideOfPlane(Vec3 p, Vec3 q, Vec3 n);
void rotateX(Vec3 v, float angle, Vec3& out);
void rotateZ(Vec3 v, float angle, Vec3& out);
// Turns v so that its +Y axis leans toward n, with the direction cosines taken as angles.
void orientByNormal(Vec3 v, Vec3 n, Vec3& out);

// Faces A and B given by their slices of a corner vertex list.
// 1 and the two shared vertex numbers (smaller first) when exactly two corner
// pairs match, else 0 with both ends 0.
int sharedEdge(const int* cornersA, int countA, const int* cornersB, int countB, int& end1, int& end2);

}  // namespace vortel
