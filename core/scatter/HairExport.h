// File > Export > "HAIR": writes the hair strip mesh as an OBJ file in the
// units of the mesh it was taken from.
//
// Reads the hair strip mesh and the document's hair strand count, file title
// and load message; writes the chosen path into the document's save path.
// The file: "# Convert by TOLK", one "v %f %f %f" line per hair vertex
// (display position / display scale + display centre), one "f" line per hair
// face with its corners; no group, texture or normal records.
//
// Only whole faces are written: after RESET or DONE a face can name vertices
// that the hair vertex list no longer holds, and such a face line would point
// at nothing. Those faces are left out and the user is told how many.
#pragma once

#include "doc/CVELTADoc.h"
#include "scatter/HairMesh.h"

namespace vortel {

enum class HairExportResult { Written, Cancelled, OpenFailed, WriteFailed };

// Whether every corner of hair face F names a vertex of the hair vertex list.
bool hairFaceIsWhole(const HairMesh& mesh, int f);

HairExportResult exportHair(CVELTADoc& doc, const HairMesh& mesh);

}  // namespace vortel
