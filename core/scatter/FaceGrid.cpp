// The face grid; see FaceGrid.h for what it promises and why.
//
// Notation of the bounds below, for one enlarged triangle u0, u1, u2 of a face
// with float normal N and first corner Q, and a line origin P:
//   the test of edge (ui, uj) computes s = dot(cross(ui - H, uj - H), N) in
//   float, H = (P.x, A, P.z) for lines along Y, A the float height of the
//   intersection. Its exact value s*(H) = c - g . (H - Q), with
//   g = cross(uj - ui, N) and c = det(ui - Q, uj - Q, N), is affine in H.
//   With a = ui - H and b = uj - H, |s - s*| <= 7 u sum_m |N_m| (|a_m+1 b_m+2| +
//   |a_m+2 b_m+1|) (u = 2^-24; differences, products, the cross's subtraction
//   and the dot's sums each round once); 16 u is used.
//   The exact height of the plane at (x, z) is A* = Q.y - (N.x (x - Q.x) +
//   N.z (z - Q.z)) / N.y; the float A differs from it by at most eps (the
//   numerator of the ray-plane parameter rounds five times, the division and
//   the sum once each).
//   A pass needs s >= 0 on every edge, so s*(x, A* + e, z) >= -E for some
//   |e| <= eps: alpha x + beta z <= c + E + |g.y| eps, a half-plane in (x, z).
// Every bound is taken over a rectangle of (x, z) that is known to hold every
// passing point, first the origin box, then the reach that first pass left.
#include "scatter/FaceGrid.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "doc/CVELTADoc.h"

