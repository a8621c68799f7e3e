// Mirror map with a tolerance: the mirror images sorted into a hashed grid of
// cells, then for each vertex the nearest image among the 27 cells around it.
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

    // Cell width: a little over eps, so that an image within eps of a vertex
    // lies at most one cell away on every axis despite the rounding of the
    // divisions below; and at least 2^-22 of the largest coordinate, so that
    // the cell numbers stay far inside int range.
    float largest = 0.0f;
    for (int i = 0; i < n; ++i)
        for (float c : {vertices[i].x, vertices[i].y, vertices[i].z})
            if (std::isfinite(c)) largest = std::max(largest, std::fabs(c));
    const double floorWidth = largest > 0.0f ? std::ldexp(static_cast<double>(largest), -22) : 1.0;
    const double width = std::max(eps * (1.0 + 1e-6), floorWidth);
    const double eps2 = eps * eps;
    auto cellOf = [width](const Vec3& p) {
        // Infinities land in the outermost cells; order is all the search needs.
        constexpr double limit = 1 << 30;
        auto axis = [&](float c) {
            const double q = std::floor(static_cast<double>(c) / width);
            return static_cast<std::int32_t>(std::clamp(q, -limit, limit));
        };
        return Cell{axis(p.x), axis(p.y), axis(p.z)};
    };

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
            const Cell home = cellOf(p);
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dz = -1; dz <= 1; ++dz) {
                        const int c = g.find(Cell{home.x + dx, home.y + dy, home.z + dz});
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
