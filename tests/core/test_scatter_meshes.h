// Meshes for the scatter tests: flat arrays a FaceGridMesh can point at,
// random surfaces and the awkward faces a line cast must get right.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "geometry/Vector.h"
#include "scatter/FaceGrid.h"

namespace vortel::test {

struct ScatterMesh {
    std::vector<Vec3> positions;
    std::vector<int> corners;  // 1-based vertex numbers
    std::vector<int> first, count;
    std::vector<char> kind;
    std::vector<Vec3> normals;

    int addVertex(Vec3 v) {
        positions.push_back(v);
        return static_cast<int>(positions.size());
    }
    void addFace(std::initializer_list<int> vs, char k = 'P') {
        first.push_back(static_cast<int>(corners.size()));
        count.push_back(static_cast<int>(vs.size()));
        kind.push_back(k);
        for (int v : vs) corners.push_back(v);
        normals.push_back(Vec3{});
    }
    // Face normals as the document computes them: cross(B - A, C - A) of the first three corners.
    void computeNormals() {
        for (size_t f = 0; f < first.size(); ++f) {
            if (count[f] < 3) continue;
            const int c = first[f];
            bool valid = true;
            for (int i = 0; i < 3; ++i)
                valid = valid && corners[c + i] >= 1 && corners[c + i] <= static_cast<int>(positions.size());
            if (!valid) continue;
            faceNormal(positions[corners[c] - 1], positions[corners[c + 1] - 1], positions[corners[c + 2] - 1],
                       normals[f]);
        }
    }
    FaceGridMesh view() const {
        FaceGridMesh m;
        m.positions = positions.data();
        m.vertexCount = static_cast<int>(positions.size());
        m.cornerVertices = corners.data();
        m.cornerEnd = static_cast<int>(corners.size());
        m.faceFirstCorner = first.data();
        m.faceCornerCount = count.data();
        m.faceNormals = normals.data();
        m.faceCount = static_cast<int>(first.size());
        return m;
    }
};

inline float uniform(std::mt19937& rng, float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(rng);
}

// A height field of quads (or triangles) over [-s, s]^2 with random heights,
// seen along `up` (1: y is the height, 2: z is the height). Its vertices sit on
// a regular grid, so lines through them and through the shared edges are easy to aim.
inline ScatterMesh heightField(std::mt19937& rng, int cells, float s, bool triangles, int up, float bump) {
    ScatterMesh m;
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i) {
            const float a = -s + 2 * s * i / cells, b = -s + 2 * s * j / cells;
            const float h = uniform(rng, -bump, bump);
            m.addVertex(up == 1 ? Vec3{a, h, b} : Vec3{a, b, h});
        }
    auto id = [&](int i, int j) { return j * (cells + 1) + i + 1; };
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            const int v00 = id(i, j), v10 = id(i + 1, j), v11 = id(i + 1, j + 1), v01 = id(i, j + 1);
            // Both windings, so that lines meet back faces as well as front faces.
            const bool flip = (i + j) % 3 == 0;
            if (triangles) {
                if (flip) {
                    m.addFace({v00, v11, v10});
                    m.addFace({v00, v01, v11});
                } else {
                    m.addFace({v00, v10, v11});
                    m.addFace({v00, v11, v01});
                }
            } else if (flip) {
                m.addFace({v00, v01, v11, v10});
            } else {
                m.addFace({v00, v10, v11, v01});
            }
        }
    m.computeNormals();
    return m;
}

