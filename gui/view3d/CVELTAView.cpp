// CVELTAView: context and frame, input, the "FOR VIEW" menu, picking, F8 and playback timers.
#include "view3d/CVELTAView.h"

#include <GL/gl.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWheelEvent>
#include <QWindow>

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "view3d/Picking.h"
#include "view3d/SceneSetup.h"
#include "view3d/SurfaceFormat.h"

using namespace vortel;
using namespace vortel::view;

namespace {

constexpr int kTimerPeriodMs = 50;

std::string withoutLineEnds(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CVELTAView::CVELTAView(CVELTADoc& doc, QWidget* parent)
    : QOpenGLWidget(parent), m_doc(doc), m_renderer(doc), m_playback(doc) {
    setObjectName("CVELTAView");
    setFormat(vortel::view::glWindowFormat(16));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    m_playTimer.setInterval(kTimerPeriodMs);
    m_uvTimer.setInterval(kTimerPeriodMs);
    connect(&m_playTimer, &QTimer::timeout, this, &CVELTAView::playbackTick);
    connect(&m_uvTimer, &QTimer::timeout, this, &CVELTAView::uvBlendTick);
    m_doc.addView(this);
    registerCommands();
}

void CVELTAView::registerCommands() {
    using vortel::CommandLevel;
    using vortel::CommandRule;
    vortel::CommandTable& table = m_doc.commands();
    // The table knows a view by its document-view side, as the frame names the active view.
    const void* owner = static_cast<vortel::DocumentView*>(this);
    // MODEL VIEW belongs to the document's commands; the document keeps the mode's id.
    for (int id : {cmd::ViewPixel, cmd::ViewWire, cmd::ViewFlat, cmd::ViewSmooth, cmd::ViewWirePlus})
        table.add(
            id, CommandLevel::Document, [this, id] { return CommandRule{true, id == m_doc.viewModeCommand}; },
            [this, id] {
                if (id == m_doc.viewModeCommand) return;
                setDisplayMode(id == cmd::ViewWirePlus ? 5 : id - cmd::ViewPixel + 1);
                m_doc.viewModeCommand = id;
            },
            owner);
    // "FOR VIEW" answers while this view is the active one.
    for (int id : {cmdid::ColourObject, cmdid::ColourMaterial, cmdid::ColourNone, cmdid::AddWire,
                   cmdid::Transparency, cmdid::HideSelectObj, cmdid::ResetViewAngle})
        table.add(
            id, CommandLevel::View,
            [this, id] {
                const CommandState s = commandState(id);
                return CommandRule{s.enabled, s.checked};
            },
            [this, id] { onCommand(id); }, owner);
}

CVELTAView::~CVELTAView() {
    m_doc.removeView(this);
    m_doc.commands().removeOwner(static_cast<vortel::DocumentView*>(this));
    if (m_glReady) {
        makeCurrent();
        releaseGl();
        doneCurrent();
    }
}

void CVELTAView::showError(int index) {
    m_doc.platform().messageBox("VORTEL", viewErrorText(index), MsgButtons::Ok, MsgIcon::None);
}

void CVELTAView::releaseGl() {
    if (!m_glReady) return;
    m_renderer.releaseGl();
    m_glReady = false;
}

void CVELTAView::setDropMeshSource(std::function<DropMeshSource()> source) {
    m_renderer.setDropMeshSource(std::move(source));
}

// ---------------------------------------------------------------- context and frame

void CVELTAView::initializeGL() {
    QOpenGLContext* ctx = context();
    if (!ctx || !ctx->isValid()) {
        showError(4);
        return;
    }
    if (QOpenGLContext::currentContext() != ctx) {
        showError(5);
        return;
    }
    setupInitialState();
    m_renderer.initializeGl();
    m_glReady = true;
    // The context can be destroyed and created again (the widget moved to another window).
    disconnect(m_contextConnection);
    m_contextConnection = connect(ctx, &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        releaseGl();
        doneCurrent();
    });
}

void CVELTAView::resizeGL(int w, int h) {
    setupProjection(w, h);
    m_renderer.setViewSize(w, h);
}

void CVELTAView::paintGL() {
    if (!m_glReady) return;
    m_state.firstEraseDone = 1;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glPushMatrix();
    glEnable(GL_POLYGON_OFFSET_FILL);  // stays on: filled faces lie behind the lines drawn over them
    glPolygonOffset(1.0f, 1.0f);
    m_renderer.meshPass(m_state);
    glPopMatrix();

    if (m_state.addWireFlag == 1) {
        glPushMatrix();
        m_renderer.wireOverlayPass(m_state);
        glPopMatrix();
    }

    glPushMatrix();
    m_renderer.labelPass(m_state);
    glPopMatrix();

    if (m_doc.uvViewFlag == 1) {
        // Started, not restarted: paints that come faster than the period (playback, a drag)
        // would otherwise hold the blend still.
        if (m_state.uvBlend != 1.0f && !m_uvTimer.isActive()) m_uvTimer.start();
        glPushMatrix();
        m_renderer.uvPass(m_state);
        glPopMatrix();
    } else {
        m_state.uvBlend = 0.0f;
    }
    glFlush();
}

void CVELTAView::repaintNow() {
    QWidget* top = window();
    if (isVisible() && top->windowHandle() && top->windowHandle()->isExposed()) {
        update();
        QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);
    } else {
        // Not on screen: draw into the widget's framebuffer all the same.
        makeCurrent();
        paintGL();
        glFinish();
        doneCurrent();
    }
}

