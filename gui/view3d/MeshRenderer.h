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
// The fast drawing also leaves out, each frame, what provably changes no pixel:
// filled triangles facing clearly away while the GL culls that side or too small to
// cover any pixel centre, and wire outlines or single outline segments lying wholly
// behind the depth the mesh pass left (read back from the GL; see readDepthForWire,
// outlineHidden and segmentHidden). That choice is made chunk by chunk on a second
// thread while this one hands the finished chunks to the GL, and the culled mesh is
// lit one-sided, which shows the same front sides. With Mesa's software rasteriser the
// wire overlay of a large mesh is drawn by two contexts at once, each keeping to its own
// side of the view (see drawWireFaces and SecondContext).
#pragma once

#include <QOpenGLFunctions>

#include <functional>
#include <vector>

#include "doc/CVELTADoc.h"
#include "platform/TwoThreads.h"
#include "view3d/PassState.h"
#include "view3d/SecondContext.h"
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
    void resetBatchCount() {
        m_batches = 0;
        m_hiddenOutlines = 0;
        m_hiddenSegments = 0;
        m_facingAwayTriangles = 0;
        m_emptyTriangles = 0;
        m_splitFrames = 0;
    }
    // Filled triangles of the mesh pass left out in the fast frames since the last reset,
    // facing clearly away from the eye while the GL culls that side.
    int facingAwayTriangleCount() const { return m_facingAwayTriangles; }
    // Filled triangles of the mesh pass left out in the fast frames since the last reset,
    // too small to cover any pixel centre.
    int emptyTriangleCount() const { return m_emptyTriangles; }
    // Wire overlay faces left out in the fast frames since the last reset, their outline
    // wholly behind what the depth buffer already holds.
    int hiddenOutlineCount() const { return m_hiddenOutlines; }
    // Single outline segments of the other wire overlay faces left out the same way.
    // Both counts are taken per side of a split frame (see splitFrameCount), so a face or
    // segment reaching both sides counts twice.
    int hiddenSegmentCount() const { return m_hiddenSegments; }
    // Fast frames whose wire overlay was drawn by two contexts at once, one side each.
    int splitFrameCount() const { return m_splitFrames; }
    // Times the runs of the mesh pass were built (once per change of mode, flags or mesh).
    int meshRunBuilds() const { return m_meshRuns.builds; }
    // Buffer uploads of display positions and normals so far.
    int geometryUploads() const { return m_uploads; }

