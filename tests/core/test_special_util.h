// Helpers of the special panel tests: the one shared document, meshes put
// straight into it, and small random mesh makers with planted special cases.
#pragma once

#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "doc/ObjStatements.h"
#include "special/MtmPanel.h"

namespace vortel::test {

// The document is 87 MB: one for the whole test program.
inline DocFixture& specialDoc() {
    static DocFixture* f = [] {
        auto* fx = new DocFixture;
        fx->ui.home = (tempDir() / "home").string() + "/";
        std::filesystem::create_directories(fx->ui.home + "work");
        return fx;
    }();
    return *f;
}

inline void clearUi(FakePlatform& ui) {
    ui.calls.clear();
    ui.messages.clear();
    ui.answers.clear();
    ui.progressPositions.clear();
}

// A panel shown and started, registered as a view of the shared document.
struct PanelFixture {
    DocFixture& fx = specialDoc();
    CVELTADoc& doc = fx.doc;
    FakePlatform& ui = fx.ui;
    MtmPanel panel{fx.doc};
    MtmPanelView view{fx.doc, panel};
    PanelFixture() {
        clearUi(ui);
        panel.startUp();
    }
    // Loads OBJ text through the open-by-path entry, as the window does.
    void load(const std::string& name, const std::string& text) {
        fx.openText(name, text);
        clearUi(ui);
    }
};

struct MeshData {
    std::vector<Vec3> vertices;
    std::vector<std::vector<int>> faces;  // 1-based vertex numbers
    std::vector<int> faceGroups;           // empty: all 0
    int groupCount = 1;
};

// Puts a mesh straight into the document, with what a load leaves behind:
// display transform, normals, floating flags and count, no morph, no edge lines.
inline void setMesh(CVELTADoc& d, const MeshData& m) {
    d.vertexCount = static_cast<int>(m.vertices.size());
    d.modelBoxMax = Vec3{-1e12f, -1e12f, -1e12f};
    d.modelBoxMin = Vec3{1e12f, 1e12f, 1e12f};
    for (size_t i = 0; i < m.vertices.size(); ++i) {
        d.vertexArray[i] = m.vertices[i];
        d.floatingFlag[i] = 1;
        widenBox(d.modelBoxMax, d.modelBoxMin, m.vertices[i]);
    }
    d.faceCount = static_cast<int>(m.faces.size());
    int corner = 0;
    for (size_t f = 0; f < m.faces.size(); ++f) {
        d.faceFirstCorner[f] = corner;
        d.faceCornerCount[f] = static_cast<int>(m.faces[f].size());
        d.faceGroup[f] = m.faceGroups.empty() ? 0 : m.faceGroups[f];
        d.faceMaterial[f] = 0;
        d.faceKind[f] = m.faces[f].size() == 2 ? 'L' : 'P';
        for (int vn : m.faces[f]) {
            d.cornerVertexList[corner++] = vn;
            if (vn >= 1 && vn <= d.vertexCount) d.floatingFlag[vn - 1] = 0;
        }
    }
    d.groupCount = m.groupCount;
    for (int g = 0; g < m.groupCount && g < kGroupSlots; ++g)
        d.groupNames[g] = "g" + std::to_string(g) + "\n";
    d.floatingCount = 0;
    for (int n = 0; n < d.vertexCount; ++n) d.floatingCount += d.floatingFlag[n];
    d.morphLoadedFlag = 0;
    d.mtVertexCount = 0;
    d.edgeLineCount = 0;
    d.markerPointCount1 = 0;
    if (d.vertexCount > 0) d.displayTransform(-1);
    d.computeNormals();
}

// Coordinates that make exact coincidences likely: zeros of both signs, a
// value one step off, a NaN and the infinities among a few plain numbers.
inline float poolValue(std::mt19937& rng) {
    static const float pool[] = {0.0f,
                                 -0.0f,
                                 1.0f,
                                 -1.0f,
                                 2.5f,
                                 -2.5f,
                                 std::nextafter(1.0f, 2.0f),
                                 -std::nextafter(1.0f, 2.0f),
                                 std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 0.125f};
    return pool[rng() % (sizeof pool / sizeof pool[0])];
}

// Random positions with planted mirror images, coincident copies and centre-line vertices.
inline std::vector<Vec3> plantedPositions(std::mt19937& rng, int n) {
    std::vector<Vec3> v;
    for (int i = 0; i < n; ++i) {
        const unsigned kind = rng() % 6;
        if (!v.empty() && kind == 0) {
            Vec3 p = v[rng() % v.size()];
            p.x = -p.x;  // mirror image
            v.push_back(p);
        } else if (!v.empty() && kind == 1) {
            v.push_back(v[rng() % v.size()]);  // coincident copy
        } else if (kind == 2) {
            v.push_back(Vec3{(rng() & 1) ? 0.0f : -0.0f, poolValue(rng), poolValue(rng)});  // centre line
        } else {
            v.push_back(Vec3{poolValue(rng), poolValue(rng), poolValue(rng)});
        }
    }
    return v;
}

}  // namespace vortel::test
