// The passes of one 3D view frame: mesh, wire overlay, label and UV layout,
// with the extra geometry other tools leave in the document (edge lines,
// floating points, marker points, the drop mesh).
//
// Two drawings of the same picture: the reference issues one immediate-mode
// call per corner; the fast drawing keeps the display positions and vertex
// normal sums in buffer objects (re-sent once per load and per morph step),
// records the runs of faces that share a colour key once per change of mode,
// flags or mesh, and replays them with one call per run. A filled polygon is
// sent as the triangles the GL itself cuts it into (corners k, k + 1, 0); in
// the line and point modes the polygons themselves go to one multi-draw, so
// the GL outlines them exactly as in the reference. The wire overlay draws each
// face's outline as plain segments in the GL's own order, and the polygon only
// where that order does not hold. Every state call comes from the shared face
// walk, in the same order for both drawings.
//
// A paint of the fast drawing does no work per vertex or face on this side of
// the GL: everything sized by the mesh is done when the mesh, the shape, the
// mode or the visibility flags change, and replayed from buffer objects after.
// F8 on the 129,600-vertex limit mesh (bench_view, Mesa's software renderer):
// the reference takes 1.5 times as long with ADD WIRE and 1.9 times without.
#pragma once

#include <QOpenGLFunctions>

#include <functional>
#include <vector>

#include "doc/CVELTADoc.h"
#include "view3d/ViewState.h"

namespace vortel::view {

// The DROP tool's mesh as the view draws it; empty until that tool has faces.
struct DropMeshSource {
    const Vec3* vertices = nullptr;    // drop vertex list
    const int* corners = nullptr;      // drop corner list (0-based vertex indices)
    const int* faceFirst = nullptr;    // first corner of each face
    const int* faceCorners = nullptr;  // corner count of each face
    const Vec3* faceNormals = nullptr;
    int faceCount = 0;
};

class MeshRenderer : protected QOpenGLFunctions {
public:
    explicit MeshRenderer(const CVELTADoc& doc);
    ~MeshRenderer();
    MeshRenderer(const MeshRenderer&) = delete;
    MeshRenderer& operator=(const MeshRenderer&) = delete;

    // Context current: create or free the buffer objects.
    void initializeGl();
    void releaseGl();

    // The view's size in pixels, as its projection was last set up (an empty size is ignored).
    void setViewSize(int width, int height);

    void setReference(bool on) { m_reference = on; }
    bool reference() const { return m_reference; }
    // The display positions or normals changed (a morph step, a new framing): re-send them.
    void invalidateGeometry() { m_geometryDirty = true; }
    // Anything else of the document may have changed (a load, a tool): re-send the
    // positions and build the runs of faces again.
    void invalidateAll() {
        m_geometryDirty = true;
        ++m_generation;
    }
    void setDropMeshSource(std::function<DropMeshSource()> source) { m_dropSource = std::move(source); }

    void meshPass(const ViewState& s);
    void wireOverlayPass(const ViewState& s);
    void labelPass(ViewState& s);
    void uvPass(const ViewState& s);

    // Draw calls that carried faces in the fast frames since the last reset (mesh + overlay + UV).
    int batchCount() const { return m_batches; }
    // Wire overlay faces of the fast frames since the last reset, drawn as segments and as polygons.
    int wireSegmentFaceCount() const { return m_wireSegmentFaces; }
    int wirePolygonFaceCount() const { return m_wirePolygonFaces; }
    void resetBatchCount() { m_batches = m_wireSegmentFaces = m_wirePolygonFaces = 0; }
    // Times the runs of the mesh pass were built (once per change of mode, flags or mesh).
    int meshRunBuilds() const { return m_meshRuns.builds; }
    // Buffer uploads of display positions and normals so far.
    int geometryUploads() const { return m_uploads; }
    // Times the wire overlay's faces were sorted into segments and polygons (once per shape or mesh).
    int wireShapeBuilds() const { return m_wireShapeBuilds; }
    // Times the UV pass's corner positions were computed (once per blend factor, shape or mesh).
    int uvPositionUploads() const { return m_uvPositionUploads; }

private:
    enum class Batch { None, Filled, Lines, Polygons };

    // One step of a recorded pass: a state call of the face walk or one batch draw.
    struct Command {
        enum class Kind { Material, MorphColour, Ambient, PolygonMode, Draw } kind;
        Batch batch = Batch::None;
        GLenum mode = 0;   // polygon mode
        int token = 0;     // morph colour: 1 moved, 0 not
        float r = 0.0f, g = 0.0f, b = 0.0f;
        size_t first = 0, count = 0;  // indices in the pass's element buffer, or polygons in its lists
    };

    // The runs of one pass, kept while the key (modes, flags, mesh generation) holds.
    struct PassRuns {
        std::vector<unsigned char> key;
        std::vector<Command> commands;
        GLuint elements = 0;
        long long lastNormal = -1;  // corner whose normal the immediate drawing leaves current
        std::vector<GLsizei> polygonCounts;
        std::vector<const void*> polygonOffsets;
        bool valid = false;
        int builds = 0;
    };