// ---------------------------------------------------------------- document view

void CVELTAView::onLoadRefresh() {
    m_state.selectionLabel.clear();
    m_state.selectedGroupIndex = -1;
    m_state.labelShownFlag = 0;
    m_state.pickedName = 0;
    // The selection ends with the refresh: otherwise "HIDE SELECT OBJ" stays gray and the
    // next double-click on the old group would deselect instead of select.
    m_state.selectionActiveFlag = 0;
    m_state.previousSelectedGroup = -1;
    m_renderer.invalidateAll();
    update();
}

void CVELTAView::onRedraw() {
    m_renderer.invalidateAll();
    update();
}

void CVELTAView::setDisplayMode(int mode) {
    if (applyDisplayMode(m_state, mode)) update();
}

void CVELTAView::onPlayback(int mode) {
    switch (mode) {
    case 0:
        m_playback.apply(0);
        m_playTimer.stop();
        break;
    case 3:
        m_playTimer.stop();
        break;
    case 4:
        m_playTimer.stop();
        m_playback.apply(4);
        break;
    default:
        m_playback.apply(mode);
        m_playTimer.start();
        return;
    }
    m_renderer.invalidateGeometry();
    update();
}

void CVELTAView::playbackTick() {
    if (m_playback.tick()) {
        m_renderer.invalidateGeometry();
        update();
    }
}

void CVELTAView::uvBlendTick() {
    if (m_state.uvBlend < 0.925f) {
        m_state.uvBlend += 0.075f;
    } else {
        m_state.uvBlend = 1.0f;
        m_uvTimer.stop();
    }
    update();
}

// ---------------------------------------------------------------- commands

int CVELTAView::visibilityIndexOfFace(int f) const {
    if (f < 0 || f >= m_doc.faceCount) return -1;
    const size_t fi = static_cast<size_t>(f);
    return m_state.colourMode == kColourObject ? m_doc.faceGroup[fi] : m_doc.faceMaterial[fi];
}

CommandState CVELTAView::commandState(int id) const {
    CommandState st;
    st.handled = true;
    st.enabled = true;
    switch (id) {
    case cmdid::ColourObject: st.checked = m_state.colourMode == kColourObject; break;
    case cmdid::ColourMaterial: st.checked = m_state.colourMode == kColourMaterial; break;
    case cmdid::ColourNone: st.checked = m_state.colourMode == kColourNone; break;
    case cmdid::AddWire: st.checked = m_state.addWireFlag != 0; break;
    case cmdid::Transparency: st.checked = m_state.transparencyFlag != 0; break;
    case cmdid::HideSelectObj: st.enabled = false; break;  // enabled only by the menu's own pick
    case cmdid::ResetViewAngle: break;
    default: st = CommandState{}; break;
    }
    return st;
}

bool CVELTAView::onCommand(int id) {
    switch (id) {
    case cmdid::ColourObject:
    case cmdid::ColourMaterial:
    case cmdid::ColourNone:
        m_state.colourMode = id == cmdid::ColourObject ? kColourObject
                             : id == cmdid::ColourMaterial ? kColourMaterial
                                                           : kColourNone;
        update();
        m_doc.viewRefreshAfterLoad();
        return true;
    case cmdid::AddWire:
        m_state.addWireFlag = m_state.addWireFlag ? 0 : 1;
        update();
        return true;
    case cmdid::Transparency:
        m_state.transparencyFlag = m_state.transparencyFlag ? 0 : 1;
        update();
        return true;
    case cmdid::HideSelectObj: {
        // In MATERIAL and NONE modes the visible flags and the group list mean materials.
        const int g = visibilityIndexOfFace(m_state.pickedName);
        if (g < 0 || g >= kMaxGroups) return true;
        m_doc.groupVisibleFlag[static_cast<size_t>(g)] = 0;
        m_doc.groupListNotify(g, 0);
        update();
        return true;
    }
    case cmdid::ResetViewAngle:
        resetCamera(m_state);
        update();
        return true;
    default:
        return false;
    }
}

