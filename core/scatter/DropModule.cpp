// The DROP module: its commands, the window toggle and the presets.
#include "scatter/DropModule.h"

#include <cstring>

#include "platform/Settings.h"

namespace vortel {

void SeedMesh::empty() {
    hasUvFlag = 0;
    uvCount = 0;
    faceCount = 0;
    vertexCount = 0;
    boxMax = Vec3{-1e12f, -1e12f, -1e12f};
    boxMin = Vec3{1e12f, 1e12f, 1e12f};
    cornerTotal = 0;
    loaded = false;
}

bool SeedMesh::faceIsWhole(int face) const {
    const int first = faceFirstCorner[face];
    const int count = faceCornerCount[face];
    for (int c = 0; c < count; ++c) {
        const int v = cornerList[first + c];
        if (v < 1 || v > vertexCount) return false;
    }
    return true;
}

int SeedMesh::usableCornerSum() const {
    int sum = 0;
    for (int f = 0; f < usableFaceCount(); ++f) sum += faceCornerCount[f];
    return sum;
}

DropModule::DropModule(CVELTADoc& doc) : m_doc(doc) {
    seed.empty();
    doc.seedOpenHandler = [this](CVELTADoc&) { loadSeed(); };
    CommandTable& t = doc.commands();
    constexpr CommandLevel level = CommandLevel::Document;
    auto windowCheck = [this] { return CommandRule{true, windowOpen()}; };
    auto exportRule = [this] { return CommandRule{m_doc.dropResultCount != 0}; };
    t.add(cmd::Drop, level, windowCheck, [this] { toggleWindow(); }, this);
    t.add(cmd::ExportDrop, level, exportRule, [this] { exportDrop(); }, this);
}

DropModule::~DropModule() {
    m_doc.commands().removeOwner(this);
    m_doc.seedOpenHandler = nullptr;
}

void DropModule::toggleWindow() {
    if (windowOpen())
        closeWindow();
    else
        openWindow();
}

void DropModule::openWindow() {
    if (!m_host || windowOpen()) return;
    m_doc.dropDialogOpenFlag = 1;
    m_host->createDropWindow();
}

void DropModule::closeWindow() {
    if (!windowOpen()) return;
    m_doc.dropDialogOpenFlag = 0;
    if (m_host) m_host->destroyDropWindow();
}

std::string DropModule::presetPath(int index) const {
    static const char* const kNames[] = {"shape", "flat", "pyl"};
    if (index < 0 || index > 2) return {};
    // The home folder recorded at start-up; the program's own when none is.
    std::string home = m_doc.platform().settings().getString("Locate", "name", "");
    if (home.empty()) home = m_doc.platform().homeFolder();
    return home + "preset/" + kNames[index] + ".obj";
}

void DropModule::presetSeedLoad(int index) {
    const std::string path = presetPath(index);
    if (path.empty()) return;
    m_doc.documentPath = path;
    presetMode = 1;
    loadSeed();
    presetMode = 0;
}

void installDrop(CVELTADoc& doc) { doc.addModule(std::make_unique<DropModule>(doc)); }

}  // namespace vortel
