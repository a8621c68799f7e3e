// File > MT Open: matches a morph target to the base mesh by vertex order and
// stores its deltas in display units, their backup and the moved flags.
#include <cstdio>
#include <cstring>

#include "doc/CVELTADoc.h"
#include "doc/ObjStatements.h"
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

    std::FILE* file = std::fopen(documentPath.c_str(), "rb");
    if (!file) {
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

    static LineReader reader;
    reader.attach(file);
    // Static: zero bytes past every line, so the tokenizers may read digits eight at a time.
    static char line[kCrLineBufferSize + kLinePadding];
    int count = 0;
    Vec3* target = morphTargetBuffer.data();
    for (;;) {
        size_t n = crLineMode == 0 ? reader.readLf(line) : static_cast<size_t>(reader.readCr(line));
        if (n == 0) break;
        // strlen can only reach the limit when the bytes read do.
        if (n >= 999 && std::strlen(line) >= 999) {
            if (crLineMode == 1) {
                loadMessage = "INPUT ERR:MAC FILE FORMAT ERROR";
                loadStatus = "ERROR";
                break;
            }
            crLineMode = 1;
            reader.rewind();
            count = 0;
            continue;
        }
        if (line[0] != 'v' || (line[1] != ' ' && line[1] != '\t')) continue;
        float v[3];
        if (!vertexTokenizer(line, v, true)) {
            loadMessage = "INPUT ERR:Vertex NON 3D";
            loadStatus = "ERROR";
            break;
        }
        target[count++] = Vec3{v[0], v[1], v[2]};
        if (count > vertexCount) {
            loadMessage = "VERTEX MAX ERROR";
            loadStatus = "ERROR";
            break;
        }
    }
    reader.attach(nullptr);
    std::fclose(file);
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
