// The seed loader: reads a Wavefront OBJ file into the seed mesh, computes its
// face normals, scales it to 0.7 units about the origin and tells the Drop
// window. A reduced copy of the mesh reader: the same line loop (switching to
// CR line ends at 999 characters), tokenizers and messages, its own limits.
//
// Reads the document path (chosen in the dialog, or set by a preset or a
// by-path load); writes the seed mesh, the load message and the load status.

#include "doc/LineLoop.h"
#include "doc/ObjStatements.h"
#include "doc/ObjTokenizers.h"
#include "doc/Text.h"
#include "scatter/DropModule.h"

namespace vortel {

namespace {

// One line of a seed file; false ends the load with the load message set.
bool readSeedLine(CVELTADoc& doc, SeedMesh& seed, const char* line) {
    auto fail = [&](const std::string& message) {
        doc.loadMessage = message;
        doc.loadStatus = "ERROR";
        return false;
    };
    const char c0 = line[0];
    const char c1 = c0 ? line[1] : '\0';
    if (c0 == 'v' && (c1 == ' ' || c1 == '\t')) {
        float v[3];
        if (!vertexTokenizer(line, v, true)) return fail("INPUT ERR:Vertex NON 3D");
        if (seed.vertexCount >= kMaxSeedVertices) return fail("Vertex Limit is 5000");
        const Vec3 p{v[0], v[1], v[2]};
        seed.vertexList[seed.vertexCount++] = p;
        widenBox(seed.boxMax, seed.boxMin, p);
        return true;
    }
    if (c0 == 'f' && (c1 == ' ' || c1 == '\t' || c1 == 'o')) {
        static int numbers[kNumberListSize];
        int form = 1;
        const int count = faceNumbersAndForm(line, numbers, form, true);
        if (seed.faceCount >= kMaxSeedFaces)
            return fail(formatMessage("Face Max Error Num=%d FlineType=%d", count, form));
        const int corners = count / form;
        if (seed.cornerTotal + corners > kMaxSeedCorners)
            return fail(formatMessage("INPUT VARIDATE ERR V=%d F=%d", seed.vertexCount, seed.cornerTotal));
        // A corner's texture number is the second value of its corner form; a
        // face written without them, or read before the first "vt" line, has none (0).
        const bool textured = seed.hasUvFlag == 1 && form >= 2;
        for (int c = 0; c < corners; ++c) {
            seed.cornerList[seed.cornerTotal + c] = numbers[c * form];
            seed.cornerUvList[seed.cornerTotal + c] = textured ? numbers[c * form + 1] : 0;
        }
        seed.faceFirstCorner[seed.faceCount] = seed.cornerTotal;
        seed.faceCornerCount[seed.faceCount] = corners;
        ++seed.faceCount;
        seed.cornerTotal += corners;
        return true;
    }
    if (c0 == 'v' && c1 == 't') {
        seed.hasUvFlag = 1;
        float uv[2];
        if (!uvTokenizer(line, uv, true)) return fail("UV Format ERROR");
        if (seed.uvCount >= kMaxSeedUvs) return fail("UV MAX ERROR");
        seed.uvList[seed.uvCount++] = UvCoord{uv[0], uv[1]};
        return true;
    }
    return true;
}

// Face normals from the coordinates as read. A face of fewer than three
// corners, or one naming a vertex the seed lacks, has no surface: its normal is 0.
void computeSeedNormals(SeedMesh& seed) {
    for (int f = 0; f < seed.faceCount; ++f) {
        Vec3& out = seed.faceNormal[f];
        out = Vec3{};
        const int first = seed.faceFirstCorner[f];
        const int count = seed.faceCornerCount[f];
        if (count < 3 || !seed.faceIsWhole(f)) continue;
        auto at = [&](int c) { return seed.vertexList[seed.cornerList[first + c] - 1]; };
        faceNormal(at(0), at(1), at(2), out);
        if (count > 3) {
            Vec3 second;
            faceNormal(at(0), at(2), at(3), second);
            vecAdd(second, out);
        }
    }
}

// The seed spans at most 0.7 units, centred on the origin.
void normaliseSeed(SeedMesh& seed) {
    float extent = seed.boxMax.x - seed.boxMin.x;
    if (seed.boxMax.y - seed.boxMin.y > extent) extent = seed.boxMax.y - seed.boxMin.y;
    if (seed.boxMax.z - seed.boxMin.z > extent) extent = seed.boxMax.z - seed.boxMin.z;
    // A seed of one point (or all on one spot) would be scaled by infinity into
    // NaN; it stays at the size it has.
    if (!(extent > 0.0f)) extent = 1.0f;
    const float scale = 0.7f / extent;
    const Vec3 centre{(seed.boxMin.x + seed.boxMax.x) * 0.5f, (seed.boxMin.y + seed.boxMax.y) * 0.5f,
                      (seed.boxMin.z + seed.boxMax.z) * 0.5f};
    for (int i = 0; i < seed.vertexCount; ++i) {
        Vec3& v = seed.vertexList[i];
        v = Vec3{(v.x - centre.x) * scale, (v.y - centre.y) * scale, (v.z - centre.z) * scale};
    }
}

}  // namespace

void DropModule::loadSeed() {
    Platform& ui = m_doc.platform();
    // Emptied before the dialog: a cancelled Seed Open leaves an empty seed.
    seed.empty();
    if (!presetMode && !m_doc.openByPathFlag) {
        FileDialogRequest req;
        req.defaultExtension = "obj";
        req.initialName = "*.obj";
        req.filter = "for Drop OBJ FILE(*.obj)|*.obj||";
        const std::optional<std::string> chosen = ui.openFileDialog(req);
        if (!chosen) return;
        m_doc.documentPath = *chosen;
        m_doc.redrawAll();
    }
    ui.showProgressBox("SEED NOW LOADING...", kColourLoading);

    static LineLoop loop(999);
    if (!loop.open(m_doc, m_doc.documentPath)) {
        m_doc.loadMessage = "SEED OPEN ERROR";
        m_doc.loadStatus = "ERROR";
        ui.messageBox("VORTEL", m_doc.loadMessage, MsgButtons::Ok, MsgIcon::Warning);
        ui.closeProgressBox();
        return;
    }
    m_doc.loadStatus = "NORMAL";
    m_doc.loadMessage = "READ SUCCESSFUL";
    m_doc.crLineMode = 0;
    const LineLoopEnd end = loop.run(
        m_doc.crLineMode, [&](const char* line) { return readSeedLine(m_doc, seed, line); }, [&] { seed.empty(); });
    if (end == LineLoopEnd::MacFormatError) {
        m_doc.loadMessage = "INPUT ERR:MAC FILE FORMAT ERROR";
        m_doc.loadStatus = "ERROR";
    }
    loop.close();
    if (seed.vertexCount == 0) m_doc.loadStatus = "ERROR";

    if (m_doc.loadStatus == "ERROR") {
        // What was read stays in the lists; the seed counts as empty for DROP.
        m_doc.loadStatus = "NORMAL";
        ui.showProgressBox(m_doc.loadMessage, kColourError);
        ui.waitMs(1000);
        ui.closeProgressBox();
        return;
    }
    computeSeedNormals(seed);
    if (!windowOpen()) openWindow();
    ui.closeProgressBox();
    normaliseSeed(seed);
    seed.loaded = true;
    ui.showProgressBox(formatMessage("SEED LOAD OK (V=%d)", seed.vertexCount), kColourSuccess);
    ui.waitMs(100);
    ui.closeProgressBox();
    if (m_host && windowOpen()) m_host->seedLoadedNotice();
}

}  // namespace vortel
