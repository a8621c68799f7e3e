// The group list's two direct exports, written beside the open mesh without
// asking for a file name:
//
// "save selected groups in obj" (32833) writes each shown group as an OBJ file
// of its own, through the OBJ writer's direct mode, into a new folder named
// by the document path followed by the UTC time "YYYYMMDDhhmmss". Reads the
// group count, names and visible flags, the document path and the file title;
// sets the save path and the direct-save flag around each file and gives the
// visible flags back as they were.
//
// "save all parts in CR2 (for morphmanager)" (32838) writes the loaded morph as
// a Poser CR2 fragment, one morph channel per group that the morph moves, to
// the document path + ".cr2" (after MT Open that is the morph target's file).
// Reads the face table, the corner vertex list, the morph delta array, the
// display scale, the MT path and the morph loaded flag; runs FF first.
//
// A file or folder that cannot be created is reported in a message box
// (caption "VORTEL") and nothing is written; the results say what was written.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "doc/CVELTADoc.h"

namespace vortel {

struct GroupObjExportResult {
    std::string folder;              // empty when no group was shown
    std::vector<std::string> files;  // the files written, in group order
    bool folderFailed = false;       // the folder could not be created; nothing was written
};

struct Cr2ExportResult {
    bool written = false;
    std::string path;  // the file, also when it could not be written
    int actors = 0;    // groups written as an actor block
};

class GroupExports : public DocumentModule {
public:
    explicit GroupExports(CVELTADoc& doc);
    ~GroupExports() override;
    GroupExports(const GroupExports&) = delete;
    GroupExports& operator=(const GroupExports&) = delete;

    GroupObjExportResult saveSelectedGroups();
    Cr2ExportResult saveCr2();

    // The time that names the folder; the tests fix it.
    std::function<std::time_t()> clock = [] { return std::time(nullptr); };

private:
    CVELTADoc& m_doc;
};

// "YYYYMMDDhhmmss" of T in UTC.
std::string groupFolderStamp(std::time_t t);

// The file name of a group's OBJ file: TITLE + "_" + the group name without
// its line end, with each of \ " / : , ; * ? < > | as a blank, + ".obj". It is
// one plain name, never "." or "..", so the file stays in its folder.
std::string groupFileName(const std::string& title, const std::string& groupName);

// The vertices of each group, for the CR2 export. The faces are sorted by group
// once; a group's vertex slots (vertex number - 1) then come out in ascending
// order, each once, so a slot's position in the list is its group-local index.
// Faces of a group outside 0 .. group count - 1, and vertex numbers outside
// 1 .. 130,000, are left out.
class GroupVertexLists {
public:
    void build(const int* faceGroup, const int* faceFirstCorner, const int* faceCornerCount, int faceCount,
               const int* cornerVertexList, int cornerSlots, int groupCount);
    // The slots of GROUP, ascending; valid until the next call. Returns the count.
    int vertices(int group, const int*& slots);

private:
    FixedArray<int> m_faceOrder{kFaceSlots};        // faces, grouped by group in face order
    FixedArray<int> m_groupStart{kGroupSlots + 1};  // each group's first place in m_faceOrder
    FixedArray<int> m_usedMark{kVertexSlots};       // the stamp of the last group that used the slot
    FixedArray<int> m_slots{kVertexSlots};
    int m_stamp = 0;
    const int* m_firstCorner = nullptr;
    const int* m_cornerCount = nullptr;
    const int* m_cornerVertex = nullptr;
    int m_cornerSlots = 0;
    int m_groupCount = 0;
};

}  // namespace vortel
