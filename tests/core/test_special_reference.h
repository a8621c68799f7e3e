// Plain reference versions of the special panel's searches, written straight
// from the rules they keep: every vertex against every vertex, every face
// against every later face. The tests require the scaling versions in
// core/special to give identical results; the benchmark times them on a slice.
#pragma once

#include <cstring>

#include "doc/CVELTADoc.h"
#include "geometry/Vector.h"
#include "special/EdgeMaker.h"
#include "special/Fusion.h"
#include "special/MtmPanel.h"
#include "special/ToleranceMap.h"

namespace vortel::ref {

// "VCM GEN": for each j, every i whose negated x, y and z equal j's.
inline int symmetry(const Vec3* v, int n, int* table, int* matchCount) {
    int resolved = 0;
    for (int j = 0; j < n; ++j) {
        table[j] = -1;
        matchCount[j] = 0;
        for (int i = 0; i < n; ++i)
            if (-v[i].x == v[j].x && v[i].y == v[j].y && v[i].z == v[j].z) {
                table[j] = i;
                ++matchCount[j];
            }
        if (matchCount[j] == 1) ++resolved;
    }
    return resolved;
}

// "VCM GEN" with a tolerance: for each j, every i whose mirror image lies
// within eps; the nearest wins, a tie counts every tied i and keeps the highest.
inline int toleranceSymmetry(const Vec3* v, int n, double eps, int* table, int* matchCount) {
    int resolved = 0;
    for (int j = 0; j < n; ++j) {
        table[j] = -1;
        matchCount[j] = 0;
        double nearest = 0.0;
        for (int i = 0; i < n; ++i) {
            const double gap = mirrorGapSquared(v[i], v[j]);
            if (!(gap <= eps * eps)) continue;
            if (table[j] < 0 || gap < nearest) {
                nearest = gap;
                matchCount[j] = 0;
            } else if (gap > nearest) {
                continue;
            }
            table[j] = i;
            ++matchCount[j];
        }
        if (matchCount[j] == 1) ++resolved;
    }
    return resolved;
}

// Shared-edge test: every corner of A against every corner of B; the first
// equal value is one end, the second the other; exactly two pairs make an edge.
inline int sharedEdge(const int* a, int na, const int* b, int nb, int& u, int& v) {
    int pairs = 0, e1 = 0, e2 = 0;
    for (int i = 0; i < na; ++i)
        for (int j = 0; j < nb; ++j)
            if (a[i] == b[j]) {
                if (pairs == 0) e1 = a[i];
                if (pairs == 1) e2 = a[i];
                ++pairs;
            }
    if (pairs != 2) {
        u = v = 0;
        return 0;
    }
    u = e1 < e2 ? e1 : e2;
    v = e1 < e2 ? e2 : e1;
    return 1;
}

// "1.ANALYSIS" search: every face A against every later face B, with the early exit.
inline EdgeScan edgeLines(const FaceTableView& ft, const Vec3* normals, float t, int maxHits, int* first,
                          int* second, int* face) {
    EdgeScan scan;
    for (int a = 0; a < ft.faceCount; ++a) {
        int neighbours = 0;
        for (int b = a + 1; b < ft.faceCount; ++b) {
            if (neighbours == ft.cornerCount[a]) break;
            int u, v;
            if (!sharedEdge(ft.cornerVertexList + ft.firstCorner[a], ft.cornerCount[a],
                            ft.cornerVertexList + ft.firstCorner[b], ft.cornerCount[b], u, v))
                continue;
            ++neighbours;
            const float d = vecDot(normals[a], normals[b]);
            if (!(d > t)) {
                first[scan.hits] = u;
                second[scan.hits] = v;
                face[scan.hits] = b;
                if (++scan.hits > maxHits) {
                    scan.limitReached = true;
                    return scan;
                }
            }
        }
    }
    return scan;
}

// "FUSION" duplicate search: each vertex i against every later vertex k not yet marked.
inline DuplicateSearch duplicatePairs(const Vec3* v, int n, int maxPairs, int* pairFirst, int* pairDuplicate,
                                      unsigned char* mark) {
    DuplicateSearch r;
    std::memset(mark, 0, static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        for (int k = i + 1; k < n; ++k) {
            if (mark[k]) continue;
            if (v[k].x == v[i].x && v[k].y == v[i].y && v[k].z == v[i].z) {
                pairFirst[r.pairs] = i;
                pairDuplicate[r.pairs] = k;
                mark[k] = 1;
                if (++r.pairs == maxPairs) {
                    r.limitReached = true;
                    return r;
                }
            }
        }
    return r;
}

// "FUSION" vertex map: a marked vertex looks up its first copy q in the pair list
// and counts the marked vertices before q.
inline void vertexMap(int n, const unsigned char* mark, const int* pairFirst, const int* pairDuplicate, int pairs,
                      int* map) {
    int running = 0;
    for (int j = 0; j < n; ++j) {
        if (!mark[j]) {
            map[j] = j - running;
            continue;
        }
        int q = -1;
        for (int p = 0; p < pairs && q < 0; ++p)
            if (pairDuplicate[p] == j) q = pairFirst[p];
        int before = 0;
        for (int i = 0; i < q; ++i) before += mark[i];
        map[j] = q - before;
        ++running;
    }
}

// "FUSION" re-pointing of a corner list: every corner against every pair; the
// count stops the pass when it reaches `limit`. Returns the count.
inline int repointCorners(int* corners, int cornerCount, const int* pairFirst, const int* pairDuplicate, int pairs,
                          int limit, bool& limitReached) {
    int counter = 0;
    limitReached = false;
    for (int c = 0; c < cornerCount; ++c)
        for (int p = 0; p < pairs; ++p)
            if (corners[c] == pairDuplicate[p] + 1) {
                corners[c] = pairFirst[p] + 1;
                if (++counter == limit) {
                    limitReached = true;
                    return counter;
                }
            }
    return counter;
}

// Morph mirroring, the per-vertex table of the five commands.
inline void mirror(MirrorMode mode, int n, const Vec3* display, const int* table, Vec3* delta, const Vec3* backup) {
    for (int k = 0; k < n; ++k) {
        const int p = table[k];
        const float x = display[k].x;
        if (mode == MirrorMode::LeftToRight && x <= 0.0f && p != -1) delta[k] = {-delta[p].x, delta[p].y, delta[p].z};
        if (mode == MirrorMode::RightToLeft && x >= 0.0f && p != -1) delta[k] = {-delta[p].x, delta[p].y, delta[p].z};
        if (mode == MirrorMode::Swap && p != -1) delta[k] = {-backup[p].x, backup[p].y, backup[p].z};
        if (mode == MirrorMode::ResetRight && x <= 0.0f) delta[k] = {};
        if (mode == MirrorMode::ResetLeft && x >= 0.0f) delta[k] = {};
    }
}

}  // namespace vortel::ref