namespace vortel {

FaceGridMesh faceGridMeshOf(const CVELTADoc& doc) {
    FaceGridMesh m;
    m.positions = doc.displayVertexArray.data();
    m.vertexCount = doc.vertexCount;
    m.cornerVertices = doc.cornerVertexList.data();
    m.cornerEnd = doc.ownedCornerEnd();
    m.faceFirstCorner = doc.faceFirstCorner.data();
    m.faceCornerCount = doc.faceCornerCount.data();
    m.faceNormals = doc.faceNormalArray.data();
    m.faceCount = doc.faceCount;
    return m;
}

namespace {

// The vertex numbers of the corners the inside test reads (used: 3, or 4 for
// a quad and more) when the face has a surface; null when it has none.
const int* surfaceCorners(const FaceGridMesh& mesh, int face, int& used) {
    if (face < 0 || face >= mesh.faceCount) return nullptr;
    const int first = mesh.faceFirstCorner[face];
    const int count = mesh.faceCornerCount[face];
    if (count < 3 || first < 0) return nullptr;
    used = count >= 4 ? 4 : 3;
    if (first > mesh.cornerEnd - used) return nullptr;
    const int* cv = mesh.cornerVertices + first;
    for (int c = 0; c < used; ++c)
        if (cv[c] < 1 || cv[c] > mesh.vertexCount) return nullptr;
    return cv;
}

}  // namespace

bool faceHasSurface(const FaceGridMesh& mesh, int face) {
    int used;
    return surfaceCorners(mesh, face, used) != nullptr;
}

namespace {

constexpr double kUnit = 1.0 / 16777216.0;  // float's unit roundoff, 2^-24
// Past this, a float operation of the test might overflow: such faces are visited everywhere.
constexpr double kHuge = 1e30;
// Absolute error of float results near zero (gradual underflow), generously.
constexpr double kTiny = 1e-38;
// A face reaching more cells than this share of the grid is visited everywhere instead.
constexpr int kEverywhereShare = 4;
// A reach of at least this many rows and columns is followed row by row when origins are cast onto.
constexpr int kBandRows = 8;

double component(const Vec3& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

// x - x is 0 for a finite x and NaN otherwise.
bool isFinite(const Vec3& v) { return (v.x - v.x) + (v.y - v.y) + (v.z - v.z) == 0.0f; }

// A rectangle of (across, down) coordinates relative to the face's first corner.
struct Rect {
    double a0, a1, b0, b1;
};

// What one face shares between its triangles.
struct FaceFrame {
    int q = 2, k = 1;  // component of the down and the along-the-line coordinate (across is x)
    double n[3] = {};  // face normal
    double absN[3] = {};
    double nSum = 0.0;                  // |N.x| + |N.y| + |N.z|
    double slopeA = 0.0, slopeB = 0.0;  // N.x / N.k and N.down / N.k: the plane's height falls by these
    double corner[3] = {};              // first corner Q
    double absK = 0.0;                  // the largest |line origin's coordinate along the line - Q's|
};

enum class Reach { None, Rect, Everywhere };

struct Point2 {
    double a, b;
};

// Keeps the part of the convex polygon where alpha a + beta b <= rhs.
int clipHalfPlane(const Point2* in, int count, double alpha, double beta, double rhs, Point2* out) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const Point2& s = in[i];
        const Point2& e = in[(i + 1) % count];
        const double ds = alpha * s.a + beta * s.b - rhs;
        const double de = alpha * e.a + beta * e.b - rhs;
        if (ds <= 0.0) out[n++] = s;
        if ((ds < 0.0 && de > 0.0) || (ds > 0.0 && de < 0.0)) {
            const double t = ds / (ds - de);
            out[n++] = Point2{s.a + t * (e.a - s.a), s.b + t * (e.b - s.b)};
        }
    }
    return n;
}

// What the bounds of one face need of a rectangle r of (across, down): the
// plane's height over it (relative to Q), the largest coordinates, and eps,
// the bound on the float intersection height's error. False when a bound
// could pass the range where float stays finite.
struct OverRect {
    double hMin, hMax, absA, absB, absH, eps;
};

bool boundsOver(const FaceFrame& fr, const Rect& r, OverRect& o) {
    const double absNk = fr.absN[fr.k];
    const double pa0 = fr.slopeA * r.a0, pa1 = fr.slopeA * r.a1, qb0 = fr.slopeB * r.b0, qb1 = fr.slopeB * r.b1;
    o.hMin = -(std::max(pa0, pa1) + std::max(qb0, qb1));
    o.hMax = -(std::min(pa0, pa1) + std::min(qb0, qb1));
    o.absA = std::max(std::fabs(r.a0), std::fabs(r.a1));
    o.absB = std::max(std::fabs(r.b0), std::fabs(r.b1));
    o.absH = std::max(std::fabs(o.hMin), std::fabs(o.hMax));
    const double numTerms = o.absA * fr.absN[0] + o.absB * fr.absN[fr.q] + fr.absK * absNk;
    const double tMax = o.absH + fr.absK;
    const double heightMax = std::fabs(fr.corner[fr.k]) + o.absH;
    o.eps = 1.5 * (6.0 * kUnit * numTerms / absNk + 2.0 * kUnit * (tMax + heightMax)) + kTiny / absNk;
    return numTerms < kHuge && tMax < kHuge && heightMax < kHuge && o.eps < kHuge;
}

// The half-planes alpha a + beta b <= rhs outside of which the float inside
// test of the enlarged triangle u (corners relative to Q) fails, for points
// in r, with every bound taken over r. uMax: the largest absolute corner
// coordinate. Everywhere when a bound could not be kept finite.
struct HalfPlanes {
    double alpha[3], beta[3], rhs[3];
};

// Half-planes a passing line satisfies, when they are known.
struct PassPlanes {
    HalfPlanes h;
    bool usable = false;
};

Reach triangleHalfPlanes(const FaceFrame& fr, const double u[3][3], double uMax, const Rect& r, HalfPlanes& out) {
    const int p = 0, q = fr.q, k = fr.k;
    const double* n = fr.n;
    OverRect o;
    if (!boundsOver(fr, r, o)) return Reach::Everywhere;
    const double hMin = o.hMin, hMax = o.hMax, absA = o.absA, absB = o.absB, absH = o.absH, eps = o.eps;

    // Per corner, the largest |corner - H| per component over r.
    double dist[3][3];
    for (int j = 0; j < 3; ++j) {
        dist[j][p] = std::max(std::fabs(u[j][p] - r.a0), std::fabs(u[j][p] - r.a1));
        dist[j][q] = std::max(std::fabs(u[j][q] - r.b0), std::fabs(u[j][q] - r.b1));
        dist[j][k] = std::max(std::fabs(u[j][k] - hMin), std::fabs(u[j][k] - hMax)) + eps;
    }
    for (int i = 0; i < 3; ++i) {
        const int j = i == 2 ? 0 : i + 1;
        const double* da = dist[i];
        const double* db = dist[j];
        const double t0 = da[1] * db[2] + da[2] * db[1];
        const double t1 = da[2] * db[0] + da[0] * db[2];
        const double t2 = da[0] * db[1] + da[1] * db[0];
        if (!(t0 < kHuge) || !(t1 < kHuge) || !(t2 < kHuge)) return Reach::Everywhere;
        const double terms = fr.absN[0] * t0 + fr.absN[1] * t1 + fr.absN[2] * t2;
        const double sums = da[0] + da[1] + da[2] + db[0] + db[1] + db[2];
        // 16 u for the test's own rounding; 8 u uMax for a corner that the
        // test's enlargement would round one step apart from ours.
        const double errorBound = 16.0 * kUnit * terms + 8.0 * kUnit * uMax * sums * fr.nSum + kTiny;
        if (!(errorBound < kHuge)) return Reach::Everywhere;

        const double e[3] = {u[j][0] - u[i][0], u[j][1] - u[i][1], u[j][2] - u[i][2]};
        const double g[3] = {e[1] * n[2] - e[2] * n[1], e[2] * n[0] - e[0] * n[2], e[0] * n[1] - e[1] * n[0]};
        const double cr[3] = {u[i][1] * u[j][2] - u[i][2] * u[j][1], u[i][2] * u[j][0] - u[i][0] * u[j][2],
                              u[i][0] * u[j][1] - u[i][1] * u[j][0]};
        const double c = cr[0] * n[0] + cr[1] * n[1] + cr[2] * n[2];
        const double alpha = g[p] - g[k] * fr.slopeA;
        const double beta = g[q] - g[k] * fr.slopeB;
        // Double rounding of these few operations, many times over.
        const double rounding =
            1e-12 * (std::fabs(c) + std::fabs(alpha) * absA + std::fabs(beta) * absB + std::fabs(g[k]) * absH +
                     std::fabs(cr[0]) * fr.absN[0] + std::fabs(cr[1]) * fr.absN[1] + std::fabs(cr[2]) * fr.absN[2]);
        const double rhs = c + errorBound + std::fabs(g[k]) * eps + rounding;
        if (!std::isfinite(alpha) || !std::isfinite(beta) || !std::isfinite(rhs)) return Reach::Everywhere;
        out.alpha[i] = alpha;
        out.beta[i] = beta;
        out.rhs[i] = rhs;
    }
    return Reach::Rect;
}

// The rounding of a clip or meet: box grown a little, then back inside r.
Reach padInto(const Rect& box, const Rect& r, Rect& out) {
    const double slackA = 1e-12 * (std::fabs(box.a0) + std::fabs(box.a1) + (r.a1 - r.a0)) + 1e-300;
    const double slackB = 1e-12 * (std::fabs(box.b0) + std::fabs(box.b1) + (r.b1 - r.b0)) + 1e-300;
    out.a0 = std::max(r.a0, box.a0 - slackA);
    out.a1 = std::min(r.a1, box.a1 + slackA);
    out.b0 = std::max(r.b0, box.b0 - slackB);
    out.b1 = std::min(r.b1, box.b1 + slackB);
    if (!(out.a0 <= out.a1) || !(out.b0 <= out.b1)) return Reach::None;
    return Reach::Rect;
}

// The rectangle r is cut to the points that satisfy all three half-planes,
// and the bounding rectangle of what is left is returned, within r.
Reach clippedBox(const HalfPlanes& h, const Rect& r, Rect& out) {
    Rect box;
    Point2 bufA[8] = {{r.a0, r.b0}, {r.a1, r.b0}, {r.a1, r.b1}, {r.a0, r.b1}}, bufB[8];
    Point2* poly = bufA;
    Point2* next = bufB;
    int count = 4;
    for (int i = 0; i < 3; ++i) {
        count = clipHalfPlane(poly, count, h.alpha[i], h.beta[i], h.rhs[i], next);
        std::swap(poly, next);
        if (count == 0) return Reach::None;
    }
    box = Rect{poly[0].a, poly[0].a, poly[0].b, poly[0].b};
    for (int i = 1; i < count; ++i) {
        box.a0 = std::min(box.a0, poly[i].a);
        box.a1 = std::max(box.a1, poly[i].a);
        box.b0 = std::min(box.b0, poly[i].b);
        box.b1 = std::max(box.b1, poly[i].b);
    }
    return padInto(box, r, out);
}

// The bounding rectangle, inside r, of the points of r that satisfy all three half-planes.
Reach regionInside(const HalfPlanes& h, const Rect& r, Rect& out) {
    Rect box;
    // Edge normals that surround the origin (weights of one sign) bound a
    // triangle: its corners are the pairwise meets of the lines. Otherwise,
    // or when two lines are nearly parallel, r is clipped by each half-plane.
    double w[3];
    bool closedForm = true;
    for (int i = 0; i < 3 && closedForm; ++i) {
        const int j = i == 2 ? 0 : i + 1, k = j == 2 ? 0 : j + 1;
        w[i] = h.alpha[j] * h.beta[k] - h.beta[j] * h.alpha[k];
        const double scale =
            (std::fabs(h.alpha[j]) + std::fabs(h.beta[j])) * (std::fabs(h.alpha[k]) + std::fabs(h.beta[k]));
        closedForm = std::fabs(w[i]) > 1e-6 * scale;
    }
    closedForm = closedForm && ((w[0] > 0 && w[1] > 0 && w[2] > 0) || (w[0] < 0 && w[1] < 0 && w[2] < 0));
    if (closedForm) {
        const double side = w[0] * h.rhs[0] + w[1] * h.rhs[1] + w[2] * h.rhs[2];
        if (w[0] > 0 ? side < 0.0 : side > 0.0) return Reach::None;
        for (int m = 0; m < 3; ++m) {
            // The meet of the two lines other than line m.
            const int i = m == 2 ? 0 : m + 1, j = i == 2 ? 0 : i + 1;
            const double det = w[m];
            const double xa = (h.rhs[i] * h.beta[j] - h.rhs[j] * h.beta[i]) / det;
            const double xb = (h.alpha[i] * h.rhs[j] - h.alpha[j] * h.rhs[i]) / det;
            // Its rounding, generously: cancellation in the numerators and in det.
            const double cond =
                (std::fabs(h.alpha[i] * h.beta[j]) + std::fabs(h.alpha[j] * h.beta[i])) / std::fabs(det);
            const double ea =
                1e-14 * cond * (std::fabs(h.rhs[i] * h.beta[j]) + std::fabs(h.rhs[j] * h.beta[i])) / std::fabs(det);
            const double eb =
                1e-14 * cond * (std::fabs(h.alpha[i] * h.rhs[j]) + std::fabs(h.alpha[j] * h.rhs[i])) / std::fabs(det);
            if (m == 0) box = Rect{xa - ea, xa + ea, xb - eb, xb + eb};
            box.a0 = std::min(box.a0, xa - ea);
            box.a1 = std::max(box.a1, xa + ea);
            box.b0 = std::min(box.b0, xb - eb);
            box.b1 = std::max(box.b1, xb + eb);
        }
        if (!std::isfinite(box.a0) || !std::isfinite(box.a1) || !std::isfinite(box.b0) || !std::isfinite(box.b1))
            closedForm = false;
    }
    if (!closedForm) return clippedBox(h, r, out);
    return padInto(box, r, out);
}

// The bounding rectangle of the triangle (pa, pb) scaled by grow about its centroid.
Rect grownBox(const double pa[3], const double pb[3], double grow) {
    const double ga = (pa[0] + pa[1] + pa[2]) / 3.0, gb = (pb[0] + pb[1] + pb[2]) / 3.0;
    Rect box{ga, ga, gb, gb};
    for (int j = 0; j < 3; ++j) {
        const double a = ga + grow * (pa[j] - ga), b = gb + grow * (pb[j] - gb);
        box.a0 = std::min(box.a0, a);
        box.a1 = std::max(box.a1, a);
        box.b0 = std::min(box.b0, b);
        box.b1 = std::max(box.b1, b);
    }
    return box;
}

// The same region in closed form, for the usual triangle. Moving a corner
// along N changes no det(. , . , N), so each edge's exact value at a point h
// of the plane is that of the corners projected along N into the plane:
// s*_i(h) = K lambda_i(h), with lambda_i the barycentric coordinate of h
// opposite edge i in the triangle those projected corners make across the
// line, and K = +-|N|^2 / N.k times twice that triangle's signed area. With
// one bound S for every edge's error, a pass needs lambda_i >= -S / K for all
// i: for K > 0 the triangle scaled by 1 + 3 S / K about its centroid; for
// K < 0 nothing at all while 3 S / |K| < 1 (the barycentric coordinates sum
// to 1). False when the case is none of these (the half-planes decide).
bool triangleReachClosed(const FaceFrame& fr, const double u[3][3], double uMax, const Rect& r, Reach& reach,
                         Rect& out, PassPlanes* pass) {
    const int p = 0, q = fr.q, k = fr.k;
    const double* n = fr.n;
    const double n2 = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    double lo[3], hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = std::min({u[0][c], u[1][c], u[2][c]});
        hi[c] = std::max({u[0][c], u[1][c], u[2][c]});
    }
    OverRect o;
    if (!boundsOver(fr, r, o)) {
        reach = Reach::Everywhere;
        return true;
    }
    const double hMin = o.hMin, hMax = o.hMax, eps = o.eps;
    // Per component, the largest |corner - H| over r and the three corners.
    double d[3];
    d[p] = std::max(std::fabs(hi[p] - r.a0), std::fabs(lo[p] - r.a1));
    d[q] = std::max(std::fabs(hi[q] - r.b0), std::fabs(lo[q] - r.b1));
    d[k] = std::max(std::fabs(hi[k] - hMin), std::fabs(lo[k] - hMax)) + eps;
    const double terms = 2.0 * (fr.absN[0] * d[1] * d[2] + fr.absN[1] * d[2] * d[0] + fr.absN[2] * d[0] * d[1]);
    const double sums = 2.0 * (d[0] + d[1] + d[2]);
    double longest = 0.0;
    for (int i = 0; i < 3; ++i) {
        const int j = i == 2 ? 0 : i + 1;
        const double ex = u[j][0] - u[i][0], ey = u[j][1] - u[i][1], ez = u[j][2] - u[i][2];
        longest = std::max(longest, ex * ex + ey * ey + ez * ez);
    }
    // Every edge's error: the test's rounding, a corner one rounding step
    // apart, and the intersection's height (|g.k| <= |edge| |N|).
    const double slack =
        16.0 * kUnit * terms + 8.0 * kUnit * uMax * sums * fr.nSum + std::sqrt(longest * n2) * eps + kTiny;
    const double largestProduct = std::max({d[0] * d[1], d[1] * d[2], d[2] * d[0]});
    if (!(slack < kHuge) || !(terms < kHuge) || !(largestProduct < kHuge)) {
        reach = Reach::Everywhere;
        return true;
    }
    // The corners projected along N into the plane, across the line.
    double pa[3], pb[3];
    for (int j = 0; j < 3; ++j) {
        const double t = (u[j][0] * n[0] + u[j][1] * n[1] + u[j][2] * n[2]) / n2;
        pa[j] = u[j][p] - t * n[p];
        pb[j] = u[j][q] - t * n[q];
    }
    const double area2 = (pa[1] - pa[0]) * (pb[2] - pb[0]) - (pb[1] - pb[0]) * (pa[2] - pa[0]);
    const double axisSign = k == 1 ? -1.0 : 1.0;
    const double K = axisSign * n2 / n[k] * area2;
    if (!std::isfinite(K) || K == 0.0) return false;
    // Twice the area next to the rounding of the corners: a sliver is left to the half-planes.
    const double spread = (hi[p] - lo[p] + hi[q] - lo[q]);
    if (std::fabs(area2) < 1e-9 * spread * spread) return false;
    const double mu = slack / std::fabs(K);
    if (K < 0.0) {
        if (3.0 * mu < 0.5) {
            reach = Reach::None;
            return true;
        }
        return false;
    }
    const Rect box = grownBox(pa, pb, 1.0 + 3.0 * mu);
    // Double rounding of the projection and the scaling.
    const double slackA = 1e-12 * (std::fabs(box.a0) + std::fabs(box.a1) + spread + (r.a1 - r.a0)) + 1e-300;
    const double slackB = 1e-12 * (std::fabs(box.b0) + std::fabs(box.b1) + spread + (r.b1 - r.b0)) + 1e-300;
    out.a0 = std::max(r.a0, box.a0 - slackA);
    out.a1 = std::min(r.a1, box.a1 + slackA);
    out.b0 = std::max(r.b0, box.b0 - slackB);
    out.b1 = std::min(r.b1, box.b1 + slackB);
    reach = (out.a0 <= out.a1 && out.b0 <= out.b1) ? Reach::Rect : Reach::None;
    // The same statement per line: lambda_i >= -mu, with lambda_i affine in
    // the line's (a, b). Kept for triangles that are not thin, where it is
    // well conditioned; its margin covers the double rounding many times over.
    if (pass && reach == Reach::Rect && std::fabs(area2) >= 1e-3 * spread * spread) {
        const double amax = std::max(std::fabs(r.a0), std::fabs(r.a1));
        const double bmax = std::max(std::fabs(r.b0), std::fabs(r.b1));
        const double shift = 10.0 * std::max(slackA, slackB);
        for (int i = 0; i < 3; ++i) {
            const int j = i == 2 ? 0 : i + 1, m = j == 2 ? 0 : j + 1;
            const double A = (pb[j] - pb[m]) / area2, B = (pa[m] - pa[j]) / area2;
            const double C = -(A * pa[m] + B * pb[m]);
            const double margin =
                1e-9 * (std::fabs(A) * amax + std::fabs(B) * bmax + std::fabs(C) + mu + 1.0) +
                (std::fabs(A) + std::fabs(B)) * shift;
            pass->h.alpha[i] = -A;
            pass->h.beta[i] = -B;
            pass->h.rhs[i] = C + mu + margin;
        }
        pass->usable = std::isfinite(pass->h.rhs[0]) && std::isfinite(pass->h.rhs[1]) && std::isfinite(pass->h.rhs[2]);
    }
    return true;
}