// Random triangles, quads and polygons scattered through a box, with the
// awkward ones mixed in: faces parallel or nearly parallel to either axis,
// degenerate faces (repeated or collinear corners), slivers, non-convex and
// twisted quads, and exact copies of faces (ties in distance).
inline ScatterMesh randomSoup(std::mt19937& rng, int faces, float s) {
    ScatterMesh m;
    auto rv = [&] { return Vec3{uniform(rng, -s, s), uniform(rng, -s, s), uniform(rng, -s, s)}; };
    for (int f = 0; f < faces; ++f) {
        const int shape = std::uniform_int_distribution<int>(0, 11)(rng);
        const Vec3 c = rv();
        const float r = uniform(rng, 0.01f * s, 0.4f * s);
        auto near = [&] {
            return Vec3{c.x + uniform(rng, -r, r), c.y + uniform(rng, -r, r), c.z + uniform(rng, -r, r)};
        };
        switch (shape) {
        case 0: {  // vertical for lines along Y: every corner above the first two's line
            const Vec3 a = near(), b = near();
            const int va = m.addVertex(a), vb = m.addVertex(b);
            const int vc = m.addVertex(Vec3{a.x, a.y + r, a.z});
            m.addFace({va, vb, vc});
            break;
        }
        case 1: {  // parallel to Z
            const Vec3 a = near(), b = near();
            const int va = m.addVertex(a), vb = m.addVertex(b), vc = m.addVertex(Vec3{a.x, a.y, a.z + r});
            m.addFace({va, vb, vc});
            break;
        }
        case 2: {  // nearly vertical: one corner leans by a hair
            const Vec3 a = near(), b = near();
            const float lean = uniform(rng, -1e-5f, 1e-5f) * r;
            const int va = m.addVertex(a), vb = m.addVertex(b);
            const int vc = m.addVertex(Vec3{a.x + lean, a.y + r, a.z - lean});
            m.addFace({va, vb, vc});
            break;
        }
        case 3: {  // degenerate: a repeated corner, or three collinear corners
            const Vec3 a = near(), b = near();
            const int va = m.addVertex(a), vb = m.addVertex(b);
            if (rng() % 2) {
                m.addFace({va, vb, va});
            } else {
                const int vm = m.addVertex(Vec3{(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f});
                m.addFace({va, vm, vb});
            }
            break;
        }
        case 4: {  // sliver
            const Vec3 a = near(), b = near();
            const Vec3 cc{(a.x + b.x) * 0.5f + 1e-6f * r, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f - 1e-6f * r};
            m.addFace({m.addVertex(a), m.addVertex(b), m.addVertex(cc)});
            break;
        }
        case 5: {  // non-convex or twisted quad
            const int a = m.addVertex(near()), b = m.addVertex(near()), cc = m.addVertex(near()),
                      d = m.addVertex(near());
            m.addFace({a, b, cc, d});
            break;
        }
        case 6: {  // polygon of five or six corners (tested as its first four)
            const int n = 5 + static_cast<int>(rng() % 2);
            std::vector<int> vs;
            for (int i = 0; i < n; ++i) {
                const float ang = 6.2831853f * i / n;
                vs.push_back(m.addVertex(
                    Vec3{c.x + r * std::cos(ang), c.y + uniform(rng, -r, r) * 0.2f, c.z + r * std::sin(ang)}));
            }
            m.first.push_back(static_cast<int>(m.corners.size()));
            m.count.push_back(n);
            m.kind.push_back('P');
            for (int v : vs) m.corners.push_back(v);
            m.normals.push_back(Vec3{});
            break;
        }
        case 7:  // a copy of an earlier face: equal distances
            if (!m.first.empty()) {
                const size_t g = rng() % m.first.size();
                m.first.push_back(m.first[g]);
                m.count.push_back(m.count[g]);
                m.kind.push_back(m.kind[g]);
                m.normals.push_back(Vec3{});
                break;
            }
            [[fallthrough]];
        default: {  // plain triangle or quad, either winding
            const int a = m.addVertex(near()), b = m.addVertex(near()), cc = m.addVertex(near());
            if (shape % 2)
                m.addFace({a, b, cc});
            else
                m.addFace({a, cc, b, m.addVertex(near())});
            break;
        }
        }
    }
    m.computeNormals();
    return m;
}

}  // namespace vortel::test
