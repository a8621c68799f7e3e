// The document's construction state, its operations and its command table.
#include "doc/CVELTADoc.h"

#include <algorithm>
#include <cstring>

#include "platform/TwoThreads.h"

namespace vortel {

CVELTADoc::CVELTADoc(Platform& platform) : m_platform(platform) {}

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

void CVELTADoc::displayTransform(int group) {
    Vec3 mx = modelBoxMax, mn = modelBoxMin;
    float fit = 0.7f;
    if (group >= 0 && group < kGroupSlots) {
        mx = groupBoxMax[static_cast<size_t>(group)];
        mn = groupBoxMin[static_cast<size_t>(group)];
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
        const Vec3& v = vertexArray[static_cast<size_t>(n)];
        Vec3& d = displayVertexArray[static_cast<size_t>(n)];
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
    for (int f = 0; f < faceCount; ++f) sum += faceCornerCount[static_cast<size_t>(f)];
    return sum;
}

namespace {

// Meshes with at least this many faces get their normals on two threads.
constexpr int kTwoThreadNormalFaces = 16384;

}  // namespace

void CVELTADoc::computeNormals(bool quadHalves) {
    const int owned = ownedCornerEnd();
    const int* cv = cornerVertexList.data();
    const Vec3* dv = displayVertexArray.data();
    const int faces = faceCount;
    // Faces are halved for the face normals and the corner copies; the vertex
    // sums are halved by vertex, each half adding its vertices' faces in face
    // order, so every sum is the same to the bit as when one thread adds them all.
    const int midFace = faces / 2;
    const int midVertex = vertexCount / 2;
    Vec3* sums = vertexNormalSums.data();
    Vec3* cn = cornerNormalList.data();
    const size_t cornerSlots = cornerNormalList.size();

    auto faceNormals = [&](int half) {
        for (int f = half ? midFace : 0, end = half ? faces : midFace; f < end; ++f) {
            const int first = faceFirstCorner[static_cast<size_t>(f)];
            Vec3& out = faceNormalArray[static_cast<size_t>(f)];
            // A face of fewer than three corners borrows the entries that follow it;
            // slots that no face owns hold nothing of this mesh, so such a face gets
            // a zero normal instead.
            if (first < 0 || first + 2 >= owned) {
                out = Vec3{};
                continue;
            }
            const Vec3 p0 = dv[cv[first] - 1], p1 = dv[cv[first + 1] - 1], p2 = dv[cv[first + 2] - 1];
            // faceNormal(p0, p1, p2), written out so the loop stays in one place.
            const Vec3 a{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z}, b{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
            out = Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
            if (quadHalves && faceCornerCount[static_cast<size_t>(f)] > 3 && first + 3 < owned) {
                Vec3 second;
                faceNormal(p0, p2, dv[cv[first + 3] - 1], second);
                out.x += second.x;
                out.y += second.y;
                out.z += second.z;
            }
        }
        const size_t mid = static_cast<size_t>(std::max(midVertex, 0));
        const size_t from = half ? mid : 0, to = half ? vertexNormalSums.size() : mid;
        std::memset(static_cast<void*>(sums + from), 0, sizeof(Vec3) * (to - from));
    };
    auto vertexSums = [&](int half) {
        for (int f = 0; f < faces; ++f) {
            const int first = faceFirstCorner[static_cast<size_t>(f)];
            const int count = faceCornerCount[static_cast<size_t>(f)];
            const Vec3 nrm = faceNormalArray[static_cast<size_t>(f)];
            for (int c = 0; c < count; ++c) {
                const int v = cv[first + c] - 1;
                if ((v >= midVertex) != (half == 1)) continue;
                Vec3& s = sums[v];
                s.x += nrm.x;
                s.y += nrm.y;
                s.z += nrm.z;
            }
        }
    };
    auto cornerCopies = [&](int half) {
        size_t k = 0;
        if (half)
            for (int f = 0; f < midFace; ++f)
                k = std::min(cornerSlots, k + static_cast<size_t>(std::max(faceCornerCount[static_cast<size_t>(f)], 0)));
        for (int f = half ? midFace : 0, end = half ? faces : midFace; f < end; ++f) {
            const int first = faceFirstCorner[static_cast<size_t>(f)];
            const int count = faceCornerCount[static_cast<size_t>(f)];
            for (int c = 0; c < count && k < cornerSlots; ++c) cn[k++] = sums[cv[first + c] - 1];
        }
    };
    runInHalves(faces >= kTwoThreadNormalFaces, faceNormals, vertexSums, cornerCopies);
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
    // After every load all groups are visible and none is selected, whether or
    // not a group list is there to show it.
    selectedGroup = -1;
    std::memset(groupVisibleFlag.data(), 1, groupVisibleFlag.size());
    for (DocumentView* v : m_views) v->onLoadRefresh();
}

void CVELTADoc::treeRefresh(const std::string& path) {
    for (DocumentView* v : m_views)
        if (v->viewKind() == ViewKind::TreeView) {
            v->showTreePath(path);
            return;
        }
}

void CVELTADoc::groupListNotify(int a, int b) {
    for (DocumentView* v : m_views)
        if (v->viewKind() == ViewKind::List3DView) {
            v->rebuildGroupList(a, b);
            return;
        }
}

void CVELTADoc::playbackStateChange(int mode) {
    if (mode == 0) playbackCommand = cmd::Stop;
    if (mode == 1) playbackCommand = cmd::Play;
    for (DocumentView* v : m_views)
        if (v->viewKind() == ViewKind::VeltaView) v->playback(mode);
}

void CVELTADoc::redrawAll() {
    for (DocumentView* v : m_views) v->redraw();
}

CommandState CVELTADoc::commandState(int id) const {
    CommandState s;
    s.handled = true;
    switch (id) {
    case cmd::FileNew:
    case cmd::FileSave:
    case cmd::HairDialog:
        s.enabled = false;
        break;
    case cmd::FileOpen:
    case cmd::SeedOpen:
        s.enabled = true;
        break;
    case cmd::MtOpen:
        s.enabled = vertexCount != 0 && groupCount == 1;
        break;
    case cmd::FileSaveAs:
        s.enabled = vertexCount != 0;
        break;
    case cmd::ExportDrop:
        s.enabled = dropResultCount != 0;
        break;
    case cmd::ExportHair:
        s.enabled = hairStrandCount != 0;
        break;
    case cmd::Drop:
        s.enabled = true;
        s.checked = dropDialogOpenFlag != 0;
        break;
    case cmd::SpecialFunc:
        s.enabled = true;
        s.checked = specialPanelShownFlag != 0;
        break;
    case cmd::ViewWirePlus:
    case cmd::ViewPixel:
    case cmd::ViewWire:
    case cmd::ViewFlat:
    case cmd::ViewSmooth:
        s.enabled = true;
        s.checked = id == viewModeCommand;
        break;
    case cmd::Play:
    case cmd::Pause:
    case cmd::Stop:
    case cmd::FF:
        s.enabled = morphLoadedFlag == 1;
        s.checked = id == playbackCommand;
        break;
    default:
        s.handled = false;
        break;
    }
    return s;
}

bool CVELTADoc::onCommand(int id) {
    switch (id) {
    case cmd::FileOpen:
        onFileOpen();
        return true;
    case cmd::MtOpen:
        onMtOpen();
        return true;
    case cmd::SeedOpen:
        if (seedOpenHandler) seedOpenHandler(*this);
        return true;
    case cmd::FileSaveAs:
        onSaveAs();
        return true;
    case cmd::ViewWirePlus:
    case cmd::ViewPixel:
    case cmd::ViewWire:
    case cmd::ViewFlat:
    case cmd::ViewSmooth: {
        if (id == viewModeCommand) return true;
        DocumentView* view = nullptr;
        for (DocumentView* v : m_views)
            if (v->viewKind() == ViewKind::VeltaView) {
                view = v;
                break;
            }
        if (!view) return true;
        const int mode = id == cmd::ViewWirePlus ? 5 : id - cmd::ViewPixel + 1;
        view->setDisplayMode(mode);
        viewModeCommand = id;
        return true;
    }
    case cmd::Play:
    case cmd::Pause:
    case cmd::Stop:
    case cmd::FF: {
        if (id == playbackCommand) return true;
        int mode = 1;
        if (id == cmd::Pause) mode = 3;
        if (id == cmd::Stop || id == cmd::FF) {
            resetDisplayFromBase();
            mode = id == cmd::Stop ? 0 : 4;
        }
        playbackStateChange(mode);
        playbackCommand = id;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace vortel
