// CVELTAView: the OpenGL view of the document's mesh (right-hand pane).
//
// It draws the display vertex array in the current display and colour mode
// with its overlays, turns and zooms the camera by mouse and keys, selects a
// group by double-click picking, offers the "FOR VIEW" menu, runs the F8
// drawing benchmark and animates morph playback and the UV layout change on
// its two 50 ms timers. Other code that changes the document's arrays asks
// for a repaint through the document (redraw all), which also tells the fast
// drawing to re-send the positions and normals.
#pragma once

#include <QOpenGLWidget>
#include <QTimer>

#include <functional>
#include <memory>

#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"
#include "view3d/MeshRenderer.h"
#include "view3d/ViewState.h"

class QMenu;

namespace vortel::view::cmdid {
// Commands of the "FOR VIEW" menu.
inline constexpr int ColourMaterial = 32900;
inline constexpr int ColourObject = 32901;
inline constexpr int ColourNone = 32902;
inline constexpr int AddWire = 32827;
inline constexpr int Transparency = 32825;
inline constexpr int HideSelectObj = 32837;
inline constexpr int ResetViewAngle = 32819;
}  // namespace vortel::view::cmdid

class CVELTAView : public QOpenGLWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    explicit CVELTAView(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CVELTAView() override;

    // ---- document view ----
    void onLoadRefresh() override;
    void onPlayback(int mode) override;
    void onRedraw() override;
    // MODEL VIEW: 1 PIXEL, 2 WIRE, 3 FLAT, 4 SMOOTH, 5 WIRE ++.
    void setDisplayMode(int mode);

    // ---- state ----
    vortel::view::ViewState& state() { return m_state; }
    const vortel::view::ViewState& state() const { return m_state; }
    int colourMode() const { return m_state.colourMode; }  // 0 OBJECT, 1 MATERIAL, 2 NONE

    // ---- commands of the "FOR VIEW" menu ----
    vortel::CommandState commandState(int id) const;
    bool onCommand(int id);  // false when the id is not the view's
    // The menu as it opens at the last right-click point (the pick decides "HIDE SELECT OBJ").
    QMenu* createViewMenu(QWidget* parent);

    // ---- picking and selection (client coordinates) ----
    int pick(int x, int y);  // hit count or -1; leaves the nearest face in the picked name
    void selectGroupAt(int x, int y);

    // ---- F8 ----
    // 36 synchronous paints of one full turn; the milliseconds they took.
    int runDrawingBenchmark();

    // ---- timers ----
    void playbackTick();  // timer 1
    void uvBlendTick();   // timer 2
    bool playbackTimerActive() const { return m_playTimer.isActive(); }
    bool uvTimerActive() const { return m_uvTimer.isActive(); }
    vortel::MorphPlayback& playbackModel() { return m_playback; }

    // ---- drawing ----
    // The immediate-mode reference drawing instead of the fast one (same pixels).
    void setReferenceDrawing(bool on) { m_renderer.setReference(on); }
    bool referenceDrawing() const { return m_renderer.reference(); }
    vortel::view::MeshRenderer& renderer() { return m_renderer; }
    void setDropMeshSource(std::function<vortel::view::DropMeshSource()> source);
    // Paint at once, without waiting for the event loop.
    void repaintNow();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void registerCommands();
    void zoomStep(int delta);
    void showError(int index);
    void releaseGl();
    // Group or material number the visible flags use for face f in the current colour mode.
    int visibilityIndexOfFace(int f) const;

    vortel::CVELTADoc& m_doc;
    vortel::view::ViewState m_state;
    vortel::view::MeshRenderer m_renderer;
    vortel::MorphPlayback m_playback;
    QTimer m_playTimer;
    QTimer m_uvTimer;
    bool m_glReady = false;
    QMetaObject::Connection m_contextConnection;
};