private:
    enum class Batch { None, Filled, Unfilled, Lines, Polygons };
    using MultiDrawElements = void (*)(GLenum, const GLsizei*, GLenum, const void* const*, GLsizei);

    // One step of a recorded pass: a state call of the face walk or one batch draw.
    struct Command {
        enum class Kind { Material, MorphColour, PolygonMode, Draw } kind;
        Batch batch = Batch::None;
        GLenum mode = 0;   // polygon mode
        int token = 0;     // morph colour: 1 moved, 0 not
        float r = 0.0f, g = 0.0f, b = 0.0f;
        size_t first = 0, count = 0;  // indices in the pass's element buffer
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

    std::vector<unsigned char> passKey(const ViewState& s, bool wirePass) const;
    // The face walk of the mesh pass: immediate drawing, or recording of the runs.
    // Returns the corner whose normal was given last (-1 for none).
    long long walkMeshFaces(const ViewState& s, bool record);
    void recordMeshPass(const ViewState& s);
    void recordWirePass(const ViewState& s);
    // Fast wire overlay of one frame: plain segments where they give the GL's own outline,
    // the polygons themselves elsewhere (see recordWirePass).
    void drawWireFaces();
    void findCollapsedWireFaces();
    // The vertices through the matrices in force: window positions and which lie well inside
    // the view volume. Kept while the matrices, viewport and display positions hold.
    void transformVertices();
    // Starts choosing this frame's filled triangles of the mesh pass: those that may show,
    // leaving out the ones that certainly face the culled way or cover no pixel centre.
    // False when the GL culls nothing (every triangle is drawn as recorded).
    bool findFrontTriangles();
    // Draws the chosen triangles of one filled run, each chunk as soon as it is chosen.
    void drawFrontTriangles(size_t command);
    void finishFrontTriangles();
    // Reads back the depth buffer the wire overlay is drawn against; false when the depth
    // test or the read-back state does not allow leaving hidden outlines out.
    bool readDepthForWire();
    struct WindowPoint {
        float x, y, z;
    };
    // Every fragment of the face's outline certainly fails the depth test (see readDepthForWire).
    bool outlineHidden(const int* corners, int count) const;
    // The same for one segment of an outline, looked up pixel by pixel.
    bool segmentHidden(const WindowPoint& a, const WindowPoint& b) const;
    // The least depth a fragment of segment a-b can have; false for a segment too short to judge.
    static bool depthReach(const WindowPoint& a, const WindowPoint& b, float& below);
    // Pixels of the read-back depth that a segment within the given window box may reach
    // (first and last column, first and last row); false when they leave the read-back area.
    bool depthRange(float xmin, float xmax, float ymin, float ymax, int (&box)[4]) const;
    // Largest depth read back in the tile holding pixel (x, y) of the read-back area.
    float tileMaxAt(int x, int y) const;
    void finishRecording(PassRuns& runs);
    void replay(const PassRuns& runs, bool frontOnly = false);
    // State calls of the face walk: made at once, or recorded while a pass is being built.
    void walkMaterial(float r, float g, float b);
    void walkMorphColour(int token);
    void walkPolygonMode(GLenum mode);

    // Visible flag at a group or material number; numbers outside the table draw.
    bool visibleAt(int index) const;
    bool faceIsValid(int first, int count) const;
    void materialColour(float r, float g, float b);
    void syncGeometry();
    void bindSource(GLuint positions, GLuint normals);
    void unbindSource();
    // Fast drawing: queue one face (ids are 0-based indices into the bound source).
    void queueFace(const int* ids, int count, int bias, GLenum prim, GLenum polygonMode, int copyOffset);
    // Room for n more indices at the end of the batch.
    GLuint* reserveIndices(size_t n);
    void flushBatch();
    void drawOverlays(const ViewState& s);

    const CVELTADoc& m_doc;
    bool m_reference = false;
    bool m_glReady = false;
    bool m_geometryDirty = true;
    int m_uploadedVertices = 0;
    GLuint m_positionBuffer = 0, m_normalBuffer = 0;
    GLuint m_uvBuffer = 0, m_uvEdgeFlagBuffer = 0;
    int m_uvEdgeFlagCorners = 0;
    std::function<DropMeshSource()> m_dropSource;

    // last material colour of the mesh pass (step 11)
    bool m_haveMaterial = false;
    float m_material[3] = {1.0f, 1.0f, 1.0f};

    // fast drawing batch
    Batch m_batch = Batch::None;
    std::vector<Command>* m_recording = nullptr;
    size_t m_batchStart = 0;
    long long m_generation = 0;
    PassRuns m_meshRuns, m_wireRuns;
    // One face of the wire overlay: its closed outline as segments (2 x corners indices
    // from lineFirst) and as a polygon (corners indices from polygonFirst).
    struct WireFace {
        GLuint lineFirst = 0, polygonFirst = 0;
        int firstCorner = 0, corners = 0;
    };
    std::vector<WireFace> m_wireFaces;
    std::vector<unsigned char> m_wireCollapsed;  // per wire face: a fan triangle of no area
    int m_wireCollapsedUploads = -1;             // geometry upload m_wireCollapsed was found for
    std::vector<unsigned char> m_nearClipEdge;   // per vertex, this frame
    std::vector<WindowPoint> m_windowPoints;     // per vertex, this frame
    GLfloat m_windowMatrix[16] = {};             // clip transform the two above were found for
    GLint m_windowViewport[4] = {};
    GLfloat m_windowDepthRange[2] = {};
    float m_windowBox[4] = {};                   // least and largest x, least and largest y of the window points
    // The depth buffer after the mesh pass, as the largest value in each kDepthTile-square tile.
    std::vector<float> m_depth, m_depthTileMax;
    int m_depthX = 0, m_depthY = 0, m_depthW = 0, m_depthH = 0, m_depthTilesX = 0;
    float m_depthMargin = 0.0f;  // rounding allowance of the depth values compared (see readDepthForWire)
    struct WireStep {
        bool polygons;
        size_t first, count;  // indices in the side's list, or polygons in the chunk's lists
    };
    // What one chunk of the faces gave for one side (see chooseWireChunk): steps in its own
    // polygon lists and in the side's segment list.
    struct WireChunk {
        std::vector<WireStep> steps;
        std::vector<GLsizei> polygonCounts;
        std::vector<const void*> polygonOffsets;
        size_t written = 0;
        int hiddenOutlines = 0, hiddenSegments = 0, draws = 0;
    };
    // This frame's wire overlay for the pixel columns [xFrom, xTo) of the view: the outline
    // segments of the faces drawn as segments (from each face's lineFirst on) and the order
    // of segment runs and polygon runs, chunk by chunk.
    struct WireSide {
        float xFrom = 0.0f, xTo = 0.0f;
        std::vector<GLuint> indices;
        std::vector<WireChunk> chunks;
        GLuint elements = 0;  // element buffer, of the context that draws this side
        size_t capacity = 0;
        void prepare(size_t chunkCount, size_t indexCount);
    };
    // The faces of one chunk that may change pixels of the side's columns (all of them for
    // the whole view), hidden ones left out.
    void chooseWireChunk(size_t chunk, WireSide& side, bool hiddenTest) const;
    // Uploads and draws a chosen chunk in the context current on this thread.
    void sendWireChunk(QOpenGLFunctions& gl, size_t chunk, WireSide& side, MultiDrawElements multi) const;
    // Pixel column where a second context should take over the columns to its right, or -1.
    int splitColumn() const;
    // Hands the columns from `split` on to the second context; false when it cannot take them.
    bool startSecondSide(int split, size_t chunks, size_t indexCount);
    static void drawSecondSide(QOpenGLFunctions& gl, MeshRenderer& r, const PassState& st, size_t chunks, size_t indexCount);
    // Reads this context's state for the second one and readies its framebuffer; false when it cannot take a side.
    bool readySecondContext(PassState& st, int split);
    WireSide m_wireSides[2];  // 0: drawn by the view's context; 1: by the second context
    ChunkWorker m_wireWorker;
    SecondContext m_second;
    bool m_secondAllowed = false;  // the GL is Mesa's llvmpipe (see drawWireFaces)
    bool m_secondFailed = false;   // the second context could not be had
    GLuint m_secondFramebuffer = 0;  // of the second context
    int m_splitFrames = 0;
    int m_hiddenOutlines = 0;
    int m_hiddenSegments = 0;
    int m_facingAwayTriangles = 0;
    int m_emptyTriangles = 0;
    int m_windowUploads = -1;                    // geometry upload they were found for
    // The mesh pass's element buffer, kept to pick the triangles that may show each frame.
    std::vector<GLuint> m_meshIndexCopy;
    std::vector<GLuint> m_frontIndices;
    // The triangles of a filled run within one chunk: input (in m_meshIndexCopy) and the
    // indices kept (in m_frontIndices).
    struct FrontPart {
        size_t chunk = 0, from = 0, to = 0, input = 0;
        size_t first = 0, count = 0;
    };
    struct FrontChunk {
        size_t firstPart = 0, partEnd = 0;  // its parts in m_frontParts
        size_t written = 0;
        bool sent = false;
        int facingAway = 0, empty = 0;
    };
    std::vector<FrontPart> m_frontParts;
    std::vector<FrontChunk> m_frontChunks;
    std::vector<std::pair<size_t, size_t>> m_frontRanges;  // per mesh command: first part, parts
    ChunkWorker m_frontWorker;
    GLuint m_frontElements = 0;
    size_t m_frontCapacity = 0;
    bool m_normalsBound = false;
    std::vector<GLuint> m_indices;  // grows to the largest batch, never shrinks
    size_t m_indexCount = 0;
    // Recorded polygons of the line and point modes: corner count and byte offset per face.
    std::vector<GLsizei> m_polygonCounts;
    std::vector<const void*> m_polygonOffsets;
    size_t m_polygonStart = 0;
    MultiDrawElements m_multiDrawElements = nullptr;
    std::vector<Vec3> m_uvPositions;
    std::vector<GLuint> m_pointIndices;
    int m_batches = 0;
    int m_uploads = 0;
};

}  // namespace vortel::view
