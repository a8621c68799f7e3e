// FaceGrid: the faces of a mesh sorted into a 2-D grid of cells, so that many
// straight lines of one direction (along Y, or along Z) can be cast through
// the surface without testing every face for every line.
//
// Why a 2-D grid answers exactly: a line through P with direction (0, 1, 0)
// meets a face's plane, when it meets it at a finite point, at (P.x, H.y, P.z):
// the ray-plane intersection adds t x 0 to x and z. Whether that point passes
// the face's inside test (Vector.h: the triangle of its first three corners
// enlarged by 0.1 % about its centroid, or for four and more corners the two
// halves of the quad of its first four) therefore depends on where (P.x, P.z)
// lies in the face's outline seen along the line. For a line along Z the same
// holds with (x, y).
//
// Each face is given every cell where its float inside test can pass for a
// line whose origin lies in the origin box given to build(). The reach is not
// guessed: for each edge of each enlarged triangle the test's sign is an
// affine function of the point, computed in float; its rounding error is
// bounded from the sizes of the operands (and so is the rounding of the
// intersection's height), and the reach is the region where every edge's
// exact value stays above minus its error bound: for the usual triangle that
// triangle seen along the line, scaled about its centroid; for slivers and
// turned triangles the origin box clipped by each edge's half-plane. The
// bounds are first taken over the whole box, then, where that left the reach
// more than twice the triangle's own cells, over the first reach only.
// Faces whose bounds cannot be kept finite (corners that are not finite
// numbers, magnitudes where float could overflow) or that reach a quarter of
// the grid (nearly parallel to the line) are visited for every line. A face
// whose plane is parallel to the line (normal component along the line
// exactly 0) or whose normal or first corner is not finite never meets the
// line at a finite point and is never visited.
//
// Faces can also be cast onto given line origins (buildOriginCells,
// forEachOrigin): the origins are sorted into cells, and a face visits the
// origins of the cells it reaches. For the usual face (halves neither thin
// nor turned, no magnitude near float's limits) one bound of the test's
// rounding closes over the whole box (far from a steep or slender face with
// the help of a second, taken once over the box); it gives, per half, the
// triangle seen along the line and grown a little, outside which no line
// passes, and the same shrunk, inside which every line passes. Other faces
// take the reach above, with its half-planes. Each origin of the reached
// cells is checked against those half-planes before the caller tests it
// (four origins at a time, in float, with every bound moved out past the
// rounding), and told when its test is known to pass. A reach of many rows
// and columns is followed row by row, so that a face whose test passes along
// a thin band (the second half of a strongly bent quad, seen along the normal
// of its first, can be almost a line) costs the band's cells, not every cell.
//
// Candidates are visited in ascending face order, so that a caller keeping the
// nearest hit with a strictly-smaller distance rule gets exactly the face the
// loop over all faces gets.
//
// Reads the display positions, the corner vertex list, the face table's first
// corners and corner counts, and the face normal array, through FaceGridMesh.
// Its working arrays grow to the largest mesh seen and are kept for the next build.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "geometry/Vector.h"

namespace vortel {

class CVELTADoc;

// The mesh as the grid reads it: flat arrays and their counts.
struct FaceGridMesh {
    const Vec3* positions = nullptr;  // vertex number n at index n - 1
    int vertexCount = 0;
    const int* cornerVertices = nullptr;  // 1-based vertex numbers
    int cornerEnd = 0;                    // corners [0, cornerEnd) may be read
    const int* faceFirstCorner = nullptr;
    const int* faceCornerCount = nullptr;
    const Vec3* faceNormals = nullptr;
    int faceCount = 0;
};

// The document's display positions and face table.
FaceGridMesh faceGridMeshOf(const CVELTADoc& doc);

// True when the face has a surface the inside test can be run on without
// reading outside the lists: three or more corners, its first three (or four,
// for four and more) corners inside [0, cornerEnd), each naming a vertex of
// the mesh. Faces without one are never visited; a caller's plain loop must
// skip them too.
bool faceHasSurface(const FaceGridMesh& mesh, int face);

// The direction of the lines: (0, 1, 0) with cells over x and z, or (0, 0, 1)
// with cells over x and y.
enum class LineAxis { Y, Z };

// Every line origin a query will use lies in this box (all three coordinates).
struct LineOriginBox {
    Vec3 min, max;
};

class FaceGrid {
public:
    // Sorts the faces f with include(f) true (all when include is empty) that
    // have a surface into about cellsWanted cells over the origin box's extent
    // across the lines.
    void build(const FaceGridMesh& mesh, LineAxis axis, const LineOriginBox& origins, int cellsWanted,
               const std::function<bool(int)>& include = {});

