// File > Open: reads a Wavefront OBJ file into the document, replacing its mesh.
// PP2/HR2 files go to the prop/hair loader. Every limit ends the load with its
// message; "POINT ERR" marks the load failed but reading goes on.
#include <cstdio>
#include <cstring>

#include "doc/CVELTADoc.h"
#include "doc/LineLoop.h"
#include "doc/ObjStatements.h"
#include "doc/ObjTokenizers.h"

namespace vortel {

void failLoad(CVELTADoc& doc, ReadState& st, const std::string& message) {
    doc.loadMessage = message;
    doc.loadStatus = "ERROR";
    st.stop = true;
}

std::string restOfLine(const char* line, size_t skip) {
    size_t len = std::strlen(line);
    return len > skip ? std::string(line + skip, len - skip) : std::string();
}

void resetBox(Vec3& max, Vec3& min) {
    max = Vec3{-1e12f, -1e12f, -1e12f};
    min = Vec3{1e12f, 1e12f, 1e12f};
}

void selectName(CVELTADoc& doc, ReadState& st, std::vector<std::string>& names, int& current, int& seen,
                const std::string& name, const char* maxMessage) {
    for (int i = 0; i < seen; ++i)
        if (names[i] == name) {
            current = i;
            return;
        }
    names[seen] = name;
    current = seen;
    ++seen;
    if (seen > kMaxGroups) failLoad(doc, st, formatMessage(maxMessage, current));
}

void readVertex(CVELTADoc& doc, ReadState& st, const char* line) {
    float v[3];
    const bool ok = vertexTokenizer(line, v, true);
    storeVertex(doc, st, ok, v);
}

void storeVertex(CVELTADoc& doc, ReadState& st, bool ok, const float v[3]) {
    if (!ok) {
        failLoad(doc, st, "INPUT ERR:Vertex NON 3D");
        return;
    }
    const size_t n = static_cast<size_t>(doc.vertexCount);
    doc.vertexArray[n] = Vec3{v[0], v[1], v[2]};
    doc.floatingFlag[n] = 1;
    ++doc.vertexCount;
    if (doc.vertexCount > kMaxVertices) {
        failLoad(doc, st, "VERTEX MAX ERROR");
        return;
    }
    widenBox(doc.modelBoxMax, doc.modelBoxMin, doc.vertexArray[n]);
}

void readUv(CVELTADoc& doc, ReadState& st, const char* line) {
    float uv[2];
    const bool ok = uvTokenizer(line, uv, true);
    storeUv(doc, st, ok, uv);
}

void storeUv(CVELTADoc& doc, ReadState& st, bool ok, const float uv[2]) {
    doc.hasUvFlag = 1;
    if (!ok) {
        failLoad(doc, st, "UV Format ERROR");
        return;
    }
    doc.uvArray[doc.uvCount] = UvCoord{uv[0], uv[1]};
    ++doc.uvCount;
    if (doc.uvCount > kMaxUvs) failLoad(doc, st, "UV MAX ERROR");
}

void readFace(CVELTADoc& doc, ReadState& st, const char* line, char kind, const FaceRules& rules) {
    static int numberList[kNumberListSize];  // the reader's one number list
    int form = 1;
    const int count = faceNumbersAndForm(line, numberList, form, true);
    storeFace(doc, st, numberList, count, form, kind, rules);
}

void storeFace(CVELTADoc& doc, ReadState& st, const int* numberList, int count, int form, char kind,
               const FaceRules& rules) {
    const bool polygon = kind == 'P';
    const int group = doc.groupCount;
    const int material = doc.materialCount;

    if (form == 1)
        doc.hasUvFlag = 0;
    else if (polygon && !rules.propFile)
        doc.hasUvFlag = 1;
    if (polygon && !rules.propFile && group >= 0 && group < kMaxGroups)
        doc.groupHasUvFlag[group] = doc.hasUvFlag;

    ++doc.faceCount;
    if (doc.faceCount > kMaxFaces) {
        failLoad(doc, st,
                 formatMessage(polygon ? "Face Max Error Num=%d FlineType=%d" : "Line Max Error Num=%d FlineType=%d",
                               count, form));
        return;
    }
    const int corners = count / form;
    // Checked before any corner is stored, so the corner lists are never overrun.
    if (st.cornerTotal + corners > kMaxCorners) {
        failLoad(doc, st, formatMessage("INPUT VARIDATE ERR V=%d F=%d", doc.vertexCount, st.cornerTotal));
        return;
    }
    // Polygons widen their group's box; the prop loader leaves the material boxes alone.
    const bool widenGroup = polygon;
    const bool widenMaterial = polygon && !rules.propFile;
    // The face's own box first, then the group's and the material's: the same
    // result as widening both with every corner in turn.
    Vec3 faceMax{-1e12f, -1e12f, -1e12f}, faceMin{1e12f, 1e12f, 1e12f};
    int widened = 0;
    // Locals, so that the stores into the document's arrays do not make the
    // compiler read these back from the document at every corner.
    const int vertexCount = doc.vertexCount;
    const bool storeUv = doc.hasUvFlag == 1;
    const long long offset = st.vertexOffset;
    int* const floating = doc.floatingFlag.data();
    int* const cornerVertices = doc.cornerVertexList.data() + st.cornerTotal;
    int* const cornerUvs = doc.cornerUvList.data() + st.cornerTotal;
    const Vec3* const positions = doc.vertexArray.data();
    for (int c = 0; c < corners; ++c) {
        const int written = numberList[c * form];
        const long long vn = static_cast<long long>(written) + offset;
        if (vn < 1 || vn > vertexCount) {
            doc.loadMessage = formatMessage("POINT ERR E=%d [From 1 To %d]", written, vertexCount);
            doc.loadStatus = "ERROR";
            break;
        }
        floating[vn - 1] = 0;
        cornerVertices[c] = static_cast<int>(vn);
        if (widenGroup) {
            widenBox(faceMax, faceMin, positions[vn - 1]);
            ++widened;
        }
        if (storeUv) cornerUvs[c] = numberList[c * form + 1];
    }
    if (widened) {
        mergeBox(doc.groupBoxMax[group], doc.groupBoxMin[group], faceMax,
                 faceMin);
        if (widenMaterial)
            mergeBox(doc.materialBoxMax[material],
                     doc.materialBoxMin[material], faceMax, faceMin);
    }
    const size_t f = static_cast<size_t>(doc.faceCount - 1);
    doc.faceFirstCorner[f] = st.cornerTotal;
    doc.faceCornerCount[f] = corners;
    doc.faceGroup[f] = group;
    doc.faceMaterial[f] = material;
    doc.faceKind[f] = kind;
    st.cornerTotal += corners;
}

namespace {

bool isPoserPath(const std::string& path) {
    if (path.size() < 4) return false;
    const std::string ext = path.substr(path.size() - 4);
    return ext == ".pp2" || ext == ".PP2" || ext == ".hr2" || ext == ".HR2";
}

// The part of a load's reset that the CR line mode switch repeats.
void resetMeshCounts(CVELTADoc& doc, ReadState& st, bool clearUvs) {
    doc.noteLoadSlots(doc.faceCount, doc.uvCount, st.cornerTotal);
    doc.clearLoadSlots(true, clearUvs);
    doc.vertexCount = doc.uvCount = doc.faceCount = 0;
    doc.groupCount = doc.materialCount = 0;
    st = ReadState{};
    doc.groupNames[0].clear();
    doc.materialNames[0].clear();
    resetBox(doc.modelBoxMax, doc.modelBoxMin);
}

}  // namespace

void selectObjGroup(CVELTADoc& doc, ReadState& st, const std::string& name) {
    selectName(doc, st, doc.groupNames, doc.groupCount, st.groupsSeen, name, "OBJ GROUP MAX ERR:[%d]");
}

void selectObjMaterial(CVELTADoc& doc, ReadState& st, const std::string& name) {
    selectName(doc, st, doc.materialNames, doc.materialCount, st.materialsSeen, name, "OBJ MAT MAX ERR:[%d]");
}

namespace {

void handleObjLine(CVELTADoc& doc, ReadState& st, const char* line) {
    switch (objStatementOf(line)) {
        case ObjStatement::Vertex: readVertex(doc, st, line); break;
        case ObjStatement::Uv: readUv(doc, st, line); break;
        case ObjStatement::Face: readFace(doc, st, line, 'P', kObjFaceRules); break;
        case ObjStatement::Line: readFace(doc, st, line, 'L', kObjFaceRules); break;
        case ObjStatement::Group: selectObjGroup(doc, st, restOfLine(line, kGroupNameSkip)); break;
        case ObjStatement::Material: selectObjMaterial(doc, st, restOfLine(line, kMaterialNameSkip)); break;
        case ObjStatement::Other: break;
    }
}

}  // namespace

void CVELTADoc::onFileOpen() {
    Platform& ui = m_platform;
    if (!openByPathFlag) {
        FileDialogRequest req;
        req.defaultExtension = "obj";
        req.initialName = "*.obj;*.pp2;*.hr2";
        req.filter = "OBJ Format or PP2 HR2 (*.obj;*.pp2;*.hr2)|*.obj||";
        std::optional<std::string> chosen = ui.openFileDialog(req);
        // Cancel changes nothing, the texture flag and the drop results included.
        if (!chosen) return;
        documentPath = *chosen;
        fileTitle = fileTitleOf(*chosen);
    }
    hasUvFlag = 0;
    dropResultCount = 0;
    dropFaceCount = 0;

    if (isPoserPath(documentPath)) {
        loadPoserFile(documentPath);
        return;
    }
    ui.showProgressBox("NOW LOADING...", kColourLoading);

    static LineLoop loop(kCrSwitchLength);
    if (!loop.open(*this, documentPath)) {
        loadMessage = "OPEN ERROR";
        loadStatus = "ERROR";
        hasUvFlag = 0;
        groupCount = materialCount = vertexCount = uvCount = faceCount = 0;
        ui.showProgressBox("OPEN ERROR", kColourError);
        ui.waitMs(700);
        ui.closeProgressBox();
        return;
    }

    ReadState st;
    // Texture numbers and UVs of an earlier mesh must never show through.
    resetMeshCounts(*this, st, true);
    markerPointCount1 = markerPointCount2 = markerPointCount3 = 0;
    loadStatus = "NORMAL";
    crLineMode = 0;
    loadMessage = "READ SUCCESSFUL";
    std::memset(groupHasUvFlag.data(), 0, sizeof(int) * groupHasUvFlag.size());
    for (int g = 0; g < kMaxGroups; ++g) resetBox(groupBoxMax[g], groupBoxMin[g]);
    for (int m = 0; m < kMaxMaterials; ++m)
        resetBox(materialBoxMax[m], materialBoxMin[m]);

    const LineLoopEnd end = loop.run(
        crLineMode,
        [&](const char* line) {
            handleObjLine(*this, st, line);
            return !st.stop;
        },
        [&] {
            hasUvFlag = 0;
            resetMeshCounts(*this, st, false);
        });
    if (end == LineLoopEnd::MacFormatError) failLoad(*this, st, "INPUT ERR:MAC FILE FORMAT ERROR");
    loop.close();
    noteLoadSlots(faceCount, uvCount, st.cornerTotal);

    if (vertexCount == 0) {
        loadStatus = "ERROR";
        loadMessage = "Vertex Num is Zero";
    }
    if (loadStatus == "ERROR") {
        groupCount = materialCount = vertexCount = uvCount = 0;
        viewRefreshAfterLoad();
        ui.messageBox("VEL", loadMessage, MsgButtons::Ok, MsgIcon::None);
        ui.closeProgressBox();
        return;
    }
    ui.closeProgressBox();
    groupCount = st.groupsSeen > 0 ? st.groupsSeen : 1;
    materialCount = st.materialsSeen;
    // Any group with texture numbers keeps the texture coordinates, so that a
    // saved file never refers to texture coordinates it does not contain.
    hasUvFlag = 0;
    for (int g = 0; g < groupCount && g < kMaxGroups; ++g)
        if (groupHasUvFlag[g]) hasUvFlag = 1;
    displayTransform(-1);
    computeNormals();
    floatingCount = 0;
    for (int n = 0; n < vertexCount; ++n) floatingCount += floatingFlag[n];
    fileColoursFlag = 0;
    playbackStateChange(0);
    ui.setMainWindowTitle("VORTEL - " + documentPath);
    morphLoadedFlag = 0;
    if (!openByPathFlag) treeRefresh(documentPath);
    viewRefreshAfterLoad();
}

}  // namespace vortel