// The reach of one enlarged triangle for lines from r. With pass given, also
// three half-planes every passing line's (a, b) satisfies, when they are known
// well enough (pass->usable).
Reach triangleReach(const FaceFrame& fr, const double u[3][3], double uMax, const Rect& r, Rect& out,
                    PassPlanes* pass = nullptr) {
    if (pass) pass->usable = false;
    Reach reach;
    if (triangleReachClosed(fr, u, uMax, r, reach, out, pass)) return reach;
    HalfPlanes h;
    const Reach got = triangleHalfPlanes(fr, u, uMax, r, h);
    if (got != Reach::Rect) return got;
    const Reach region = regionInside(h, r, out);
    if (pass && region == Reach::Rect) {
        const double amax = std::max(std::fabs(r.a0), std::fabs(r.a1));
        const double bmax = std::max(std::fabs(r.b0), std::fabs(r.b1));
        pass->h = h;
        for (int i = 0; i < 3; ++i)
            pass->h.rhs[i] += 1e-9 * (std::fabs(h.alpha[i]) * amax + std::fabs(h.beta[i]) * bmax + std::fabs(h.rhs[i]));
        pass->usable = true;
    }
    return region;
}

// Two doubles worked on together: lane h is half h of the face.
using Pair = double __attribute__((vector_size(16)));
using PairMask = long long __attribute__((vector_size(16)));
// std::max and std::min lane by lane, NaN handling included.
inline Pair pairMax(Pair a, Pair b) { return a < b ? b : a; }
inline Pair pairMin(Pair a, Pair b) { return b < a ? b : a; }
// |a|: the sign bit cleared (a vector cast keeps the bits).
inline Pair pairAbs(Pair a) { return (Pair)((PairMask)a & 0x7fffffffffffffffLL); }
inline Pair loadPair(const double p[2]) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void storePair(double p[2], Pair v) { std::memcpy(p, &v, sizeof v); }

