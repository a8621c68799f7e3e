// The line faces (kind 'L') of the document's face table, as the hair commands
// read them: flat arrays with their counts, so the kernels run without a document.
#pragma once

#include "doc/CVELTADoc.h"

namespace vortel {

struct LineFaceTable {
    const int* faceFirstCorner;
    const int* faceCornerCount;
    const char* faceKind;
    int faceCount;
    const int* cornerVertexList;
    int cornerSlots;  // entries of the corner vertex list; a face's slice must lie inside

    static LineFaceTable of(const CVELTADoc& doc) {
        return {doc.faceFirstCorner.data(), doc.faceCornerCount.data(), doc.faceKind.data(), doc.faceCount,
                doc.cornerVertexList.data(), static_cast<int>(doc.cornerVertexList.size())};
    }
    // Whether face f is a line whose corner slice lies inside the corner list.
    bool isLine(int f) const {
        const int first = faceFirstCorner[f], n = faceCornerCount[f];
        return faceKind[f] == 'L' && first >= 0 && n >= 0 && first <= cornerSlots - n;
    }
    // Calls line(corners, n) for every line face in face order, with its
    // corner vertex numbers and their count.
    template <class Line>
    void forEachLine(Line&& line) const {
        for (int f = 0; f < faceCount; ++f)
            if (isLine(f)) line(cornerVertexList + faceFirstCorner[f], faceCornerCount[f]);
    }
};

// Whether any face of the document is a line.
bool hasLineFaces(const CVELTADoc& doc);

}  // namespace vortel
