// "TO ORIGINAL": reads the VCM work file and restores the pre-weld vertex
// order, groups and corners while keeping the positions and morph offsets of
// the welded mesh.
//
// The whole file is read and checked before anything is applied: a short
// read, a string without its zero byte (or longer than a name can be), a face
// group outside the file's groups, a corner outside 1 .. V or a vertex map
// entry outside the open mesh refuses the file and leaves the document as it
// was.
#include <cstdio>
#include <string>
#include <vector>

#include "doc/CVELTADoc.h"
#include "doc/Text.h"
#include "special/MorphMirror.h"
#include "special/MtmPanel.h"
#include "special/VcmFile.h"
#include "doc/Scratch.h"

namespace vortel {

namespace {
// Read here first, applied only when the whole file is valid.
struct DivideWork {
    FixedArray<int> faceGroups{kFaceSlots};
    FixedArray<int> corners{kCornerSlots};
    FixedArray<int> vertexMap{kVertexSlots};
    FixedArray<Vec3> display{kVertexSlots};
    FixedArray<Vec3> delta{kVertexSlots};
    FixedArray<Vec3> base{kVertexSlots};
    FixedArray<Vec3> backup{kVertexSlots};
};
constexpr const char* kSyntaxError = "NG! VCM TABLE SYNTAX ERROR. PLEASE REMAKE IT.";
constexpr const char* kUnmatch = "NG! VCM TABLE <-> TERGET OBJ UNMATCH.";
}  // namespace

CommandResult MtmPanel::toOriginal(const std::string& mapPath) {
    CVELTADoc& d = m_doc;
    std::FILE* file = std::fopen(mapPath.c_str(), "rb");
    if (!file) {
        message("WK I/O ERROR");
        return CommandResult::Refused;
    }
    auto refuse = [&](const char* text) {
        std::fclose(file);
        message(text);
        return CommandResult::Refused;
    };
    VcmReader in(file);
    std::string date;
    int V = 0, F = 0, G = 0;
    if (!in.string(date, kMaxVcmString) || !in.integer(V) || !in.integer(F) || !in.integer(G))
        return refuse(kSyntaxError);
    if (!askOkCancel(formatMessage("VCM INFORMATION.\n CREATE DATE = %s\n\n  Vertex = %d\n  Face   = %d\n  Group  = "
                                   "%d\n\n\nContinue??",
                                   date.c_str(), V, F, G))) {
        std::fclose(file);
        return CommandResult::Cancelled;
    }
    if (d.vertexCount > V || d.faceCount != F || d.groupCount > 1) return refuse(kUnmatch);
    if (V < 1 || V > kMaxVertices || F < 1 || F > kMaxFaces || G < 0 || G > kMaxGroups) return refuse(kSyntaxError);
    if (d.floatingCount != 0) return refuse("NG! TERGET OBJ HAS SOME FLOATING POINTS.");

    DivideWork& w = scratch<DivideWork>();
    std::vector<std::string> names(static_cast<size_t>(G));
    for (std::string& name : names)
        if (!in.string(name, kMaxVcmString)) return refuse(kSyntaxError);
    if (!in.integers(w.faceGroups.data(), static_cast<size_t>(F))) return refuse(kSyntaxError);
    const int groupLimit = G > 0 ? G : 1;  // a file without groups keeps every face in slot 0
    for (int f = 0; f < F; ++f) {
        const int g = w.faceGroups[f];
        if (g < 0 || g >= groupLimit) return refuse(kSyntaxError);
    }
    // The corner counts are those of the open mesh, slice by slice.
    for (int f = 0; f < F; ++f) {
        const int first = d.faceFirstCorner[f];
        const int count = d.faceCornerCount[f];
        if (first < 0 || count < 0 || static_cast<long long>(first) + count > kCornerSlots) return refuse(kSyntaxError);
        int* slice = w.corners.data() + first;
        if (!in.integers(slice, static_cast<size_t>(count))) return refuse(kSyntaxError);
        for (int c = 0; c < count; ++c)
            if (slice[c] < 1 || slice[c] > V) return refuse(kSyntaxError);
    }
    std::string marker;
    if (!in.string(marker, kMaxVcmString)) return refuse(kSyntaxError);
    if (!in.integers(w.vertexMap.data(), static_cast<size_t>(V))) return refuse(kSyntaxError);
    for (int j = 0; j < V; ++j) {
        const int m = w.vertexMap[j];
        if (m < 0 || m >= d.vertexCount) return refuse(kUnmatch);
    }
    std::fclose(file);

    // Everything checked: apply.
    for (int j = 0; j < V; ++j) {
        const size_t to = static_cast<size_t>(j), from = static_cast<size_t>(w.vertexMap[to]);
        w.display[to] = d.displayVertexArray[from];
        w.delta[to] = d.morphDeltaArray[from];
        w.base[to] = d.vertexArray[from];
        w.backup[to] = d.morphDeltaBackup[from];
    }
    const int weldedUv = d.groupHasUvFlag[0];
    d.vertexCount = V;
    d.groupCount = G;
    for (int g = 0; g < G; ++g) {
        d.groupNames[g] = names[g];
        // Every restored face comes from the welded group and keeps its texture numbers.
        d.groupHasUvFlag[g] = weldedUv;
    }
    for (int f = 0; f < F; ++f) {
        const size_t fi = static_cast<size_t>(f);
        d.faceGroup[fi] = w.faceGroups[fi];
        const int first = d.faceFirstCorner[fi];
        for (int c = 0; c < d.faceCornerCount[fi]; ++c)
            d.cornerVertexList[first + c] = w.corners[first + c];
    }
    for (int j = 0; j < V; ++j) {
        const size_t i = static_cast<size_t>(j);
        d.displayVertexArray[i] = w.display[i];
        d.morphDeltaArray[i] = w.delta[i];
        d.vertexArray[i] = w.base[i];
        d.morphDeltaBackup[i] = w.backup[i];
        d.floatingFlag[i] = 0;
    }
    d.floatingCount = 0;
    if (d.morphLoadedFlag) recomputeMovedFlags(d);
    d.computeNormals();
    d.redrawAll();
    notify();
    return CommandResult::Done;
}

}  // namespace vortel
