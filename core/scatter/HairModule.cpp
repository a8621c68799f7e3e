// HAIR and Collision as a module of the document; see HairModule.h.
#include "scatter/HairModule.h"

#include <memory>

#include "scatter/Hair.h"
#include "scatter/LineFaces.h"

namespace vortel {

HairModule::HairModule(CVELTADoc& doc) : m_doc(doc) {
    CommandTable& t = doc.commands();
    constexpr CommandLevel level = CommandLevel::Document;
    t.add(cmd::HairDialog, level,
          [this] { return CommandRule{windowOpenFlag != 0 || hasLineFaces(m_doc), windowOpenFlag != 0}; },
          [this] { toggleWindow(); }, this);
    t.add(cmd::ExportHair, level, [this] { return CommandRule{m_doc.hairStrandCount != 0}; },
          [this] { exportHair(); }, this);
    t.add(cmd::Collision, level, [this] { return CommandRule{collisionEnabled(m_doc.platform().settings())}; },
          [this] { collide(); }, this);
}

HairResult HairModule::buildStrips() { return runStripBuilder(m_doc, m_mesh); }

HairResult HairModule::hairOperation(int w, int /*lParam*/) {
    if (w == kHairRequestClose) {
        m_doc.redrawAll();
        closeWindow();
        return HairResult::Done;
    }
    return runHairOperation(m_doc, m_mesh, w);
}

HairExportResult HairModule::exportHair() { return vortel::exportHair(m_doc, m_mesh); }

CollisionResult HairModule::collide() { return runCollision(m_doc); }

void HairModule::toggleWindow() {
    if (windowOpenFlag) {
        closeWindow();
        return;
    }
    windowOpenFlag = 1;
    if (createWindow) createWindow();
}

void HairModule::closeWindow() {
    windowOpenFlag = 0;
    if (destroyWindow) destroyWindow();
}

void installHairModule(CVELTADoc& doc) { doc.addModule(std::make_unique<HairModule>(doc)); }

}  // namespace vortel
