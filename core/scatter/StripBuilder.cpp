// Strip builder; see StripBuilder.h.
#include "scatter/StripBuilder.h"

#include <bit>
#include <cstdint>

#include "doc/Text.h"

namespace vortel {

namespace {
// Each strip's outer edge lies 1 % farther from the display origin.
constexpr float kStripOffset = 1.01f;
static_assert(std::bit_cast<std::uint32_t>(kStripOffset) == 0x3F8147AEu);

// Whether the segment from vertex e has a vertex numbered one higher.
bool segmentHasEnd(int e, int vertexCount) { return e >= 1 && e < vertexCount; }
}  // namespace

bool fitsHairList(Platform& ui, const char* caption, const char* what, long long n, int limit) {
    if (n <= limit) return true;
    ui.messageBox(caption, formatMessage("TOO MANY HAIR %s [%lld/%d]", what, n, limit), MsgButtons::Ok,
                  MsgIcon::Warning);
    return false;
}

long long countHairStrips(const LineFaceTable& faces, int vertexCount) {
    long long strips = 0;
    faces.forEachLine([&](const int* cv, int n) {
        for (int j = 0; j + 1 < n; ++j) strips += segmentHasEnd(cv[j], vertexCount) ? 1 : 0;
    });
    return strips;
}

int buildHairStrips(const LineFaceTable& faces, const Vec3* display, int vertexCount, HairMesh& mesh) {
    int b = 0;  // hair vertices (and corners) so far
    int strips = 0;
    faces.forEachLine([&](const int* cv, int n) {
        for (int j = 0; j + 1 < n; ++j) {
            const int e = cv[j];
            if (!segmentHasEnd(e, vertexCount)) continue;
            const Vec3 a = display[e - 1];
            const Vec3 bEnd = display[e];
            Vec3 bOut = bEnd, aOut = a;
            vecScale(bOut, kStripOffset);
            vecScale(aOut, kStripOffset);
            mesh.vertices[b] = a;
            mesh.vertices[b + 1] = bEnd;
            mesh.vertices[b + 2] = bOut;
            mesh.vertices[b + 3] = aOut;
            for (int k = 0; k < kHairCornersPerStrip; ++k) mesh.corners[b + k] = b + k + 1;
            mesh.faceFirstCorner[strips] = b;
            mesh.faceCornerCount[strips] = kHairCornersPerStrip;
            ++strips;
            b += kHairCornersPerStrip;
        }
    });
    mesh.vertexCount = b;
    return strips;
}

HairResult runStripBuilder(CVELTADoc& doc, HairMesh& mesh) {
    const LineFaceTable faces = LineFaceTable::of(doc);
    if (!fitsHairList(doc.platform(), "VORTEL", "STRIPS", countHairStrips(faces, doc.vertexCount), kMaxHairStrands))
        return HairResult::Refused;
    doc.hairStrandCount = buildHairStrips(faces, doc.displayVertexArray.data(), doc.vertexCount, mesh);
    mesh.takeTransformOf(doc);
    doc.platform().messageBox("VORTEL", formatMessage("%d", doc.hairStrandCount), MsgButtons::Ok, MsgIcon::None);
    return HairResult::Done;
}

}  // namespace vortel
