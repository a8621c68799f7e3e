// Helpers of the DROP tests: the document's DROP module, a recording window
// host, seeds loaded from text, and meshes put straight into the document.
#pragma once

#include <string>
#include <vector>

#include "TestUtil.h"
#include "scatter/DropModule.h"
#include "test_scatter_meshes.h"

namespace vortel::test {

// Records what the module asks of the windows; the window "opens" and "closes".
struct RecordingHost : DropWindowHost {
    std::vector<std::string> calls;
    void createDropWindow() override { calls.push_back("create"); }
    void destroyDropWindow() override { calls.push_back("destroy"); }
    void seedLoadedNotice() override { calls.push_back("notice"); }
};

inline DropModule& dropModule() { return *fixture().doc.module<DropModule>(); }

// Loads TEXT as a seed through the open-by-path entry (kind 9), from memory.
inline void loadSeedText(const std::string& text, const std::string& name = "seed.obj") {
    DocFixture& fx = fixture();
    fx.reset();
    fx.doc.openFromMemory((tempDir() / name).string(), text.data(), text.size(), 9);
}

// A document mesh made of M's faces, display positions = M's positions
// (display scale 1, centre 0), each face owning its own slice of corners,
// normals computed by the document.
inline void setDocMesh(CVELTADoc& doc, const ScatterMesh& m) {
    doc.vertexCount = static_cast<int>(m.positions.size());
    for (int i = 0; i < doc.vertexCount; ++i) {
        doc.vertexArray[i] = m.positions[static_cast<size_t>(i)];
        doc.displayVertexArray[i] = m.positions[static_cast<size_t>(i)];
    }
    doc.displayScale = 1.0f;
    doc.displayCentre = Vec3{};
    int corners = 0;
    doc.faceCount = static_cast<int>(m.first.size());
    for (int f = 0; f < doc.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        doc.faceFirstCorner[f] = corners;
        doc.faceCornerCount[f] = m.count[fi];
        doc.faceKind[f] = m.kind[fi];
        doc.faceGroup[f] = 0;
        for (int c = 0; c < m.count[fi]; ++c)
            doc.cornerVertexList[corners++] = m.corners[static_cast<size_t>(m.first[fi] + c)];
    }
    doc.groupCount = 1;
    doc.loadStatus = "NORMAL";
    doc.computeNormals();
}

// A quad seed of side 1 in the x-y plane facing +z, with texture coordinates.
inline const char* kQuadSeed =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n";

}  // namespace vortel::test
