// The plain loop of DROP, step by step as DROP is described: every line
// against every face. The reference the drop routine must equal, in the tests
// and in the benchmark.
#pragma once

#include <cstdint>
#include <vector>

#include "doc/CVELTADoc.h"
#include "scatter/DropRandom.h"
#include "scatter/FaceGrid.h"
#include "scatter/SeedMesh.h"

namespace vortel::ref {

struct PlainDrop {
    std::vector<Vec3> origins, hits, vertices, faceNormals;
    std::vector<int> corners, faceFirst, faceCorners;
};

// The surface ray cast over faces 0 .. faceLimit - 1 (all when -1).
inline bool plainRayCast(const CVELTADoc& doc, Vec3 p, bool top, Vec3& hitPoint, int& hitFace, int faceLimit = -1) {
    const Vec3 dir = top ? Vec3{0, 1, 0} : Vec3{0, 0, 1};
    auto along = [&](Vec3 v) { return top ? v.y : v.z; };
    const FaceGridMesh mesh = faceGridMeshOf(doc);
    float best = absValue(along(p) - 1e13f);
    int bestFace = -1;
    Vec3 bestPoint;
    const int faces = faceLimit < 0 ? doc.faceCount : faceLimit;
    for (int f = 0; f < faces; ++f) {
        // Line faces and faces without three corners are not cast against.
        if (doc.faceKind[f] == 'L' || !faceHasSurface(mesh, f)) continue;
        const int first = doc.faceFirstCorner[f];
        auto at = [&](int c) { return doc.displayVertexArray[doc.cornerVertexList[first + c] - 1]; };
        Vec3 h;
        if (!rayPlane(p, dir, at(0), doc.faceNormalArray[f], h)) continue;
        const int inside = doc.faceCornerCount[f] == 3
                               ? pointInTriangle(at(0), at(1), at(2), h, doc.faceNormalArray[f])
                               : pointInQuad(at(0), at(1), at(2), at(3), h, doc.faceNormalArray[f]);
        if (!inside) continue;
        const float dist = absValue(along(p) - along(h));
        if (dist < best) {
            best = dist;
            bestFace = f;
            bestPoint = h;
        }
    }
    if (bestFace < 0) return false;
    const Vec3 q = doc.displayVertexArray[doc.cornerVertexList[doc.faceFirstCorner[bestFace]] - 1];
    if (sideOfPlane(p, q, doc.faceNormalArray[bestFace]) == -1) return false;
    hitPoint = bestPoint;
    hitFace = bestFace;
    return true;
}

inline PlainDrop plainDrop(const CVELTADoc& doc, const SeedMesh& seed, int sizeRandom, int locationRandom, int n, int d,
                           int top, std::uint32_t randomSeed) {
    PlainDrop out;
    Vec3 mx{-1e12f, -1e12f, -1e12f}, mn{1e12f, 1e12f, 1e12f};
    for (int f = 0; f < doc.faceCount; ++f)
        for (int c = 0; c < doc.faceCornerCount[f]; ++c) {
            const Vec3 v = doc.displayVertexArray[doc.cornerVertexList[doc.faceFirstCorner[f] + c] - 1];
            if (v.x < mn.x) mn.x = v.x;
            if (v.y < mn.y) mn.y = v.y;
            if (v.z < mn.z) mn.z = v.z;
            if (v.x > mx.x) mx.x = v.x;
            if (v.y > mx.y) mx.y = v.y;
            if (v.z > mx.z) mx.z = v.z;
        }
    DropRandom rng;
    rng.seed(randomSeed);
    std::vector<int> hitFaces;
    const float stepX = absValue(mx.x - mn.x) / n;
    if (top) {
        const float stepZ = absValue(mx.z - mn.z) / n, y0 = mx.y * 1.25f;
        float z = mn.z + stepZ * 0.5f;
        for (int i = 0; i < n; ++i, z += stepZ) {
            float x = mn.x + stepX * 0.5f;
            for (int j = 0; j < n; ++j, x += stepX) {
                Vec3 o{x, y0, z};
                if (locationRandom) {
                    const float u1 = rng.draw() * 0.000030518509f;
                    const float u2 = rng.draw() * 0.000030518509f;
                    o = Vec3{x + u1 * stepX, y0, z + u2 * stepZ};
                }
                out.origins.push_back(o);
            }
        }
    } else {
        const float stepY = absValue(mx.y - mn.y) / n, z0 = mx.z * 1.25f;
        float y = mn.y + stepY * 0.5f;
        for (int i = 0; i < n; ++i, y += stepY) {
            float x = mn.x + stepX * 0.5f;
            for (int j = 0; j < n; ++j, x += stepX) {
                Vec3 o{x, y, z0};
                if (locationRandom) {
                    const float u1 = rng.draw() * 0.000030518509f;
                    const float u2 = rng.draw() * 0.000030518509f;
                    o = Vec3{x + u1 * stepX, y + u2 * stepY, z0};
                }
                out.origins.push_back(o);
            }
        }
    }
    for (const Vec3& o : out.origins) {
        Vec3 h;
        int f;
        if (plainRayCast(doc, o, top != 0, h, f)) {
            out.hits.push_back(h);
            hitFaces.push_back(f);
        }
    }
    const int V = seed.usableVertexCount();
    float s = 1.0f;
    for (size_t k = 0; k < out.hits.size(); ++k) {
        if (sizeRandom) s = rng.draw() * 0.000030518509f;
        for (int v = 0; v < V; ++v) {
            Vec3 w = seed.vertexList[v];
            vecScale(w, s);
            orientByNormal(w, doc.faceNormalArray[hitFaces[k]], w);
            vecDivide(w, 3 * d);
            vecAdd(out.hits[k], w);
            out.vertices.push_back(w);
        }
    }
    int F = 0;
    for (int j = 0; j < seed.usableFaceCount(); ++j) F += seed.faceCornerCount[j];
    for (size_t k = 0; k < out.hits.size(); ++k)
        for (int j = 0; j < seed.usableFaceCount(); ++j) {
            for (int c = 0; c < seed.faceCornerCount[j]; ++c)
                out.corners.push_back(static_cast<int>(k) * V + seed.cornerList[seed.faceFirstCorner[j] + c]);
            out.faceFirst.push_back(seed.faceFirstCorner[j] + static_cast<int>(k) * F);
            out.faceCorners.push_back(seed.faceCornerCount[j]);
            out.faceNormals.push_back(seed.faceNormal[j]);
        }
    return out;
}

}  // namespace vortel::ref
