// "FUSION": duplicate search by hashing exact coordinates, the vertex map, the
// VCM work file and the re-pointing of the corners.
//
// The map file is written under a temporary name and renamed over the old one
// only once it is complete, and only after every check has passed: a refused
// or failed fusion keeps the previous map file, which may be the user's only
// way back to the original groups. A refused fusion also leaves the document
// as it was.
#include "special/Fusion.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "doc/CVELTADoc.h"
#include "doc/Text.h"
#include "special/MtmPanel.h"
#include "special/PositionHash.h"
#include "special/VcmFile.h"
#include "doc/Scratch.h"

namespace vortel {

namespace {
// Per vertex: the next later copy of the same position (-1 at the end), and
// whether the vertex is the lowest-numbered copy of its position; per
// position, held at its lowest copy, the last copy chained so far.
struct CopyChains {
    FixedArray<int> next{kVertexSlots};
    FixedArray<unsigned char> lowest{kVertexSlots};
    FixedArray<int> lastCopy{kVertexSlots};
    FixedArray<int> markedBefore{kVertexSlots};
};
}  // namespace

DuplicateSearch findDuplicatePairs(const Vec3* vertices, int n, int maxPairs, int* pairFirst, int* pairDuplicate,
                                   unsigned char* mark, int* firstCopyOf, const std::function<void(int)>& progress) {
    DuplicateSearch result;
    CopyChains& chains = scratch<CopyChains>();
    int* next = chains.next.data();
    unsigned char* lowest = chains.lowest.data();
    int* lastCopy = chains.lastCopy.data();
    std::memset(mark, 0, static_cast<size_t>(n));
    PositionHash& hash = scratch<PositionHash>();
    hash.clear(n);
    // Chain the copies of each position in ascending vertex order.
    constexpr int ahead = 16;  // slots asked for ahead of their use
    for (int k = 0; k < n; ++k) {
        if (k + ahead < n) hash.prefetch(vertices[k + ahead]);
        next[k] = -1;
        const int first = hash.insert(vertices[k], k);
        if (first < 0 || first == k) {
            lowest[k] = 1;  // a NaN position is alone: it equals nothing
            lastCopy[k] = k;
            continue;
        }
        lowest[k] = 0;
        next[lastCopy[first]] = k;
        lastCopy[first] = k;
    }
    // The scan's order: by first copy, then by duplicate. A later copy finds
    // nothing the scan has not marked already, so only the lowest walks its chain.
    for (int i = 0; i < n; ++i) {
        if (progress && i % 250 == 0) progress(static_cast<int>(static_cast<double>(i) / n * 100.0));
        if (!lowest[i]) continue;
        for (int k = next[i]; k != -1; k = next[k]) {
            pairFirst[result.pairs] = i;
            pairDuplicate[result.pairs] = k;
            mark[k] = 1;
            firstCopyOf[k] = i;
            if (++result.pairs == maxPairs) {
                result.limitReached = true;
                return result;
            }
        }
    }
    return result;
}

void weldVertexMap(int n, const unsigned char* mark, const int* firstCopyOf, int* map) {
    int* before = scratch<CopyChains>().markedBefore.data();
    int running = 0;
    for (int j = 0; j < n; ++j) {
        before[j] = running;
        if (mark[j]) {
            const int q = firstCopyOf[j];  // always below j
            map[j] = q - before[q];
            ++running;
        } else {
            map[j] = j - running;
        }
    }
}

namespace {
struct FusionWork {
    FixedArray<unsigned char> mark{kMaxVertices};
    FixedArray<int> pairFirst{kMaxFusionPairs};
    FixedArray<int> pairDuplicate{kMaxFusionPairs};
    FixedArray<int> firstCopyOf{kMaxVertices};
    FixedArray<int> vertexMap{kMaxVertices};
    FixedArray<int> floatingBefore{kMaxVertices};  // put back when the fusion is refused
};
}  // namespace

CommandResult MtmPanel::fusion(const std::string& mapPath) {
    CVELTADoc& d = m_doc;
    Platform& ui = d.platform();
    FusionWork& w = scratch<FusionWork>();
    std::memset(w.mark.data(), 0, w.mark.size());
    if (d.groupCount < 1) {
        message("OBJECT HAS NOT GROUP.");
        return CommandResult::Refused;
    }
    ui.setWaitCursor(true);
    auto refuse = [&](const char* text) {
        message(text);
        ui.setWaitCursor(false);
        return CommandResult::Refused;
    };
    if (d.groupCount > kMaxFusionGroups) return refuse("OBJECT GROUP RANGE MAX OVER.(1-248)");

    const std::string tempPath = mapPath + ".tmp";
    std::FILE* file = std::fopen(tempPath.c_str(), "wb");
    if (!file) return refuse("WK I/O ERROR");
    auto discardFile = [&] {
        std::fclose(file);
        std::remove(tempPath.c_str());
    };
    if (d.floatingCount != 0) {
        discardFile();
        return refuse("NG! TERGET OBJ HAS SOME FLOATING POINTS.");
    }
    const int V = d.vertexCount;
    const size_t flagBytes = sizeof(int) * static_cast<size_t>(V);
    int* floating = d.floatingFlag.data();
    std::memcpy(w.floatingBefore.data(), floating, flagBytes);
    std::memset(floating, 0, flagBytes);
    auto giveUp = [&](const char* text) {
        std::memcpy(floating, w.floatingBefore.data(), flagBytes);
        ui.setStatusProgress(0);
        discardFile();
        return refuse(text);
    };

    const DuplicateSearch search =
        findDuplicatePairs(d.vertexArray.data(), V, kMaxFusionPairs, w.pairFirst.data(), w.pairDuplicate.data(),
                           w.mark.data(), w.firstCopyOf.data(), [&ui](int p) { ui.setStatusProgress(p); });
    for (int p = 0; p < search.pairs; ++p) floating[w.pairDuplicate[p]] = 1;
    if (search.limitReached) return giveUp("NG. MAX REATCHED!");

    // Corners to re-point, counted before anything is written or changed.
    const int* cv = d.cornerVertexList.data();
    auto isDuplicate = [&](int vn) { return vn >= 1 && vn <= V && w.mark[vn - 1]; };
    long long repoint = 0;
    for (int f = 0; f < d.faceCount; ++f) {
        const int first = d.faceFirstCorner[f];
        for (int c = 0; c < d.faceCornerCount[f]; ++c) repoint += isDuplicate(cv[first + c]);
    }
    if (repoint >= kMaxFusionCorners) return giveUp("NG! MAX REATCHED!");

    weldVertexMap(V, w.mark.data(), w.firstCopyOf.data(), w.vertexMap.data());
    {
        VcmWriter out(file);
        out.string(vcmDateText(std::time(nullptr)));
        out.integer(V);
        out.integer(d.faceCount);
        out.integer(d.groupCount);
        for (int g = 0; g < d.groupCount; ++g) out.string(d.groupNames[g]);
        out.integers(d.faceGroup.data(), static_cast<size_t>(d.faceCount));
        for (int f = 0; f < d.faceCount; ++f)
            out.integers(cv + d.faceFirstCorner[f],
                         static_cast<size_t>(d.faceCornerCount[f]));
        out.string("HERE");
        out.integers(w.vertexMap.data(), static_cast<size_t>(V));
        bool ok = out.flush();
        ok = std::fclose(file) == 0 && ok;
        if (!ok || std::rename(tempPath.c_str(), mapPath.c_str()) != 0) {
            std::remove(tempPath.c_str());
            std::memcpy(floating, w.floatingBefore.data(), flagBytes);
            ui.setStatusProgress(0);
            return refuse("WK I/O ERROR");
        }
    }
    d.floatingCount = search.pairs;

    fusionCornerCounter = 0;
    int* corners = d.cornerVertexList.data();
    for (int f = 0; f < d.faceCount; ++f) {
        d.faceGroup[f] = 0;
        const int first = d.faceFirstCorner[f];
        for (int c = 0; c < d.faceCornerCount[f]; ++c) {
            int& vn = corners[first + c];
            if (!isDuplicate(vn)) continue;
            vn = w.firstCopyOf[vn - 1] + 1;
            ++fusionCornerCounter;
        }
    }
    d.groupNames[0] = "FUSIONDATA";
    d.groupCount = 1;
    d.computeNormals();
    d.redrawAll();
    message("OK. GENERATE VCM TABLE. PLEASE SAVE FUSION 3D OBJ DATA.");
    ui.setStatusProgress(0);
    ui.setWaitCursor(false);
    notify();
    return CommandResult::Done;
}

}  // namespace vortel
