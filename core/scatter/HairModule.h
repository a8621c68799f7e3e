// HAIR and Collision as a module of the document.
//
// Holds the hair strip mesh and the HAIR window's open flag, and registers:
//   32816  the HAIR window toggle (Function > "HAIR"): enabled while the mesh
//          has line faces (or the window is open), checked while it is open;
//   32826  File > Export > "HAIR": enabled while the hair strand count is not 0;
//   32807  Function > "Collision": enabled unless "Function"/"Coligion" is "NONE".
// The hair request of the HAIR window (0x1500) reaches hairOperation through
// the main frame. The window itself is the GUI's: it installs createWindow and
// destroyWindow; without them (the console) the toggle only keeps the flag.
#pragma once

#include <functional>

#include "doc/CVELTADoc.h"
#include "scatter/Collision.h"
#include "scatter/HairExport.h"
#include "scatter/HairMesh.h"
#include "scatter/StripBuilder.h"

namespace vortel {

class HairModule : public DocumentModule {
public:
    explicit HairModule(CVELTADoc& doc);
    HairModule(const HairModule&) = delete;
    HairModule& operator=(const HairModule&) = delete;

    HairMesh& mesh() { return m_mesh; }
    const HairMesh& mesh() const { return m_mesh; }

    HairResult buildStrips();
    // The hair request: 0 CLOSE, 9999 RESET, anything else DONE (lParam unused).
    HairResult hairOperation(int w, int lParam = 0);
    HairExportResult exportHair();
    CollisionResult collide();

    // The HAIR window.
    void toggleWindow();
    void closeWindow();
    int windowOpenFlag = 0;
    std::function<void()> createWindow;
    std::function<void()> destroyWindow;
    const void* windowHost = nullptr;  // the main frame that installed them

private:
    CVELTADoc& m_doc;
    HairMesh m_mesh;
};

void installHairModule(CVELTADoc& doc);

}  // namespace vortel
