// The drop routine: RESET, CLOSE, and DROP itself, which lays an n x n grid
// of lines over the mesh's box (seen from the top or the front), casts each
// through the surface, and places on every hit a copy of the seed, scaled,
// tilted toward the hit face's normal and moved onto the hit point.
//
// Reads the seed mesh, the display positions, face table, corner vertex list
// and face normals. Writes marker point list 1 (every line origin), 2 (every
// hit point) and 3 (emptied), the drop mesh, its counts, the status progress bar.
// A DROP whose copies would pass the drop lists' capacities (130,000
// vertices, 520,000 corners, 520,000 faces), or would copy a seed face that
// names a vertex the seed lacks, is refused with a message before anything
// changes.
#include <ctime>
#include <vector>

#include "doc/ObjStatements.h"
#include "doc/Scratch.h"
#include "doc/Text.h"
#include "scatter/DropModule.h"
#include "scatter/DropRandom.h"
#include "scatter/SurfaceRayCast.h"

namespace vortel {

namespace {

// The routine's working lists, kept for the next run.
struct DropScratch {
    std::vector<Vec3> origins;
    std::vector<Vec3> hitPoints;
    std::vector<int> hitFaces;  // the temporary list of hit faces
    FaceGrid grid;
};

// Cells per face of the grid the lines are cast through: a line then tests
// a handful of faces, and a face lands in few cells.
constexpr int kFacesPerCell = 4;

void emptyMarkers(CVELTADoc& doc) { doc.markerPointCount1 = doc.markerPointCount2 = doc.markerPointCount3 = 0; }

}  // namespace

DropOutcome DropModule::dropRoutine(int sizeRandom, int locationRandom, int n, int d, int top) {
    if (n == 0 && d == 0) {
        emptyMarkers(m_doc);
        m_doc.dropResultCount = 0;
        m_doc.dropFaceCount = 0;
        m_doc.redrawAll();
        return DropOutcome::Reset;
    }
    if (n == 1 && d == 0) {
        emptyMarkers(m_doc);
        m_doc.redrawAll();
        closeWindow();
        return DropOutcome::Closed;
    }
    return runDrop(sizeRandom, locationRandom, n, d, top);
}

DropOutcome DropModule::runDrop(int sizeRandom, int locationRandom, int n, int d, int top) {
    Platform& ui = m_doc.platform();
    CVELTADoc& doc = m_doc;
    // The marker lists hold every line origin; a request holds at most 99 x 99.
    if (n < 0 || static_cast<long long>(n) * n > kMarkerSlots - 1) {
        ui.messageBox("DROP", formatMessage("DROP LINE MAX ERROR N=%d", n), MsgButtons::Ok, MsgIcon::Warning);
        return DropOutcome::Refused;
    }

    // The box of every corner of every face, in display positions.
    Vec3 mx{-1e12f, -1e12f, -1e12f}, mn{1e12f, 1e12f, 1e12f};
    const int cornerEnd = doc.ownedCornerEnd();
    for (int f = 0; f < doc.faceCount; ++f) {
        const int first = doc.faceFirstCorner[f];
        for (int c = 0; c < doc.faceCornerCount[f] && first + c < cornerEnd; ++c) {
            const int v = doc.cornerVertexList[first + c];
            if (v >= 1 && v <= doc.vertexCount) widenBox(mx, mn, doc.displayVertexArray[v - 1]);
        }
    }

    DropRandom random;
    random.seed(fixedRandomSeed ? *fixedRandomSeed : static_cast<std::uint32_t>(std::time(nullptr)));
    ui.setWaitCursor(true);
    ui.setStatusProgress(0);

    // The grid of line origins, row by row; the random offset runs from the
    // cell's centre toward the next cell, x drawn before the other.
    DropScratch& work = scratch<DropScratch>();
    work.origins.clear();
    const bool fromTop = top != 0;
    const float stepX = absValue(mx.x - mn.x) / n;
    const float stepB = fromTop ? absValue(mx.z - mn.z) / n : absValue(mx.y - mn.y) / n;
    const float along = fromTop ? mx.y * 1.25f : mx.z * 1.25f;
    float b = (fromTop ? mn.z : mn.y) + stepB * 0.5f;
    for (int i = 0; i < n; ++i) {
        float a = mn.x + stepX * 0.5f;
        for (int j = 0; j < n; ++j) {
            float oa = a, ob = b;
            if (locationRandom) {
                const float u1 = random.unit();
                const float u2 = random.unit();
                oa = a + u1 * stepX;
                ob = b + u2 * stepB;
            }
            work.origins.push_back(fromTop ? Vec3{oa, along, ob} : Vec3{oa, ob, along});
            a += stepX;
        }
        b += stepB;
    }

    // Every line through the surface.
    work.hitPoints.clear();
    work.hitFaces.clear();
    const LineAxis axis = fromTop ? LineAxis::Y : LineAxis::Z;
    if (!work.origins.empty()) {
        const FaceGridMesh mesh = faceGridMeshOf(doc);
        const char* kinds = doc.faceKind.data();
        work.grid.buildForOrigins(mesh, axis, work.origins.data(), static_cast<int>(work.origins.size()),
                                  doc.faceCount / kFacesPerCell + 1,
                                  [kinds](int f) { return dropCastsFace(kinds, f); });
        for (size_t idx = 0; idx < work.origins.size(); ++idx) {
            const int row = static_cast<int>(idx) / n;
            if (row % 100 == 0) ui.setStatusProgress(static_cast<int>(static_cast<double>(row) / n * 100));
            SurfaceHit hit;
            if (surfaceRayCast(work.grid, mesh, axis, work.origins[idx], hit)) {
                work.hitPoints.push_back(hit.point);
                work.hitFaces.push_back(hit.face);
            }
        }
    }

    // The copies must fit the drop lists, and name only vertices the seed has.
    const long long hits = static_cast<long long>(work.hitPoints.size());
    const int seedVertices = seed.usableVertexCount();
    const int seedFaces = seed.usableFaceCount();
    const int seedCorners = seed.usableCornerSum();
    std::string refusal;
    if (hits * seedVertices > kMaxDropVertices || hits * seedCorners > kMaxDropCorners ||
        hits * seedFaces > kMaxDropFaces) {
        refusal = formatMessage("DROP MAX ERROR V=%lld C=%lld F=%lld", hits * seedVertices, hits * seedCorners,
                                hits * seedFaces);
    } else if (hits > 0) {
        for (int f = 0; f < seedFaces && refusal.empty(); ++f) {
            if (seed.faceIsWhole(f)) continue;
            for (int c = 0; c < seed.faceCornerCount[f]; ++c) {
                const int v = seed.cornerList[seed.faceFirstCorner[f] + c];
                if (v < 1 || v > seedVertices) {
                    refusal = formatMessage("SEED POINT ERR E=%d [From 1 To %d]", v, seedVertices);
                    break;
                }
            }
        }
    }
    if (!refusal.empty()) {
        ui.setStatusProgress(0);
        ui.setWaitCursor(false);
        ui.messageBox("DROP", refusal, MsgButtons::Ok, MsgIcon::Warning);
        return DropOutcome::Refused;
    }

    emptyMarkers(doc);
    for (const Vec3& o : work.origins) doc.markerPointList1[doc.markerPointCount1++] = o;
    for (const Vec3& h : work.hitPoints) doc.markerPointList2[doc.markerPointCount2++] = h;
    ui.setStatusProgress(0);
    doc.redrawAll();

    // The copies: scaled (a random size each with size random), turned toward
    // the hit face's normal, shrunk by 3 d, moved onto the hit point.
    Vec3* out = drop.vertexList();
    int count = 0;
    float s = 1.0f;
    for (size_t k = 0; k < work.hitPoints.size(); ++k) {
        if (sizeRandom) s = random.unit();
        const Vec3 normal = doc.faceNormalArray[work.hitFaces[k]];
        for (int v = 0; v < seedVertices; ++v) {
            Vec3 w = seed.vertexList[v];
            vecScale(w, s);
            orientByNormal(w, normal, w);
            vecDivide(w, 3 * d);
            vecAdd(work.hitPoints[k], w);
            out[count++] = w;
        }
    }
    doc.dropResultCount = count;

    // The faces: every seed face once per hit, its corners shifted to that
    // copy's vertices, its normal the seed face's own (not turned).
    int faces = 0, corners = 0;
    for (int k = 0; k < static_cast<int>(hits); ++k)
        for (int j = 0; j < seedFaces; ++j) {
            const int first = seed.faceFirstCorner[j];
            const int cornerCount = seed.faceCornerCount[j];
            for (int c = 0; c < cornerCount; ++c)
                drop.cornerList[corners++] = k * seedVertices + seed.cornerList[first + c];
            drop.faceFirstCorner[faces] = first + k * seedCorners;
            drop.faceCornerCount[faces] = cornerCount;
            drop.faceNormal[faces] = seed.faceNormal[j];
            ++faces;
        }
    doc.dropFaceCount = faces;
    ui.setWaitCursor(false);
    doc.redrawAll();
    return DropOutcome::Dropped;
}

}  // namespace vortel