// The quick reach of one enlarged triangle (corners relative to the first
// corner Q) for lines from the box r, for the usual triangle.
//
// With lambda_i the barycentric coordinates, over the line's (a, b), of the
// triangle its corners make seen along N in the plane, every edge's exact
// value is s*_i = K lambda_i (see triangleReachClosed). The float test's
// result differs from it by the edge test's rounding, at most
// 16 u sum_m |N_m| 2 d_m+1 d_m+2 with d_m the largest |corner - H| in
// component m (7 u would do), and by the intersection height's error e,
// |e| <= u |A*| + 5.2 u S1 / |N.k| (S1 = sum |(Q - P)_m N_m|), which moves
// the point the test sees along N by e w, |w|_max <= |N.k| max(|N.a|,
// |N.b|) / |N|^2. For a line whose smallest lambda is -m, the other two sum
// to at most 1 + m, so the line lies within (1 + 3m) times the triangle's
// size of each corner across the line (and the plane's slope times that
// along it): the d_m and e are affine in m, and a pass needs m <= rho(m),
// rho convex. Where m - rho(m) > 0 at mu and at the largest m of the box, it
// is positive in between (concave): no line with some lambda_i < -mu passes.
// Since rho grows with m squared, far from a steep or slender triangle it can
// pass m where no line passes; one bound over the whole box (boxBoundOf)
// then gives a smaller largest m that a passing line can have, and the same
// holds up to it.
// The same bound rho(0) <= mu makes every line with all lambda_i > mu pass.
// rho is taken a quarter over. False when the case is not the usual one
// (a thin or turned triangle, magnitudes near float's limits, a bound that
// does not close): the careful reach decides then.
struct QuickPair {  // lane h: half h
    Pair A[3], B[3], C[3];  // lambda_i = A_i a + B_i b + C_i
    Pair margin[3];         // the double rounding of lambda_i, generously
    Pair mu;
    Pair a0, a1, b0, b1;    // where every lambda_i >= -mu - margin_i, within r (empty: a0 > a1 or b0 > b1)
};

// What the quick reach of every half of one face shares.
struct QuickFrame {
    double invN2;  // 1 / |N|^2
    double kScale, invKScale;  // K = kScale times the projected triangle's twice area, a little under
    double steep;  // (|N.a| + |N.b|) / |N.k|: how fast the plane's height changes across the line
    double wMax;   // the largest share of a move along the line that the test sees across it
    double eps0;   // the intersection height's error at the first corner, without its slope part
};

QuickFrame quickFrameOf(const FaceFrame& fr) {
    const int p = 0, q = fr.q, k = fr.k;
    const double* n = fr.n;
    QuickFrame qf;
    const double n2 = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    qf.invN2 = 1.0 / n2;
    const double axisSign = k == 1 ? -1.0 : 1.0;
    qf.kScale = axisSign * n2 / n[k] * (1.0 - 1e-9);
    qf.invKScale = 1.0 / qf.kScale * (1.0 + 1e-9);
    const double absNk = fr.absN[k];
    qf.steep = (fr.absN[p] + fr.absN[q]) / absNk;
    qf.wMax = absNk * std::max(fr.absN[p], fr.absN[q]) * qf.invN2;
    qf.eps0 = kUnit * std::fabs(fr.corner[k]) + 5.2 * kUnit * fr.absK;
    return qf;
}

// One bound on every edge's error for every line of the box r (as
// triangleReachClosed takes it: the test's rounding with the largest
// |corner - H| over the box, and the intersection height's error through
// |g.k| <= |edge| |N|), over K: a line passes only where every lambda_i >=
// -muBox, that is m <= muBox. v: the corners relative to the first corner,
// which are the test's own enlarged corners. False when a bound could pass
// the range where float stays finite.
bool boxBoundOf(const FaceFrame& fr, const Rect& r, const Pair v[3][3], Pair K, Pair& muBox) {
    OverRect o;
    if (!boundsOver(fr, r, o)) return false;
    const int p = 0, q = fr.q, k = fr.k;
    Pair lo[3], hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = pairMin(pairMin(v[0][c], v[1][c]), v[2][c]);
        hi[c] = pairMax(pairMax(v[0][c], v[1][c]), v[2][c]);
    }
    Pair d[3];
    d[p] = pairMax(pairAbs(hi[p] - r.a0), pairAbs(lo[p] - r.a1));
    d[q] = pairMax(pairAbs(hi[q] - r.b0), pairAbs(lo[q] - r.b1));
    d[k] = pairMax(pairAbs(hi[k] - o.hMin), pairAbs(lo[k] - o.hMax)) + o.eps;
    const Pair terms = 2.0 * (fr.absN[0] * d[1] * d[2] + fr.absN[1] * d[2] * d[0] + fr.absN[2] * d[0] * d[1]);
    Pair longest = {0.0, 0.0};
    for (int j = 0; j < 3; ++j) {
        const int l = j == 2 ? 0 : j + 1;
        const Pair ex = v[l][0] - v[j][0], ey = v[l][1] - v[j][1], ez = v[l][2] - v[j][2];
        longest = pairMax(longest, ex * ex + ey * ey + ez * ez);
    }
    const double n2 = fr.n[0] * fr.n[0] + fr.n[1] * fr.n[1] + fr.n[2] * fr.n[2];
    const Pair edgeN = Pair{std::sqrt(longest[0] * n2), std::sqrt(longest[1] * n2)};
    const Pair slack = 16.0 * kUnit * terms + edgeN * o.eps + kTiny;
    // K is taken a little under; the projection's double rounding, generously.
    muBox = slack / K * (1.0 + 1e-6);
    const PairMask fine = (slack < kHuge) & (terms < kHuge) & (muBox < kHuge);
    return fine[0] && fine[1];
}

