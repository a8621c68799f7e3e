// File > Export > "Drop": the drop mesh as a Wavefront OBJ file in the units
// of the loaded mesh. No group, material or normal records; the seed's
// texture coordinates are written once and shared by every copy.
//
// Reads the drop mesh and its counts, the seed's texture coordinates, faces
// and corner texture numbers, the display scale and centre, the file title
// and the load message; writes the save path and the file.
#include <cstdio>

#include "doc/Text.h"
#include "scatter/DropModule.h"

namespace vortel {

SaveResult DropModule::exportDrop() {
    Platform& ui = m_doc.platform();
    FileDialogRequest req;
    req.defaultExtension = "obj";
    req.initialName = m_doc.fileTitle + "_DROP" + ".obj";
    req.filter = "New MT file (*.obj)|*.obj||";
    req.overwritePrompt = true;
    const std::optional<std::string> chosen = ui.saveFileDialog(req);
    if (!chosen) return SaveResult::Cancelled;
    m_doc.savePath = *chosen;
    std::FILE* file = std::fopen(m_doc.savePath.c_str(), "w+b");
    if (!file) {
        ui.messageBox("DROP", m_doc.loadMessage, MsgButtons::Ok, MsgIcon::Warning);
        return SaveResult::OpenFailed;
    }

    std::fputs("# Convert by TOLK\n", file);
    const float scale = m_doc.displayScale;
    const Vec3 centre = m_doc.displayCentre;
    const Vec3* vertices = drop.vertexList();
    for (int i = 0; i < m_doc.dropResultCount; ++i) {
        const Vec3& v = vertices[i];
        std::fprintf(file, "v %f %f %f\n", v.x / scale + centre.x, v.y / scale + centre.y, v.z / scale + centre.z);
    }
    const bool textured = seed.hasUvFlag != 0;
    if (textured)
        for (int i = 0; i < seed.uvCount; ++i) std::fprintf(file, "vt %f %f\n", seed.uvList[i].u, seed.uvList[i].v);

    // j: the seed face each drop face was copied from.
    const int seedFaces = seed.usableFaceCount();
    int j = 0;
    for (int f = 0; f < m_doc.dropFaceCount; ++f) {
        const int first = drop.faceFirstCorner[f];
        const int count = drop.faceCornerCount[f];
        const int seedFirst = seedFaces > 0 ? seed.faceFirstCorner[j] : 0;
        // A seed face with a corner that carries no texture number is written
        // without any, so that no corner names texture coordinate 0.
        bool withUv = textured && seedFaces > 0;
        for (int i = 0; i < count && withUv; ++i) withUv = seed.cornerUvList[seedFirst + i] != 0;
        std::fputs("f", file);
        for (int i = 0; i < count; ++i) {
            std::fprintf(file, " %d", drop.cornerList[first + i]);
            if (withUv) std::fprintf(file, "/%d", seed.cornerUvList[seedFirst + i]);
        }
        std::fputs("\n", file);
        if (++j >= seedFaces) j = 0;
    }
    const bool failed = std::ferror(file) != 0;
    if (std::fclose(file) != 0 || failed) {
        ui.messageBox("DROP", "WRITE ERR" + m_doc.savePath, MsgButtons::Ok, MsgIcon::Warning);
        return SaveResult::WriteFailed;
    }
    return SaveResult::Written;
}

}  // namespace vortel