QMenu* CVELTAView::createViewMenu(QWidget* parent) {
    auto* menu = new QMenu("FOR VIEW", parent);
    QMenu* colour = menu->addMenu("COLOR");
    auto add = [](QMenu* m, const char* text, int id) {
        QAction* a = m->addAction(QString::fromLatin1(text));
        a->setData(id);
        return a;
    };
    QAction* object = add(colour, "OBJECT", cmdid::ColourObject);
    QAction* material = add(colour, "MATERIAL", cmdid::ColourMaterial);
    QAction* none = add(colour, "NONE", cmdid::ColourNone);
    for (QAction* a : {object, material, none}) a->setCheckable(true);
    object->setChecked(m_state.colourMode == kColourObject);
    material->setChecked(m_state.colourMode == kColourMaterial);
    none->setChecked(m_state.colourMode == kColourNone);
    QAction* wire = add(menu, "ADD WIRE", cmdid::AddWire);
    wire->setCheckable(true);
    wire->setChecked(m_state.addWireFlag != 0);
    QAction* transparency = add(menu, "TRANSPARENCY", cmdid::Transparency);
    transparency->setCheckable(true);
    transparency->setChecked(m_state.transparencyFlag != 0);
    menu->addSeparator();
    QAction* hide = add(menu, "HIDE SELECT OBJ", cmdid::HideSelectObj);
    hide->setEnabled(false);
    menu->addSeparator();
    add(menu, "RESET VIEW ANGLE", cmdid::ResetViewAngle);

    const int hits = pick(m_state.lastRightX, m_state.lastRightY);
    if (hits != -1 && m_state.selectionActiveFlag == 0) {
        const int g = visibilityIndexOfFace(m_state.pickedName);
        if (g >= 0 && g < kMaxGroups && m_doc.groupVisibleFlag[static_cast<size_t>(g)] == 1) {
            const std::string& name = m_state.colourMode == kColourObject ? m_doc.groupNames[static_cast<size_t>(g)]
                                                                           : m_doc.materialNames[static_cast<size_t>(g)];
            QString text = QString::fromStdString("Hide " + withoutLineEnds(name));
            text.replace('&', "&&");  // a literal ampersand, not a mnemonic
            hide->setText(text);
            hide->setEnabled(true);
        }
    }
    return menu;
}

// ---------------------------------------------------------------- picking and selection

int CVELTAView::pick(int x, int y) {
    m_state.pickedName = 0;
    if (!m_glReady) return -1;
    makeCurrent();
    if (QOpenGLContext::currentContext() != context()) {
        showError(5);
        return -1;
    }
    const PickOutcome r = pickFaces(m_doc, m_state, x, y);
    m_state.pickedName = r.pickedName;
    doneCurrent();
    return r.hits;
}

void CVELTAView::selectGroupAt(int x, int y) {
    const int hits = pick(x, y);
    m_state.lastPickResult = hits;
    if (hits == -1) return;
    m_state.selectionActiveFlag = 1;
    m_state.labelShownFlag = 1;
    int g = m_doc.faceGroup[static_cast<size_t>(m_state.pickedName)];
    // The stored name keeps its line end; in the label it would push "]" onto a line of its own.
    const std::string name = g >= 0 && g < kGroupSlots ? withoutLineEnds(m_doc.groupNames[static_cast<size_t>(g)]) : "";
    std::string label = "[" + name + "]";
    for (char& c : label)
        if (c == ' ') c = '\n';  // one word per label line
    m_state.selectionLabel = label;
    if (g == m_state.previousSelectedGroup) {  // a second double-click on the same group deselects it
        m_state.selectionLabel.clear();
        m_state.labelShownFlag = 0;
        m_state.selectionActiveFlag = 0;
        g = -1;
    }
    m_doc.displayTransform(g);
    m_renderer.invalidateGeometry();
    m_state.zoom = 1.0f;
    m_state.panX = m_state.panY = 0.0f;
    m_state.selectedGroupIndex = g;
    update();
    m_state.previousSelectedGroup = g;
}

// ---------------------------------------------------------------- input

void CVELTAView::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        m_state.leftDrag = 1;
        m_state.lastX = p.x();
        m_state.lastY = p.y();
    } else if (e->button() == Qt::MiddleButton) {
        m_state.middleDrag = 1;
        m_state.lastX = p.x();
        m_state.lastY = p.y();
    } else if (e->button() == Qt::RightButton) {
        m_state.lastRightX = p.x();
        m_state.lastRightY = p.y();
    }
    QOpenGLWidget::mousePressEvent(e);
}

void CVELTAView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) m_state.leftDrag = 0;
    if (e->button() == Qt::MiddleButton) m_state.middleDrag = 0;
    QOpenGLWidget::mouseReleaseEvent(e);
}

