// What the 3D view draws, read back as pixels: palette colours in the unlit
// modes, hidden groups, the label-selected group against points, the UV
// checkerboard, floating and marker points, and the fast drawing giving the
// same pixels as the immediate-mode reference in every mode and overlay.
#include <QtTest>

#include <cstring>
#include <random>
#include <sstream>

#include "doc/GroupPalette.h"
#include "tst_view_fixture.h"
#include "view3d/PolygonFont.h"
#include "view3d/SceneSetup.h"

using namespace viewtest;
using vortel::kGroupPalette;

namespace {

// Two quads facing the camera, groups "left" and "right", and one vertex no face uses.
const char* kTwoQuads =
    "v -1.05 -0.5 0\nv -0.05 -0.5 0\nv -0.05 0.5 0\nv -1.05 0.5 0\n"
    "v 0.05 -0.5 0\nv 1.05 -0.5 0\nv 1.05 0.5 0\nv 0.05 0.5 0\n"
    "v 0 0.8 0\n"
    "g left\nf 1 2 3 4\ng right\nf 5 6 7 8\n";

Rgb8 palette8(int i) { return to8(kGroupPalette[i].r, kGroupPalette[i].g, kGroupPalette[i].b); }

// A bumpy sheet with triangles, quads, pentagons, degenerate faces, polylines,
// six groups, three materials, texture coordinates and a floating vertex.
std::string mixedMesh(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> bump(-0.08f, 0.08f);
    const int n = 18;
    std::ostringstream o;
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const float x = -1.0f + 2.0f * static_cast<float>(j) / n, y = -1.0f + 2.0f * static_cast<float>(i) / n;
            o << "v " << x << ' ' << y << ' ' << (0.3f * std::sin(3.0f * x) * std::cos(2.0f * y) + bump(rng)) << '\n';
        }
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) o << "vt " << static_cast<float>(j) / n << ' ' << static_cast<float>(i) / n << '\n';
    o << "v 0 0 1.5\n";  // floating
    auto id = [n](int i, int j) { return i * (n + 1) + j + 1; };
    auto corner = [](int v) { return std::to_string(v) + "/" + std::to_string(v); };
    for (int i = 0; i < n; ++i) {
        if (i % 3 == 0) o << "g band" << i / 3 << '\n';
        for (int j = 0; j < n; ++j) {
            if (j % 6 == 0) o << "usemtl m" << j / 6 << '\n';
            const int a = id(i, j), b = id(i, j + 1), c = id(i + 1, j + 1), d = id(i + 1, j);
            const int kind = static_cast<int>(rng() % 10);
            if (kind == 0) {
                o << "f " << corner(a) << ' ' << corner(b) << ' ' << corner(c) << '\n';
                o << "f " << corner(a) << ' ' << corner(c) << ' ' << corner(d) << '\n';
            } else if (kind == 1 && j + 2 <= n) {
                o << "f " << corner(a) << ' ' << corner(b) << ' ' << corner(id(i, j + 2)) << ' '
                  << corner(id(i + 1, j + 2)) << ' ' << corner(c) << ' ' << corner(d) << '\n';
                ++j;
            } else if (kind == 2) {
                o << "f " << corner(a) << ' ' << corner(b) << ' ' << corner(b) << ' ' << corner(d) << '\n';
            } else if (kind == 3) {
                o << "f " << corner(a) << ' ' << corner(d) << ' ' << corner(c) << ' ' << corner(b) << '\n';  // turned away
            } else {
                o << "f " << corner(a) << ' ' << corner(b) << ' ' << corner(c) << ' ' << corner(d) << '\n';
            }
        }
        if (i % 4 == 1) {
            o << "l";
            for (int j = 0; j <= n; j += 3) o << ' ' << id(i, j);
            o << '\n';
        }
    }
    return o.str();
}

}  // namespace