// The quick reach of both halves of a face at once (for a triangle the
// second lane repeats the first), from the enlarged triangles as the test
// reads them. True when every half closes; false too when a corner is not a
// finite number.
bool quickHalves(const FaceFrame& fr, const QuickFrame& qf, const EnlargedTriangle half[2], bool quad, const Rect& r,
                 QuickPair& out) {
    const int p = 0, q = fr.q, k = fr.k;
    const double* n = fr.n;
    const double absNk = fr.absN[k];
    const int second = quad ? 1 : 0;
    // The corners relative to the first corner; x - x is 0 for a finite x and NaN otherwise.
    Pair v[3][3], notFinite = {0.0, 0.0};
    const EnlargedTriangle& t0 = half[0];
    const EnlargedTriangle& t1 = half[second];
    const Vec3* c0s[3] = {&t0.a, &t0.b, &t0.c};
    const Vec3* c1s[3] = {&t1.a, &t1.b, &t1.c};
    for (int j = 0; j < 3; ++j) {
        const Pair x = {c0s[j]->x, c1s[j]->x}, y = {c0s[j]->y, c1s[j]->y}, z = {c0s[j]->z, c1s[j]->z};
        notFinite += (x - x) + (y - y) + (z - z);
        v[j][0] = x - fr.corner[0];
        v[j][1] = y - fr.corner[1];
        v[j][2] = z - fr.corner[2];
    }
    Pair pa[3], pb[3], offPlane = {0.0, 0.0};  // offPlane: the largest |t| of a corner's move along N
    for (int j = 0; j < 3; ++j) {
        const Pair t = (v[j][0] * n[0] + v[j][1] * n[1] + v[j][2] * n[2]) * qf.invN2;
        pa[j] = v[j][p] - t * n[p];
        pb[j] = v[j][q] - t * n[q];
        offPlane = pairMax(offPlane, pairAbs(t));
    }
    Pair d2 = {0.0, 0.0};  // the projected triangle's size across the line (max norm)
    for (int j = 0; j < 3; ++j) {
        const int l = j == 2 ? 0 : j + 1;
        d2 = pairMax(d2, pairMax(pairAbs(pa[l] - pa[j]), pairAbs(pb[l] - pb[j])));
    }
    const Pair area2 = (pa[1] - pa[0]) * (pb[2] - pb[0]) - (pb[1] - pb[0]) * (pa[2] - pa[0]);
    const Pair K = qf.kScale * area2;
    PairMask ok = (notFinite == 0.0) & (pairAbs(area2) >= 1e-3 * d2 * d2) & (d2 > 0.0) & (K > 1e-30) & (K < kHuge);
    const Pair invArea2 = 1.0 / area2;
    // 1 / K, a little over.
    const Pair invK = pairAbs(invArea2 * qf.invKScale) * (1.0 + 1e-9);
    Pair gMax = {0.0, 0.0};
    const double amax = std::max(std::fabs(r.a0), std::fabs(r.a1));
    const double bmax = std::max(std::fabs(r.b0), std::fabs(r.b1));
    Pair* A = out.A;
    Pair* B = out.B;
    Pair* C = out.C;
    Pair* margin = out.margin;
    for (int i = 0; i < 3; ++i) {
        const int j = i == 2 ? 0 : i + 1, l = j == 2 ? 0 : j + 1;
        A[i] = (pb[j] - pb[l]) * invArea2;
        B[i] = (pa[l] - pa[j]) * invArea2;
        C[i] = -(A[i] * pa[l] + B[i] * pb[l]);
        margin[i] = 1e-9 * (pairAbs(A[i]) * amax + pairAbs(B[i]) * bmax + pairAbs(C[i]) + 1.0);
        gMax = pairMax(gMax, pairAbs(A[i]) + pairAbs(B[i]));
    }
    const double steep = qf.steep;
    const Pair c0 = pairMax(pairAbs(pa[0]), pairAbs(pb[0]));
    // rho(m) as a quadratic rho0 + rho1 m + rho2 m^2. With m >= 0 every
    // term is a sum of products of non-negative numbers, so nothing cancels.
    //   line's distance to a corner across the line: d2 (1 + 3 m)
    //   eps(m) = e0 + e1 m (the intersection height's error)
    //   |corner - H| per component: dm[c] + dm1[c] m
    const Pair reach1 = 3.0 * d2;
    const Pair e0 = qf.eps0 + 6.2 * kUnit * steep * (d2 + c0), e1 = 6.2 * kUnit * steep * reach1;
    Pair dm[3], dm1[3];
    dm[p] = offPlane * fr.absN[p] + d2;
    dm[q] = offPlane * fr.absN[q] + d2;
    dm[k] = offPlane * absNk + steep * d2 + e0;
    dm1[p] = dm1[q] = reach1;
    dm1[k] = steep * reach1 + e1;
    // w(m) = 2 sum_c |N_c| d_c+1 d_c+2.
    Pair w0 = {0.0, 0.0}, w1 = {0.0, 0.0}, w2 = {0.0, 0.0};
    for (int c = 0; c < 3; ++c) {
        const int i = c == 2 ? 0 : c + 1, j = i == 2 ? 0 : i + 1;
        w0 += fr.absN[c] * dm[i] * dm[j];
        w1 += fr.absN[c] * (dm[i] * dm1[j] + dm1[i] * dm[j]);
        w2 += fr.absN[c] * dm1[i] * dm1[j];
    }
    const Pair scaleW = 1.25 * 16.0 * kUnit * 2.0 * invK, scaleE = 1.25 * gMax * qf.wMax;
    const Pair rho0 = scaleW * w0 + scaleE * e0 + 1e-37 * invK;
    const Pair rho1 = scaleW * w1 + scaleE * e1;
    const Pair rho2 = scaleW * w2;
    auto rho = [&](Pair m) { return (rho0 + rho1 * m + rho2 * m * m) * (1.0 + 1e-12); };
    const Pair mu = 2.0 * rho(Pair{0.0, 0.0}) + 1e-12;
    // The largest m over the box: each -lambda_i is largest at a corner of it.
    Pair mMax = mu;
    for (int i = 0; i < 3; ++i)
        mMax = pairMax(mMax, -C[i] + pairMax(-A[i] * r.a0, -A[i] * r.a1) + pairMax(-B[i] * r.b0, -B[i] * r.b1));
    mMax = mMax * (1.0 + 1e-6) + 1e-9;
    ok &= (mu < 0.01) & (rho(mu) < mu);
    if (!ok[0] || !ok[1]) return false;
    // A passing line has m <= muBox too: then m - rho(m) > 0 is needed only
    // up to the smaller of the two.
    const Pair rhoMax = rho(mMax);
    PairMask closes = (rhoMax < mMax) & (rhoMax * K < kHuge);
    if (!closes[0] || !closes[1]) {
        Pair muBox;
        if (!boxBoundOf(fr, r, v, K, muBox)) return false;
        const Pair top = pairMax(mu, pairMin(mMax, muBox));
        const Pair rhoTop = rho(top);
        closes = (rhoTop < top) & (rhoTop * K < kHuge);
        if (!closes[0] || !closes[1]) return false;
    }
    // The triangle where every lambda_i >= -(mu + the largest margin): its
    // corners are the projected corners scaled about their centroid.
    const Pair grow = 1.0 + 3.0 * (mu + pairMax(pairMax(margin[0], margin[1]), margin[2]));
    const Pair ga = (pa[0] + pa[1] + pa[2]) / 3.0, gb = (pb[0] + pb[1] + pb[2]) / 3.0;
    Pair a0 = ga, a1 = ga, b0 = gb, b1 = gb;
    for (int j = 0; j < 3; ++j) {
        const Pair a = ga + grow * (pa[j] - ga), b = gb + grow * (pb[j] - gb);
        a0 = pairMin(a0, a);
        a1 = pairMax(a1, a);
        b0 = pairMin(b0, b);
        b1 = pairMax(b1, b);
    }
    const Pair pad = 1e-9 * (d2 + c0 + pairAbs(a0) + pairAbs(a1) + pairAbs(b0) + pairAbs(b1));
    out.mu = mu;
    out.a0 = pairMax(Pair{r.a0, r.a0}, a0 - pad);
    out.a1 = pairMin(Pair{r.a1, r.a1}, a1 + pad);
    out.b0 = pairMax(Pair{r.b0, r.b0}, b0 - pad);
    out.b1 = pairMin(Pair{r.b1, r.b1}, b1 + pad);
    return true;
}

// The box of the given line origins (all zero for none).
LineOriginBox boxOfOrigins(const Vec3* origins, int count) {
    LineOriginBox box{};
    if (count > 0) box = LineOriginBox{origins[0], origins[0]};
    for (int i = 1; i < count; ++i) {
        const Vec3& o = origins[i];
        box.min = Vec3{std::min(box.min.x, o.x), std::min(box.min.y, o.y), std::min(box.min.z, o.z)};
        box.max = Vec3{std::max(box.max.x, o.x), std::max(box.max.y, o.y), std::max(box.max.z, o.z)};
    }
    return box;
}

}  // namespace

// One face as its reach is worked out.
struct FaceGrid::FaceSetup {
    FaceFrame frame;
    CastFace cast;  // the face as its inside test reads it
    Vec3 corner[4];
    int used = 3;             // corners the test reads: 3, or 4 for a quad and more
    bool everywhere = false;  // bounds cannot be kept (corners not finite, or no valid box)
    Rect domain{};            // the origin box relative to the first corner
    Rect reach{};             // what faceCells found, relative to the first corner
    PassPlanes pass[2];       // per half, from its last reach
    bool live[2] = {false, false};  // per half: some line may pass it
};

int FaceGrid::cellIndexA(double a) const {
    const double v = (a - m_originA) * m_scaleA;
    if (!(v > 0.0)) return 0;
    if (v >= m_cellsA) return m_cellsA - 1;
    return static_cast<int>(v);
}

long long FaceGrid::cellArea(double a0, double a1, double b0, double b1) const {
    return static_cast<long long>(cellIndexA(a1) - cellIndexA(a0) + 1) * (cellIndexB(b1) - cellIndexB(b0) + 1);
}

int FaceGrid::cellIndexB(double b) const {
    const double v = (b - m_originB) * m_scaleB;
    if (!(v > 0.0)) return 0;
    if (v >= m_cellsB) return m_cellsB - 1;
    return static_cast<int>(v);
}

void FaceGrid::build(const FaceGridMesh& mesh, LineAxis axis, const LineOriginBox& origins, int cellsWanted,
                     const std::function<bool(int)>& include) {
    buildCells(mesh, axis, origins, cellsWanted, include, nullptr, 0);
}

void FaceGrid::buildForOrigins(const FaceGridMesh& mesh, LineAxis axis, const Vec3* origins, int count, int cellsWanted,
                               const std::function<bool(int)>& include) {
    const LineOriginBox box = boxOfOrigins(origins, count);
    buildCells(mesh, axis, box, cellsWanted, include, origins, count);
}

bool FaceGrid::anyOccupied(int a0, int a1, int b0, int b1) const {
    if (m_occupiedSum.empty()) return true;
    const size_t w = static_cast<size_t>(m_cellsA) + 1;
    auto at = [&](int a, int b) { return m_occupiedSum[static_cast<size_t>(b) * w + static_cast<size_t>(a)]; };
    return at(a1 + 1, b1 + 1) - at(a0, b1 + 1) - at(a1 + 1, b0) + at(a0, b0) > 0;
}