    // The same for lines from exactly these origins (the box is theirs): only
    // the cells holding one of them get their faces. A query from a point in
    // another cell visits every sorted face.
    void buildForOrigins(const FaceGridMesh& mesh, LineAxis axis, const Vec3* origins, int count, int cellsWanted,
                         const std::function<bool(int)>& include = {});

    // Calls visit(face) for every face whose inside test can pass at the point
    // where the line from `origin` meets its plane, in ascending face order,
    // each once. An origin outside the box given to build() gets every sorted face.
    template <class Visit>
    void forEachCandidate(Vec3 origin, Visit&& visit) const {
        const float a = origin.x;
        const float b = m_axis == LineAxis::Y ? origin.z : origin.y;
        const float k = m_axis == LineAxis::Y ? origin.y : origin.z;
        const bool inside = a >= m_box.min.x && a <= m_box.max.x && b >= m_boxMinB && b <= m_boxMaxB &&
                            k >= m_boxMinK && k <= m_boxMaxK;
        if (!inside) {
            for (int f : m_sorted) visit(f);
            return;
        }
        const int cell = cellIndexA(a) + m_cellsA * cellIndexB(b);
        if (!m_occupied.empty() && !m_occupied[static_cast<size_t>(cell)]) {
            for (int f : m_sorted) visit(f);
            return;
        }
        const int* c = m_entries.data() + m_cellStart[static_cast<size_t>(cell)];
        const int* cEnd = m_entries.data() + m_cellStart[static_cast<size_t>(cell) + 1];
        const int* e = m_everywhere.data();
        const int* eEnd = e + m_everywhere.size();
        // Two ascending lists, merged.
        while (c != cEnd && e != eEnd) {
            if (*c < *e)
                visit(*c++);
            else
                visit(*e++);
        }
        while (c != cEnd) visit(*c++);
        while (e != eEnd) visit(*e++);
    }

    // The other way round, for lines that stay put while faces come one by
    // one: sorts these origins (no face) into about cellsWanted cells over
    // their box. forEachOrigin(f) then calls visit(slot, sure) for every
    // origin whose line can pass face f's inside test, each once, with sure
    // true when the test is known to pass there (at the float hit point the
    // ray-plane intersection gives); originAt(slot) is that origin's index in
    // the array given, and slotOf(origin) the other way. Slots of one cell
    // are adjacent, so per-origin data kept by slot is read in runs.
    void buildOriginCells(LineAxis axis, const Vec3* origins, int count, int cellsWanted);
    template <class Visit>
    void forEachOrigin(const FaceGridMesh& mesh, int face, Visit&& visit) const {
        const int rows = originRowsOf(mesh, face);
        if (rows < 0) {
            for (size_t slot = 0; slot < m_originOrder.size(); ++slot) visit(static_cast<int>(slot), false);
            return;
        }
        const std::uint32_t* start = m_originStart.data();
        const LaneFilter& lanes = m_lanes;
        const float* across = m_slotAcross.data();
        const float* down = m_slotDown.data();
        for (int r = 0; r < rows; ++r) {
            const int* span = m_rowSpans.data() + 3 * r;
            const size_t row = static_cast<size_t>(m_cellsA) * static_cast<size_t>(span[0]);
            const std::uint32_t end = start[row + static_cast<size_t>(span[2]) + 1];
            // Four origins at a time; the arrays hold three more slots than origins.
            for (std::uint32_t first = start[row + static_cast<size_t>(span[1])]; first < end; first += 4) {
                unsigned sure = 0;
                unsigned may = lanes.check(across + first, down + first, sure);
                if (end - first < 4) may &= (1u << (end - first)) - 1u;
                while (may) {
                    const int lane = __builtin_ctz(may);
                    may &= may - 1;
                    visit(static_cast<int>(first) + lane, ((sure >> lane) & 1u) != 0);
                }
            }
        }
    }
    int originAt(int slot) const { return m_originOrder[static_cast<size_t>(slot)]; }
    int slotOf(int origin) const { return m_originSlot[static_cast<size_t>(origin)]; }
    // During forEachOrigin: the face being cast as its inside test reads it.
    struct CastFace {
        Vec3 q, n;  // first corner and face normal
        EnlargedTriangle half[2];  // the triangle, or the quad's halves (1, 2, 3) and (1, 3, 4)
        bool quad = false;
    };
    const CastFace& castFace() const { return m_cast; }
    Vec3 originPoint(int slot) const {
        const size_t i = static_cast<size_t>(slot);
        return m_axis == LineAxis::Y ? Vec3{m_slotAcross[i], m_slotAlong[i], m_slotDown[i]}
                                     : Vec3{m_slotAcross[i], m_slotDown[i], m_slotAlong[i]};
    }

