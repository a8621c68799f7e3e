// Collision; see Collision.h.
#include "scatter/Collision.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "doc/Scratch.h"

namespace vortel {

namespace {

const Vec3 kUp{0.0f, 1.0f, 0.0f};
constexpr float kFarHeight = 1e13f;  // the first best distance is |P.y - 1e13|
constexpr float kPushOut = 1.1f;
// Faces whose last corner has moved wait in the loose list until this many
// have gathered; then they go into a grid of their own.
constexpr size_t kSettledBatch = 1024;

// The nearest inside hit so far: the smallest distance, and among equal
// distances the lowest face number (what the loop over all faces in order
// keeps with its strictly-smaller rule), so candidates may come in any order.
struct Nearest {
    float distance;
    int face = -1;
    Vec3 hit;
    bool behind = false;  // the line's origin lies behind that face (side of its plane -1)
};

// One candidate face, with the loop's own operations in the loop's order.
inline void tryFace(const CollisionMesh& m, int f, Vec3 p, Nearest& best) {
    const FaceGridMesh& g = m.faces;
    const int* cv = g.cornerVertices + g.faceFirstCorner[f];
    const Vec3* pos = g.positions;
    const Vec3 q = pos[cv[0] - 1];
    const Vec3 n = g.faceNormals[f];
    Vec3 h;
    if (!rayPlane(p, kUp, q, n, h)) return;
    const float d = absValue(p.y - h.y);
    // Cheaper than the inside test, and a face that cannot win needs no inside test.
    if (!(d < best.distance || (d == best.distance && best.face >= 0 && f < best.face))) return;
    const int inside = g.faceCornerCount[f] == 3 ? pointInTriangle(q, pos[cv[1] - 1], pos[cv[2] - 1], h, n)
                                                 : pointInQuad(q, pos[cv[1] - 1], pos[cv[2] - 1], pos[cv[3] - 1], h, n);
    if (!inside) return;
    best.distance = d;
    best.face = f;
    best.hit = h;
    best.behind = sideOfPlane(p, q, n) == -1;
}

// Nearest for the faces that never change, one per line, kept small so that
// every line's stays in the cache while the faces are cast: the hit point is
// kept as the line's parameter t, from which pointAlong makes it again.
struct FixedNearest {
    float distance;
    int face : 31 = -1;
    bool behind : 1 = false;
    float t = 0.0f;
};
static_assert(sizeof(FixedNearest) == 12);

// tryFace for a face the grid is casting, with its enlarged triangles worked
// out once: the same operations on the same values. With sure, the inside
// test is known to pass and is not run.
inline void tryPrepared(const FaceGrid::CastFace& pf, int f, Vec3 p, FixedNearest& best, bool sure) {
    float t;
    if (!rayPlaneParameter(p, kUp, pf.q, pf.n, t)) return;
    const Vec3 h = pointAlong(p, kUp, t);
    const float d = absValue(p.y - h.y);
    if (!(d < best.distance || (d == best.distance && best.face >= 0 && f < best.face))) return;
    if (!sure && !pointInEnlarged(pf.half[0], h, pf.n) && !(pf.quad && pointInEnlarged(pf.half[1], h, pf.n))) return;
    best.distance = d;
    best.face = f;
    best.t = t;
    best.behind = sideOfPlane(p, pf.q, pf.n) == -1;
}

// A grid over some of the faces, kept in a face table of their own.
struct FaceSubset {
    std::vector<int> faces;  // ascending face numbers
    std::vector<int> first, count;
    std::vector<Vec3> normals;
    FaceGrid grid;

