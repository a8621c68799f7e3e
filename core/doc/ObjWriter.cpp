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
#include "doc/Scratch.h"

namespace vortel {

namespace {
// The writer's working tables, allocated once and reused by every run.
struct WriterTables {
    FixedArray<int> floatingCopy{kVertexSlots};
    FixedArray<char> uvCut{kUvSlots};
    FixedArray<int> vertexRenumber{kVertexSlots};
    FixedArray<int> uvRenumber{kUvSlots};
};
}  // namespace

SaveResult CVELTADoc::onSaveAs() {
    Platform& ui = m_platform;
    const bool direct = directSaveFlag != 0;
    const int groups = groupCount < 0 ? 0 : (groupCount > kMaxGroups ? kMaxGroups : groupCount);

    SaveOptionsRequest request;
    for (int g = 0; g < groups; ++g) {
        request.groupNames.push_back(groupNames[g]);
        request.checks.push_back(groupVisibleFlag[g] != 0);
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
        if (!answer) return SaveResult::Cancelled;
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
            return SaveResult::OpenFailed;
        }
    } else {
        FileDialogRequest req;
        req.defaultExtension = "obj";
        req.initialName = fileTitle + "_VL" + ".obj";
        req.filter = "New MT file (*.obj)|*.obj||";
        req.initialDirectory = documentPath;
        req.overwritePrompt = true;
        std::optional<std::string> chosen = ui.saveFileDialog(req);
        if (!chosen) return SaveResult::Cancelled;
        savePath = *chosen;
        file = std::fopen(savePath.c_str(), "w+b");
        if (!file) {
            // The load message would report the last read as a success; say what failed.
            ui.messageBox("VEL", "WRITE ERR" + savePath, MsgButtons::Ok, MsgIcon::None);
            return SaveResult::OpenFailed;
        }
    }

    WriterTables& t = scratch<WriterTables>();
    auto groupChecked = [&](int g) { return g >= 0 && g < groups && checks[g]; };
    ObjTextOut out(file);
    static const char header[] = "# Convert by TOLK\n";
    out.text(header, sizeof header - 1);

    std::memcpy(t.floatingCopy.data(), floatingFlag.data(), sizeof(int) * static_cast<size_t>(vertexCount));
    for (int n = 0; n < vertexCount; ++n) floatingFlag[n] = 1;
    std::memset(t.uvCut.data(), 1, static_cast<size_t>(uvCount));
    for (int f = 0; f < faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int g = faceGroup[fi];
        if (!groupChecked(g)) continue;
        const int first = faceFirstCorner[fi];
        const int count = faceCornerCount[fi];
        const bool uv = groupHasUvFlag[g] != 0;
        for (int c = 0; c < count; ++c) {
            const size_t k = static_cast<size_t>(first + c);
            floatingFlag[cornerVertexList[k] - 1] = 0;
            if (!uv) continue;
            const int tn = cornerUvList[k];
            if (tn >= 1 && tn <= uvCount) t.uvCut[tn - 1] = 0;
        }
    }

    const double scale = displayScale;
    const bool writeUvs = hasUvFlag == 1 && !vertexOnly;
    const bool writeFaces = !vertexOnly;
    static const std::string empty;

    // Each written vertex and texture coordinate is renumbered down by the ones
    // left out before it.
    int cut = 0;
    for (int n = 0; n < vertexCount; ++n) {
        const size_t i = static_cast<size_t>(n);
        if (floatingFlag[i] == 1 && !vertexOnly)
            ++cut;
        else
            t.vertexRenumber[i] = cut;
    }
    if (writeUvs) {
        cut = 0;
        for (int k = 0; k < uvCount; ++k) {
            const size_t i = static_cast<size_t>(k);
            if (t.uvCut[i] == 1)
                ++cut;
            else
                t.uvRenumber[i] = cut;
        }
    }