    // ---- what the last build made (tests and benchmarks) ----
    int cellsAcross() const { return m_cellsA; }  // along x
    int cellsDown() const { return m_cellsB; }    // along z (lines along Y) or y (lines along Z)
    size_t cellEntries() const { return m_entries.size(); }
    // Faces visited for every line.
    const std::vector<int>& everywhereFaces() const { return m_everywhere; }
    // Every sorted face, ascending.
    const std::vector<int>& sortedFaces() const { return m_sorted; }

private:
    // The face last cast: for each half a line may pass, three half-planes
    // alpha a + beta b <= rhs (a, b relative to the first corner) its origin
    // must satisfy, and the line passes for sure where all three values are
    // below sure; none known (halves 0) lets every line of the cells through.
    struct OriginFilter {
        int halves = 0;
        double qa = 0.0, qb = 0.0;
        // [plane][half]: the two halves' bounds of one plane side by side.
        double alpha[3][2] = {}, beta[3][2] = {}, rhs[3][2] = {}, sure[3][2] = {};
    };
    // Those half-planes checked on four origins at once, in float: each bound
    // moved out (rhs up, sure down) by more than the float evaluation's
    // rounding over the origin box, so that it lets through every origin the
    // exact check lets through and calls sure only origins it calls sure.
    using FloatLanes = float __attribute__((vector_size(16)));
    using IntLanes = int __attribute__((vector_size(16)));
    struct LaneFilter {
        int halves = 0;  // none: every origin may pass, none is sure
        float qa = 0.0f, qb = 0.0f;
        FloatLanes alpha[2][3], beta[2][3], rhs[2][3], sure[2][3];
        // Bit l of the result: origin l may pass; of sure: it passes.
        unsigned check(const float* across, const float* down, unsigned& sureOut) const {
            if (halves == 0) {
                sureOut = 0;
                return 15u;
            }
            FloatLanes a, b;
            std::memcpy(&a, across, sizeof a);
            std::memcpy(&b, down, sizeof b);
            a -= qa;
            b -= qb;
            IntLanes may = {0, 0, 0, 0}, passes = {0, 0, 0, 0};
            for (int h = 0; h < halves; ++h) {
                const FloatLanes v0 = alpha[h][0] * a + beta[h][0] * b, v1 = alpha[h][1] * a + beta[h][1] * b,
                                 v2 = alpha[h][2] * a + beta[h][2] * b;
                const IntLanes m = (v0 <= rhs[h][0]) & (v1 <= rhs[h][1]) & (v2 <= rhs[h][2]);
                may |= m;
                passes |= m & (v0 < sure[h][0]) & (v1 < sure[h][1]) & (v2 < sure[h][2]);
            }
            // One bit per lane and verdict, gathered by two shuffles.
            IntLanes bits = (may & IntLanes{1, 2, 4, 8}) | (passes & IntLanes{16, 32, 64, 128});
            bits |= __builtin_shufflevector(bits, bits, 2, 3, 0, 1);
            bits |= __builtin_shufflevector(bits, bits, 1, 0, 3, 2);
            sureOut = static_cast<unsigned>(bits[0]) >> 4;
            return static_cast<unsigned>(bits[0]) & 15u;
        }
    };
    // m_lanes from m_filter, for origins in the origin box.
    void prepareLanes() const;
    struct FaceSetup;
    enum class Cells { Skip, None, Rect, Everywhere };
    void setUpCells(LineAxis axis, const LineOriginBox& origins, int cellsWanted, const Vec3* lineOrigins,
                    int lineCount);
    bool frameOf(const FaceGridMesh& mesh, int f, FaceSetup& s) const;
    static bool halfOf(const FaceSetup& s, int h, double u[3][3], double& uMax);
    // Skip: never met; None: no line from the box passes; Everywhere; or the
    // cells [0] to [1] across by [2] to [3] down.
    Cells faceCells(const FaceGridMesh& mesh, int f, FaceSetup& s, int cells[4]) const;
    // The same for a face frameOf has set up.
    Cells framedCells(FaceSetup& s, int cells[4]) const;
    // The rows of cells face f reaches into m_rowSpans (row, first, last); -1 for every origin.
    int originRowsOf(const FaceGridMesh& mesh, int f) const;
    int rowsAndPlanesOf(const FaceGridMesh& mesh, int f) const;
    bool bandRows(const FaceSetup& s, int b0, int b1) const;
    void spanRows(int b0, int b1, int a0, int a1) const;
    void rowsOfPlanes(const OriginFilter& planes, const double box[4], int b0, int b1) const;
    void buildCells(const FaceGridMesh& mesh, LineAxis axis, const LineOriginBox& origins, int cellsWanted,
                    const std::function<bool(int)>& include, const Vec3* lineOrigins, int lineCount);
    // True when a cell of the rectangle holds a given origin (always without them).
    bool anyOccupied(int a0, int a1, int b0, int b1) const;
    int cellIndexA(double a) const;
    int cellIndexB(double b) const;
    // Cells of the rectangle [a0, a1] x [b0, b1].
    long long cellArea(double a0, double a1, double b0, double b1) const;

