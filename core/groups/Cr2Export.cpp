// "save all parts in CR2 (for morphmanager)": the loaded morph as one CR2
// morph channel per group, with group-local vertex indexes.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "doc/ObjText.h"
#include "doc/Scratch.h"
#include "doc/Text.h"
#include "groups/GroupExports.h"

namespace vortel {

void GroupVertexLists::build(const int* faceGroup, const int* faceFirstCorner, const int* faceCornerCount,
                             int faceCount, const int* cornerVertexList, int cornerSlots, int groupCount) {
    m_firstCorner = faceFirstCorner;
    m_cornerCount = faceCornerCount;
    m_cornerVertex = cornerVertexList;
    m_cornerSlots = cornerSlots;
    m_groupCount = std::clamp(groupCount, 0, kMaxGroups);
    faceCount = std::clamp(faceCount, 0, kMaxFaces);
    // A counting sort of the faces by group keeps face order within a group.
    int* start = m_groupStart.data();
    std::fill(start, start + m_groupCount + 1, 0);
    for (int f = 0; f < faceCount; ++f) {
        const int g = faceGroup[f];
        if (g >= 0 && g < m_groupCount) ++start[g + 1];
    }
    for (int g = 0; g < m_groupCount; ++g) start[g + 1] += start[g];
    int* order = m_faceOrder.data();
    for (int f = 0; f < faceCount; ++f) {
        const int g = faceGroup[f];
        if (g >= 0 && g < m_groupCount) order[start[g]++] = f;
    }
    for (int g = m_groupCount; g > 0; --g) start[g] = start[g - 1];
    start[0] = 0;
}

int GroupVertexLists::vertices(int group, const int*& slots) {
    slots = m_slots.data();
    if (group < 0 || group >= m_groupCount) return 0;
    // A new stamp per group stands for clearing all 130,000 marks.
    if (m_stamp == INT_MAX) {
        std::memset(m_usedMark.data(), 0, sizeof(int) * m_usedMark.size());
        m_stamp = 0;
    }
    const int stamp = ++m_stamp;
    int* mark = m_usedMark.data();
    int* out = m_slots.data();
    int n = 0;
    for (int k = m_groupStart[group]; k < m_groupStart[group + 1]; ++k) {
        const int f = m_faceOrder[k];
        const int first = m_firstCorner[f];
        const int count = m_cornerCount[f];
        if (first < 0 || count <= 0 || first > m_cornerSlots - count) continue;
        for (int c = first; c < first + count; ++c) {
            const int v = m_cornerVertex[c];
            if (v < 1 || v > kMaxVertices || mark[v - 1] == stamp) continue;
            mark[v - 1] = stamp;
            out[n++] = v - 1;
        }
    }
    std::sort(out, out + n);
    return n;
}

namespace {

struct Cr2Delta {
    int index;  // group-local
    Vec3 offset;
};

struct Cr2Tables {
    GroupVertexLists groups;
    FixedArray<Cr2Delta> deltas{kVertexSlots};
};

}  // namespace

Cr2ExportResult GroupExports::saveCr2() {
    CVELTADoc& d = m_doc;
    Platform& ui = d.platform();
    Cr2ExportResult result;
    const std::string morphName = fileTitleOf(d.mtPath);
    if (d.morphLoadedFlag != 1) {
        ui.messageBox("VORTEL", "NO MORPH TERGET! VORTEL CAN'T EXPORT .CR2", MsgButtons::Ok, MsgIcon::Warning);
        return result;
    }
    d.onCommand(cmd::FF);

    result.path = d.documentPath + ".cr2";
    std::FILE* file = std::fopen(result.path.c_str(), "w+b");
    if (!file) {
        ui.messageBox("VORTEL", "CR2 WRITE ERR:" + result.path, MsgButtons::Ok, MsgIcon::Warning);
        return result;
    }

    Cr2Tables& t = scratch<Cr2Tables>();
    t.groups.build(d.faceGroup.data(), d.faceFirstCorner.data(), d.faceCornerCount.data(), d.faceCount,
                   d.cornerVertexList.data(), static_cast<int>(d.cornerVertexList.size()), d.groupCount);
    const Vec3* morph = d.morphDeltaArray.data();
    const float scale = d.displayScale;
    const int groups = std::clamp(d.groupCount, 0, kMaxGroups);

    ObjTextOut out(file);
    out.literal("{\n");
    for (int g = 0; g < groups; ++g) {
        const int* slots = nullptr;
        const int vertexCount = t.groups.vertices(g, slots);
        int deltaCount = 0;
        for (int i = 0; i < vertexCount; ++i) {
            const Vec3& m = morph[slots[i]];
            if (m.x != 0.0f || m.y != 0.0f || m.z != 0.0f) t.deltas[deltaCount++] = Cr2Delta{i, m};
        }
        if (deltaCount == 0) continue;
        ++result.actors;

        std::string name = d.groupNames[g];
        std::erase_if(name, [](char c) { return c == '\n' || c == '\r'; });
        out.literal("\nactor ");
        out.text(name);
        out.literal(":1\n\t{\n");
        out.literal("\tchannels\n\t\t{\n\t\ttargetGeom ");
        out.text(morphName);
        out.literal("\n\t\t\t{\n\t\t\tname ");
        out.text(morphName);
        out.ch('\n');
        out.literal("\t\t\tinitValue 0\n\t\t\thidden 0\n\t\t\tforceLimits 4\n");
        out.literal("\t\t\tmin -100000\n\t\t\tmax 100000\n\t\t\ttrackingScale 0.02\n");
        out.literal("\t\t\tkeys\n\t\t\t\t{\n\t\t\t\tstatic  0\n\t\t\t\tk  0  0\n");
        out.literal("\t\t\t\t}\n\t\t\tinterpStyleLocked 0\n");
        out.literal("\t\t\tindexes ");
        out.integer(deltaCount);
        out.literal("\n\t\t\tnumbDeltas ");
        out.integer(vertexCount);
        out.ch('\n');
        out.literal("\t\t\tdeltas\n\t\t\t\t\t{\n");
        for (int k = 0; k < deltaCount; ++k) {
            const Cr2Delta& e = t.deltas[k];
            out.literal("\t\t\t\t\td ");
            out.integer(e.index);
            out.ch(' ');
            out.fixed6(e.offset.x / scale);
            out.ch(' ');
            out.fixed6(e.offset.y / scale);
            out.ch(' ');
            out.fixed6(e.offset.z / scale);
            out.ch('\n');
        }
        out.literal("\t\t\t\t\t}\n\t\t\t}\n\t\t}\n\t}\n");
    }
    out.literal("}\n");
    out.flush();
    // A full disk shows only here: the file is then not what the user asked for.
    const bool failed = std::ferror(file) != 0;
    const bool closeFailed = std::fclose(file) != 0;
    if (failed || closeFailed) {
        ui.messageBox("VORTEL", "CR2 WRITE ERR:" + result.path, MsgButtons::Ok, MsgIcon::Warning);
        return result;
    }
    result.written = true;
    return result;
}

}  // namespace vortel
