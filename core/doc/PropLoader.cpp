// Poser prop (.pp2) and hair (.hr2) files: the inline geometry of every prop
// becomes one group of the mesh, and KdColor lines colour the materials.
// An objFileGeom reference is not followed; the user is told where it lies.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>

#include "doc/CVELTADoc.h"
#include "doc/ObjStatements.h"
#include "doc/LineLoop.h"
#include "doc/ObjTokenizers.h"
#include "doc/PoserPaths.h"

namespace vortel {

std::string resolveRuntimePath(const std::string& filePath, const std::string& location) {
    if (location.empty() || location[0] != '/') return {};
    static const char key[] = "runtime";
    const size_t keyLen = sizeof key - 1;
    std::string root;
    for (size_t i = 0; i + keyLen <= filePath.size(); ++i) {
        bool match = true;
        for (size_t k = 0; k < keyLen && match; ++k)
            match = std::tolower(static_cast<unsigned char>(filePath[i + k])) == key[k];
        if (match) {
            root = i > 0 ? filePath.substr(0, i - 1) : std::string();
            break;
        }
    }
    return root + location;
}

namespace {

bool startsWith(const char* s, const char* prefix) { return std::strncmp(s, prefix, std::strlen(prefix)) == 0; }

struct PropState {
    ReadState read;
    int verticesSinceProp = 0;
    int colourTarget = -1;
};

void resetPropMesh(CVELTADoc& doc, PropState& ps) {
    doc.hasUvFlag = 0;
    doc.vertexCount = doc.uvCount = doc.faceCount = 0;
    doc.groupCount = doc.materialCount = 0;
    ps = PropState{};
    doc.groupNames[0].clear();
    doc.materialNames[0].clear();
    resetBox(doc.modelBoxMax, doc.modelBoxMin);
}

}  // namespace

int CVELTADoc::loadPoserFile(const std::string& path) {
    Platform& ui = m_platform;
    dropResultCount = 0;
    dropFaceCount = 0;
    ui.showProgressBox("NOW LOADING...", kColourLoading);
    // Up to ten leading blanks or tabs of a line are skipped before it is measured.
    static LineLoop loop(999, 10);
    if (!loop.open(*this, path)) {
        loadMessage = "OPEN ERROR";
        loadStatus = "ERROR";
        groupCount = vertexCount = 0;
        ui.showProgressBox("OPEN ERROR", kColourError);
        ui.waitMs(1000);
        ui.closeProgressBox();
        return 0;
    }
    PropState ps;
    resetPropMesh(*this, ps);
    markerPointCount1 = markerPointCount2 = markerPointCount3 = 0;
    loadStatus = "NORMAL";
    crLineMode = 0;
    loadMessage = "READ SUCCESSFUL";
    for (int m = 0; m < kMaxMaterials; ++m) materialColourTable[m] = Vec3{0.8f, 0.8f, 0.8f};
    for (int g = 0; g < kMaxGroups; ++g) resetBox(groupBoxMax[g], groupBoxMin[g]);
    // This loader writes no group texture flags; flags left by an earlier mesh
    // would make the writer emit texture numbers that belong to that mesh.
    std::memset(groupHasUvFlag.data(), 0, sizeof(int) * groupHasUvFlag.size());

    static const FaceRules propRules{true};
    std::optional<std::string> externalGeometry;
    const LineLoopEnd end = loop.run(
        crLineMode,
        [&](const char* line) {
            ReadState& st = ps.read;
            if (line[0] == 'v' && (line[1] == ' ' || line[1] == '\t')) {
                const int before = vertexCount;
                readVertex(*this, st, line);
                if (vertexCount > before) ++ps.verticesSinceProp;
            } else if (line[0] == 'v' && line[1] == 't') {
                readUv(*this, st, line);
            } else if (startsWith(line, "f ") || startsWith(line, "f\t") || startsWith(line, "fo ")) {
                readFace(*this, st, line, 'P', propRules);
            } else if (startsWith(line, "l ") || startsWith(line, "l\t")) {
                readFace(*this, st, line, 'L', propRules);
            } else if (startsWith(line, "prop")) {
                st.vertexOffset += ps.verticesSinceProp;
                ps.verticesSinceProp = 0;
                selectName(*this, st, groupNames, groupCount, st.groupsSeen, restOfLine(line, 5), "OBJ GROUP MAX ERR:[%d]");
            } else if (startsWith(line, "use")) {
                selectName(*this, st, materialNames, materialCount, st.materialsSeen, restOfLine(line, 7),
                           "OBJ MAT MAX ERR:[%d]");
            } else if (startsWith(line, "material")) {
                const std::string name = restOfLine(line, 9);
                ps.colourTarget = -1;
                for (int m = 0; m < st.materialsSeen; ++m)
                    if (materialNames[m] == name) {
                        ps.colourTarget = m;
                        break;
                    }
            } else if (startsWith(line, "KdColor")) {
                float rgb[3];
                if (!vertexTokenizer(line + 6, rgb, true)) {
                    failLoad(*this, st, "INPUT ERR:Vertex NON 3D");
                } else if (ps.colourTarget >= 0 && ps.colourTarget < kMaxMaterials) {
                    if (rgb[0] == 0.0f && rgb[1] == 0.0f && rgb[2] == 0.0f) rgb[0] = rgb[1] = rgb[2] = 0.15f;
                    materialColourTable[ps.colourTarget] = Vec3{rgb[0], rgb[1], rgb[2]};
                }
            } else if (startsWith(line, "objFileGeom")) {
                const size_t len = std::strlen(line);
                std::string location = len >= 18 ? std::string(line + 16, len - 17) : std::string();
                for (char& c : location)
                    if (c == ':') c = '/';
                const std::string resolved = resolveRuntimePath(path, location);
                externalGeometry = resolved;
                return false;
            }
            return !st.stop;
        },
        [&] { resetPropMesh(*this, ps); });
    if (end == LineLoopEnd::MacFormatError) failLoad(*this, ps.read, "INPUT ERR:MAC FILE FORMAT ERROR");
    loop.close();
    if (externalGeometry) {
        noteLoadSlots(faceCount, uvCount, ps.read.cornerTotal);
        ui.messageBox("VORTEL", formatMessage("3D data is not included.\nLocation=%s", externalGeometry->c_str()),
                      MsgButtons::Ok, MsgIcon::Information);
        ui.closeProgressBox();
        return 0;
    }
    noteLoadSlots(faceCount, uvCount, ps.read.cornerTotal);
    // As in the OBJ reader, a load that read no vertex says so, whatever stopped it.
    if (vertexCount == 0) failLoad(*this, ps.read, "Vertex Num is Zero");
    if (loadStatus == "ERROR") {
        groupCount = vertexCount = 0;
        ui.showProgressBox(loadMessage, kColourError);
        ui.waitMs(1000);
        ui.closeProgressBox();
        return 0;
    }
    ui.showProgressBox(formatMessage("LOAD OK (V=%d)", vertexCount), kColourSuccess);
    groupCount = ps.read.groupsSeen > 0 ? ps.read.groupsSeen : 1;
    materialCount = ps.read.materialsSeen;
    displayTransform(-1);
    computeNormals(true);
    floatingCount = 0;
    for (int n = 0; n < vertexCount; ++n) floatingCount += floatingFlag[n];
    fileColoursFlag = 1;
    playbackStateChange(0);
    morphLoadedFlag = 0;
    viewRefreshAfterLoad();
    ui.closeProgressBox();
    return 1;
}

}  // namespace vortel