    // The vertex lines of vertices [from, to).
    auto vertexLines = [&](ObjTextOut& o, int from, int to) {
        for (int n = from; n < to; ++n) {
            const size_t i = static_cast<size_t>(n);
            if (floatingFlag[i] == 1 && !vertexOnly) continue;
            o.displayVertex(displayVertexArray[i], scale, displayCentre);
        }
    };
    auto uvLines = [&](ObjTextOut& o, int from, int to) {
        for (int k = from; k < to; ++k) {
            const size_t i = static_cast<size_t>(k);
            if (t.uvCut[i] == 1) continue;
            o.literal("vt ");
            o.fixed6(uvArray[i].u);
            o.ch(' ');
            o.fixed6(uvArray[i].v);
            o.ch('\n');
        }
    };
    auto materialNameOf = [&](size_t fi) -> const std::string& {
        const int m = faceMaterial[fi];
        return (m >= 0 && m < kMaterialSlots) ? materialNames[m] : empty;
    };
    // The face lines of faces [from, to), with their group and material lines; the
    // names in force are those of the last written face before `from`.
    auto faceLines = [&](ObjTextOut& o, int from, int to) {
        const std::string* lastGroup = &empty;
        const std::string* lastMaterial = &empty;
        for (int f = from - 1; f >= 0; --f)
            if (groupChecked(faceGroup[f])) {
                lastGroup = &groupNames[faceGroup[static_cast<size_t>(f)]];
                lastMaterial = &materialNameOf(static_cast<size_t>(f));
                break;
            }
        const bool uvWritten = hasUvFlag == 1;
        for (int f = from; f < to; ++f) {
            const size_t fi = static_cast<size_t>(f);
            const int g = faceGroup[fi];
            if (!groupChecked(g)) continue;
            const std::string& gname = groupNames[g];
            if (gname != *lastGroup) {
                o.literal("g ");
                o.text(gname);
                o.ch('\n');
                lastGroup = &gname;
            }
            const std::string& mname = materialNameOf(fi);
            if (mname != *lastMaterial) {
                o.literal("usemtl ");
                o.text(mname);
                o.ch('\n');
                lastMaterial = &mname;
            }
            o.ch('f');
            const int first = faceFirstCorner[fi];
            const int count = faceCornerCount[fi];
            bool uv = groupHasUvFlag[g] == 1;
            // A face that carries no texture numbers of its own (a polyline, or a face
            // without them in a group that has them) is written without any: "/0"
            // would end the corner list when the file is read again.
            for (int c = 0; c < count && uv; ++c)
                if (cornerUvList[first + c] < 1) uv = false;
            for (int c = 0; c < count; ++c) {
                const size_t k = static_cast<size_t>(first + c);
                const int vn = cornerVertexList[k];
                o.ch(' ');
                o.integer(vn - t.vertexRenumber[vn - 1]);
                if (!uv) continue;
                int tn = cornerUvList[k];
                // Numbers outside the texture coordinates are kept as written; only
                // the ones that name a written coordinate are renumbered.
                if (uvWritten && tn >= 1 && tn <= uvCount) tn -= t.uvRenumber[tn - 1];
                o.ch('/');
                o.integer(tn);
            }
            o.ch('\n');
        }
    };

    vertexLines(out, 0, vertexCount);
    if (writeUvs) uvLines(out, 0, uvCount);
    if (writeFaces) faceLines(out, 0, faceCount);
    out.flush();
    // A full disk or a lost device shows only here; the file is then not what
    // the user asked for, and the caller must not take it for written.
    const bool failed = std::ferror(file) != 0;
    const bool closeFailed = std::fclose(file) != 0;
    std::memcpy(floatingFlag.data(), t.floatingCopy.data(), sizeof(int) * static_cast<size_t>(vertexCount));
    if (failed || closeFailed) {
        ui.messageBox("VEL", "WRITE ERR" + savePath, MsgButtons::Ok, MsgIcon::None);
        return SaveResult::WriteFailed;
    }
    treeRefresh(documentPath);
    return SaveResult::Written;
}

}  // namespace vortel