    enum class Pass { Mesh, Wire, Uv };
    std::vector<unsigned char> passKey(const ViewState& s, Pass pass) const;
    // The face walks of the mesh and UV passes: immediate drawing, or recording of the runs.
    // The mesh walk returns the corner whose normal was given last (-1 for none).
    long long walkMeshFaces(const ViewState& s, bool record);
    void walkUvFaces(const ViewState& s, bool record);
    // True when the runs were made for another key (which they now take): record them again.
    bool runsOutdated(PassRuns& runs, std::vector<unsigned char> key);
    void startRecording(PassRuns& runs);
    void finishRecording(PassRuns& runs);
    void recordWirePass(const ViewState& s);
    // Sorts the wire faces of each block into runs of segments and of polygons, and finds the
    // blocks' boxes, for the display positions just sent.
    void buildWireShape();
    // Fast wire overlay of one frame: the segment runs of the blocks well inside the view, the
    // polygons of the others (see recordWirePass).
    void drawWireFaces(const ViewState& s);
    void replay(const PassRuns& runs);
    // State calls of the face walks: made at once, or recorded while a pass is being built.
    bool recorded(const Command& c);  // false when no pass is being built
    void walkMaterial(float r, float g, float b);
    void walkMorphColour(int token);
    void walkAmbient(float r, float g, float b);
    void walkPolygonMode(GLenum mode);

    // Visible flag at a group or material number; numbers outside the table draw.
    bool visibleAt(int index) const;
    bool faceIsValid(int first, int count) const;
    void materialColour(float r, float g, float b);
    void syncGeometry();
    void syncUvPositions(float t);
    void syncOverlayBuffers();
    void bindSource(GLuint positions, GLuint normals);
    void unbindSource();
    // Records one face (ids are 0-based indices into the bound source once the bias is added).
    void queueFace(const int* ids, int count, int bias, GLenum prim, GLenum polygonMode);
    // Room for n more indices at the end of the batch.
    GLuint* reserveIndices(size_t n);
    void flushBatch();
    void drawOverlays(const ViewState& s);

    const CVELTADoc& m_doc;
    bool m_reference = false;
    bool m_glReady = false;
    bool m_geometryDirty = true;
    int m_viewWidth = 0, m_viewHeight = 0;
    int m_uploadedVertices = 0;
    GLuint m_positionBuffer = 0, m_normalBuffer = 0;
    std::function<DropMeshSource()> m_dropSource;

    // last material colour of the mesh pass (step 11)
    bool m_haveMaterial = false;
    float m_material[3] = {1.0f, 1.0f, 1.0f};

    // recording of a pass
    Batch m_batch = Batch::None;
    std::vector<Command>* m_recording = nullptr;
    size_t m_batchStart = 0;
    std::vector<GLuint> m_indices;  // grows to the largest pass, never shrinks
    size_t m_indexCount = 0;
    // Recorded polygons of the line and point modes: corner count and byte offset per face.
    std::vector<GLsizei> m_polygonCounts;
    std::vector<const void*> m_polygonOffsets;
    size_t m_polygonStart = 0;
    long long m_generation = 0;
    PassRuns m_meshRuns, m_wireRuns, m_uvRuns;

    // The wire overlay's faces in face order. Face i's outline segments 0 -> 1, ..., n - 1 -> 0
    // are the indices [m_wireLineFirst[i], m_wireLineFirst[i + 1]) of the wire runs' element
    // buffer; its polygon is entry i of their polygon lists.
    std::vector<int> m_wireFaceCorner;  // first corner of each wire face
    std::vector<GLuint> m_wireLineFirst;
    // A stretch of consecutive wire faces drawn one way.
    struct WireRun {
        bool polygons = false;
        int first = 0, end = 0;  // wire faces
    };
    // The wire faces cut into at most kWireBlocks stretches, each with the box of its corners.
    struct WireBlock {
        int first = 0, end = 0;           // wire faces
        size_t runFirst = 0, runEnd = 0;  // its runs in m_wireBlockRuns
        float box[6] = {};                // least x, y, z, then largest x, y, z
    };
    std::vector<WireRun> m_wireBlockRuns;
    std::vector<WireBlock> m_wireBlocks;
    int m_wireShapeUploads = -1;  // geometry upload the blocks were sorted for
    int m_wireShapeBuilds = 0;

    // UV pass: the corner positions blended towards the UV plane, kept while the key holds.
    GLuint m_uvBuffer = 0;
    std::vector<Vec3> m_uvPositions;
    std::vector<long long> m_uvPositionKey;
    std::vector<int> m_cornerIds;
    int m_uvPositionUploads = 0;

    // Edge maker lines, then floating points, as indices into the positions, and the three
    // marker point lists one after the other; kept while the key holds.
    GLuint m_overlayElements = 0, m_markerBuffer = 0;
    std::vector<long long> m_overlayKey;
    GLsizei m_edgeIndexCount = 0, m_floatingIndexCount = 0;

    bool m_normalsBound = false;
    using MultiDrawElements = void (*)(GLenum, const GLsizei*, GLenum, const void* const*, GLsizei);
    MultiDrawElements m_multiDrawElements = nullptr;
    int m_batches = 0;
    int m_wireSegmentFaces = 0, m_wirePolygonFaces = 0;
    int m_uploads = 0;
};

}  // namespace vortel::view
