// DROP as a module of the document: the seed mesh, the drop mesh, the Drop
// window's open state and every command of the feature.
//
// Commands: File > "Seed Open" (32811; also kind 9 of the open-by-path entry,
// through the document's seed open handler), Function > "DROP" (32808, the
// window toggle, checked while the window is open), File > Export > "Drop"
// (32812, enabled while the drop result count is not 0). The Drop window's
// requests reach dropRoutine and presetSeedLoad through the main frame.
//
// Reads: the document's display positions, face table, corner vertex list and
// face normals, display scale and centre, the "Locate"/"name" setting.
// Writes: the seed mesh and the drop mesh held here; the document's drop
// result count and drop face count, marker point lists 1 to 3, document path,
// file title (by-path loads), save path, load message and load status.
// Each command lives in a file of its own: SeedLoader, Drop, DropExport.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "doc/CVELTADoc.h"
#include "scatter/DropMesh.h"
#include "scatter/SeedMesh.h"

namespace vortel {

// The windows of the feature, as the program shows them; the console has none.
class DropWindowHost {
public:
    virtual ~DropWindowHost() = default;
    virtual void createDropWindow() = 0;  // dialog 153, modeless, over the main window
    virtual void destroyDropWindow() = 0;
    virtual void seedLoadedNotice() = 0;  // posted to the window: it repaints the seed preview
};

// What a drop request did.
enum class DropOutcome {
    Reset,    // RESET: the drop mesh emptied
    Closed,   // CLOSE: the window closed, the drop mesh kept
    Dropped,  // DROP ran (the drop mesh may still be empty)
    Refused,  // the copies would not fit: said so, nothing changed
};

class DropModule : public DocumentModule {
public:
    explicit DropModule(CVELTADoc& doc);
    ~DropModule() override;
    DropModule(const DropModule&) = delete;
    DropModule& operator=(const DropModule&) = delete;

    SeedMesh seed;
    DropMesh drop;

    // ---- the Drop window ----
    void setWindowHost(DropWindowHost* host) { m_host = host; }
    DropWindowHost* windowHost() const { return m_host; }
    bool windowOpen() const { return m_doc.dropDialogOpenFlag != 0; }
    void toggleWindow();  // "DROP"
    void openWindow();
    void closeWindow();

    // ---- seed (SeedLoader.cpp) ----
    // The load: with a file dialog, unless preset mode or the open-by-path flag is on.
    void loadSeed();
    // F, C, S: preset 0, 1, 2 from the home folder's preset/ folder.
    void presetSeedLoad(int index);
    std::string presetPath(int index) const;
    // On only while a preset loads.
    int presetMode = 0;

    // ---- DROP (Drop.cpp) ----
    // The drop request's five numbers: RESET (n 0, d 0), CLOSE (n 1, d 0), or DROP.
    DropOutcome dropRoutine(int sizeRandom, int locationRandom, int n, int d, int top);
    // Seeds the generator instead of the time in seconds, when set.
    std::optional<std::uint32_t> fixedRandomSeed;

    // ---- Export > "Drop" (DropExport.cpp) ----
    SaveResult exportDrop();

private:
    DropOutcome runDrop(int sizeRandom, int locationRandom, int n, int d, int top);

    CVELTADoc& m_doc;
    DropWindowHost* m_host = nullptr;
};

// Creates the module and registers its commands (doc/Modules.cpp).
void installDrop(CVELTADoc& doc);

}  // namespace vortel