void FaceGrid::setUpCells(LineAxis axis, const LineOriginBox& origins, int cellsWanted, const Vec3* lineOrigins,
                          int lineCount) {
    m_axis = axis;
    m_box = origins;
    const bool alongY = axis == LineAxis::Y;
    const int q = alongY ? 2 : 1;
    const int k = alongY ? 1 : 2;
    m_boxMinB = static_cast<float>(component(origins.min, q));
    m_boxMaxB = static_cast<float>(component(origins.max, q));
    m_boxMinK = static_cast<float>(component(origins.min, k));
    m_boxMaxK = static_cast<float>(component(origins.max, k));
    m_sorted.clear();
    m_everywhere.clear();
    m_entries.clear();
    m_reach.clear();

    // Cells of about equal sides over the box's extent across the lines.
    const double a0 = origins.min.x, a1 = origins.max.x;
    const double b0 = m_boxMinB, b1 = m_boxMaxB;
    const double wa = a1 - a0, wb = b1 - b0;
    m_boxValid = std::isfinite(wa) && std::isfinite(wb) && wa >= 0.0 && wb >= 0.0;
    const int wanted = std::clamp(cellsWanted, 1, 1 << 22);
    m_cellsA = m_cellsB = 1;
    if (m_boxValid && wa > 0.0 && wb > 0.0) {
        const double side = std::sqrt(wa * wb / wanted);
        m_cellsA = static_cast<int>(std::clamp(std::ceil(wa / side), 1.0, static_cast<double>(wanted)));
        m_cellsB = static_cast<int>(std::clamp(std::ceil(wb / side), 1.0, static_cast<double>(wanted / m_cellsA + 1)));
    } else if (m_boxValid && wa > 0.0) {
        m_cellsA = wanted;
    } else if (m_boxValid && wb > 0.0) {
        m_cellsB = wanted;
    }
    m_originA = a0;
    m_originB = b0;
    m_scaleA = wa > 0.0 ? m_cellsA / wa : 0.0;
    m_scaleB = wb > 0.0 ? m_cellsB / wb : 0.0;
    const long long cellTotal = static_cast<long long>(m_cellsA) * m_cellsB;
    m_everywhereLimit = std::max<long long>(64, cellTotal / kEverywhereShare);
    // With the lines given, only the cells that hold one get faces: the
    // occupied cells, counted over every rectangle from the corner (0, 0).
    m_occupied.clear();
    m_occupiedSum.clear();
    if (lineOrigins) {
        m_occupied.assign(static_cast<size_t>(cellTotal), 0);
        for (int i = 0; i < lineCount; ++i) {
            const Vec3& o = lineOrigins[i];
            m_occupied[static_cast<size_t>(cellIndexA(o.x) + m_cellsA * cellIndexB(alongY ? o.z : o.y))] = 1;
        }
        const size_t w = static_cast<size_t>(m_cellsA) + 1;
        m_occupiedSum.assign(w * (static_cast<size_t>(m_cellsB) + 1), 0);
        for (int b = 0; b < m_cellsB; ++b)
            for (int a = 0; a < m_cellsA; ++a)
                m_occupiedSum[(static_cast<size_t>(b) + 1) * w + static_cast<size_t>(a) + 1] =
                    m_occupied[static_cast<size_t>(a + m_cellsA * b)] +
                    m_occupiedSum[static_cast<size_t>(b) * w + a + 1] +
                    m_occupiedSum[(static_cast<size_t>(b) + 1) * w + a] - m_occupiedSum[static_cast<size_t>(b) * w + a];
    }
}

// What the reach of one face starts from: its frame, its tested corners and
// the origin box relative to its first corner. False for a face that no line
// can meet at a finite point (never visited); everywhere set for one whose
// corners are not all finite numbers.
bool FaceGrid::frameOf(const FaceGridMesh& mesh, int f, FaceSetup& s) const {
    const int* cv = surfaceCorners(mesh, f, s.used);
    if (!cv) return false;
    for (int c = 0; c < s.used; ++c) s.corner[c] = mesh.positions[cv[c] - 1];
    const int q = m_axis == LineAxis::Y ? 2 : 1;
    const int k = m_axis == LineAxis::Y ? 1 : 2;
    const Vec3 normal = mesh.faceNormals[f];
    const Vec3 cornerQ = s.corner[0];
    // Parallel to the line, or a normal or first corner that is not a
    // finite number: the line never meets the plane at a finite point.
    if (!isFinite(normal) || component(normal, k) == 0.0 || !isFinite(cornerQ)) return false;
    s.everywhere = !m_boxValid || !isFinite(s.corner[1]) || !isFinite(s.corner[2]) ||
                   (s.used == 4 && !isFinite(s.corner[3]));
    // The enlarged halves as pointInTriangle and pointInQuad make them: (1, 2, 3) and (1, 3, 4).
    CastFace& cast = s.cast;
    cast.q = cornerQ;
    cast.n = normal;
    cast.quad = s.used == 4;
    cast.half[0] = enlargeTriangle(s.corner[0], s.corner[1], s.corner[2]);
    if (cast.quad) cast.half[1] = enlargeTriangle(s.corner[0], s.corner[2], s.corner[3]);
    if (s.everywhere) return true;
    FaceFrame& fr = s.frame;
    fr.q = q;
    fr.k = k;
    for (int i = 0; i < 3; ++i) {
        fr.n[i] = component(normal, i);
        fr.absN[i] = std::fabs(fr.n[i]);
        fr.corner[i] = component(cornerQ, i);
    }
    fr.nSum = fr.absN[0] + fr.absN[1] + fr.absN[2];
    fr.slopeA = fr.n[0] / fr.n[k];
    fr.slopeB = fr.n[q] / fr.n[k];
    fr.absK = std::max(std::fabs(component(m_box.min, k) - fr.corner[k]),
                       std::fabs(component(m_box.max, k) - fr.corner[k]));
    s.domain = Rect{m_box.min.x - fr.corner[0], m_box.max.x - fr.corner[0], m_boxMinB - fr.corner[q],
                    m_boxMaxB - fr.corner[q]};
    return true;
}

// The enlarged triangle of half h (the quad's halves as the test takes them:
// (1, 2, 3) and (1, 3, 4)) relative to the first corner. False when its
// corners are not all finite numbers.
bool FaceGrid::halfOf(const FaceSetup& s, int h, double u[3][3], double& uMax) {
    const EnlargedTriangle& t = s.cast.half[h];
    const Vec3* big[3] = {&t.a, &t.b, &t.c};
    const double* q = s.frame.corner;
    double largest = 0.0;
    for (int j = 0; j < 3; ++j) {
        const double x = big[j]->x, y = big[j]->y, z = big[j]->z;
        u[j][0] = x - q[0];
        u[j][1] = y - q[1];
        u[j][2] = z - q[2];
        largest = std::max({largest, std::fabs(x), std::fabs(y), std::fabs(z)});
    }
    uMax = largest;
    // Not finite: an infinity makes largest infinite, a NaN makes a difference NaN.
    return largest <= std::numeric_limits<double>::max() && u[0][0] == u[0][0] && u[0][1] == u[0][1] &&
           u[0][2] == u[0][2] && u[1][0] == u[1][0] && u[1][1] == u[1][1] && u[1][2] == u[1][2] &&
           u[2][0] == u[2][0] && u[2][1] == u[2][1] && u[2][2] == u[2][2];
}

FaceGrid::Cells FaceGrid::faceCells(const FaceGridMesh& mesh, int f, FaceSetup& s, int cells[4]) const {
    if (!frameOf(mesh, f, s)) return Cells::Skip;
    return framedCells(s, cells);
}

FaceGrid::Cells FaceGrid::framedCells(FaceSetup& s, int cells[4]) const {
    if (s.everywhere) return Cells::Everywhere;
    const FaceFrame& fr = s.frame;
    const int q = fr.q;
    const int halves = s.used == 4 ? 2 : 1;
    Rect& reach = s.reach;
    bool any = false;
    s.live[0] = s.live[1] = false;
    for (int h = 0; h < halves; ++h) {
        double u[3][3];
        double uMax;
        if (!halfOf(s, h, u, uMax)) return Cells::Everywhere;
        Rect r1;
        Reach got = triangleReach(fr, u, uMax, s.domain, r1, &s.pass[h]);
        if (got == Reach::Rect) {
            // The first bounds were taken over the whole box; taken over
            // what it left they are far smaller. Worth another pass only
            // when the reach covers more than twice the cells of the
            // triangle itself.
            const int ra0 = cellIndexA(r1.a0 + fr.corner[0]), ra1 = cellIndexA(r1.a1 + fr.corner[0]);
            const int rb0 = cellIndexB(r1.b0 + fr.corner[q]), rb1 = cellIndexB(r1.b1 + fr.corner[q]);
            const long long reached = static_cast<long long>(ra1 - ra0 + 1) * (rb1 - rb0 + 1);
            if (reached > 2 && anyOccupied(ra0, ra1, rb0, rb1) &&
                reached > 2 * cellArea(std::min({u[0][0], u[1][0], u[2][0]}) + fr.corner[0],
                                       std::max({u[0][0], u[1][0], u[2][0]}) + fr.corner[0],
                                       std::min({u[0][q], u[1][q], u[2][q]}) + fr.corner[q],
                                       std::max({u[0][q], u[1][q], u[2][q]}) + fr.corner[q])) {
                Rect r2;
                got = triangleReach(fr, u, uMax, r1, r2, &s.pass[h]);
                if (got == Reach::Rect) r1 = r2;
            }
        }
        if (got == Reach::Everywhere) return Cells::Everywhere;
        if (got != Reach::Rect) continue;
        s.live[h] = true;
        if (!any) {
            reach = r1;
            any = true;
        } else {
            reach.a0 = std::min(reach.a0, r1.a0);
            reach.a1 = std::max(reach.a1, r1.a1);
            reach.b0 = std::min(reach.b0, r1.b0);
            reach.b1 = std::max(reach.b1, r1.b1);
        }
    }
    if (!any) return Cells::None;  // no line from the box can pass its test
    cells[0] = cellIndexA(reach.a0 + fr.corner[0]);
    cells[1] = cellIndexA(reach.a1 + fr.corner[0]);
    cells[2] = cellIndexB(reach.b0 + fr.corner[q]);
    cells[3] = cellIndexB(reach.b1 + fr.corner[q]);
    return Cells::Rect;
}