void CVELTAView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const int x = p.x(), y = p.y();
    ViewState& s = m_state;
    if ((!s.leftDrag && !s.middleDrag) || (x == s.lastX && y == s.lastY)) return;
    int dx = x - s.lastX, dy = y - s.lastY;
    if (s.firstMoveDone == 0) {  // the first drag movement after start moves nothing
        dx = dy = 0;
        s.firstMoveDone = 1;
    }
    if (s.controlKey == 1) zoomStep(static_cast<std::int16_t>(s.lastCtrlY - y));
    s.lastCtrlY = y;
    if (s.leftDrag == 1 && s.shiftKey == 0 && s.controlKey == 0) {
        s.rotY += static_cast<float>(dx) / s.zoom * 0.8333333f;
        s.rotX += static_cast<float>(dy) / s.zoom * 0.8333333f;
    }
    if (s.middleDrag == 1 || s.shiftKey == 1) {
        s.panX += static_cast<float>(dx) * 0.0016666667f;
        s.panY -= static_cast<float>(dy) * 0.0016666667f;
    }
    update();
    s.lastX = x;
    s.lastY = y;
}

void CVELTAView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        const QPoint p = e->position().toPoint();
        selectGroupAt(p.x(), p.y());
        return;
    }
    QOpenGLWidget::mouseDoubleClickEvent(e);
}

void CVELTAView::wheelEvent(QWheelEvent* e) {
    const int delta = e->angleDelta().y();
    if (delta == 0) {  // a sideways wheel is not a zoom
        e->ignore();
        return;
    }
    zoomStep(delta);
    e->accept();
}

void CVELTAView::zoomStep(int delta) {
    const float step = m_state.controlKey == 1 ? 0.1f : 0.25f;
    if (delta < 0)
        m_state.zoom += step;  // the wheel turned towards the user enlarges the model
    else if (m_state.zoom > 0.3f)
        m_state.zoom -= step;
    update();
}

void CVELTAView::contextMenuEvent(QContextMenuEvent* e) {
    if (e->reason() != QContextMenuEvent::Mouse) {
        m_state.lastRightX = e->pos().x();
        m_state.lastRightY = e->pos().y();
    }
    std::unique_ptr<QMenu> menu(createViewMenu(this));
    QAction* chosen = menu->exec(e->globalPos());
    if (chosen) onCommand(chosen->data().toInt());
}

void CVELTAView::keyPressEvent(QKeyEvent* e) {
    ViewState& s = m_state;
    switch (e->key()) {
    case Qt::Key_Control: s.controlKey = 1; break;
    case Qt::Key_Shift: s.shiftKey = 1; break;
    case Qt::Key_Home: resetCamera(s); break;
    case Qt::Key_Left: s.panX -= 0.02f; break;
    case Qt::Key_Right: s.panX += 0.02f; break;
    case Qt::Key_Up: s.panY += 0.02f; break;
    case Qt::Key_Down: s.panY -= 0.02f; break;
    case Qt::Key_F1:
        s.rotX = 0.0f;
        s.backView = s.backView == 0 ? 180 : 0;
        s.rotY = static_cast<float>(s.backView);
        break;
    case Qt::Key_F2:
        s.rotX = 0.0f;
        s.rotY = 90.0f * static_cast<float>(s.sideSign);
        s.sideSign = s.sideSign == 1 ? -1 : 1;
        break;
    case Qt::Key_F3:
        s.rotY = 0.0f;
        s.rotX = 90.0f * static_cast<float>(s.topSign);
        s.topSign = s.topSign == 1 ? -1 : 1;
        break;
    case Qt::Key_F5: s.labelShownFlag = s.labelShownFlag != 1 ? 1 : 0; break;
    case Qt::Key_F6: s.zoom += 0.39999998f; break;
    case Qt::Key_F7:
        // The zoom stays positive: a negative scale would show the model mirrored and inside out.
        if (s.zoom - 0.39999998f < 0.01f) return;
        s.zoom -= 0.39999998f;
        break;
    case Qt::Key_F8: {
        const int ms = runDrawingBenchmark();
        char text[64];
        std::snprintf(text, sizeof text, "SCORE:[%d]\n", ms);
        m_doc.platform().messageBox("", text, MsgButtons::Ok, MsgIcon::None);
        break;
    }
    case Qt::Key_F12: return;
    default: break;
    }
    update();
    QOpenGLWidget::keyPressEvent(e);
}

void CVELTAView::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Shift) m_state.shiftKey = 0;
    if (e->key() == Qt::Key_Control) m_state.controlKey = 0;
    QOpenGLWidget::keyReleaseEvent(e);
}

int CVELTAView::runDrawingBenchmark() {
    const long long start = steadyMs();
    const float target = m_state.rotY + 355.0f;
    do {
        m_state.rotY += 10.0f;
        repaintNow();
    } while (!(m_state.rotY > target));
    return static_cast<int>(steadyMs() - start);
}