    void build(const FaceGridMesh& mesh, const LineOriginBox& box) {
        first.clear();
        count.clear();
        normals.clear();
        for (int f : faces) {
            first.push_back(mesh.faceFirstCorner[f]);
            count.push_back(mesh.faceCornerCount[f]);
            normals.push_back(mesh.faceNormals[f]);
        }
        FaceGridMesh sub = mesh;
        sub.faceFirstCorner = first.data();
        sub.faceCornerCount = count.data();
        sub.faceNormals = normals.data();
        sub.faceCount = static_cast<int>(faces.size());
        grid.build(sub, LineAxis::Y, box, std::max(64, sub.faceCount));
    }
};

// Where the candidates of the line from vertex v are found while vertices move.
// A face none of whose tested corners is processed never changes: it is cast
// onto every line before the run (fixedFaces). The others ("moving" faces)
// change when one of their corners is processed:
//   before their first processed corner, in a grid of their first shape;
//   from then on in the loose list, visited for every line;
//   after their last processed corner, in grids of their last shape (a few,
//   doubling in size, so that each face is sorted into few grids in all).
class Candidates {
public:
    void begin(const CollisionMesh& m, int lo, int hi, const LineOriginBox& box) {
        m_mesh = &m;
        m_box = box;
        m_lo = lo;
        const int faces = m.faces.faceCount;
        const size_t range = static_cast<size_t>(hi - lo + 1);
        m_loose.clear();
        m_levels.clear();
        m_settledLoose = 0;
        m_fixedFaces.clear();
        m_movingFaces.clear();
        for (int f = 0; f < faces; ++f) {
            if (!isCollisionFace(m, f)) continue;
            const int* cv = m.faces.cornerVertices + m.faces.faceFirstCorner[f];
            const int used = m.faces.faceCornerCount[f] >= 4 ? 4 : 3;
            int first = -1, last = -1;
            for (int c = 0; c < used; ++c) {
                if (cv[c] < lo || cv[c] > hi) continue;
                first = first < 0 ? cv[c] : std::min(first, cv[c]);
                last = std::max(last, cv[c]);
            }
            if (first < 0)
                m_fixedFaces.push_back(f);
            else
                m_movingFaces.insert(m_movingFaces.end(), {f, first, last});
        }
        const int moving = static_cast<int>(m_movingFaces.size() / 3);
        m_hasMoving = moving > 0;
        if (!m_hasMoving) return;
        // Per face, for the moving ones.
        m_firstMove.assign(static_cast<size_t>(faces), -1);
        m_lastMove.assign(static_cast<size_t>(faces), -1);
        int* firstMove = m_firstMove.data();
        int* lastMove = m_lastMove.data();
        for (size_t i = 0; i < m_movingFaces.size(); i += 3) {
            firstMove[m_movingFaces[i]] = m_movingFaces[i + 1];
            lastMove[m_movingFaces[i]] = m_movingFaces[i + 2];
        }
        m_firstShape.build(m.faces, LineAxis::Y, box, std::max(64, moving), [&](int f) { return firstMove[f] >= 0; });
        // The moving faces by the vertex their first processed corner is, and
        // how many have their last processed corner at each vertex.
        m_startAt.assign(range + 1, 0);
        m_settleAt.assign(range + 1, 0);
        int* startAt = m_startAt.data();
        int* settleAt = m_settleAt.data();
        const std::vector<int>& mv = m_movingFaces;
        for (size_t i = 0; i < mv.size(); i += 3) {
            ++startAt[mv[i + 1] - lo + 1];
            ++settleAt[mv[i + 2] - lo + 1];
        }
        for (size_t i = 1; i <= range; ++i) {
            startAt[i] += startAt[i - 1];
            settleAt[i] += settleAt[i - 1];
        }
        m_startFaces.resize(static_cast<size_t>(moving));
        std::vector<int> fill(m_startAt.begin(), m_startAt.end() - 1);
        int* next = fill.data();
        for (size_t i = 0; i < mv.size(); i += 3) m_startFaces.data()[next[mv[i + 1] - lo]++] = mv[i];
    }

    // The candidate faces that never change, ascending.
    const std::vector<int>& fixedFaces() const { return m_fixedFaces; }

    // The moving faces the line from vertex v (at p) may meet.
    template <class Visit>
    void forEach(Vec3 p, int v, Visit&& visit) const {
        if (!m_hasMoving) return;
        const int* firstMove = m_firstMove.data();
        m_firstShape.forEachCandidate(p, [&](int f) {
            if (firstMove[f] >= v) visit(f);
        });
        for (const auto& level : m_levels) {
            const int* faces = level->faces.data();
            level->grid.forEachCandidate(p, [&](int i) { visit(faces[i]); });
        }
        for (int f : m_loose) visit(f);
    }

    // Vertex v has been processed (it moved).
    void moved(int v) {
        if (!m_hasMoving) return;
        const size_t i = static_cast<size_t>(v - m_lo);
        for (int k = m_startAt[i]; k < m_startAt[i + 1]; ++k) m_loose.push_back(m_startFaces.data()[k]);
        m_settledLoose += static_cast<size_t>(m_settleAt[i + 1] - m_settleAt[i]);
        if (m_settledLoose >= kSettledBatch) settle(v);
    }

private:
    // Moves the loose faces whose last corner has moved into a grid of their last shape.
    void settle(int v) {
        auto level = std::make_unique<FaceSubset>();
        std::vector<int> still;
        for (int f : m_loose) (m_lastMove.data()[f] <= v ? level->faces : still).push_back(f);
        m_loose.swap(still);
        m_settledLoose = 0;
        // Grids of equal or smaller size merge, so there are few and each face is sorted into few.
        while (!m_levels.empty() && m_levels.back()->faces.size() <= level->faces.size()) {
            level->faces.insert(level->faces.end(), m_levels.back()->faces.begin(), m_levels.back()->faces.end());
            m_levels.pop_back();
        }
        std::sort(level->faces.begin(), level->faces.end());
        level->build(m_mesh->faces, m_box);
        m_levels.push_back(std::move(level));
    }