void FaceGrid::buildCells(const FaceGridMesh& mesh, LineAxis axis, const LineOriginBox& origins, int cellsWanted,
                          const std::function<bool(int)>& include, const Vec3* lineOrigins, int lineCount) {
    setUpCells(axis, origins, cellsWanted, lineOrigins, lineCount);
    m_originStart.clear();
    m_originOrder.clear();
    FaceSetup s;
    for (int f = 0; f < mesh.faceCount; ++f) {
        if (include && !include(f)) continue;
        int c[4];
        const Cells got = faceCells(mesh, f, s, c);
        if (got == Cells::Skip || got == Cells::None) continue;
        m_sorted.push_back(f);
        if (got == Cells::Everywhere ||
            static_cast<long long>(c[1] - c[0] + 1) * (c[3] - c[2] + 1) > m_everywhereLimit) {
            m_everywhere.push_back(f);
            continue;
        }
        if (!anyOccupied(c[0], c[1], c[2], c[3])) continue;
        m_reach.insert(m_reach.end(), {f, c[0], c[1], c[2], c[3]});
    }

    // Counting sort into the cells, faces in ascending order within each.
    const long long cellTotal = static_cast<long long>(m_cellsA) * m_cellsB;
    m_cellStart.assign(static_cast<size_t>(cellTotal) + 1, 0u);
    const bool sparse = !m_occupied.empty();
    for (size_t i = 0; i < m_reach.size(); i += 5)
        for (int b = m_reach[i + 3]; b <= m_reach[i + 4]; ++b)
            for (int a = m_reach[i + 1]; a <= m_reach[i + 2]; ++a) {
                const size_t cell = static_cast<size_t>(a + m_cellsA * b);
                if (!sparse || m_occupied[cell]) ++m_cellStart[cell + 1];
            }
    for (size_t c = 1; c < m_cellStart.size(); ++c) m_cellStart[c] += m_cellStart[c - 1];
    m_entries.resize(m_cellStart.back());
    std::vector<std::uint32_t>& fill = m_fill;
    fill.assign(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t i = 0; i < m_reach.size(); i += 5)
        for (int b = m_reach[i + 3]; b <= m_reach[i + 4]; ++b)
            for (int a = m_reach[i + 1]; a <= m_reach[i + 2]; ++a) {
                const size_t cell = static_cast<size_t>(a + m_cellsA * b);
                if (!sparse || m_occupied[cell]) m_entries[fill[cell]++] = m_reach[i];
            }
}

void FaceGrid::buildOriginCells(LineAxis axis, const Vec3* origins, int count, int cellsWanted) {
    const LineOriginBox box = boxOfOrigins(origins, count);
    setUpCells(axis, box, cellsWanted, nullptr, 0);
    m_cellStart.clear();
    m_rowSpans.resize(3 * static_cast<size_t>(m_cellsB));  // a face reaches each row once at most
    // The origins by cell: a counting sort, ascending within each cell.
    const size_t cellTotal = static_cast<size_t>(m_cellsA) * static_cast<size_t>(m_cellsB);
    const bool alongY = axis == LineAxis::Y;
    m_fill.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        m_fill[static_cast<size_t>(i)] = static_cast<std::uint32_t>(
            cellIndexA(origins[i].x) + m_cellsA * cellIndexB(alongY ? origins[i].z : origins[i].y));
    m_originStart.assign(cellTotal + 1, 0u);
    for (int i = 0; i < count; ++i) ++m_originStart[m_fill[static_cast<size_t>(i)] + 1];
    for (size_t c = 1; c <= cellTotal; ++c) m_originStart[c] += m_originStart[c - 1];
    m_originOrder.resize(static_cast<size_t>(count));
    m_originSlot.resize(static_cast<size_t>(count));
    std::vector<std::uint32_t>& next = m_cellStart;  // not used for faces here
    next.assign(m_originStart.begin(), m_originStart.end() - 1);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t slot = next[m_fill[static_cast<size_t>(i)]]++;
        m_originOrder[slot] = i;
        m_originSlot[static_cast<size_t>(i)] = static_cast<int>(slot);
    }
    // The origins in slot order (read where they lie rather than written where they go).
    m_slotAcross.resize(static_cast<size_t>(count) + 3);
    m_slotDown.resize(static_cast<size_t>(count) + 3);
    m_slotAlong.resize(static_cast<size_t>(count));
    for (size_t slot = 0; slot < static_cast<size_t>(count); ++slot) {
        const Vec3 o = origins[m_originOrder[slot]];
        m_slotAcross[slot] = o.x;
        m_slotDown[slot] = alongY ? o.z : o.y;
        m_slotAlong[slot] = alongY ? o.y : o.z;
    }
    next.clear();
}

int FaceGrid::originRowsOf(const FaceGridMesh& mesh, int f) const {
    const int rows = rowsAndPlanesOf(mesh, f);
    if (rows > 0) prepareLanes();
    return rows;
}

// In float, a = fl(x - qa) rounds once (x, and qa, a corner's coordinate,
// are floats), and alpha a + beta b takes at most four roundings per term,
// so it differs from the exact value by at most 4 u (|alpha| |a| + |beta|
// |b|) plus what gradual underflow loses; the bounds move out by 5 u times
// that over the origin box, plus an absolute amount for underflow. Where a
// value could leave float's range the lanes let every origin through, none
// sure.
void FaceGrid::prepareLanes() const {
    const OriginFilter& planes = m_filter;
    LaneFilter& lanes = m_lanes;
    lanes.halves = 0;
    if (planes.halves == 0) return;
    const double amax = std::max(std::fabs(m_box.min.x - planes.qa), std::fabs(m_box.max.x - planes.qa));
    const double bmax = std::max(std::fabs(m_boxMinB - planes.qb), std::fabs(m_boxMaxB - planes.qb));
    const double underflow = 1e-37 * (1.0 + amax + bmax);
    // Both halves at once: the bounds moved out in double, with the largest
    // magnitude met; converted only when every value stays well inside
    // float's range. A sure bound of minus infinity (never sure) stays so
    // and is left out of the largest.
    const int second = planes.halves == 2 ? 1 : 0;
    Pair largest = {std::max(amax, bmax), 0.0};
    Pair alpha[3], beta[3], up[3], down[3];
    for (int i = 0; i < 3; ++i) {
        alpha[i] = loadPair(planes.alpha[i]);
        beta[i] = loadPair(planes.beta[i]);
        const Pair rhs = loadPair(planes.rhs[i]), sure = loadPair(planes.sure[i]);
        const Pair a = pairAbs(alpha[i]), b = pairAbs(beta[i]);
        const Pair spread = a * amax + b * bmax;
        const Pair slack = 5.0 * kUnit * spread * (1.0 + 1e-6) + underflow;
        // Past the rounding to float (half a float step, or half the smallest subnormal).
        const Pair u = rhs + slack, d = sure - slack;
        up[i] = u + pairAbs(u) * 1.2e-7 + 1e-45;
        down[i] = d - pairAbs(d) * 1.2e-7 - 1e-45;
        const Pair bound = sure == -std::numeric_limits<double>::infinity() ? Pair{0.0, 0.0} : pairAbs(d);
        largest = pairMax(pairMax(pairMax(largest, spread), pairMax(a, b)), pairMax(pairAbs(u), bound));
    }
    constexpr double kFloatRange = 1e30;
    // (A lane no half uses holds no value to convert.)
    if (!(std::max(largest[0], largest[second]) < kFloatRange)) return;
    for (int h = 0; h <= second; ++h)
        for (int i = 0; i < 3; ++i) {
            const float a = static_cast<float>(alpha[i][h]), b = static_cast<float>(beta[i][h]);
            const float r = static_cast<float>(up[i][h]), su = static_cast<float>(down[i][h]);
            lanes.alpha[h][i] = FloatLanes{a, a, a, a};
            lanes.beta[h][i] = FloatLanes{b, b, b, b};
            lanes.rhs[h][i] = FloatLanes{r, r, r, r};
            lanes.sure[h][i] = FloatLanes{su, su, su, su};
        }
    lanes.qa = static_cast<float>(planes.qa);
    lanes.qb = static_cast<float>(planes.qb);
    lanes.halves = planes.halves;
}

