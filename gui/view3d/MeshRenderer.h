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
    void resetBatchCount() { m_batches = 0; }
    // Times the runs of the mesh pass were built (once per change of mode, flags or mesh).
    int meshRunBuilds() const { return m_meshRuns.builds; }
    // Buffer uploads of display positions and normals so far.
    int geometryUploads() const { return m_uploads; }

private:
    enum class Batch { None, Filled, Unfilled, Lines, Polygons };

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
    void findVerticesNearClipEdge();
    void finishRecording(PassRuns& runs);
    void replay(const PassRuns& runs);
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
    std::vector<unsigned char> m_wireCollapsed;  // per wire face: two corners at one position
    int m_wireCollapsedUploads = -1;             // geometry upload m_wireCollapsed was found for
    std::vector<unsigned char> m_nearClipEdge;   // per vertex, this frame
    std::vector<GLsizei> m_wirePolygonCounts;
    std::vector<const void*> m_wirePolygonOffsets;
    bool m_normalsBound = false;
    std::vector<GLuint> m_indices;  // grows to the largest batch, never shrinks
    size_t m_indexCount = 0;
    // Recorded polygons of the line and point modes: corner count and byte offset per face.
    std::vector<GLsizei> m_polygonCounts;
    std::vector<const void*> m_polygonOffsets;
    size_t m_polygonStart = 0;
    using MultiDrawElements = void (*)(GLenum, const GLsizei*, GLenum, const void* const*, GLsizei);
    MultiDrawElements m_multiDrawElements = nullptr;
    std::vector<Vec3> m_uvPositions;
    std::vector<GLuint> m_pointIndices;
    int m_batches = 0;
    int m_uploads = 0;
};

}  // namespace vortel::view
