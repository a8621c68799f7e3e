// CVELTADoc: the one mesh document every view, panel and tool reads and writes.
//
// All storage has a fixed capacity and is allocated once, at construction
// (about 87 MB); a load overwrites the arrays in place and sets the counters.
// Vertex, face and texture numbers are 1-based and stored at index n - 1;
// group and material numbers are 0-based; a face owns the slice
// [first corner, first corner + corner count) of the corner lists.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "doc/CommandIds.h"
#include "doc/CommandTable.h"
#include "geometry/Vector.h"
#include "platform/Platform.h"

namespace vortel {

inline constexpr int kMaxVertices = 130000;
inline constexpr int kVertexSlots = 130001;
inline constexpr int kMaxUvs = 520000;
inline constexpr int kUvSlots = 520001;
inline constexpr int kMaxFaces = 520000;
inline constexpr int kFaceSlots = 520001;
inline constexpr int kMaxCorners = 520000;
inline constexpr int kCornerSlots = 520001;
inline constexpr int kCornerAttributeSlots = 2080000;  // corner UV and corner normal lists
inline constexpr int kMaxGroups = 220;
inline constexpr int kGroupSlots = 221;
inline constexpr int kMaxMaterials = 220;
inline constexpr int kMaterialSlots = 221;
inline constexpr int kMarkerSlots = 130001;
inline constexpr int kEdgeLineSlots = 130001;

// A zero-filled array of fixed length, allocated once and never resized.
template <class T>
class FixedArray {
public:
    explicit FixedArray(size_t n) : m_data(static_cast<T*>(std::calloc(n, sizeof(T)))), m_size(n) {
        if (!m_data) throw std::bad_alloc();
    }
    ~FixedArray() { std::free(m_data); }
    FixedArray(const FixedArray&) = delete;
    FixedArray& operator=(const FixedArray&) = delete;

    T& operator[](int i) {
        assert(i >= 0 && static_cast<size_t>(i) < m_size);
        return m_data[i];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && static_cast<size_t>(i) < m_size);
        return m_data[i];
    }
    T* data() { return m_data; }
    const T* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    T* m_data;
    size_t m_size;
};

struct UvCoord {
    float u = 0.0f, v = 0.0f;
};

// A subscriber to the document's notifications. Views register in the
// framework's view order, and every notification reaches every subscriber in
// that order; each overrides only what it needs.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    // After a load: the group list rebuilds with every group visible, the 3D view
    // clears its label, the special panel resets.
    virtual void onLoadRefresh() {}
    // The groups' visibility or selection changed (the group list rebuilds).
    virtual void onGroupListChange(int /*a*/, int /*b*/) {}
    // The file browser shows this path (after loads and saves).
    virtual void onTreePath(const std::string& /*path*/) {}
    // Playback code: 0 Stop, 1 Play, 3 Pause, 4 FF.
    virtual void onPlayback(int /*mode*/) {}
    virtual void onRedraw() {}
};

// A subsystem's state and commands, owned by the document for the whole run.
// Modules are created by installDocumentModules (doc/Modules.cpp) when the
// document is constructed, and register their commands in its table there.
class DocumentModule {
public:
    virtual ~DocumentModule() = default;
};

// What Save As did.
enum class SaveResult {
    Written,
    Cancelled,    // the save options dialog or the file dialog was cancelled
    OpenFailed,   // the file could not be created
    WriteFailed,  // writing or closing the file failed
};

class CVELTADoc {
public:
    explicit CVELTADoc(Platform& platform);
    ~CVELTADoc();
    CVELTADoc(const CVELTADoc&) = delete;
    CVELTADoc& operator=(const CVELTADoc&) = delete;

    Platform& platform() { return m_platform; }

    // ---- views ----
    void addView(DocumentView* view);
    void removeView(DocumentView* view);
    const std::vector<DocumentView*>& views() const { return m_views; }

    // ---- document operations ----
    // Runs the command of the kind without any file dialog: 0 Open, 1 MT Open, 9 Seed Open.
    void openByPath(const std::string& path, const std::string& title, int kind);
    // The same, with the file's bytes given in memory instead of read from PATH
    // (PATH still names the file: its extension, title and folder count).
    void openFromMemory(const std::string& path, const char* data, size_t size, int kind);
    struct MemorySource {
        const char* data;
        size_t size;
    };
    // The bytes the readers take instead of the file while openFromMemory runs.
    const MemorySource* memorySource() const { return m_memory.data ? &m_memory : nullptr; }
    void displayTransform(int group);  // -1: whole model
    // With quadHalves, a face of four or more corners adds (P2 - P0) x (P3 - P0) (prop/hair files).
    void computeNormals(bool quadHalves = false);
    void viewRefreshAfterLoad();
    void treeRefresh(const std::string& path);
    void groupListNotify(int a, int b);
    void playbackStateChange(int mode);
    void redrawAll();

    // ---- commands and modules ----
    // The one command table: the document's own commands, the modules', and
    // those the views, the frame and the application register.
    CommandTable& commands() { return m_commands; }
    const CommandTable& commands() const { return m_commands; }
    // Runs the handler the document level holds for the id (the document's own
    // commands and its modules'); false when there is none.
    bool onCommand(int id);
    void addModule(std::unique_ptr<DocumentModule> module);
    // The installed module of type M, or nullptr.
    template <class M>
    M* module() const {
        for (const auto& m : m_modules)
            if (auto* p = dynamic_cast<M*>(m.get())) return p;
        return nullptr;
    }
    void onFileOpen();    // Open: OBJ, or PP2/HR2 through loadPoserFile
    void onMtOpen();      // MT Open
    // Save As, direct mode while directSaveFlag is 1. Tells whether the file was
    // written; every failure has already been shown to the user.
    SaveResult onSaveAs();
    int loadPoserFile(const std::string& path);  // 1 when a mesh was loaded
    // Seed Open (kind 9) belongs to the seed loader; it installs itself here.
    std::function<void(CVELTADoc&)> seedOpenHandler;