class TestViewRender : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        ViewFixture& f = fixture();
        QVERIFY(f.view->isValid());
    }

    void cleanupTestCase() { releaseFixture(); }

    void unlitModesUsePaletteColours() {
        ViewFixture& f = fixture();
        f.openText("two.obj", kTwoQuads);
        QCOMPARE(f.doc.groupCount, 2);
        for (int mode : {2, 1}) {  // WIRE, PIXEL
            f.resetView(mode);
            f.view->state().addWireFlag = 0;
            const QImage img = f.grab();
            const int left = countColour(img, palette8(0), 1);
            const int right = countColour(img, palette8(1), 1);
            const int floating = countColour(img, to8(1.0f, 0.2f, 0.2f), 1);
            int other = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const QRgb p = img.pixel(x, y);
                    if (!isBlack(p) && !near8(p, palette8(0)) && !near8(p, palette8(1)) && !near8(p, to8(1.0f, 0.2f, 0.2f)))
                        ++other;
                }
            QCOMPARE(other, 0);
            QCOMPARE(floating, 1);
            if (mode == 2) {
                QVERIFY2(left > 800 && right > 800, qPrintable(QString("%1 %2").arg(left).arg(right)));
            } else {
                QVERIFY(left >= 3 && left <= 8);
                QVERIFY(right >= 3 && right <= 8);
            }
            QVERIFY(isBlack(img.pixel(250, 300)));  // inside the left quad: outline only
        }
    }

    void markerPointsInTheirColours() {
        ViewFixture& f = fixture();
        f.openText("two.obj", kTwoQuads);
        f.resetView(2);
        f.view->state().addWireFlag = 0;
        f.doc.markerPointList1[0] = {0.0f, -0.3f, 0.0f};
        f.doc.markerPointList2[0] = {0.1f, -0.3f, 0.0f};
        f.doc.markerPointList3[0] = {0.2f, -0.3f, 0.0f};
        f.doc.markerPointCount1 = f.doc.markerPointCount2 = f.doc.markerPointCount3 = 1;
        const QImage img = f.grab();
        QCOMPARE(countColour(img, {255, 255, 0}, 0), 1);
        QCOMPARE(countColour(img, {0, 255, 255}, 0), 1);
        QCOMPARE(countColour(img, {255, 0, 255}, 0), 1);
        f.doc.markerPointCount1 = f.doc.markerPointCount2 = f.doc.markerPointCount3 = 0;
    }

    void hiddenGroupsLeaveBackground() {
        ViewFixture& f = fixture();
        f.openText("two.obj", kTwoQuads);
        for (int colourMode : {0, 1, 2}) {
            f.resetView(4);
            f.view->state().colourMode = colourMode;
            QImage img = f.grab();
            QVERIFY(!isBlack(img.pixel(250, 300)));
            QVERIFY(!isBlack(img.pixel(550, 300)));
            // OBJECT hides by group; MATERIAL and NONE by material (both faces use material 0 here).
            f.doc.groupVisibleFlag[colourMode == 0 ? 1 : 0] = 0;
            img = f.grab();
            if (colourMode == 0) {
                QVERIFY(!isBlack(img.pixel(250, 300)));
                QVERIFY(isBlack(img.pixel(550, 300)));
            } else {
                QVERIFY(isBlack(img.pixel(250, 300)));
                QVERIFY(isBlack(img.pixel(550, 300)));
            }
            std::memset(f.doc.groupVisibleFlag.data(), 1, f.doc.groupVisibleFlag.size());
        }
    }

    void labelSelectedGroupDrawnOthersAsPoints() {
        ViewFixture& f = fixture();
        f.openText("two.obj", kTwoQuads);
        f.resetView(4);
        f.view->selectGroupAt(250, 300);
        const auto& s = f.view->state();
        QCOMPARE(s.selectedGroupIndex, 0);
        QCOMPARE(s.labelShownFlag, 1);
        QCOMPARE(QString::fromStdString(s.selectionLabel).left(5), QString("[left"));
        const QImage img = f.grab();
        QCOMPARE(QString::fromStdString(s.selectionLabel).left(5), QString("[LEFT"));  // stored upper case
        // The left quad is framed and filled; the right one is only its corner points.
        QVERIFY(!isBlack(img.pixel(400, 300)));
        QVERIFY(!isBlack(img.pixel(300, 350)));
        int rightInterior = 0;
        for (int y = 200; y < 400; ++y)
            for (int x = 640; x < 780; ++x)
                if (!isBlack(img.pixel(x, y))) ++rightInterior;
        QCOMPARE(rightInterior, 0);
        // The label text itself is drawn: without it the picture changes.
        f.view->state().selectionLabel = "";
        const QImage noText = f.grab();
        int differ = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (img.pixel(x, y) != noText.pixel(x, y)) ++differ;
        QVERIFY2(differ > 200, qPrintable(QString::number(differ)));
        // A second double-click on the same group deselects and frames the whole model again.
        f.view->state().selectionLabel = "[LEFT]";
        f.view->selectGroupAt(400, 300);
        QCOMPARE(s.selectedGroupIndex, -1);
        QCOMPARE(s.labelShownFlag, 0);
        QCOMPARE(s.selectionActiveFlag, 0);
        QVERIFY(s.selectionLabel.empty());
        f.view->onLoadRefresh();
    }

    void failedLoadShowsOnlyTheLabel() {
        ViewFixture& f = fixture();
        f.openText("two.obj", kTwoQuads);
        f.resetView(4);
        f.doc.loadStatus = "ERROR";
        QImage img = f.grab();
        QCOMPARE(countColour(img, {0, 0, 0}, 0), 800 * 600);
        f.view->state().labelShownFlag = 1;
        f.view->state().selectedGroupIndex = 5;
        f.view->state().selectionLabel = "[ARM]";
        img = f.grab();
        const int label = countColour(img, palette8(5), 0);
        QVERIFY2(label > 100, qPrintable(QString::number(label)));
        QCOMPARE(label + countColour(img, {0, 0, 0}, 0), 800 * 600);
        f.doc.loadStatus = "NORMAL";
        f.view->onLoadRefresh();
    }

    // The font's tables: codes 0..127, polygons of three or four corners, upper case for lower.
    void polygonFontTables() {
        const vortel::view::PolygonFontData& font = vortel::view::polygonFont();
        for (int code = 0; code < 128; ++code) {
            const auto& g = font.glyphs[code];
            QVERIFY(g.advance > 0.0f);
            QVERIFY(g.firstPolygon >= 0 && g.firstPolygon + g.polygonCount <= font.polygonCount);
            for (int i = 0; i < g.polygonCount; ++i) {
                const auto& poly = font.polygons[g.firstPolygon + i];
                QVERIFY(poly.cornerCount == 3 || poly.cornerCount == 4);
                // Counter-clockwise, so back-face culling keeps the label.
                float area = 0.0f;
                for (int k = 0; k < poly.cornerCount; ++k) {
                    QVERIFY(poly.vertex[k] >= 0 && poly.vertex[k] < font.vertexCount);
                    const auto& a = font.vertices[poly.vertex[k]];
                    const auto& b = font.vertices[poly.vertex[(k + 1) % poly.cornerCount]];
                    area += a.x * b.y - b.x * a.y;
                }
                QVERIFY(area > 0.0f);
            }
        }
        for (int c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789[]_-.")) QVERIFY2(font.glyphs[c].polygonCount > 0, qPrintable(QChar(c)));
        for (int c = 'a'; c <= 'z'; ++c) QCOMPARE(font.glyphs[c].polygonCount, font.glyphs[c - 'a' + 'A'].polygonCount);
        QCOMPARE(font.glyphs[' '].polygonCount, 0);
        QVERIFY(font.glyphs[0].polygonCount > 0);  // stands for codes outside 0..127
    }

    void checkerboardWithoutTextureCoordinates() {
        ViewFixture& f = fixture();
        f.openText("two.obj", kTwoQuads);
        QCOMPARE(f.doc.hasUvFlag, 0);
        f.resetView(4);
        f.doc.groupVisibleFlag[0] = f.doc.groupVisibleFlag[1] = 0;
        f.doc.floatingCount = 0;
        f.doc.uvViewFlag = 1;
        const QImage img = f.grab();
        const int cell = 34;  // 0.02 units at 2 units from the eye, 600 pixels high
        QVERIFY(near8(img.pixel(400, 300), to8(0.1f, 0.1f, 0.1f)));
        QVERIFY(near8(img.pixel(400 + cell, 300), to8(0.2f, 0.2f, 0.2f)));
        QVERIFY(near8(img.pixel(400, 300 + cell), to8(0.2f, 0.2f, 0.2f)));
        QVERIFY(near8(img.pixel(400 + cell, 300 + cell), to8(0.1f, 0.1f, 0.1f)));
        QVERIFY(isBlack(img.pixel(400 + 8 * cell, 300)));  // beyond the 15 x 15 board
        f.doc.uvViewFlag = 0;
        std::memset(f.doc.groupVisibleFlag.data(), 1, f.doc.groupVisibleFlag.size());
    }

    void uvBlendAnimatesTo1In14Ticks() {
        ViewFixture& f = fixture();
        f.resetView(4);
        f.doc.uvViewFlag = 1;
        (void)f.grab();
        QVERIFY(f.view->uvTimerActive());
        int ticks = 0;
        while (f.view->uvTimerActive() && ticks < 100) {
            f.view->uvBlendTick();
            ++ticks;
        }
        QCOMPARE(ticks, 14);
        QCOMPARE(f.view->state().uvBlend, 1.0f);
        // Paints faster than the 50 ms period do not hold the blend still.
        f.doc.uvViewFlag = 0;
        (void)f.grab();
        f.doc.uvViewFlag = 1;
        for (int i = 0; i < 15; ++i) {
            (void)f.grab();
            QTest::qWait(20);
        }
        QVERIFY(f.view->state().uvBlend > 0.0f);
        f.doc.uvViewFlag = 0;
        (void)f.grab();
        QCOMPARE(f.view->state().uvBlend, 0.0f);
    }

    // Pictures of the view modes on the sample meshes, for the documentation:
    // VORTEL_VIEW_SCREENSHOTS=<folder> tst_view_render screenshots
    void screenshots() {
        const QString dir = qEnvironmentVariable("VORTEL_VIEW_SCREENSHOTS");
        if (dir.isEmpty()) QSKIP("set VORTEL_VIEW_SCREENSHOTS to a folder to write the pictures");
        ViewFixture& f = fixture();
        auto shot = [&](const char* name) { QVERIFY(f.grab().save(dir + "/" + name + ".png")); };
        f.open(samplePath("figure.obj"));
        const struct {
            int mode;
            const char* name;
        } modes[] = {{4, "view-smooth"}, {3, "view-flat"}, {2, "view-wire"}, {1, "view-pixel"}, {5, "view-wire-plus"}};
        for (const auto& m : modes) {
            f.resetView(m.mode);
            f.view->state().rotY = 25.0f;
            f.view->state().rotX = 8.0f;
            shot(m.name);
        }
        f.resetView(4);
        f.view->state().addWireFlag = 0;
        f.view->state().rotY = 25.0f;
        shot("view-smooth-nowire");
        f.doc.uvViewFlag = 1;
        f.view->state().uvBlend = 1.0f;
        shot("view-uv");
        f.view->state().uvBlend = 0.5f;
        shot("view-uv-half");
        f.doc.uvViewFlag = 0;
        f.doc.openByPath(samplePath("figure_mt.obj"), "figure_mt", 1);
        f.doc.onCommand(vortel::cmd::FF);
        f.resetView(4);
        f.view->state().colourMode = 2;
        f.view->state().rotY = 25.0f;
        shot("view-none-morph");
        f.open(samplePath("parts.obj"));
        f.resetView(4);
        f.view->state().rotY = -30.0f;
        shot("view-parts-object");
        f.view->state().colourMode = 1;
        shot("view-parts-material");
        f.view->state().colourMode = 0;
        f.view->state().rotY = 0.0f;
        f.view->selectGroupAt(400, 300);
        shot("view-parts-selected");
        f.view->onLoadRefresh();
    }

    // The clip matrix the fast wire overlay tests its blocks against is the GL's own.
    void clipMatrixIsTheGlOne() {
        ViewFixture& f = fixture();
        f.view->makeCurrent();
        glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
        const struct {
            int w, h;
            float rotX, rotY, panX, panY, zoom;
        } cases[] = {{800, 600, 0, 0, 0, 0, 1}, {800, 600, 25, 70, 0.1f, -0.05f, 1.3f}, {300, 700, -120, 400, -0.3f, 0.2f, 4.0f},
                     {1024, 100, 90, -90, 0, 0, 0.2f}};
        for (const auto& c : cases) {
            vortel::view::ViewState s;
            s.rotX = c.rotX, s.rotY = c.rotY, s.panX = c.panX, s.panY = c.panY, s.zoom = c.zoom;
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            vortel::view::setupProjection(c.w, c.h);
            vortel::view::applyCameraTransform(s);
            GLfloat mv[16], pr[16];
            glGetFloatv(GL_MODELVIEW_MATRIX, mv);
            glGetFloatv(GL_PROJECTION_MATRIX, pr);
            glPopMatrix();
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
            double m[4][4];
            vortel::view::viewClipMatrix(s, c.w, c.h, m);
            for (int r = 0; r < 4; ++r)
                for (int col = 0; col < 4; ++col) {
                    double gl = 0.0;  // the GL's matrices are column-major
                    for (int k = 0; k < 4; ++k) gl += static_cast<double>(pr[k * 4 + r]) * mv[col * 4 + k];
                    QVERIFY2(std::fabs(gl - m[r][col]) <= 1e-5 * std::max(1.0, std::fabs(gl)),
                             qPrintable(QString("%1 x %2, row %3 column %4: GL %5, here %6")
                                            .arg(c.w).arg(c.h).arg(r).arg(col).arg(gl).arg(m[r][col])));
                }
        }
        glPopAttrib();
        f.view->doneCurrent();
    }

    // The fast drawing against the immediate-mode reference: identical pixels.
    void fastDrawingMatchesReference_data() {
        QTest::addColumn<QString>("mesh");
        QTest::addColumn<float>("zoom");
        QTest::newRow("mixed") << "mixed" << 1.3f;
        QTest::newRow("figure with morph") << "figure" << 1.3f;
        QTest::newRow("parts") << "parts" << 1.3f;
        // Faces reaching past the edges of the view: the wire overlay keeps their polygons.
        QTest::newRow("mixed, close up") << "mixed" << 4.0f;
    }

    void fastDrawingMatchesReference() {
        QFETCH(QString, mesh);
        QFETCH(float, zoom);
        ViewFixture& f = fixture();
        if (mesh == "mixed") {
            f.openText("mixed.obj", mixedMesh(7));
            QVERIFY(f.doc.floatingCount == 1);
            f.doc.edgeLineFirst[0] = 1, f.doc.edgeLineSecond[0] = 40;
            f.doc.edgeLineFirst[1] = 100, f.doc.edgeLineSecond[1] = 7;
            f.doc.edgeLineCount = 2;
            f.doc.markerPointList1[0] = {0.1f, 0.1f, 0.2f};
            f.doc.markerPointCount1 = 1;
        } else if (mesh == "figure") {
            f.open(samplePath("figure.obj"));
            f.doc.openByPath(samplePath("figure_mt.obj"), "figure_mt", 1);
            QCOMPARE(f.doc.morphLoadedFlag, 1);
            for (int i = 0; i < 12; ++i) f.view->playbackTick();
            f.doc.onCommand(vortel::cmd::Pause);
        } else {
            f.open(samplePath(mesh.toStdString() + ".obj"));
        }
        QVERIFY(f.doc.faceCount > 0);
        int compared = 0;
        int referenceUnsteady = 0;  // pixels where the two reference frames disagree
        int segmentFaces = 0, polygonFaces = 0;  // how the fast frames drew the wire overlay's faces
        // Mesa's immediate mode cuts a polygon in two where its vertex buffer fills up in the
        // middle of glBegin/glEnd, and the line and point modes then show one stray diagonal
        // in the reference. The buffer position carries over from frame to frame, so the
        // stray line moves: a pixel counts as equal when the fast drawing matches either of
        // two reference frames (everything the reference draws twice alike must match).
        // A frame inherits state its predecessor left (the checkerboard leaves culling off),
        // so every compared frame follows one drawn with the same settings.
        auto check = [&](const char* what) {
            f.grab(false);
            f.view->renderer().resetBatchCount();
            const QImage fast = f.grab(false);
            const int batches = f.view->renderer().batchCount();
            segmentFaces += f.view->renderer().wireSegmentFaceCount();
            polygonFaces += f.view->renderer().wirePolygonFaceCount();
            const QImage ref = f.grab(true);
            const QImage ref2 = f.grab(true);
            int differ = 0, lit = 0;
            QCOMPARE(fast.size(), ref.size());
            for (int y = 0; y < fast.height(); ++y)
                for (int x = 0; x < fast.width(); ++x) {
                    const QRgb p = fast.pixel(x, y);
                    if (p != ref.pixel(x, y) && p != ref2.pixel(x, y)) ++differ;
                    if (!isBlack(ref.pixel(x, y))) ++lit;
                    if (ref.pixel(x, y) != ref2.pixel(x, y)) ++referenceUnsteady;
                }
            if (differ != 0 && qEnvironmentVariableIsSet("VORTEL_VIEW_DUMP")) {
                const QString base = QString("/tmp/viewdiff_%1").arg(compared);
                fast.save(base + "_fast.png");
                ref.save(base + "_ref.png");
                for (int y = 0; y < fast.height(); ++y)
                    for (int x = 0; x < fast.width(); ++x)
                        if (fast.pixel(x, y) != ref.pixel(x, y) && fast.pixel(x, y) != ref2.pixel(x, y))
                            std::printf("%s (%d,%d) fast %08x ref %08x\n", what, x, y, fast.pixel(x, y), ref.pixel(x, y));
            }
            QVERIFY2(differ == 0, qPrintable(QString("%1: %2 pixels differ").arg(what).arg(differ)));
            QVERIFY2(lit > 100, what);
            QVERIFY2(batches > 0, what);
            ++compared;
        };
        for (int mode = 1; mode <= 5; ++mode)
            for (int colour = 0; colour < 3; ++colour)
                for (int wire = 0; wire < 2; ++wire)
                    for (int transparency = 0; transparency < 2; ++transparency) {
                        f.resetView(mode);
                        auto& s = f.view->state();
                        s.colourMode = colour;
                        s.addWireFlag = wire;
                        s.transparencyFlag = transparency;
                        s.rotX = 25.0f;
                        s.rotY = 40.0f + 30.0f * static_cast<float>(mode);
                        s.zoom = zoom;
                        const QString what = QString("mode %1 colour %2 wire %3 transparency %4")
                                                 .arg(mode).arg(colour).arg(wire).arg(transparency);
                        check(qPrintable(what));
                    }
        // Hidden groups, the label-selected group against points, the UV layout half-way and flat.
        for (int mode = 1; mode <= 5; ++mode) {
            f.resetView(mode);
            auto& s = f.view->state();
            s.rotX = -20.0f;
            s.rotY = 200.0f;
            f.doc.groupVisibleFlag[1] = 0;
            s.labelShownFlag = 1;
            s.selectedGroupIndex = 0;
            s.selectionLabel = "[BAND0]";
            check(qPrintable(QString("label mode %1").arg(mode)));
            f.doc.groupVisibleFlag[1] = 1;
            s.labelShownFlag = 0;
            f.doc.uvViewFlag = 1;
            for (float t : {0.0f, 0.45f, 1.0f}) {
                s.uvBlend = t;
                s.colourMode = mode % 3;
                check(qPrintable(QString("uv mode %1 t %2").arg(mode).arg(t)));
            }
            f.doc.uvViewFlag = 0;
        }
        QCOMPARE(compared, 60 + 20);
        // The overlay's segments were compared on every mesh; close up, the faces of the blocks
        // reaching past the edges of the view kept their polygons beside them.
        qInfo("wire faces drawn as segments %d, as polygons %d", segmentFaces, polygonFaces);
        QVERIFY(segmentFaces > 0);
        if (zoom > 2.0f) QVERIFY(polygonFaces > 0);
        if (referenceUnsteady) qInfo("reference frames disagreed in %d pixels", referenceUnsteady);
        f.doc.edgeLineCount = 0;
        f.doc.markerPointCount1 = 0;
    }
};

QTEST_MAIN(TestViewRender)
#include "tst_view_render.moc"
