// The hair operation; see Hair.h.
#include "scatter/Hair.h"

namespace vortel {

namespace {
bool isVertex(int v, int vertexCount) { return v >= 1 && v <= vertexCount; }
}  // namespace

long long countLinePoints(const LineFaceTable& faces, int vertexCount) {
    long long points = 0;
    faces.forEachLine([&](const int* cv, int n) {
        for (int j = 0; j < n; ++j) points += isVertex(cv[j], vertexCount) ? 1 : 0;
    });
    return points;
}

int collectLinePoints(const LineFaceTable& faces, const Vec3* display, int vertexCount, HairMesh& mesh) {
    int count = 0;
    faces.forEachLine([&](const int* cv, int n) {
        for (int j = 0; j < n; ++j)
            if (isVertex(cv[j], vertexCount)) mesh.vertices[count++] = display[cv[j] - 1];
    });
    mesh.vertexCount = count;
    return count;
}

HairResult runHairOperation(CVELTADoc& doc, HairMesh& mesh, int w) {
    if (w == kHairRequestReset) {
        mesh.vertexCount = 0;
        doc.redrawAll();
        return HairResult::Done;
    }
    const LineFaceTable faces = LineFaceTable::of(doc);
    if (!fitsHairList(doc.platform(), "HAIR", "POINTS", countLinePoints(faces, doc.vertexCount), kMaxHairVertices))
        return HairResult::Refused;
    collectLinePoints(faces, doc.displayVertexArray.data(), doc.vertexCount, mesh);
    mesh.takeTransformOf(doc);
    doc.redrawAll();
    return HairResult::Done;
}

}  // namespace vortel
