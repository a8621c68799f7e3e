// "VCM GEN": symmetry search by hashing exact coordinates (or, for the
// console's tolerance option, the grid search of ToleranceMap), then the
// marker points, the progress bar and the result messages of the panel.
#include "special/SymmetryMap.h"

#include "doc/Text.h"
#include "special/MtmPanel.h"
#include "special/PositionHash.h"
#include "special/ToleranceMap.h"
#include "doc/Scratch.h"

namespace vortel {

namespace {
// Per key, held at the id of the first vertex that brought it: how many
// vertices have it as their mirror image, and the highest of them.
struct MirrorCounts {
    FixedArray<int> count{kVertexSlots};
    FixedArray<int> highest{kVertexSlots};
};
}  // namespace

int symmetryMatch(const Vec3* vertices, int n, int* table, int* matchCount) {
    PositionHash& hash = scratch<PositionHash>();
    MirrorCounts& mc = scratch<MirrorCounts>();
    hash.clear(n);
    constexpr int ahead = 16;  // slots asked for ahead of their use
    auto mirrorOf = [](const Vec3& v) { return Vec3{-v.x, v.y, v.z}; };
    // Every vertex enters under its mirror image; i ascends, so the highest match is kept last.
    for (int i = 0; i < n; ++i) {
        if (i + ahead < n) hash.prefetch(mirrorOf(vertices[i + ahead]));
        const int id = hash.insert(mirrorOf(vertices[i]), i);
        if (id < 0) continue;
        if (id == i) mc.count[i] = 0;
        ++mc.count[id];
        mc.highest[id] = i;
    }
    int resolved = 0;
    for (int j = 0; j < n; ++j) {
        if (j + ahead < n) hash.prefetch(vertices[j + ahead]);
        const int id = hash.find(vertices[j]);
        const int matches = id < 0 ? 0 : mc.count[id];
        table[j] = matches > 0 ? mc.highest[id] : -1;
        matchCount[j] = matches;
        if (matches == 1) ++resolved;
    }
    return resolved;
}

CommandResult MtmPanel::vcmGen() {
    Platform& ui = m_doc.platform();
    vcmValidFlag = 0;
    if (m_doc.groupCount >= 2) {
        appMessage("MTM CAN USE 1 GROUP OBJECT ONLY.");
        return CommandResult::Refused;
    }
    if (edgeCutDoneFlag) {
        appMessage("EXCUTE EDGE CUT ALREADY. CAN NOT FUSION OPERATION.");
        return CommandResult::Refused;
    }
    ui.setWaitCursor(true);
    m_doc.markerPointCount1 = 0;
    markerVertexCount = 0;

    // The match counts live for the command only.
    static FixedArray<int> matchCount(kMaxVertices);
    const int n = m_doc.vertexCount;
    const Vec3* base = m_doc.vertexArray.data();
    resolvedCount = mirrorTolerance ? toleranceMatch(base, n, *mirrorTolerance, m_vcmTable.data(), matchCount.data())
                                    : symmetryMatch(base, n, m_vcmTable.data(), matchCount.data());
    for (int j = 0; j < n; ++j) {
        if (j % 250 == 0) ui.setStatusProgress(static_cast<int>(static_cast<double>(j) / n * 100.0));
        if (matchCount[j] != 1) {
            m_doc.markerPointList1[m_doc.markerPointCount1++] =
                m_doc.displayVertexArray[j];
            m_markerVertices[markerVertexCount++] = j + 1;
        }
    }

    if (resolvedCount == n) {
        message(formatMessage("FLAWLESS SYMMETRY [%d]", resolvedCount));
    } else if (resolvedCount < 2) {
        message("NOT SYMMETRY");
    } else {
        if (!askOkCancel("NOT SYMMETRY. DO YOU TRY AGAIN?")) {
            ui.setWaitCursor(false);
            m_doc.redrawAll();
            notify();
            return CommandResult::Cancelled;
        }
        message(formatMessage("Symmetry [%d/%d]", resolvedCount, n));
    }
    setMirrorButtons(true);
    ui.setStatusProgress(0);
    vcmValidFlag = 1;
    ui.setWaitCursor(false);
    m_doc.redrawAll();
    notify();
    return CommandResult::Done;
}

}  // namespace vortel
