// Mirror map with a tolerance: the mirror images sorted into a hashed grid of
// cells, then for each vertex the nearest image in the cells its reach of eps
// touches.
#include "special/ToleranceMap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "doc/CVELTADoc.h"
#include "doc/Scratch.h"

namespace vortel {

namespace {

struct Cell {
    std::int32_t x, y, z;
    bool operator==(const Cell&) const = default;
};

// The grid: cells numbered in order of first use, the vertices of cell c at
// members[start[c] .. start[c+1]-1] in ascending order.
struct ToleranceGrid {
    static constexpr int kSlots = 1 << 18;  // >= 2 x 130,000 cells
    FixedArray<int> slots{kSlots};          // cell number, -1 for an empty slot
    FixedArray<Cell> cells{kVertexSlots};
    FixedArray<int> start{kVertexSlots + 1};
    FixedArray<int> cellOf{kVertexSlots};  // per vertex, -1 when its image has a NaN
    FixedArray<int> members{kVertexSlots};
    std::uint32_t mask = 0;
    int cellCount = 0;

    static std::uint32_t hashOf(const Cell& c) {
        std::uint64_t h = static_cast<std::uint32_t>(c.x) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint32_t>(c.y) * 0xC2B2AE3D27D4EB4Full;
        h ^= static_cast<std::uint32_t>(c.z) * 0x165667B19E3779F9ull;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 32;
        return static_cast<std::uint32_t>(h);
    }

    void clear(int expected) {
        int size = 16;
        while (size < 2 * expected && size < kSlots) size <<= 1;
        mask = static_cast<std::uint32_t>(size - 1);
        std::fill(slots.data(), slots.data() + size, -1);
        cellCount = 0;
    }

    // The number of cell c, numbered now when it is new.
    int insert(const Cell& c) {
        for (std::uint32_t s = hashOf(c) & mask;; s = (s + 1) & mask) {
            const int id = slots[static_cast<int>(s)];
            if (id < 0) {
                slots[static_cast<int>(s)] = cellCount;
                cells[cellCount] = c;
                start[cellCount] = 0;
                return cellCount++;
            }
            if (cells[id] == c) return id;
        }
    }

    int find(const Cell& c) const {
        for (std::uint32_t s = hashOf(c) & mask;; s = (s + 1) & mask) {
            const int id = slots[static_cast<int>(s)];
            if (id < 0 || cells[id] == c) return id;
        }
    }
};

bool hasNan(const Vec3& p) { return std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z); }

}  // namespace

int toleranceMatch(const Vec3* vertices, int n, double eps, int* table, int* matchCount) {
    ToleranceGrid& g = scratch<ToleranceGrid>();
    g.clear(n);

    // The reach is eps widened by a millionth: two different floats within eps
    // of each other are at least 2^-25 of their size apart, so this margin is
    // far above the rounding of the subtraction and division below, and no
    // image within eps falls outside the cells looked at.
    const double reach = eps * (1.0 + 1e-6);
    // Cells as wide as the reach on both sides, so that it spans one or two
    // cells per axis; never narrower than 2^-22 of the largest coordinate, so
    // that cell numbers stay far inside int range.
    float largest = 0.0f;
    for (int i = 0; i < n; ++i)
        for (float c : {vertices[i].x, vertices[i].y, vertices[i].z})
            if (std::isfinite(c)) largest = std::max(largest, std::fabs(c));
    const double floorWidth = largest > 0.0f ? std::ldexp(static_cast<double>(largest), -22) : 1.0;
    const double width = std::max(2.0 * reach, floorWidth);
    const double eps2 = eps * eps;
    auto axis = [width](double c) {
        // Infinities land in the outermost cells; order is all the search needs.
        constexpr double limit = 1 << 30;
        return static_cast<std::int32_t>(std::clamp(std::floor(c / width), -limit, limit));
    };
    auto cellOf = [&axis](const Vec3& p) { return Cell{axis(p.x), axis(p.y), axis(p.z)}; };

    // Count the mirror images per cell, then place them cell by cell in vertex order.
    for (int i = 0; i < n; ++i) {
        const Vec3 image{-vertices[i].x, vertices[i].y, vertices[i].z};
        if (hasNan(image)) {
            g.cellOf[i] = -1;
            continue;
        }
        const int c = g.insert(cellOf(image));
        g.cellOf[i] = c;
        ++g.start[c];
    }
    int sum = 0;
    for (int c = 0; c < g.cellCount; ++c) {
        const int count = g.start[c];
        g.start[c] = sum;
        sum += count;
    }
    g.start[g.cellCount] = sum;
    // start[c] advances while filling and ends at the old start[c+1]; shifted back below.
    for (int i = 0; i < n; ++i)
        if (g.cellOf[i] >= 0) g.members[g.start[g.cellOf[i]]++] = i;
    for (int c = g.cellCount; c > 0; --c) g.start[c] = g.start[c - 1];
    g.start[0] = 0;

    int resolved = 0;
    for (int j = 0; j < n; ++j) {
        const Vec3& p = vertices[j];
        int best = -1, ties = 0;
        double bestGap = 0.0;
        if (!hasNan(p)) {
            const Cell lo{axis(p.x - reach), axis(p.y - reach), axis(p.z - reach)};
            const Cell hi{axis(p.x + reach), axis(p.y + reach), axis(p.z + reach)};
            for (std::int32_t cx = lo.x; cx <= hi.x; ++cx)
                for (std::int32_t cy = lo.y; cy <= hi.y; ++cy)
                    for (std::int32_t cz = lo.z; cz <= hi.z; ++cz) {
                        const int c = g.find(Cell{cx, cy, cz});
                        if (c < 0) continue;
                        for (int k = g.start[c]; k < g.start[c + 1]; ++k) {
                            const int i = g.members[k];
                            const double gap = mirrorGapSquared(vertices[i], p);
                            if (!(gap <= eps2)) continue;
                            if (best < 0 || gap < bestGap) {
                                best = i;
                                bestGap = gap;
                                ties = 1;
                            } else if (gap == bestGap) {
                                best = std::max(best, i);
                                ++ties;
                            }
                        }
                    }
        }
        table[j] = best;
        matchCount[j] = ties;
        if (ties == 1) ++resolved;
    }
    return resolved;
}

}  // namespace vortel
