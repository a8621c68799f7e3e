// The document's construction state, its operations and its command table.
#include "doc/CVELTADoc.h"

#include <algorithm>
#include <cstring>

#include "doc/Text.h"

namespace vortel {

CVELTADoc::CVELTADoc(Platform& platform) : m_platform(platform) {
    registerDocumentCommands();
    installDocumentModules(*this);
}

CVELTADoc::~CVELTADoc() = default;

void CVELTADoc::addView(DocumentView* view) {
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CVELTADoc::removeView(DocumentView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CVELTADoc::openByPath(const std::string& path, const std::string& title, int kind) {
    openByPathFlag = 1;
    documentPath = path;
    fileTitle = title;
    switch (kind) {
    case 0:
        onFileOpen();
        break;
    case 1:
        onMtOpen();
        break;
    case 9:
        if (seedOpenHandler) seedOpenHandler(*this);
        break;
    default:
        break;
    }
    redrawAll();
    openByPathFlag = 0;
}

void CVELTADoc::openFromMemory(const std::string& path, const char* data, size_t size, int kind) {
    static const char kEmpty[1] = {};
    m_memory = MemorySource{data ? data : kEmpty, data ? size : 0};
    openByPath(path, fileTitleOf(path), kind);
    m_memory = MemorySource{nullptr, 0};
}

void CVELTADoc::displayTransform(int group) {
    Vec3 mx = modelBoxMax, mn = modelBoxMin;
    float fit = 0.7f;
    if (group >= 0 && group < kGroupSlots) {
        mx = groupBoxMax[group];
        mn = groupBoxMin[group];
        fit = 0.5f;
    }
    float extent = mx.x - mn.x;
    if (mx.y - mn.y > extent) extent = mx.y - mn.y;
    if (mx.z - mn.z > extent) extent = mx.z - mn.z;
    // A box of zero extent (one point, or a group with no faces) would divide by
    // zero and fill the display with NaN; it is shown at the scale of a unit box.
    if (!(extent > 0.0f)) extent = 1.0f;
    displayScale = fit / extent;
    displayCentre.x = (mn.x + mx.x) * 0.5f;
    displayCentre.y = (mn.y + mx.y) * 0.5f;
    displayCentre.z = (mn.z + mx.z) * 0.5f;
    resetDisplayFromBase();
}

void CVELTADoc::resetDisplayFromBase() {
    const float s = displayScale;
    const Vec3 c = displayCentre;
    for (int n = 0; n < vertexCount; ++n) {
        const Vec3& v = vertexArray[n];
        Vec3& d = displayVertexArray[n];
        d.x = (v.x - c.x) * s;
        d.y = (v.y - c.y) * s;
        d.z = (v.z - c.z) * s;
    }
}

int CVELTADoc::ownedCornerEnd() const {
    if (faceCount <= 0) return 0;
    const size_t last = static_cast<size_t>(faceCount - 1);
    return std::max(0, faceFirstCorner[last] + faceCornerCount[last]);
}

long long CVELTADoc::cornerSum() const {
    long long sum = 0;
    for (int f = 0; f < faceCount; ++f) sum += faceCornerCount[f];
    return sum;
}

void CVELTADoc::computeNormals(bool quadHalves) {
    const int owned = ownedCornerEnd();
    const int* cv = cornerVertexList.data();
    const Vec3* dv = displayVertexArray.data();
    const int faces = faceCount;
    for (int f = 0; f < faces; ++f) {
        const int first = faceFirstCorner[f];
        Vec3& out = faceNormalArray[f];
        // A face of fewer than three corners borrows the entries that follow it;
        // slots that no face owns hold nothing of this mesh, so such a face gets
        // a zero normal instead.
        if (first < 0 || first + 2 >= owned) {
            out = Vec3{};
            continue;
        }
        const Vec3 p0 = dv[cv[first] - 1], p1 = dv[cv[first + 1] - 1], p2 = dv[cv[first + 2] - 1];
        faceNormal(p0, p1, p2, out);
        if (quadHalves && faceCornerCount[f] > 3 && first + 3 < owned) {
            Vec3 second;
            faceNormal(p0, p2, dv[cv[first + 3] - 1], second);
            out.x += second.x;
            out.y += second.y;
            out.z += second.z;
        }
    }
    Vec3* sums = vertexNormalSums.data();
    std::memset(static_cast<void*>(sums), 0, sizeof(Vec3) * vertexNormalSums.size());
    for (int f = 0; f < faces; ++f) {
        const int first = faceFirstCorner[f];
        const int count = faceCornerCount[f];
        const Vec3 nrm = faceNormalArray[f];
        for (int c = 0; c < count; ++c) {
            Vec3& s = sums[cv[first + c] - 1];
            s.x += nrm.x;
            s.y += nrm.y;
            s.z += nrm.z;
        }
    }
    // Each corner's normal is its vertex's sum, in corner order.
    Vec3* cn = cornerNormalList.data();
    const size_t cornerSlots = cornerNormalList.size();
    size_t k = 0;
    for (int f = 0; f < faces; ++f) {
        const int first = faceFirstCorner[f];
        const int count = faceCornerCount[f];
        for (int c = 0; c < count && k < cornerSlots; ++c) cn[k++] = sums[cv[first + c] - 1];
    }
}

void CVELTADoc::noteLoadSlots(int faces, int uvs, int corners) {
    m_dirtyFaceSlots = std::max(m_dirtyFaceSlots, std::min(faces + 1, kFaceSlots));
    m_dirtyUvSlots = std::max(m_dirtyUvSlots, std::min(uvs + 1, kUvSlots));
    m_dirtyCornerSlots = std::max(m_dirtyCornerSlots, std::min(corners + 1, kCornerSlots));
}

void CVELTADoc::clearLoadSlots(bool faceTable, bool uvs) {
    // Commands after the last load may have grown the mesh: take the counts too.
    noteLoadSlots(std::max(faceCount, 0), std::max(uvCount, 0), ownedCornerEnd());
    if (faceTable) {
        std::memset(faceGroup.data(), 0, sizeof(int) * static_cast<size_t>(m_dirtyFaceSlots));
        std::memset(faceMaterial.data(), 0, sizeof(int) * static_cast<size_t>(m_dirtyFaceSlots));
    }
    if (uvs) {
        std::memset(static_cast<void*>(uvArray.data()), 0, sizeof(UvCoord) * static_cast<size_t>(m_dirtyUvSlots));
        std::memset(cornerUvList.data(), 0, sizeof(int) * static_cast<size_t>(m_dirtyCornerSlots));
    }
    if (faceTable && uvs) m_dirtyFaceSlots = m_dirtyUvSlots = m_dirtyCornerSlots = 0;
}

void CVELTADoc::viewRefreshAfterLoad() {
    // The group list, a module and the first subscriber, shows every group
    // again and ends the selection before the windows refresh.
    for (DocumentView* v : m_views) v->onLoadRefresh();
}

void CVELTADoc::treeRefresh(const std::string& path) {
    for (DocumentView* v : m_views) v->onTreePath(path);
}

void CVELTADoc::groupListNotify(int a, int b) {
    for (DocumentView* v : m_views) v->onGroupListChange(a, b);
}

void CVELTADoc::playbackStateChange(int mode) {
    if (mode == 0) playbackCommand = cmd::Stop;
    if (mode == 1) playbackCommand = cmd::Play;
    for (DocumentView* v : m_views) v->onPlayback(mode);
}

void CVELTADoc::redrawAll() {
    for (DocumentView* v : m_views) v->onRedraw();
}

void CVELTADoc::addModule(std::unique_ptr<DocumentModule> module) {
    if (module) m_modules.push_back(std::move(module));
}

bool CVELTADoc::onCommand(int id) { return m_commands.runAt(id, CommandLevel::Document); }

void CVELTADoc::registerDocumentCommands() {
    CommandTable& t = m_commands;
    constexpr CommandLevel doc = CommandLevel::Document;
    auto grayed = [] { return CommandRule{false, false}; };
    // Commands without a handler: File New and Save.
    for (int id : {cmd::FileNew, cmd::FileSave}) t.add(id, doc, grayed, nullptr);

    t.add(cmd::FileOpen, doc, nullptr, [this] { onFileOpen(); });
    t.add(cmd::SeedOpen, doc, nullptr, [this] {
        if (seedOpenHandler) seedOpenHandler(*this);
    });
    t.add(cmd::MtOpen, doc, [this] { return CommandRule{vertexCount != 0 && groupCount == 1}; },
          [this] { onMtOpen(); });
    t.add(cmd::FileSaveAs, doc, [this] { return CommandRule{vertexCount != 0}; }, [this] { onSaveAs(); });

    for (int id : {cmd::Play, cmd::Pause, cmd::Stop, cmd::FF})
        t.add(id, doc, [this, id] { return CommandRule{morphLoadedFlag == 1, id == playbackCommand}; },
              [this, id] {
                  if (id == playbackCommand) return;
                  int mode = 1;
                  if (id == cmd::Pause) mode = 3;
                  if (id == cmd::Stop || id == cmd::FF) {
                      resetDisplayFromBase();
                      mode = id == cmd::Stop ? 0 : 4;
                  }
                  playbackStateChange(mode);
                  playbackCommand = id;
              });
}

}  // namespace vortel
