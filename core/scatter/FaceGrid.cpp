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
// passing point, first the origin box, then the region the first clip left.
#include "scatter/FaceGrid.h"

#include <algorithm>
#include <cmath>
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

bool faceHasSurface(const FaceGridMesh& mesh, int face) {
    if (face < 0 || face >= mesh.faceCount) return false;
    const int first = mesh.faceFirstCorner[face];
    const int count = mesh.faceCornerCount[face];
    if (count < 3 || first < 0) return false;
    const int used = count >= 4 ? 4 : 3;
    if (first > mesh.cornerEnd - used) return false;
    for (int c = 0; c < used; ++c) {
        const int v = mesh.cornerVertices[first + c];
        if (v < 1 || v > mesh.vertexCount) return false;
    }
    return true;
}

namespace {

constexpr double kUnit = 1.0 / 16777216.0;  // float's unit roundoff, 2^-24
// Past this, a float operation of the test might overflow: such faces are visited everywhere.
constexpr double kHuge = 1e30;
// Absolute error of float results near zero (gradual underflow), generously.
constexpr double kTiny = 1e-38;
// A face reaching more cells than this share of the grid is visited everywhere instead.
constexpr int kEverywhereShare = 4;

double component(const Vec3& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

bool isFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The enlarged corners exactly as pointInTriangle makes them, operation for operation.
void enlargeTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3 out[3]) {
    const float third = 0.33333334f;
    Vec3 centroid;
    centroid.x = (a.x + b.x + c.x) * third;
    centroid.y = (a.y + c.y + b.y) * third;
    centroid.z = (c.z + b.z + a.z) * third;
    const float k = 1.00100005f;  // float bits 0x3F8020C5
    const Vec3 in[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        out[i].x = (in[i].x - centroid.x) * k + centroid.x;
        out[i].y = (in[i].y - centroid.y) * k + centroid.y;
        out[i].z = (in[i].z - centroid.z) * k + centroid.z;
    }
}

// A rectangle of (across, down) coordinates relative to the face's first corner.
struct Rect {
    double a0, a1, b0, b1;
};

// What one face shares between its triangles.
struct FaceFrame {
    int q = 2, k = 1;     // component of the down and the along-the-line coordinate (across is x)
    double n[3] = {};     // face normal
    double corner[3] = {};  // first corner Q
    double k0 = 0.0, k1 = 0.0;  // line origins' coordinate along the line, minus Q's
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

// The rectangle, inside r, outside of which the float inside test of the
// enlarged triangle u (corners relative to Q) fails, with every bound taken
// over r. uMax: the largest absolute corner coordinate.
Reach clipTriangle(const FaceFrame& fr, const double u[3][3], double uMax, const Rect& r, Rect& out) {
    const int p = 0, q = fr.q, k = fr.k;
    const double* n = fr.n;
    const double nk = n[k];
    const double absN[3] = {std::fabs(n[0]), std::fabs(n[1]), std::fabs(n[2])};
    const double nSum = absN[0] + absN[1] + absN[2];

    // The plane's height over r (relative to Q), at r's corners.
    double hMin = std::numeric_limits<double>::infinity(), hMax = -hMin;
    for (double a : {r.a0, r.a1})
        for (double b : {r.b0, r.b1}) {
            const double h = -(n[p] * a + n[q] * b) / nk;
            hMin = std::min(hMin, h);
            hMax = std::max(hMax, h);
        }
    const double absA = std::max(std::fabs(r.a0), std::fabs(r.a1));
    const double absB = std::max(std::fabs(r.b0), std::fabs(r.b1));
    const double absK = std::max(std::fabs(fr.k0), std::fabs(fr.k1));
    const double numTerms = absA * absN[p] + absB * absN[q] + absK * absN[k];
    const double tMax = std::max({std::fabs(hMin - fr.k0), std::fabs(hMin - fr.k1), std::fabs(hMax - fr.k0),
                                  std::fabs(hMax - fr.k1)});
    const double heightMax = std::fabs(fr.corner[k]) + std::max(std::fabs(hMin), std::fabs(hMax));
    const double eps = 1.5 * (6.0 * kUnit * numTerms / std::fabs(nk) + 2.0 * kUnit * (tMax + heightMax)) +
                       kTiny / std::fabs(nk);
    if (!(numTerms < kHuge) || !(tMax < kHuge) || !(heightMax < kHuge) || !(eps < kHuge)) return Reach::Everywhere;

    // Per corner, the largest |corner - H| per component over r.
    double dist[3][3];
    for (int j = 0; j < 3; ++j) {
        dist[j][p] = std::max(std::fabs(u[j][p] - r.a0), std::fabs(u[j][p] - r.a1));
        dist[j][q] = std::max(std::fabs(u[j][q] - r.b0), std::fabs(u[j][q] - r.b1));
        dist[j][k] = std::max(std::fabs(u[j][k] - hMin), std::fabs(u[j][k] - hMax)) + eps;
    }

    Point2 bufA[8] = {{r.a0, r.b0}, {r.a1, r.b0}, {r.a1, r.b1}, {r.a0, r.b1}}, bufB[8];
    Point2* poly = bufA;
    Point2* next = bufB;
    int count = 4;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const double* da = dist[i];
        const double* db = dist[j];
        double terms = 0.0, sumA = 0.0, sumB = 0.0;
        for (int m = 0; m < 3; ++m) {
            const int m1 = (m + 1) % 3, m2 = (m + 2) % 3;
            const double t = da[m1] * db[m2] + da[m2] * db[m1];
            if (!(t < kHuge)) return Reach::Everywhere;
            terms += absN[m] * t;
            sumA += da[m];
            sumB += db[m];
        }
        // 16 u for the test's own rounding; 8 u uMax for a corner that the
        // test's enlargement would round one step apart from ours.
        const double errorBound = 16.0 * kUnit * terms + 8.0 * kUnit * uMax * (sumA + sumB) * nSum + kTiny;
        if (!(errorBound < kHuge)) return Reach::Everywhere;

        const double e[3] = {u[j][0] - u[i][0], u[j][1] - u[i][1], u[j][2] - u[i][2]};
        const double g[3] = {e[1] * n[2] - e[2] * n[1], e[2] * n[0] - e[0] * n[2], e[0] * n[1] - e[1] * n[0]};
        const double cr[3] = {u[i][1] * u[j][2] - u[i][2] * u[j][1], u[i][2] * u[j][0] - u[i][0] * u[j][2],
                              u[i][0] * u[j][1] - u[i][1] * u[j][0]};
        const double c = cr[0] * n[0] + cr[1] * n[1] + cr[2] * n[2];
        const double alpha = g[p] - g[k] * n[p] / nk;
        const double beta = g[q] - g[k] * n[q] / nk;
        // Double rounding of these few operations, many times over.
        const double rounding =
            1e-12 * (std::fabs(c) + std::fabs(alpha) * absA + std::fabs(beta) * absB +
                     std::fabs(g[k]) * std::max(std::fabs(hMin), std::fabs(hMax)) +
                     (std::fabs(cr[0]) * absN[0] + std::fabs(cr[1]) * absN[1] + std::fabs(cr[2]) * absN[2]));
        const double rhs = c + errorBound + std::fabs(g[k]) * eps + rounding;
        if (!std::isfinite(alpha) || !std::isfinite(beta) || !std::isfinite(rhs)) return Reach::Everywhere;
        count = clipHalfPlane(poly, count, alpha, beta, rhs, next);
        std::swap(poly, next);
        if (count == 0) return Reach::None;
    }
    Rect box{poly[0].a, poly[0].a, poly[0].b, poly[0].b};
    for (int i = 1; i < count; ++i) {
        box.a0 = std::min(box.a0, poly[i].a);
        box.a1 = std::max(box.a1, poly[i].a);
        box.b0 = std::min(box.b0, poly[i].b);
        box.b1 = std::max(box.b1, poly[i].b);
    }
    // The clip's own rounding, then back inside r.
    const double slackA = 1e-12 * (std::fabs(box.a0) + std::fabs(box.a1) + (r.a1 - r.a0)) + 1e-300;
    const double slackB = 1e-12 * (std::fabs(box.b0) + std::fabs(box.b1) + (r.b1 - r.b0)) + 1e-300;
    out.a0 = std::max(r.a0, box.a0 - slackA);
    out.a1 = std::min(r.a1, box.a1 + slackA);
    out.b0 = std::max(r.b0, box.b0 - slackB);
    out.b1 = std::min(r.b1, box.b1 + slackB);
    if (!(out.a0 <= out.a1) || !(out.b0 <= out.b1)) return Reach::None;
    return Reach::Rect;
}

}  // namespace