    LineAxis m_axis = LineAxis::Y;
    LineOriginBox m_box;
    float m_boxMinB = 0.0f, m_boxMaxB = 0.0f, m_boxMinK = 0.0f, m_boxMaxK = 0.0f;
    int m_cellsA = 1, m_cellsB = 1;
    double m_originA = 0.0, m_originB = 0.0, m_scaleA = 0.0, m_scaleB = 0.0;
    std::vector<int> m_sorted;
    std::vector<int> m_everywhere;
    std::vector<std::uint32_t> m_cellStart;
    std::vector<int> m_entries;
    // Per face with a reach: the face, then its first and last cell across and down.
    std::vector<int> m_reach;
    std::vector<std::uint32_t> m_fill;
    // With given origins: which cells hold one, and their running sums (a row and a column more).
    std::vector<unsigned char> m_occupied;
    std::vector<int> m_occupiedSum;
    bool m_boxValid = false;
    long long m_everywhereLimit = 64;
    // With origins sorted into cells: the slots of each cell, and which origin each slot holds.
    std::vector<std::uint32_t> m_originStart;
    std::vector<int> m_originOrder;
    std::vector<int> m_originSlot;  // by origin: its slot
    // Each slot's origin: its coordinates across the lines (with three more
    // slots, for reading four at a time) and along them.
    std::vector<float> m_slotAcross, m_slotDown, m_slotAlong;
    mutable std::vector<int> m_rowSpans;  // a row for each of the cells down
    mutable int m_rowCount = 0;
    mutable OriginFilter m_filter;
    mutable LaneFilter m_lanes;
    mutable CastFace m_cast;
};

}  // namespace vortel
