// Vector helpers; see Vector.h. Float rounding points are kept where results depend on them.
#include "geometry/Vector.h"

#include <bit>
#include <cmath>

namespace vortel {

void vecNormalise(Vec3 v, Vec3& out) {
    float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    out.x = v.x / l;
    out.y = v.y / l;
    out.z = v.z / l;
}

void vecSet(float x, float y, float z, Vec3& out) {
    out.x = x;
    out.y = y;
    out.z = z;
}

void vecAdd(Vec3 a, Vec3& out) {
    out.x += a.x;
    out.y += a.y;
    out.z += a.z;
}

void vecDivide(Vec3& out, int n) {
    float f = static_cast<float>(n);
    out.x /= f;
    out.y /= f;
    out.z /= f;
}

void vecScale(Vec3& out, float s) {
    out.x *= s;
    out.y *= s;
    out.z *= s;
}

void faceNormal(Vec3 a, Vec3 b, Vec3 c, Vec3& out) {
    Vec3 ba, ca;
    vecDiff(b, a, ba);
    vecDiff(c, a, ca);
    vecCross(ba, ca, out);
}

static_assert(std::bit_cast<unsigned>(1.00100005f) == 0x3F8020C5u, "the inside test's enlargement factor");

namespace {
// The one shared centroid of the inside test (not re-entrant, UI thread only).
Vec3 g_triangleCentroid;
}  // namespace

int pointInTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 n) {
    return pointInEnlarged(enlargeTriangle(a, b, c, &g_triangleCentroid), p, n);
}

int pointInQuad(Vec3 v1, Vec3 v2, Vec3 v3, Vec3 v4, Vec3 p, Vec3 n) {
    if (pointInTriangle(v1, v2, v3, p, n)) return 1;
    return pointInTriangle(v1, v3, v4, p, n);
}

// The sine of the angle is used as the C library gives it, the cosine rounded
// to float first; the mixed sums are rounded to float when stored.
void rotateX(Vec3 v, float angle, Vec3& out) {
    const double s = std::sin(static_cast<double>(angle));
    const double c = static_cast<float>(std::cos(static_cast<double>(angle)));
    Vec3 r;
    r.x = v.x;
    r.y = static_cast<float>(v.y * c - v.z * s);
    r.z = static_cast<float>(v.y * s + v.z * c);
    out = r;
}

void rotateZ(Vec3 v, float angle, Vec3& out) {
    const double s = std::sin(static_cast<double>(angle));
    const double c = static_cast<float>(std::cos(static_cast<double>(angle)));
    Vec3 r;
    r.x = static_cast<float>(v.x * c - v.y * s);
    r.y = static_cast<float>(v.x * s + v.y * c);
    r.z = v.z;
    out = r;
}

void orientByNormal(Vec3 v, Vec3 n, Vec3& out) {
    float l = std::sqrt(n.z * n.z + n.y * n.y + n.x * n.x);
    Vec3 w;
    rotateX(v, n.z / l, w);
    rotateZ(w, -(n.x / l), out);
}

int sharedEdge(const int* cornersA, int countA, const int* cornersB, int countB, int& end1, int& end2) {
    int pairs = 0, first = 0, second = 0;
    for (int i = 0; i < countA; ++i)
        for (int j = 0; j < countB; ++j)
            if (cornersA[i] == cornersB[j]) {
                if (pairs == 0)
                    first = cornersA[i];
                else if (pairs == 1)
                    second = cornersA[i];
                ++pairs;
            }
    if (pairs == 2) {
        end1 = first < second ? first : second;
        end2 = first < second ? second : first;
        return 1;
    }
    end1 = end2 = 0;
    return 0;
}

}  // namespace vortel