int FaceGrid::rowsAndPlanesOf(const FaceGridMesh& mesh, int f) const {
    FaceSetup s;
    if (!frameOf(mesh, f, s)) return 0;
    m_cast = s.cast;
    if (s.everywhere) return -1;
    OriginFilter& filter = m_filter;
    filter.qa = s.frame.corner[0];
    filter.qb = s.frame.corner[s.frame.q];
    const int halves = s.used == 4 ? 2 : 1;

    // The usual face: both halves' quick reaches. A half whose reach holds
    // no line of the box is left out (a face's one half in lane 0).
    QuickPair quick;
    const QuickFrame qf = quickFrameOf(s.frame);
    if (quickHalves(s.frame, qf, s.cast.half, halves == 2, s.domain, quick)) {
        const bool live0 = quick.a0[0] <= quick.a1[0] && quick.b0[0] <= quick.b1[0];
        const bool live1 = halves == 2 && quick.a0[1] <= quick.a1[1] && quick.b0[1] <= quick.b1[1];
        if (!live0 && !live1) return 0;
        auto liveFirst = [&](Pair v) { return live0 ? v : __builtin_shufflevector(v, v, 1, 0); };
        filter.halves = live0 && live1 ? 2 : 1;
        for (int i = 0; i < 3; ++i) {
            storePair(filter.alpha[i], liveFirst(-quick.A[i]));
            storePair(filter.beta[i], liveFirst(-quick.B[i]));
            storePair(filter.rhs[i], liveFirst(quick.C[i] + quick.mu + quick.margin[i]));
            storePair(filter.sure[i], liveFirst(quick.C[i] - quick.mu - quick.margin[i]));
        }
        const Pair a0 = liveFirst(quick.a0), a1 = liveFirst(quick.a1), b0 = liveFirst(quick.b0),
                   b1 = liveFirst(quick.b1);
        const int last = filter.halves - 1;
        Rect& reach = s.reach;
        reach = Rect{std::min(a0[0], a0[last]), std::max(a1[0], a1[last]), std::min(b0[0], b0[last]),
                     std::max(b1[0], b1[last])};
        const double qa = filter.qa, qb = filter.qb;
        const int c0 = cellIndexA(reach.a0 + qa), c1 = cellIndexA(reach.a1 + qa);
        const int r0 = cellIndexB(reach.b0 + qb), r1 = cellIndexB(reach.b1 + qb);
        m_rowCount = 0;
        if (r1 - r0 + 1 >= kBandRows && c1 - c0 + 1 >= kBandRows) {
            const double box[4] = {reach.a0, reach.a1, reach.b0, reach.b1};
            rowsOfPlanes(filter, box, r0, r1);
        } else {
            spanRows(r0, r1, c0, c1);
        }
        return m_rowCount;
    }

    // Otherwise the careful reach, and its half-planes where it has them.
    int c[4];
    const Cells got = framedCells(s, c);
    if (got == Cells::None) return 0;
    if (got == Cells::Everywhere) return -1;
    filter.halves = 0;
    for (int h = 0; h < 2; ++h) {
        if (!s.live[h]) continue;
        if (!s.pass[h].usable) {
            filter.halves = 0;  // a half without them: every line of the cells
            break;
        }
        const int k = filter.halves++;
        for (int i = 0; i < 3; ++i) {
            filter.alpha[i][k] = s.pass[h].h.alpha[i];
            filter.beta[i][k] = s.pass[h].h.beta[i];
            filter.rhs[i][k] = s.pass[h].h.rhs[i];
            filter.sure[i][k] = -std::numeric_limits<double>::infinity();  // never sure
        }
    }
    m_rowCount = 0;
    const int rows = c[3] - c[2] + 1;
    if (rows >= kBandRows && c[1] - c[0] + 1 >= kBandRows && bandRows(s, c[2], c[3])) return m_rowCount;
    spanRows(c[2], c[3], c[0], c[1]);
    return rows;
}

// Row by row, the cells where some half's three half-planes (bounds taken
// over the face's reach) all hold: a thin band across the grid then costs its
// own cells, not its bounding rectangle's. False when a half's bounds cannot
// be kept finite (the rectangle stands).
bool FaceGrid::bandRows(const FaceSetup& s, int b0, int b1) const {
    const FaceFrame& fr = s.frame;
    const int halves = s.used == 4 ? 2 : 1;
    OriginFilter planes;
    planes.qa = fr.corner[0];
    planes.qb = fr.corner[fr.q];
    for (int h = 0; h < halves; ++h) {
        double u[3][3];
        double uMax;
        if (!halfOf(s, h, u, uMax)) return false;
        HalfPlanes got;
        const Reach reach = triangleHalfPlanes(fr, u, uMax, s.reach, got);
        if (reach == Reach::Everywhere) return false;
        if (reach != Reach::Rect) continue;
        for (int i = 0; i < 3; ++i) {
            planes.alpha[i][planes.halves] = got.alpha[i];
            planes.beta[i][planes.halves] = got.beta[i];
            planes.rhs[i][planes.halves] = got.rhs[i];
        }
        ++planes.halves;
    }
    const double box[4] = {s.reach.a0, s.reach.a1, s.reach.b0, s.reach.b1};
    rowsOfPlanes(planes, box, b0, b1);
    return true;
}

// m_rowSpans: the rectangle of cells [a0, a1] x [b0, b1], row by row.
void FaceGrid::spanRows(int b0, int b1, int a0, int a1) const {
    int* span = m_rowSpans.data();
    for (int b = b0; b <= b1; ++b, span += 3) {
        span[0] = b;
        span[1] = a0;
        span[2] = a1;
    }
    m_rowCount = b1 - b0 + 1;
}

// Into m_rowSpans, for each row b0..b1, the cells of the reach (a0, a1, b0,
// b1 relative to the first corner) where some half's three half-planes all hold.
void FaceGrid::rowsOfPlanes(const OriginFilter& planes, const double box[4], int b0, int b1) const {
    const Rect reach{box[0], box[1], box[2], box[3]};
    const double qa = planes.qa, qb = planes.qb;
    const double cellB = 1.0 / m_scaleB;
    for (int b = b0; b <= b1; ++b) {
        // The row's strip of b, a little wider than cellIndexB's rounding, within the reach.
        const double lo = m_originB + b * cellB - qb, hi = lo + cellB;
        const double pad = 1e-9 * (cellB + std::fabs(lo) + std::fabs(hi) + std::fabs(qb));
        const double s0 = b == b0 ? reach.b0 : std::max(reach.b0, lo - pad);
        const double s1 = b == b1 ? reach.b1 : std::min(reach.b1, hi + pad);
        if (!(s0 <= s1)) continue;
        const Rect strip{reach.a0, reach.a1, s0, s1};
        bool any = false;
        Rect span{};
        for (int h = 0; h < planes.halves; ++h) {
            HalfPlanes half;
            for (int i = 0; i < 3; ++i) {
                half.alpha[i] = planes.alpha[i][h];
                half.beta[i] = planes.beta[i][h];
                half.rhs[i] = planes.rhs[i][h];
            }
            Rect got;
            if (clippedBox(half, strip, got) != Reach::Rect) continue;
            span = any ? Rect{std::min(span.a0, got.a0), std::max(span.a1, got.a1), 0, 0} : got;
            any = true;
        }
        if (!any) continue;
        int* row = m_rowSpans.data() + 3 * m_rowCount++;
        row[0] = b;
        row[1] = cellIndexA(span.a0 + qa);
        row[2] = cellIndexA(span.a1 + qa);
    }
}

}  // namespace vortel
