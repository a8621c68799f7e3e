// Export > "HAIR"; see HairExport.h.
#include "scatter/HairExport.h"

#include <cstdio>

#include "doc/ObjText.h"
#include "doc/Text.h"

namespace vortel {

bool hairFaceIsWhole(const HairMesh& mesh, int f) {
    const int first = mesh.faceFirstCorner[f];
    const int n = mesh.faceCornerCount[f];
    for (int k = 0; k < n; ++k) {
        const int v = mesh.corners[first + k];
        if (v < 1 || v > mesh.vertexCount) return false;
    }
    return true;
}

HairExportResult exportHair(CVELTADoc& doc, const HairMesh& mesh) {
    Platform& ui = doc.platform();
    FileDialogRequest req;
    req.defaultExtension = "obj";
    req.initialName = doc.fileTitle + "_HAIR" + ".obj";
    req.filter = "New HAIR file (*.obj)|*.obj||";
    req.overwritePrompt = true;
    const std::optional<std::string> chosen = ui.saveFileDialog(req);
    if (!chosen) return HairExportResult::Cancelled;
    doc.savePath = *chosen;
    std::FILE* file = std::fopen(doc.savePath.c_str(), "w+b");
    if (!file) {
        ui.messageBox("HAIR", doc.loadMessage, MsgButtons::Ok, MsgIcon::None);
        return HairExportResult::OpenFailed;
    }

    const int strands = doc.hairStrandCount < kMaxHairStrands ? doc.hairStrandCount : kMaxHairStrands;
    int leftOut = 0;
    {
        ObjTextOut out(file);
        out.literal("# Convert by TOLK\n");
        for (int m = 0; m < mesh.vertexCount; ++m)
            out.displayVertex(mesh.vertices[m], mesh.displayScale, mesh.displayCentre);
        for (int f = 0; f < strands; ++f) {
            if (!hairFaceIsWhole(mesh, f)) {
                ++leftOut;
                continue;
            }
            out.ch('f');
            const int first = mesh.faceFirstCorner[f];
            for (int k = 0; k < mesh.faceCornerCount[f]; ++k) {
                out.ch(' ');
                out.integer(mesh.corners[first + k]);
            }
            out.ch('\n');
        }
        out.flush();
    }
    const bool failed = std::ferror(file) != 0;
    const bool closeFailed = std::fclose(file) != 0;
    if (failed || closeFailed) {
        ui.messageBox("HAIR", "WRITE ERR" + doc.savePath, MsgButtons::Ok, MsgIcon::None);
        return HairExportResult::WriteFailed;
    }
    if (leftOut > 0)
        ui.messageBox("HAIR", formatMessage("%d OF %d HAIR FACES NOT WRITTEN: THEIR POINTS ARE GONE", leftOut, strands),
                      MsgButtons::Ok, MsgIcon::Warning);
    return HairExportResult::Written;
}

}  // namespace vortel
