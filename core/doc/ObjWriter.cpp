// File > Save As: writes the mesh, or the checked groups of it, as OBJ text.
// With a morph target loaded it first runs FF, so the morphed positions are
// written. Vertices and texture coordinates that no written face uses are left
// out and the rest renumbered. Direct mode (direct-save flag 1) writes to the
// save path with the group visible flags as the checks and shows no dialog.
#include <cstdio>
#include <cstring>

#include "doc/CVELTADoc.h"
#include "doc/ObjStatements.h"
#include "doc/ObjText.h"

namespace vortel {

namespace {
// The writer's working tables, allocated once and reused by every run.
struct WriterTables {
    FixedArray<int> floatingCopy{kVertexSlots};
    FixedArray<char> uvCut{kUvSlots};
    FixedArray<int> vertexRenumber{kVertexSlots};
    FixedArray<int> uvRenumber{kUvSlots};
};
WriterTables& tables() {
    static WriterTables t;
    return t;
}
}  // namespace

void CVELTADoc::onSaveAs() {
    Platform& ui = m_platform;
    const bool direct = directSaveFlag != 0;
    const int groups = groupCount < 0 ? 0 : (groupCount > kMaxGroups ? kMaxGroups : groupCount);

    SaveOptionsRequest request;
    for (int g = 0; g < groups; ++g) {
        request.groupNames.push_back(groupNames[static_cast<size_t>(g)]);
        request.checks.push_back(groupVisibleFlag[static_cast<size_t>(g)] != 0);
    }
    if (morphLoadedFlag == 1) onCommand(cmd::FF);

    if (floatingCount == vertexCount)
        request.messageText = "ALL POINTS ARE FLOATING P.";
    else if (floatingCount != 0)
        request.messageText = formatMessage("FLOATING Point Num =%d", floatingCount);
    else if (morphLoadedFlag == 1)
        request.messageText = "MORPH TARGET SAVE DATA";
    else
        request.messageText = "NORMAL SAVE DATA";

    std::vector<bool> checks = request.checks;
    bool vertexOnly = false;
    if (!direct) {
        std::optional<SaveOptionsAnswer> answer = ui.saveOptionsDialog(request);
        if (!answer) return;
        checks = answer->checks;
        checks.resize(static_cast<size_t>(groups), false);
        vertexOnly = answer->vertexOnly;
    }

    std::FILE* file = nullptr;
    if (direct) {
        file = std::fopen(savePath.c_str(), "w+b");
        if (!file) {
            ui.showProgressBox("WRITE ERR" + savePath, kColourError);
            ui.waitMs(1000);
            ui.closeProgressBox();
            return;
        }
    } else {
        FileDialogRequest req;
        req.defaultExtension = "obj";
        req.initialName = fileTitle + "_VL" + ".obj";
        req.filter = "New MT file (*.obj)|*.obj||";
        req.initialDirectory = documentPath;
        req.overwritePrompt = true;
        std::optional<std::string> chosen = ui.saveFileDialog(req);
        if (!chosen) return;
        savePath = *chosen;
        file = std::fopen(savePath.c_str(), "w+b");
        if (!file) {
            // The load message would report the last read as a success; say what failed.
            ui.messageBox("VEL", "WRITE ERR" + savePath, MsgButtons::Ok, MsgIcon::None);
            return;
        }
    }

    WriterTables& t = tables();
    auto groupChecked = [&](int g) { return g >= 0 && g < groups && checks[static_cast<size_t>(g)]; };
    ObjTextOut out(file);
    static const char header[] = "# Convert by TOLK\n";
    out.text(header, sizeof header - 1);

    std::memcpy(t.floatingCopy.data(), floatingFlag.data(), sizeof(int) * static_cast<size_t>(vertexCount));
    for (int n = 0; n < vertexCount; ++n) floatingFlag[static_cast<size_t>(n)] = 1;
    std::memset(t.uvCut.data(), 1, static_cast<size_t>(uvCount));
    for (int f = 0; f < faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int g = faceGroup[fi];
        if (!groupChecked(g)) continue;
        const int first = faceFirstCorner[fi];
        const int count = faceCornerCount[fi];
        const bool uv = groupHasUvFlag[static_cast<size_t>(g)] != 0;
        for (int c = 0; c < count; ++c) {
            const size_t k = static_cast<size_t>(first + c);
            floatingFlag[static_cast<size_t>(cornerVertexList[k] - 1)] = 0;
            if (!uv) continue;
            const int tn = cornerUvList[k];
            if (tn >= 1 && tn <= uvCount) t.uvCut[static_cast<size_t>(tn - 1)] = 0;
        }
    }

    int cut = 0;
    const double scale = displayScale;
    const double cx = displayCentre.x, cy = displayCentre.y, cz = displayCentre.z;
    for (int n = 0; n < vertexCount; ++n) {
        const size_t i = static_cast<size_t>(n);
        if (floatingFlag[i] == 1 && !vertexOnly) {
            ++cut;
            continue;
        }
        const Vec3& d = displayVertexArray[i];
        out.literal("v ");
        out.fixed6(static_cast<double>(d.x) / scale + cx);
        out.ch(' ');
        out.fixed6(static_cast<double>(d.y) / scale + cy);
        out.ch(' ');
        out.fixed6(static_cast<double>(d.z) / scale + cz);
        out.ch('\n');
        t.vertexRenumber[i] = cut;
    }

    if (hasUvFlag == 1 && !vertexOnly) {
        int uvCutCount = 0;
        for (int k = 0; k < uvCount; ++k) {
            const size_t i = static_cast<size_t>(k);
            if (t.uvCut[i] == 1) {
                ++uvCutCount;
                continue;
            }
            out.literal("vt ");
            out.fixed6(uvArray[i].u);
            out.ch(' ');
            out.fixed6(uvArray[i].v);
            out.ch('\n');
            t.uvRenumber[i] = uvCutCount;
        }
    }

    if (!vertexOnly) {
        const std::string* lastGroup = nullptr;
        const std::string* lastMaterial = nullptr;
        static const std::string empty;
        lastGroup = lastMaterial = &empty;
        const bool uvWritten = hasUvFlag == 1;
        for (int f = 0; f < faceCount; ++f) {
            const size_t fi = static_cast<size_t>(f);
            const int g = faceGroup[fi];
            if (!groupChecked(g)) continue;
            const std::string& gname = groupNames[static_cast<size_t>(g)];
            if (gname != *lastGroup) {
                out.literal("g ");
                out.text(gname);
                out.ch('\n');
                lastGroup = &gname;
            }
            const int m = faceMaterial[fi];
            const std::string& mname = (m >= 0 && m < kMaterialSlots) ? materialNames[static_cast<size_t>(m)] : empty;
            if (mname != *lastMaterial) {
                out.literal("usemtl ");
                out.text(mname);
                out.ch('\n');
                lastMaterial = &mname;
            }
            out.ch('f');
            const int first = faceFirstCorner[fi];
            const int count = faceCornerCount[fi];
            bool uv = groupHasUvFlag[static_cast<size_t>(g)] == 1;
            // A face that carries no texture numbers of its own (a polyline, or a face
            // without them in a group that has them) is written without any: "/0"
            // would end the corner list when the file is read again.
            for (int c = 0; c < count && uv; ++c)
                if (cornerUvList[static_cast<size_t>(first + c)] < 1) uv = false;
            for (int c = 0; c < count; ++c) {
                const size_t k = static_cast<size_t>(first + c);
                const int vn = cornerVertexList[k];
                out.ch(' ');
                out.integer(vn - t.vertexRenumber[static_cast<size_t>(vn - 1)]);
                if (!uv) continue;
                int tn = cornerUvList[k];
                // Numbers outside the texture coordinates are kept as written; only
                // the ones that name a written coordinate are renumbered.
                if (uvWritten && tn >= 1 && tn <= uvCount) tn -= t.uvRenumber[static_cast<size_t>(tn - 1)];
                out.ch('/');
                out.integer(tn);
            }
            out.ch('\n');
        }
    }
    out.flush();
    std::fclose(file);
    treeRefresh(documentPath);
    std::memcpy(floatingFlag.data(), t.floatingCopy.data(), sizeof(int) * static_cast<size_t>(vertexCount));
}

}  // namespace vortel