int FaceGrid::cellIndexA(double a) const {
    const double v = (a - m_originA) * m_scaleA;
    if (!(v > 0.0)) return 0;
    if (v >= m_cellsA) return m_cellsA - 1;
    return static_cast<int>(v);
}

int FaceGrid::cellIndexB(double b) const {
    const double v = (b - m_originB) * m_scaleB;
    if (!(v > 0.0)) return 0;
    if (v >= m_cellsB) return m_cellsB - 1;
    return static_cast<int>(v);
}

void FaceGrid::build(const FaceGridMesh& mesh, LineAxis axis, const LineOriginBox& origins, int cellsWanted,
                     const std::function<bool(int)>& include) {
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
    const bool boxValid = std::isfinite(wa) && std::isfinite(wb) && wa >= 0.0 && wb >= 0.0;
    const int wanted = std::clamp(cellsWanted, 1, 1 << 22);
    m_cellsA = m_cellsB = 1;
    if (boxValid && wa > 0.0 && wb > 0.0) {
        const double side = std::sqrt(wa * wb / wanted);
        m_cellsA = static_cast<int>(std::clamp(std::ceil(wa / side), 1.0, static_cast<double>(wanted)));
        m_cellsB = static_cast<int>(std::clamp(std::ceil(wb / side), 1.0, static_cast<double>(wanted / m_cellsA + 1)));
    } else if (boxValid && wa > 0.0) {
        m_cellsA = wanted;
    } else if (boxValid && wb > 0.0) {
        m_cellsB = wanted;
    }
    m_originA = a0;
    m_originB = b0;
    m_scaleA = wa > 0.0 ? m_cellsA / wa : 0.0;
    m_scaleB = wb > 0.0 ? m_cellsB / wb : 0.0;
    const long long cellTotal = static_cast<long long>(m_cellsA) * m_cellsB;
    const long long everywhereLimit = std::max<long long>(64, cellTotal / kEverywhereShare);

    FaceFrame fr;
    fr.q = q;
    fr.k = k;
    for (int f = 0; f < mesh.faceCount; ++f) {
        if (include && !include(f)) continue;
        if (!faceHasSurface(mesh, f)) continue;
        const Vec3 normal = mesh.faceNormals[f];
        // Parallel to the line, or a normal or first corner that is not a
        // finite number: the line never meets the plane at a finite point.
        if (!isFinite(normal) || component(normal, k) == 0.0) continue;
        const int first = mesh.faceFirstCorner[f];
        const Vec3 cornerQ = mesh.positions[mesh.cornerVertices[first] - 1];
        if (!isFinite(cornerQ)) continue;
        m_sorted.push_back(f);
        if (!boxValid) {
            m_everywhere.push_back(f);
            continue;
        }

        const int used = mesh.faceCornerCount[f] >= 4 ? 4 : 3;
        Vec3 corner[4];
        bool finite = true;
        for (int c = 0; c < used; ++c) {
            corner[c] = mesh.positions[mesh.cornerVertices[first + c] - 1];
            finite = finite && isFinite(corner[c]);
        }
        if (!finite) {
            m_everywhere.push_back(f);
            continue;
        }
        for (int i = 0; i < 3; ++i) {
            fr.n[i] = component(normal, i);
            fr.corner[i] = component(cornerQ, i);
        }
        fr.k0 = component(origins.min, k) - fr.corner[k];
        fr.k1 = component(origins.max, k) - fr.corner[k];
        const Rect domain{a0 - fr.corner[0], a1 - fr.corner[0], b0 - fr.corner[q], b1 - fr.corner[q]};

        // The quad's two halves as the test takes them: (1, 2, 3) and (1, 3, 4).
        const int halves = used == 4 ? 2 : 1;
        const int halfCorners[2][3] = {{0, 1, 2}, {0, 2, 3}};
        bool everywhere = false, any = false;
        Rect reach{};
        for (int h = 0; h < halves && !everywhere; ++h) {
            Vec3 big[3];
            enlargeTriangle(corner[halfCorners[h][0]], corner[halfCorners[h][1]], corner[halfCorners[h][2]], big);
            double u[3][3];
            double uMax = 0.0;
            bool finiteBig = true;
            for (int j = 0; j < 3; ++j) {
                finiteBig = finiteBig && isFinite(big[j]);
                for (int i = 0; i < 3; ++i) {
                    u[j][i] = component(big[j], i) - fr.corner[i];
                    uMax = std::max(uMax, std::fabs(component(big[j], i)));
                }
            }
            if (!finiteBig) {
                everywhere = true;
                break;
            }
            Rect r1;
            Reach got = clipTriangle(fr, u, uMax, domain, r1);
            if (got == Reach::Rect) {
                // The first bounds were taken over the whole box; taken over
                // what it left they are far smaller. Skipped when the reach
                // already covers no more cells than the triangle itself.
                const double ta0 = std::min({u[0][0], u[1][0], u[2][0]}) + fr.corner[0];
                const double ta1 = std::max({u[0][0], u[1][0], u[2][0]}) + fr.corner[0];
                const double tb0 = std::min({u[0][q], u[1][q], u[2][q]}) + fr.corner[q];
                const double tb1 = std::max({u[0][q], u[1][q], u[2][q]}) + fr.corner[q];
                const bool tight = cellIndexA(r1.a0 + fr.corner[0]) >= cellIndexA(ta0) &&
                                   cellIndexA(r1.a1 + fr.corner[0]) <= cellIndexA(ta1) &&
                                   cellIndexB(r1.b0 + fr.corner[q]) >= cellIndexB(tb0) &&
                                   cellIndexB(r1.b1 + fr.corner[q]) <= cellIndexB(tb1);
                if (!tight) {
                    Rect r2;
                    got = clipTriangle(fr, u, uMax, r1, r2);
                    if (got == Reach::Rect) r1 = r2;
                }
            }
            if (got == Reach::Everywhere) everywhere = true;
            if (got != Reach::Rect) continue;
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
        if (everywhere) {
            m_everywhere.push_back(f);
            continue;
        }
        if (!any) {
            m_sorted.pop_back();  // no line from the box can pass its test
            continue;
        }
        const int ca0 = cellIndexA(reach.a0 + fr.corner[0]), ca1 = cellIndexA(reach.a1 + fr.corner[0]);
        const int cb0 = cellIndexB(reach.b0 + fr.corner[q]), cb1 = cellIndexB(reach.b1 + fr.corner[q]);
        const long long covered = static_cast<long long>(ca1 - ca0 + 1) * (cb1 - cb0 + 1);
        if (covered > everywhereLimit) {
            m_everywhere.push_back(f);
            continue;
        }
        m_reach.insert(m_reach.end(), {f, ca0, ca1, cb0, cb1});
    }

    // Counting sort into the cells, faces in ascending order within each.
    m_cellStart.assign(static_cast<size_t>(cellTotal) + 1, 0u);
    for (size_t i = 0; i < m_reach.size(); i += 5)
        for (int b = m_reach[i + 3]; b <= m_reach[i + 4]; ++b)
            for (int a = m_reach[i + 1]; a <= m_reach[i + 2]; ++a) ++m_cellStart[static_cast<size_t>(a + m_cellsA * b) + 1];
    for (size_t c = 1; c < m_cellStart.size(); ++c) m_cellStart[c] += m_cellStart[c - 1];
    m_entries.resize(m_cellStart.back());
    std::vector<std::uint32_t>& fill = m_fill;
    fill.assign(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t i = 0; i < m_reach.size(); i += 5)
        for (int b = m_reach[i + 3]; b <= m_reach[i + 4]; ++b)
            for (int a = m_reach[i + 1]; a <= m_reach[i + 2]; ++a)
                m_entries[fill[static_cast<size_t>(a + m_cellsA * b)]++] = m_reach[i];
}

}  // namespace vortel
