// Statement handlers shared by the OBJ reader and the prop/hair loader: one
// function per statement, each storing into the document and reporting a
// failure through the load message and load status. Lines come from the
// readers' padded line buffers (kLinePadding readable bytes past the NUL).
#pragma once

#include <string>

#include "doc/CVELTADoc.h"
#include "doc/Text.h"

namespace vortel {

struct ReadState {
    int cornerTotal = 0;
    int groupsSeen = 0;
    int materialsSeen = 0;
    int vertexOffset = 0;  // prop loader: vertices before the current prop
    bool stop = false;     // an error that ends the reading
};

// Rules that differ between the OBJ reader and the prop/hair loader.
struct FaceRules {
    bool propFile = false;  // offset vertex numbers; only form 1 touches the has-UV flag; no boxes
};

// The OBJ reader's face rules.
inline constexpr FaceRules kObjFaceRules{};

void failLoad(CVELTADoc& doc, ReadState& st, const std::string& message);
// The rest of the line after its first `skip` characters; empty when the line is shorter.
std::string restOfLine(const char* line, size_t skip);
// Looks a name up among the first `seen` names, adds it when new; false past the limit.
void selectName(CVELTADoc& doc, ReadState& st, std::vector<std::string>& names, int& current, int& seen,
                const std::string& name, const char* maxMessage);

void readVertex(CVELTADoc& doc, ReadState& st, const char* line);
void readUv(CVELTADoc& doc, ReadState& st, const char* line);
void readFace(CVELTADoc& doc, ReadState& st, const char* line, char kind, const FaceRules& rules);

// The storing halves of the statements above, for values tokenized elsewhere:
// `ok` is the tokenizer's answer, `numbers` the face-number list.
void storeVertex(CVELTADoc& doc, ReadState& st, bool ok, const float v[3]);
void storeUv(CVELTADoc& doc, ReadState& st, bool ok, const float uv[2]);
void storeFace(CVELTADoc& doc, ReadState& st, const int* numbers, int count, int form, char kind,
               const FaceRules& rules);

// The statements of an OBJ file, told apart by the first two characters of the line.
enum class ObjStatement : unsigned char { Other, Vertex, Uv, Face, Line, Group, Material };
inline ObjStatement objStatementOf(const char* line) {
    const char c0 = line[0];
    const char c1 = c0 ? line[1] : '\0';
    if (c0 == 'v' && (c1 == ' ' || c1 == '\t')) return ObjStatement::Vertex;
    if (c0 == 'v' && c1 == 't') return ObjStatement::Uv;
    if (c0 == 'f' && (c1 == ' ' || c1 == '\t' || c1 == 'o')) return ObjStatement::Face;
    if (c0 == 'l' && (c1 == ' ' || c1 == '\t')) return ObjStatement::Line;
    if (c0 == 'g') return ObjStatement::Group;
    if (c0 == 'u') return ObjStatement::Material;
    return ObjStatement::Other;
}
// The OBJ reader's group and material statements: select the name, adding it when new.
void selectObjGroup(CVELTADoc& doc, ReadState& st, const std::string& name);
void selectObjMaterial(CVELTADoc& doc, ReadState& st, const std::string& name);

// Characters an OBJ group or material line skips before its name.
inline constexpr size_t kGroupNameSkip = 2;
inline constexpr size_t kMaterialNameSkip = 7;
// A line this long (by strlen) in LF line mode switches the OBJ reader to CR line mode.
inline constexpr int kCrSwitchLength = 990;

void resetBox(Vec3& max, Vec3& min);
// Widens a box by another box, maxima by maxima and minima by minima.
inline void mergeBox(Vec3& max, Vec3& min, const Vec3& otherMax, const Vec3& otherMin) {
    if (otherMax.x > max.x) max.x = otherMax.x;
    if (otherMax.y > max.y) max.y = otherMax.y;
    if (otherMax.z > max.z) max.z = otherMax.z;
    if (otherMin.x < min.x) min.x = otherMin.x;
    if (otherMin.y < min.y) min.y = otherMin.y;
    if (otherMin.z < min.z) min.z = otherMin.z;
}
inline void widenBox(Vec3& max, Vec3& min, const Vec3& p) { mergeBox(max, min, p, p); }

}  // namespace vortel
