// File > MT Open: matches a morph target to the base mesh by vertex order and
// stores its deltas in display units, their backup and the moved flags.
#include <cstdio>
#include <cstring>

#include "doc/CVELTADoc.h"
#include "doc/ObjStatements.h"
#include "doc/LineLoop.h"
#include "doc/ObjTokenizers.h"

namespace vortel {

void CVELTADoc::onMtOpen() {
    Platform& ui = m_platform;
    if (vertexCount == 0) {
        ui.showProgressBox("BASE OBJ NOT FOUND", kColourError);
        ui.waitMs(1000);
        ui.closeProgressBox();
        return;
    }
    // A failed load must not take the loaded morph with it.
    const int previousMtVertexCount = mtVertexCount;
    const std::string previousMtPath = mtPath;
    mtVertexCount = 0;

    if (!openByPathFlag) {
        FileDialogRequest req;
        req.defaultExtension = "obj";
        req.initialName = "*.obj";
        req.filter = "for MT OBJ FILE(*.obj)|*.obj||";
        std::optional<std::string> chosen = ui.openFileDialog(req);
        if (!chosen) {
            mtVertexCount = previousMtVertexCount;
            return;
        }
        if (*chosen == documentPath) {
            mtVertexCount = previousMtVertexCount;
            ui.showProgressBox("SAME", kColourSame);
            ui.waitMs(400);
            ui.closeProgressBox();
            return;
        }
        documentPath = *chosen;
        redrawAll();
    }
    ui.showProgressBox("MT NOW LOADING...", kColourLoading);

    static LineLoop loop(999);
    if (!loop.open(*this, documentPath)) {
        loadMessage = "MT OPEN ERROR";
        loadStatus = "ERROR";
        mtVertexCount = previousMtVertexCount;
        ui.messageBox("VORTEL", loadMessage, MsgButtons::Ok, MsgIcon::Warning);
        ui.closeProgressBox();
        return;
    }
    mtPath = documentPath;
    crLineMode = 0;
    loadStatus = "NORMAL";
    loadMessage = "READ SUCCESSFUL";

    int count = 0;
    Vec3* target = morphTargetBuffer.data();
    const LineLoopEnd end = loop.run(
        crLineMode,
        [&](const char* line) {
            if (line[0] != 'v' || (line[1] != ' ' && line[1] != '\t')) return true;
            float v[3];
            if (!vertexTokenizer(line, v, true)) {
                loadMessage = "INPUT ERR:Vertex NON 3D";
                loadStatus = "ERROR";
                return false;
            }
            target[count++] = Vec3{v[0], v[1], v[2]};
            if (count > vertexCount) {
                loadMessage = "VERTEX MAX ERROR";
                loadStatus = "ERROR";
                return false;
            }
            return true;
        },
        [&] { count = 0; });
    if (end == LineLoopEnd::MacFormatError) {
        loadMessage = "INPUT ERR:MAC FILE FORMAT ERROR";
        loadStatus = "ERROR";
    }
    loop.close();
    if (count == 0 || count != vertexCount) loadStatus = "ERROR";

    if (loadStatus == "ERROR") {
        loadStatus = "NORMAL";
        ui.closeProgressBox();
        ui.showProgressBox("NO MATCH", kColourError);
        mtVertexCount = morphLoadedFlag ? previousMtVertexCount : 0;
        mtPath = previousMtPath;
        playbackStateChange(0);
        ui.waitMs(400);
        ui.closeProgressBox();
        return;
    }
    mtVertexCount = count;
    ui.closeProgressBox();
    ui.showProgressBox(formatMessage("MT LOAD OK (V=%d)", mtVertexCount), kColourSuccess);
    ui.waitMs(100);
    ui.closeProgressBox();

    resetDisplayFromBase();
    const float s = displayScale;
    for (int n = 0; n < vertexCount; ++n) {
        const size_t i = static_cast<size_t>(n);
        const Vec3& base = vertexArray[i];
        Vec3& d = morphDeltaArray[i];
        d.x = (target[i].x - base.x) * s;
        d.y = (target[i].y - base.y) * s;
        d.z = (target[i].z - base.z) * s;
        morphDeltaBackup[i] = d;
    }
    for (int n = 0; n < mtVertexCount; ++n) {
        const Vec3& d = morphDeltaArray[n];
        movedFlag[n] = (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f) ? 0 : 1;
    }
    for (int f = 0; f < faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        int moved = 0;
        const int first = faceFirstCorner[fi];
        for (int c = 0; c < faceCornerCount[fi] && !moved; ++c)
            if (movedFlag[cornerVertexList[static_cast<size_t>(first + c)] - 1]) moved = 1;
        faceMovedFlag[fi] = moved;
    }
    playbackStateChange(0);
    playbackStateChange(1);
    morphLoadedFlag = 1;
}

}  // namespace vortel
