// Edge maker: the threshold table, the edge analysis through vertex-to-face
// adjacency, and the cut.
#include "special/EdgeMaker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "doc/CVELTADoc.h"
#include "doc/Text.h"
#include "special/MtmPanel.h"
#include "doc/Scratch.h"

namespace vortel {

float edgeThreshold(int sliderPosition) {
    const long double angle =
        static_cast<long double>(sliderPosition) * 10.0L * static_cast<long double>(0.017455555f);
    float t = static_cast<float>(1.0L - std::sin(angle));
    if (sliderPosition > 9) t = -t;
    return t;
}

namespace {

// Working arrays of the analysis, allocated once. For each vertex number, the
// faces that use it in ascending order, once per face, with the number of the
// face's corners that hold it. Vertex numbers outside 1 .. 130,000 share
// bucket 0, which only widens the candidates (the shared-edge test decides).
struct Adjacency {
    FixedArray<int> bucketStart{static_cast<size_t>(kVertexSlots) + 1};
    FixedArray<int> bucketFill{kVertexSlots};
    FixedArray<int> lastFace{kVertexSlots};
    FixedArray<int> faces{kCornerSlots};
    FixedArray<int> multiplicity{kCornerSlots};
    // Per later face met from the face being analysed: the corner pairs
    // counted so far and the first two equal values.
    FixedArray<int> stamp{kFaceSlots};
    FixedArray<int> pairs{kFaceSlots};
    FixedArray<int> value1{kFaceSlots};
    FixedArray<int> value2{kFaceSlots};
    FixedArray<int> touched{kFaceSlots};
    // One cursor per corner of the face being analysed (ordered walk).
    FixedArray<const int*> cursor{kCornerSlots};
    FixedArray<const int*> cursorEnd{kCornerSlots};
    FixedArray<int> heap{kCornerSlots};
};

inline int bucketOf(int v) { return v >= 1 && v <= kMaxVertices ? v : 0; }

void buildAdjacency(Adjacency& a, const FaceTableView& ft) {
    int* start = a.bucketStart.data();
    int* last = a.lastFace.data();
    // Only the buckets up to the highest one the faces use are cleared and
    // summed, so a small mesh costs in proportion to itself, not to the
    // capacity. Every bucket read later is one a corner of some face uses.
    int top = 0;
    for (int f = 0; f < ft.faceCount; ++f) {
        const int* c = ft.cornerVertexList + ft.firstCorner[f];
        for (int k = 0; k < ft.cornerCount[f]; ++k) top = std::max(top, bucketOf(c[k]));
    }
    const int slots = top + 1;
    std::memset(start, 0, sizeof(int) * (slots + 1));
    std::fill(last, last + slots, -1);
    size_t total = 0;
    for (int f = 0; f < ft.faceCount; ++f) {
        const int* c = ft.cornerVertexList + ft.firstCorner[f];
        for (int k = 0; k < ft.cornerCount[f]; ++k) {
            const int b = bucketOf(c[k]);
            if (last[b] == f) continue;  // a vertex repeated within the face
            last[b] = f;
            ++start[b + 1];
            ++total;
        }
    }
    // Corner slices tile at most 520,000 corners, so the lists always fit.
    if (total > a.faces.size()) total = a.faces.size();
    for (int b = 0; b < slots; ++b) start[b + 1] += start[b];
    int* fill = a.bucketFill.data();
    std::memcpy(fill, start, sizeof(int) * slots);
    std::fill(last, last + slots, -1);
    for (int f = 0; f < ft.faceCount; ++f) {
        const int* c = ft.cornerVertexList + ft.firstCorner[f];
        for (int k = 0; k < ft.cornerCount[f]; ++k) {
            const int b = bucketOf(c[k]);
            if (last[b] == f) {
                ++a.multiplicity[fill[b] - 1];
                continue;
            }
            last[b] = f;
            if (static_cast<size_t>(fill[b]) >= total) continue;
            a.faces[fill[b]] = f;
            a.multiplicity[fill[b]] = 1;
            ++fill[b];
        }
    }
}

// Above this many list entries past A, the later faces are walked in order so
// that the early exit bounds the work (a vertex shared by very many faces).
constexpr long long kGatherLimit = 4096;

}  // namespace

EdgeScan findEdgeLines(const FaceTableView& ft, const Vec3* faceNormals, float t, int maxHits, int* first,
                       int* second, int* face, const std::function<void(int)>& progress) {
    EdgeScan scan;
    Adjacency& a = scratch<Adjacency>();
    buildAdjacency(a, ft);
    const int* start = a.bucketStart.data();
    const int* lists = a.faces.data();
    const int* mult = a.multiplicity.data();
    int* stamp = a.stamp.data();
    int* pairs = a.pairs.data();
    int* value1 = a.value1.data();
    int* value2 = a.value2.data();
    int* touched = a.touched.data();
    std::fill(stamp, stamp + ft.faceCount, -1);

    // Lists one hit; false once the lists are full.
    auto hit = [&](int u, int v, int fb) {
        first[scan.hits] = u;
        second[scan.hits] = v;
        face[scan.hits] = fb;
        if (++scan.hits > maxHits) {
            scan.limitReached = true;
            return false;
        }
        return true;
    };

    // The ordered walk: a min-heap of cursors, one per corner of A, each
    // walking that corner's face list past A. The later faces that share a
    // vertex with A come out in ascending order and the walk ends as soon as
    // A has all its neighbours, so no face is visited that the all-pairs
    // scan's early exit would have skipped.
    const int** cursor = a.cursor.data();
    const int** cursorEnd = a.cursorEnd.data();
    int* heap = a.heap.data();
    auto less = [&](int i, int j) { return *cursor[i] < *cursor[j]; };
    auto siftDown = [&](int size, int at) {
        for (;;) {
            int m = at;
            const int l = 2 * at + 1, r = l + 1;
            if (l < size && less(heap[l], heap[m])) m = l;
            if (r < size && less(heap[r], heap[m])) m = r;
            if (m == at) return;
            std::swap(heap[m], heap[at]);
            at = m;
        }
    };
    auto orderedWalk = [&](int fa) {
        const int countA = ft.cornerCount[fa];
        const int* cornersA = ft.cornerVertexList + ft.firstCorner[fa];
        int size = 0;
        for (int k = 0; k < countA; ++k) {
            const int b = bucketOf(cornersA[k]);
            const int* hi = lists + start[b + 1];
            const int* lo = std::upper_bound(lists + start[b], hi, fa);
            if (lo == hi) continue;
            cursor[size] = lo;
            cursorEnd[size] = hi;
            heap[size] = size;
            ++size;
        }
        for (int i = size / 2 - 1; i >= 0; --i) siftDown(size, i);
        int neighbours = 0;
        int last = -1;
        const Vec3 na = faceNormals[fa];
        while (size > 0 && neighbours != countA) {
            const int top = heap[0];
            const int fb = *cursor[top];
            if (++cursor[top] == cursorEnd[top]) heap[0] = heap[--size];
            siftDown(size, 0);
            if (fb == last) continue;  // a face met through a second shared vertex
            last = fb;
            int u = 0, v = 0;
            if (!sharedEdge(cornersA, countA, ft.cornerVertexList + ft.firstCorner[fb], ft.cornerCount[fb], u, v))
                continue;
            ++neighbours;
            if (vecDot(na, faceNormals[fb]) > t) continue;  // a NaN normal compares as not greater: a hit
            if (!hit(u, v, fb)) return false;
        }
        return true;
    };

    for (int fa = 0; fa < ft.faceCount; ++fa) {
        if (progress && fa % 250 == 0) progress(static_cast<int>(static_cast<double>(fa) / ft.faceCount * 100.0));
        const int countA = ft.cornerCount[fa];
        if (countA <= 0) continue;  // no neighbour can be missing: the scan moves on at once
        const int* cornersA = ft.cornerVertexList + ft.firstCorner[fa];

        // Where the lists past A are short and every corner of A is a vertex of
        // the mesh, gather: the multiplicities give each later face's corner
        // pair count exactly as the shared-edge test counts it, and its two
        // equal values; exactly two pairs make an edge.
        long long tail = 0;
        bool inRange = true;
        const int* from[64];
        for (int k = 0; k < countA && inRange && tail <= kGatherLimit; ++k) {
            const int b = bucketOf(cornersA[k]);
            if (b == 0 || k >= 64) {
                inRange = false;
                break;
            }
            const int* hi = lists + start[b + 1];
            const int* lo = lists + start[b];
            if (hi - lo > 16)
                lo = std::upper_bound(lo, hi, fa);
            else
                while (lo < hi && *lo <= fa) ++lo;
            from[k] = lo;
            tail += hi - lo;
        }
        if (!inRange || tail > kGatherLimit) {
            if (!orderedWalk(fa)) return scan;
            continue;
        }
        int touchedCount = 0;
        for (int k = 0; k < countA; ++k) {
            const int value = cornersA[k];  // in range: its own bucket
            const int* hi = lists + start[value + 1];
            for (const int* p = from[k]; p < hi; ++p) {
                const int fb = *p;
                int m = mult[p - lists];
                if (stamp[fb] != fa) {
                    stamp[fb] = fa;
                    pairs[fb] = 0;
                    touched[touchedCount++] = fb;
                }
                for (; m > 0; --m) {
                    if (pairs[fb] == 0) value1[fb] = value;
                    if (pairs[fb] == 1) value2[fb] = value;
                    ++pairs[fb];
                }
            }
        }
        // The edges, in ascending order; the scan stops once A has as many neighbours as corners.
        int edges = 0;
        for (int i = 0; i < touchedCount; ++i)
            if (pairs[touched[i]] == 2) touched[edges++] = touched[i];
        std::sort(touched, touched + edges);
        if (edges > countA) edges = countA;
        const Vec3 na = faceNormals[fa];
        for (int i = 0; i < edges; ++i) {
            const int fb = touched[i];
            if (vecDot(na, faceNormals[fb]) > t) continue;  // a NaN normal compares as not greater: a hit
            const int u = value1[fb] < value2[fb] ? value1[fb] : value2[fb];
            const int v = value1[fb] < value2[fb] ? value2[fb] : value1[fb];
            if (!hit(u, v, fb)) return scan;
        }
    }
    return scan;
}

namespace {
// The analysis collects here, so that a refused analysis leaves the document's list as it was.
struct HitLists {
    FixedArray<int> first{kEdgeLineSlots};
    FixedArray<int> second{kEdgeLineSlots};
    FixedArray<int> face{kEdgeLineSlots};
};
}  // namespace

CommandResult MtmPanel::edgeAnalysis() {
    CVELTADoc& d = m_doc;
    Platform& ui = d.platform();
    if (d.morphLoadedFlag) {
        message("MT exist. this operation can not choice");
        return CommandResult::Refused;
    }
    ui.setWaitCursor(true);
    const float t = edgeThreshold(m_slider);
    if (normalsDirtyFlag)
        for (int f = 0; f < d.faceCount; ++f) vecNormalise(d.faceNormalArray[f], d.faceNormalArray[f]);

    FaceTableView ft{d.faceFirstCorner.data(), d.faceCornerCount.data(), d.faceCount, d.cornerVertexList.data()};
    HitLists& h = scratch<HitLists>();
    const EdgeScan scan = findEdgeLines(ft, d.faceNormalArray.data(), t, kMaxEdgeLines, h.first.data(),
                                        h.second.data(), h.face.data(), [&ui](int p) { ui.setStatusProgress(p); });
    if (scan.limitReached) {
        message("NG! MAX REATCHED!");
        ui.setStatusProgress(0);
        ui.setWaitCursor(false);
        return CommandResult::Refused;
    }
    message(formatMessage("HIT LINE NUM = [%d]", scan.hits));
    ui.setStatusProgress(0);
    const size_t bytes = sizeof(int) * static_cast<size_t>(scan.hits);
    std::memcpy(d.edgeLineFirst.data(), h.first.data(), bytes);
    std::memcpy(d.edgeLineSecond.data(), h.second.data(), bytes);
    std::memcpy(d.edgeLineFace.data(), h.face.data(), bytes);
    d.edgeLineCount = scan.hits;
    normalsDirtyFlag = 0;
    d.redrawAll();
    ui.setWaitCursor(false);
    notify();
    return CommandResult::Done;
}

CommandResult MtmPanel::edgeExecute() {
    CVELTADoc& d = m_doc;
    Platform& ui = d.platform();
    const int n = d.vertexCount;
    const int h = d.edgeLineCount;
    if (static_cast<long long>(n) + 2LL * h > kMaxVertices) {
        message("NG! MAX REATCHED!");
        return CommandResult::Refused;
    }
    auto faceOk = [&d](int f) { return f >= 0 && f < d.faceCount; };
    // A face that repeats an endpoint gives it one new vertex per corner, so
    // two per line is not a bound: count exactly before changing anything.
    static FixedArray<unsigned char> cornerTaken(kCornerSlots);
    long long added = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < h; ++i) {
            const int f = d.edgeLineFace[i];
            if (!faceOk(f)) continue;
            const int u = d.edgeLineFirst[i], v = d.edgeLineSecond[i];
            const int firstCorner = d.faceFirstCorner[f];
            for (int c = 0; c < d.faceCornerCount[f]; ++c) {
                const size_t k = static_cast<size_t>(firstCorner + c);
                const int vn = d.cornerVertexList[k];
                if (pass == 0) {
                    if (!cornerTaken[k] && (vn == u || vn == v)) {
                        cornerTaken[k] = 1;
                        ++added;
                    }
                } else {
                    cornerTaken[k] = 0;
                }
            }
        }
    }
    if (n + added > kMaxVertices) {
        message("NG! MAX REATCHED!");
        return CommandResult::Refused;
    }

    int next = n + 1;
    for (int i = 0; i < h; ++i) {
        const int f = d.edgeLineFace[i];
        if (!faceOk(f)) continue;
        const int u = d.edgeLineFirst[i], v = d.edgeLineSecond[i];
        const int firstCorner = d.faceFirstCorner[f];
        for (int c = 0; c < d.faceCornerCount[f]; ++c) {
            int& vn = d.cornerVertexList[firstCorner + c];
            int source = 0;
            if (vn == u)
                source = u;
            else if (vn == v)
                source = v;
            else
                continue;
            vn = next;
            const size_t to = static_cast<size_t>(next - 1), from = static_cast<size_t>(source - 1);
            d.displayVertexArray[to] = d.displayVertexArray[from];
            // The new vertex is a copy of its source in every per-vertex array,
            // so a later reset of the display from the base keeps it in place.
            d.vertexArray[to] = d.vertexArray[from];
            d.morphDeltaArray[to] = d.morphDeltaArray[from];
            d.morphDeltaBackup[to] = d.morphDeltaBackup[from];
            d.movedFlag[to] = d.movedFlag[from];
            d.floatingFlag[to] = 0;
            ++next;
        }
    }
    d.vertexCount = next - 1;
    d.computeNormals();
    d.edgeLineCount = 0;
    d.redrawAll();
    normalsDirtyFlag = 1;
    ui.setStatusProgress(0);
    edgeCutDoneFlag = 1;
    notify();
    return CommandResult::Done;
}

}  // namespace vortel
