// The hair operation; see Hair.h.
#include "scatter/Hair.h"

#include "doc/Text.h"

namespace vortel {

namespace {
bool isVertex(int v, int vertexCount) { return v >= 1 && v <= vertexCount; }
}  // namespace

long long countLinePoints(const LineFaceTable& faces, int vertexCount) {
    long long points = 0;
    for (int f = 0; f < faces.faceCount; ++f) {
        if (!faces.isLine(f)) continue;
        const int* cv = faces.cornerVertexList + faces.faceFirstCorner[f];
        for (int j = 0; j < faces.faceCornerCount[f]; ++j) points += isVertex(cv[j], vertexCount) ? 1 : 0;
    }
    return points;
}

int collectLinePoints(const LineFaceTable& faces, const Vec3* display, int vertexCount, HairMesh& mesh) {
    int count = 0;
    for (int f = 0; f < faces.faceCount; ++f) {
        if (!faces.isLine(f)) continue;
        const int* cv = faces.cornerVertexList + faces.faceFirstCorner[f];
        for (int j = 0; j < faces.faceCornerCount[f]; ++j)
            if (isVertex(cv[j], vertexCount)) mesh.vertices[count++] = display[cv[j] - 1];
    }
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
    const long long points = countLinePoints(faces, doc.vertexCount);
    if (points > kMaxHairVertices) {
        doc.platform().messageBox("HAIR", formatMessage("TOO MANY HAIR POINTS [%lld/%d]", points, kMaxHairVertices),
                                  MsgButtons::Ok, MsgIcon::Warning);
        return HairResult::Refused;
    }
    collectLinePoints(faces, doc.displayVertexArray.data(), doc.vertexCount, mesh);
    mesh.displayScale = doc.displayScale;
    mesh.displayCentre = doc.displayCentre;
    doc.redrawAll();
    return HairResult::Done;
}

}  // namespace vortel