    // Reset of every display position from the base vertices.
    void resetDisplayFromBase();
    // Sum of the corner counts of faces 1..face count.
    long long cornerSum() const;
    // One past the last corner slot that a face owns.
    int ownedCornerEnd() const;

    // ---- fields, in the document's declaration order ----
    FixedArray<Vec3> vertexArray{kVertexSlots};
    FixedArray<Vec3> displayVertexArray{kVertexSlots};
    FixedArray<Vec3> markerPointList1{kMarkerSlots};
    FixedArray<Vec3> markerPointList2{kMarkerSlots};
    FixedArray<Vec3> markerPointList3{kMarkerSlots};
    int markerPointCount1 = 0, markerPointCount2 = 0, markerPointCount3 = 0;
    FixedArray<UvCoord> uvArray{kUvSlots};
    FixedArray<Vec3> morphDeltaArray{kVertexSlots};
    FixedArray<Vec3> morphDeltaBackup{kVertexSlots};
    FixedArray<int> faceMovedFlag{kFaceSlots};
    FixedArray<Vec3> faceNormalArray{kFaceSlots};
    FixedArray<int> cornerVertexList{kCornerSlots};
    FixedArray<int> faceFirstCorner{kFaceSlots};
    FixedArray<int> faceCornerCount{kFaceSlots};
    FixedArray<int> faceGroup{kFaceSlots};
    FixedArray<char> faceKind{kFaceSlots};  // 'P' polygon, 'L' polyline
    FixedArray<int> faceMaterial{kFaceSlots};
    FixedArray<Vec3> cornerNormalList{kCornerAttributeSlots};
    FixedArray<Vec3> vertexNormalSums{kVertexSlots};
    FixedArray<int> cornerUvList{kCornerAttributeSlots};
    int dropResultCount = 0;
    int dropFaceCount = 0;
    FixedArray<int> movedFlag{kVertexSlots};
    int hairStrandCount = 0;
    // Edge maker: the two endpoint vertex numbers and the face of each edge line.
    FixedArray<int> edgeLineFirst{kEdgeLineSlots};
    FixedArray<int> edgeLineSecond{kEdgeLineSlots};
    FixedArray<int> edgeLineFace{kEdgeLineSlots};
    int edgeLineCount = 0;
    FixedArray<int> floatingFlag{kVertexSlots};
    int floatingCount = 0;
    float displayScale = 0.0f;
    Vec3 displayCentre;
    int vertexCount = 0;
    int uvCount = 0;
    Vec3 modelBoxMax, modelBoxMin;
    FixedArray<Vec3> groupBoxMax{kGroupSlots};
    FixedArray<Vec3> groupBoxMin{kGroupSlots};
    FixedArray<Vec3> materialBoxMax{kMaterialSlots};
    FixedArray<Vec3> materialBoxMin{kMaterialSlots};
    FixedArray<Vec3> displayGroupBoxMax{kGroupSlots};
    FixedArray<Vec3> displayGroupBoxMin{kGroupSlots};
    std::vector<std::string> groupNames = std::vector<std::string>(kGroupSlots);
    std::vector<std::string> materialNames = std::vector<std::string>(kMaterialSlots);
    int faceCount = 0;
    int groupCount = 0;
    int materialCount = 0;
    std::string loadMessage;
    std::string loadStatus;
    std::string documentPath;
    std::string fileTitle;
    std::string mtPath;
    std::string savePath;
    int fileColoursFlag = 0;
    int directSaveFlag = 0;
    FixedArray<Vec3> materialColourTable{kMaxMaterials};  // r, g, b
    int morphLoadedFlag = 0;
    int specialPanelShownFlag = 0;
    int hasUvFlag = 0;
    FixedArray<int> groupHasUvFlag{kMaxGroups};
    int uvViewFlag = 0;
    int mtVertexCount = 0;
    int selectedGroup = -1;
    FixedArray<char> groupVisibleFlag{kMaxGroups};
    int viewModeCommand = cmd::ViewSmooth;
    int playbackCommand = cmd::Stop;

    // The loaders' shared flags: no dialogs while the open-by-path flag is set;
    // CR line mode 1 reads lines ended by CR.
    int openByPathFlag = 0;
    int crLineMode = 0;
    // Set by the window while the Drop dialog is open (checks "DROP").
    int dropDialogOpenFlag = 0;
    // MT Open reads the target here first, so a failed load leaves the loaded morph intact.
    FixedArray<Vec3> morphTargetBuffer{kVertexSlots};

    // Zeroes face group and material slots, UV slots and corner UV slots, as a
    // load begins: every slot a load or a command may have written since the
    // last clear (the rest are still zero from construction).
    void clearLoadSlots(bool faceTable, bool uvs);
    // Records how far a load reached in those arrays, before any count is reset.
    void noteLoadSlots(int faces, int uvs, int corners);

private:
    void registerDocumentCommands();

    Platform& m_platform;
    MemorySource m_memory{nullptr, 0};
    int m_dirtyFaceSlots = 0, m_dirtyUvSlots = 0, m_dirtyCornerSlots = 0;
    std::vector<DocumentView*> m_views;
    CommandTable m_commands;
    // Last, so modules go before the arrays they may use.
    std::vector<std::unique_ptr<DocumentModule>> m_modules;
};

// Creates every subsystem module of the document (doc/Modules.cpp).
void installDocumentModules(CVELTADoc& doc);

}  // namespace vortel
