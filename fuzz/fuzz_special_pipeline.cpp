// A mesh through the special panel: each input is opened as a mesh and, when
// it loads and is small, goes through "VCM GEN", "1.ANALYSIS", "2.EXCUTE" and
// a direct Save As, the way a user works on it.
#include "FuzzSupport.h"

namespace {
// Larger meshes would spend the run in the quadratic searches, not in new paths.
constexpr int kSmallVertices = 2000;
constexpr int kSmallFaces = 4000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vortel;
    auto& s = fuzz::session();
    s.openBytes("input.obj", data, size, 0);
    if (!s.loaded() || s.doc.vertexCount > kSmallVertices || s.doc.faceCount > kSmallFaces) return 0;
    // Through the buttons, so each command runs only when the panel enables it.
    s.panel.clickRadio(mtm::RadioMtMirror);
    s.panel.press(mtm::VcmGen);
    s.panel.clickRadio(mtm::RadioEdgeMaker);
    s.panel.press(mtm::Analysis);
    s.panel.press(mtm::Excute);
    s.saveDirect();
    return 0;
}
