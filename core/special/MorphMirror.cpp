// Morph mirroring: preparation (silent refusal, Stop then Play, restore from
// the backup), the per-vertex pass and the moved flags.
#include "special/MorphMirror.h"

#include <cstring>

namespace vortel {

void mirrorMorph(MirrorMode mode, int n, const Vec3* display, const int* table, Vec3* delta, const Vec3* backup) {
    for (int k = 0; k < n; ++k) {
        int p = table[k];
        if (p < 0 || p >= n) p = -1;
        const float x = display[k].x;
        switch (mode) {
        case MirrorMode::LeftToRight:
        case MirrorMode::RightToLeft: {
            const bool touched = mode == MirrorMode::LeftToRight ? x <= 0.0f : x >= 0.0f;
            // Reads the array being written: an earlier result may be the source.
            if (touched && p != -1) delta[k] = Vec3{-delta[p].x, delta[p].y, delta[p].z};
            break;
        }
        case MirrorMode::Swap:
            if (p != -1) delta[k] = Vec3{-backup[p].x, backup[p].y, backup[p].z};
            break;
        case MirrorMode::ResetRight:
            if (x <= 0.0f) delta[k] = Vec3{};
            break;
        case MirrorMode::ResetLeft:
            if (x >= 0.0f) delta[k] = Vec3{};
            break;
        }
    }
}

void recomputeMovedFlags(CVELTADoc& doc) {
    for (int n = 0; n < doc.vertexCount; ++n) {
        const Vec3& d = doc.morphDeltaArray[n];
        doc.movedFlag[n] = (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f) ? 0 : 1;
    }
    for (int f = 0; f < doc.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int first = doc.faceFirstCorner[fi];
        int moved = 0;
        for (int c = 0; c < doc.faceCornerCount[fi] && !moved; ++c) {
            const int v = doc.cornerVertexList[first + c];
            if (v >= 1 && v <= doc.vertexCount && doc.movedFlag[v - 1]) moved = 1;
        }
        doc.faceMovedFlag[fi] = moved;
    }
}

CommandResult MtmPanel::mirror(MirrorMode mode) {
    CVELTADoc& d = m_doc;
    // A mesh loaded after a morph keeps the old MT vertex count; its morph is gone all the same.
    if (d.mtVertexCount < 1 || d.mtVertexCount != d.vertexCount || !vcmValidFlag || d.morphLoadedFlag != 1)
        return CommandResult::Ignored;
    d.onCommand(cmd::Stop);
    d.onCommand(cmd::Play);
    const int n = d.vertexCount;
    std::memcpy(static_cast<void*>(d.morphDeltaArray.data()), d.morphDeltaBackup.data(), sizeof(Vec3) * static_cast<size_t>(n));
    mirrorMorph(mode, n, d.displayVertexArray.data(), m_vcmTable.data(), d.morphDeltaArray.data(),
                d.morphDeltaBackup.data());
    recomputeMovedFlags(d);
    d.redrawAll();
    return CommandResult::Done;
}

}  // namespace vortel