    const CollisionMesh* m_mesh = nullptr;
    LineOriginBox m_box{};
    int m_lo = 0;
    bool m_hasMoving = false;
    FaceGrid m_firstShape;
    std::vector<int> m_firstMove, m_lastMove;  // per face: -1 for a face that never moves
    std::vector<int> m_fixedFaces;
    std::vector<int> m_movingFaces;  // face, first and last processed corner
    std::vector<int> m_startAt, m_settleAt, m_startFaces;
    std::vector<int> m_loose;
    size_t m_settledLoose = 0;
    std::vector<std::unique_ptr<FaceSubset>> m_levels;
};

// The nearest hits among the faces that never change, worked out before the run.
struct FixedHits {
    FaceGrid grid;                   // the lines' origins by cell
    std::vector<FixedNearest> best;  // by slot
};

}  // namespace

bool collisionEnabled(const Settings& settings) {
    return settings.getString("Function", "Coligion", "NONE") != "NONE";
}

CollisionMesh collisionMeshOf(CVELTADoc& doc) {
    return CollisionMesh{faceGridMeshOf(doc), doc.displayVertexArray.data(), doc.faceGroup.data(),
                         doc.faceKind.data()};
}

bool isCollisionFace(const CollisionMesh& mesh, int f) {
    return mesh.faceGroup[f] != 0 && mesh.faceKind[f] != 'L' && faceHasSurface(mesh.faces, f);
}

bool collisionRange(const CollisionMesh& mesh, int& lo, int& hi) {
    const FaceGridMesh& g = mesh.faces;
    lo = g.vertexCount + 1;
    hi = 0;
    for (int f = 0; f < g.faceCount; ++f) {
        if (mesh.faceGroup[f] != 0) continue;
        const int first = g.faceFirstCorner[f], n = g.faceCornerCount[f];
        if (first < 0 || n < 0 || first > g.cornerEnd - n) continue;
        for (int c = 0; c < n; ++c) {
            const int v = g.cornerVertices[first + c];
            if (v < 1 || v > g.vertexCount) continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    return lo <= hi;
}

int collideRange(const CollisionMesh& m, int lo, int hi, Vec3* before, Vec3* after, int markerSlots,
                 Platform* progress) {
    // Every line starts at a vertex of the range, where it stands until its own turn.
    LineOriginBox box{m.positions[lo - 1], m.positions[lo - 1]};
    for (int v = lo; v <= hi; ++v) {
        const Vec3 p = m.positions[v - 1];
        box.min = Vec3{std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
        box.max = Vec3{std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
    }
    Candidates& candidates = scratch<Candidates>();
    candidates.begin(m, lo, hi, box);

    // The faces that never change, each cast onto the lines it can meet,
    // in ascending face order: per line, what the loop over them keeps.
    FixedHits& fixed = scratch<FixedHits>();
    const int count = hi - lo + 1;
    const Vec3* origins = m.positions + (lo - 1);
    fixed.grid.buildOriginCells(LineAxis::Y, origins, count, count);
    fixed.best.resize(static_cast<size_t>(count));
    for (int slot = 0; slot < count; ++slot) {
        const float first = absValue(fixed.grid.originPoint(slot).y - kFarHeight);  // the first best distance
        fixed.best[static_cast<size_t>(slot)] = FixedNearest{first};
    }
    FixedNearest* best = fixed.best.data();
    const FaceGrid& grid = fixed.grid;
    for (int f : candidates.fixedFaces())
        grid.forEachOrigin(m.faces, f, [&](int slot, bool sure) {
            tryPrepared(grid.castFace(), f, grid.originPoint(slot), best[slot], sure);
        });

    const int highestIndex = hi - 1;
    int collided = 0;
    for (int v = lo; v <= hi; ++v) {
        const int i = v - 1;
        if (progress && i % 100 == 0)
            progress->setStatusProgress(
                highestIndex > 0 ? static_cast<int>(static_cast<double>(i) / highestIndex * 100.0) : 0);
        const Vec3 p = m.positions[i];
        const FixedNearest& near = fixed.best[static_cast<size_t>(grid.slotOf(v - lo))];
        Nearest best{near.distance, near.face, pointAlong(p, kUp, near.t), near.behind};
        candidates.forEach(p, v, [&](int f) { tryFace(m, f, p, best); });
        // Which side of the nearest face the vertex lies on was taken with the
        // hit: the face's first corner and normal do not change within a turn.
        if (best.face >= 0 && best.behind) {
            // The range holds at most the vertex capacity, which the marker lists hold.
            if (collided < markerSlots) {
                before[collided] = p;
                after[collided] = best.hit;
                ++collided;
            }
            m.positions[i] = best.hit;
        } else {
            vecScale(m.positions[i], kPushOut);
        }
        candidates.moved(v);
    }
    return collided;
}

CollisionResult runCollision(CVELTADoc& doc) {
    CollisionResult result;
    if (doc.groupCount < 2) return result;
    Platform& ui = doc.platform();
    ui.setWaitCursor(true);
    doc.markerPointCount1 = doc.markerPointCount2 = doc.markerPointCount3 = 0;
    const CollisionMesh mesh = collisionMeshOf(doc);
    int lo = 0, hi = 0;
    if (collisionRange(mesh, lo, hi)) {
        ui.setStatusProgress(0);
        result.processed = hi - lo + 1;
        result.collided = collideRange(mesh, lo, hi, doc.markerPointList2.data(), doc.markerPointList3.data(),
                                       kMarkerSlots, &ui);
        doc.markerPointCount2 = doc.markerPointCount3 = result.collided;
    }
    doc.redrawAll();
    ui.setStatusProgress(0);
    ui.setWaitCursor(false);
    return result;
}

}  // namespace vortel
