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

inline float vecDot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline void vecCross(Vec3 a, Vec3 b, Vec3& out) {
    Vec3 r;
    r.x = a.y * b.z - a.z * b.y;
    r.y = a.z * b.x - a.x * b.z;
    r.z = a.x * b.y - a.y * b.x;
    out = r;
}

inline void vecDiff(Vec3 a, Vec3 b, Vec3& out) {
    out.x = a.x - b.x;
    out.y = a.y - b.y;
    out.z = a.z - b.z;
}

void vecSet(float x, float y, float z, Vec3& out);
void vecAdd(Vec3 a, Vec3& out);
void vecDivide(Vec3& out, int n);
void vecScale(Vec3& out, float s);
inline float absValue(float x) { return x < 0.0f ? -x : x; }

// Whole line through p with direction d against the plane (q, n): true and
// the line's parameter t at the meeting point, or false when parallel.
inline bool rayPlaneParameter(Vec3 p, Vec3 d, Vec3 q, Vec3 n, float& t) {
    const float den = vecDot(d, n);
    if (den == 0.0f) return false;
    Vec3 qp;
    vecDiff(q, p, qp);
    volatile float num = vecDot(qp, n);  // rounded to float before the division
    t = num / den;
    return true;
}
// The point p + t d of that line.
inline Vec3 pointAlong(Vec3 p, Vec3 d, float t) { return Vec3{p.x + t * d.x, p.y + t * d.y, p.z + t * d.z}; }
// Whole line through p with direction d against the plane (q, n): 1 and the point, or 0 when parallel.
inline int rayPlane(Vec3 p, Vec3 d, Vec3 q, Vec3 n, Vec3& out) {
    float t;
    if (!rayPlaneParameter(p, d, q, n, t)) return 0;
    out = pointAlong(p, d, t);
    return 1;
}
// cross(b - a, c - a), not normalised.
void faceNormal(Vec3 a, Vec3 b, Vec3 c, Vec3& out);
// The corners the inside test works with: a, b, c moved 0.1 % away from their
// centroid (factor 1.00100005f, float bits 0x3F8020C5).
struct EnlargedTriangle {
    Vec3 a, b, c;
};

inline EnlargedTriangle enlargeTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3* centroidOut = nullptr) {
    const float third = 0.33333334f;
    Vec3 g;
    g.x = (a.x + b.x + c.x) * third;
    g.y = (a.y + c.y + b.y) * third;
    g.z = (c.z + b.z + a.z) * third;
    if (centroidOut) *centroidOut = g;
    const float k = 1.00100005f;
    auto grow = [&](Vec3 v) {
        return Vec3{(v.x - g.x) * k + g.x, (v.y - g.y) * k + g.y, (v.z - g.z) * k + g.z};
    };
    return EnlargedTriangle{grow(a), grow(b), grow(c)};
}

// 1 when p passes the inside test of the enlarged triangle t: for each edge
// (a, b), (b, c), (c, a), dot(cross(start - p, end - p), n) is not negative.
inline int pointInEnlarged(const EnlargedTriangle& t, Vec3 p, Vec3 n) {
    const Vec3* ends[3][2] = {{&t.a, &t.b}, {&t.b, &t.c}, {&t.c, &t.a}};
    for (const auto& e : ends) {
        Vec3 e1, e2, cr;
        vecDiff(*e[0], p, e1);
        vecDiff(*e[1], p, e2);
        vecCross(e1, e2, cr);
        if (vecDot(cr, n) < 0.0f) return 0;
    }
    return 1;
}

// 1 when p lies in the triangle enlarged by 0.1 % about its centroid (signs against n).
int pointInTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 n);
int pointInQuad(Vec3 v1, Vec3 v2, Vec3 v3, Vec3 v4, Vec3 p, Vec3 n);
// +1, 0 or -1 by the side of the plane (q, n) that p lies on.
inline int sideOfPlane(Vec3 p, Vec3 q, Vec3 n) {
    Vec3 d;
    vecDiff(p, q, d);
    const float s = vecDot(d, n);
    if (s > 0.0f) return 1;
    if (s < 0.0f) return -1;
    return 0;
}
void rotateX(Vec3 v, float angle, Vec3& out);
void rotateZ(Vec3 v, float angle, Vec3& out);
// Turns v so that its +Y axis leans toward n, with the direction cosines taken as angles.
void orientByNormal(Vec3 v, Vec3 n, Vec3& out);

// Faces A and B given by their slices of a corner vertex list.
// 1 and the two shared vertex numbers (smaller first) when exactly two corner
// pairs match, else 0 with both ends 0.
int sharedEdge(const int* cornersA, int countA, const int* cornersB, int countB, int& end1, int& end2);

}  // namespace vortel
