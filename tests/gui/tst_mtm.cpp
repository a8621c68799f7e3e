// The special functions panel in the main window: start-up state, the radio
// buttons' panel states, VCM GEN, L->R and Save As, the edge maker, FUSION and
// TO ORIGINAL through work/VCMTEMP.VCM, the reset on a load, the slider's
// release and the looks of a circle button. Results are compared with what
// vortel-cli writes for the same steps.
#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <clocale>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "controls/CCircleButton.h"
#include "controls/DialogUnits.h"
#include "groups/SaveOptionsDialog.h"
#include "special/CMTM.h"
#include "view3d/CVELTAView.h"

using vortel::gui::CMainFrame;
namespace cmd = vortel::cmd;
namespace mtm = vortel::mtm;

namespace {

const QString kSamples = QStringLiteral(VORTEL_SOURCE_DIR "/data/samples/");

// Answers every modal window that opens while it lives: a box is recorded as
// "[caption] text" and answered OK, the SAVE OPTION dialog is accepted as
// offered, a file dialog gets the next of `paths`.
class ModalScript {
public:
    QStringList boxes;
    QStringList paths;
    std::function<void()> whileBoxShown;

    ModalScript() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(10);
    }

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes << "[" + box->windowTitle() + "] " + box->text();
            if (whileBoxShown) whileBoxShown();
            box->button(QMessageBox::Ok)->click();
        } else if (auto* options = qobject_cast<vortel::gui::SaveOptionsDialog*>(modal)) {
            options->okButton()->click();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            if (paths.isEmpty())
                files->reject();
            else
                vortel::test::acceptFileDialog(files, paths.takeFirst());
        }
    }
    QTimer m_timer;
};

// Counts the document's redraw-all notices (every view repaints on them).
struct RedrawCounter : vortel::DocumentView {
    int redraws = 0;
    void onRedraw() override { ++redraws; }
};

struct CliRun {
    QByteArray out, err;
    int rc = -1;
    // The boxes the command showed, as "[caption] text" lines.
    QStringList boxes() const {
        QStringList b;
        for (const QString& line : QString::fromUtf8(err).split('\n'))
            if (line.startsWith("[VORTEL]")) b << line;
        return b;
    }
};

CliRun runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VORTEL_CLI_PATH), args);
    CliRun r;
    if (!p.waitForFinished(60000)) return r;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    r.rc = p.exitCode();
    return r;
}

// The entries of "table":[...] in the console's JSON line.
std::vector<int> jsonTable(const QByteArray& json) {
    const QRegularExpressionMatch m = QRegularExpression("\"table\":\\[([-0-9,]*)\\]").match(QString::fromUtf8(json));
    std::vector<int> t;
    if (!m.hasMatch()) return t;
    for (const QString& v : m.captured(1).split(',', Qt::SkipEmptyParts)) t.push_back(v.toInt());
    return t;
}

const int kPushButtons[] = {mtm::Analysis, mtm::Excute, mtm::StripP, mtm::ButtonC, mtm::VcmGen, mtm::LeftToRight,
                            mtm::RightToLeft, mtm::Swap, mtm::ResetRight, mtm::ResetLeft, mtm::Fusion, mtm::ToOriginal};
const int kMirrorButtons[] = {mtm::LeftToRight, mtm::RightToLeft, mtm::Swap, mtm::ResetRight, mtm::ResetLeft};

}  // namespace

class MtmTest : public QObject {
    Q_OBJECT

    QString startDir;  // the session moves to its home folder
    std::unique_ptr<vortel::test::Session> s;
    std::unique_ptr<CMainFrame> frame;
    QPointer<CMTM> panel;
    RedrawCounter redraws;

    QAbstractButton* button(int id) { return panel->button(id); }
    bool enabled(int id) { return button(id)->isEnabled(); }
    // The push buttons enabled now, in the order of kPushButtons.
    QList<int> enabledButtons() {
        QList<int> on;
        for (int id : kPushButtons)
            if (enabled(id)) on << id;
        return on;
    }
    void click(int id) {
        QAbstractButton* b = button(id);
        QVERIFY2(b->isVisible() && b->isEnabled(), qPrintable(QString::number(id)));
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }
    void load(const QString& path, int kind = 0) {
        s->doc.openByPath(path.toStdString(), QFileInfo(path).completeBaseName().toStdString(), kind);
        QCOMPARE(QString::fromStdString(s->doc.loadStatus), QString("NORMAL"));
    }
    QString temp(const QString& name) { return s->home.root() + "/" + name; }
    // File > Save As through its dialogs, all groups as offered.
    QByteArray saveAs(const QString& path) {
        ModalScript script;
        script.paths << path;
        frame->action(cmd::FileSaveAs)->trigger();
        return vortel::test::readBytes(path);
    }

private slots:
    void initTestCase() {
        startDir = QDir::currentPath();
        std::setlocale(LC_NUMERIC, "C");
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        s = std::make_unique<vortel::test::Session>();
        s->doc.addView(&redraws);
    }
    void cleanupTestCase() { s->doc.removeView(&redraws); }

    void init() {
        frame = std::make_unique<CMainFrame>(s->doc, s->platform);
        frame->resize(1000, 720);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->action(cmd::SpecialFunc)->trigger();
        panel = qobject_cast<CMTM*>(frame->lowerPane());
        QVERIFY(panel);
    }
    void cleanup() {
        frame.reset();
        s->doc.specialPanelShownFlag = 0;
    }

    void startUpStateOfEveryControl() {
        // Shown and enabled: the EDGE MAKER state; "P" and "C" hidden and disabled.
        for (int id : kPushButtons) {
            const bool hidden = id == mtm::StripP || id == mtm::ButtonC;
            QVERIFY2(button(id)->isVisible() == !hidden, qPrintable(QString::number(id)));
        }
        QCOMPARE(enabledButtons(), (QList<int>{mtm::Analysis, mtm::Excute}));
        QVERIFY(static_cast<QRadioButton*>(button(mtm::RadioEdgeMaker))->isChecked());
        QVERIFY(!static_cast<QRadioButton*>(button(mtm::RadioMtMirror))->isChecked());
        QVERIFY(!static_cast<QRadioButton*>(button(mtm::RadioFusion))->isChecked());
        for (int id : {mtm::RadioEdgeMaker, mtm::RadioMtMirror, mtm::RadioFusion}) QVERIFY(enabled(id));
        QSlider* slider = panel->slider();
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 12);
        QCOMPARE(slider->value(), 8);
        QVERIFY(slider->isEnabled() && slider->isVisible());
        QCOMPARE(panel->panel().normalsDirtyFlag, 1);
        QCOMPARE(panel->panel().edgeCutDoneFlag, 0);
        QCOMPARE(panel->panel().fusionCornerCounter, 0);

        // Captions, circle buttons, and the layout in dialog units of the panel's font.
        QCOMPARE(button(mtm::Excute)->text(), QString("2.EXCUTE"));
        QCOMPARE(button(mtm::LeftToRight)->text(), QString("L->R"));
        int circles = 0;
        for (int id : kPushButtons) circles += qobject_cast<CCircleButton*>(button(id)) != nullptr;
        QCOMPARE(circles, 11);  // all but "P"
        QCOMPARE(panel->form()->font().pointSize(), 9);
        QCOMPARE(panel->form()->font().family(), QString("Arial"));
        const vortel::gui::DialogUnits du(panel->form()->font());
        QCOMPARE(panel->form()->size(), du.rect(0, 0, 107, 190).size());
        QCOMPARE(button(mtm::VcmGen)->geometry(), du.rect(17, 91, 73, 10));
        QCOMPARE(button(mtm::ResetLeft)->geometry(), du.rect(56, 130, 34, 10));
        QCOMPARE(button(mtm::RadioFusion)->geometry(), du.rect(7, 149, 63, 9));
        QCOMPARE(slider->geometry(), du.rect(15, 36, 74, 10));
        QStringList labels;
        for (QLabel* l : panel->form()->findChildren<QLabel*>()) labels << l->text();
        QCOMPARE(labels, (QStringList{"0'", "90'"}));
        auto* c = static_cast<CCircleButton*>(button(mtm::ButtonC));
        QVERIFY(!c->isCapsule());
        QVERIFY(static_cast<CCircleButton*>(button(mtm::VcmGen))->isCapsule());
        // The pane gets the 370 pixels the dialog needs.
        QVERIFY(panel->viewport()->height() >= panel->form()->height());
    }

    void radioButtonsApplyThePanelStates() {
        click(mtm::RadioMtMirror);
        QCOMPARE(enabledButtons(), QList<int>{mtm::VcmGen});  // the mirror buttons wait for VCM GEN
        QVERIFY(static_cast<QRadioButton*>(button(mtm::RadioMtMirror))->isChecked());
        QVERIFY(!static_cast<QRadioButton*>(button(mtm::RadioEdgeMaker))->isChecked());
        click(mtm::RadioFusion);
        QCOMPARE(enabledButtons(), (QList<int>{mtm::Fusion, mtm::ToOriginal}));
        QVERIFY(panel->panel().isChecked(mtm::RadioFusion));
        click(mtm::RadioEdgeMaker);
        QCOMPARE(enabledButtons(), (QList<int>{mtm::Analysis, mtm::Excute}));
        QVERIFY(panel->slider()->isEnabled());
        // By keyboard: the arrows move the check from radio to radio.
        frame->activateWindow();
        QTRY_VERIFY(frame->isActiveWindow());
        button(mtm::RadioEdgeMaker)->setFocus();
        QTRY_VERIFY(button(mtm::RadioEdgeMaker)->hasFocus());
        QTest::keyClick(button(mtm::RadioEdgeMaker), Qt::Key_Down);
        QTRY_VERIFY(panel->panel().isChecked(mtm::RadioMtMirror));
        QCOMPARE(enabledButtons(), QList<int>{mtm::VcmGen});
    }

    void vcmGenEnablesTheMirrorButtons() {
        load(kSamples + "figure.obj");
        click(mtm::RadioMtMirror);
        QSignalSpy progress(frame->statusProgressBar(), &QProgressBar::valueChanged);
        const int before = redraws.redraws;
        ModalScript script;
        int cursorDuringBox = -1;
        script.whileBoxShown = [&] {
            cursorDuringBox = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1;
        };
        click(mtm::VcmGen);
        const CliRun cli = runCli({"vcm", kSamples + "figure.obj"});
        QCOMPARE(cli.rc, 0);
        QCOMPARE(script.boxes, cli.boxes());
        QCOMPARE(script.boxes, QStringList{"[VORTEL] FLAWLESS SYMMETRY [3746]"});
        const int* table = panel->panel().vcmTable();
        QCOMPARE(std::vector<int>(table, table + s->doc.vertexCount), jsonTable(cli.out));
        for (int id : kMirrorButtons) QVERIFY2(enabled(id), qPrintable(QString::number(id)));
        QCOMPARE(panel->panel().vcmValidFlag, 1);
        // The wait cursor while it worked, the progress bar climbing and back to 0, the view repainted.
        QCOMPARE(cursorDuringBox, int(Qt::WaitCursor));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(progress.count() >= 10);
        QVERIFY(progress.at(progress.count() - 2).at(0).toInt() > 80);
        QCOMPARE(progress.last().at(0).toInt(), 0);
        QVERIFY(redraws.redraws > before);

        // EDGE MAKER takes the mirror buttons away; MT Mirror leaves them as they are.
        click(mtm::RadioEdgeMaker);
        click(mtm::RadioMtMirror);
        for (int id : kMirrorButtons) QVERIFY(!enabled(id));
    }

    void leftToRightThenSaveAsWritesWhatTheConsoleWrites() {
        load(kSamples + "figure.obj");
        load(kSamples + "figure_mt.obj", 1);
        QCOMPARE(s->doc.morphLoadedFlag, 1);
        click(mtm::RadioMtMirror);
        {
            ModalScript script;
            click(mtm::VcmGen);
            QCOMPARE(script.boxes, QStringList{"[VORTEL] FLAWLESS SYMMETRY [3746]"});
        }
        const int before = redraws.redraws;
        click(mtm::LeftToRight);
        QVERIFY(redraws.redraws > before);
        const QString mine = temp("mirrored by the window.obj"), theirs = temp("mirrored by the console.obj");
        const QByteArray written = saveAs(mine);
        QCOMPARE(runCli({"mirror", kSamples + "figure.obj", kSamples + "figure_mt.obj", "l2r", theirs}).rc, 0);
        QVERIFY(written.size() > 100000);
        QVERIFY(written == vortel::test::readBytes(theirs));
        // The morph did change: the mirrored file is not the target as loaded.
        const QString plain = temp("target as loaded.obj");
        QCOMPARE(runCli({"save", kSamples + "figure.obj", plain, "--morph", kSamples + "figure_mt.obj"}).rc, 0);
        QVERIFY(written != vortel::test::readBytes(plain));
    }

    void analysisAndCutEqualTheConsole() {
        load(kSamples + "figure.obj");
        CVELTAView* view = frame->view3d();
        QTRY_VERIFY(view->isVisible());
        const QImage plain = view->grabFramebuffer();
        // Slider from 8 to 2 by keyboard.
        panel->slider()->setFocus();
        for (int i = 0; i < 6; ++i) QTest::keyClick(panel->slider(), Qt::Key_Left);
        QCOMPARE(panel->slider()->value(), 2);
        QCOMPARE(panel->panel().sliderPosition(), 2);

        const QString theirs = temp("cut by the console.obj"), mine = temp("cut by the window.obj");
        const CliRun cli = runCli({"edges", kSamples + "figure.obj", "2", theirs});
        QCOMPARE(cli.rc, 0);
        int before = redraws.redraws;
        {
            ModalScript script;
            click(mtm::Analysis);
            QCOMPARE(script.boxes, cli.boxes());
            QCOMPARE(script.boxes, QStringList{"[VORTEL] HIT LINE NUM = [6]"});
        }
        QCOMPARE(s->doc.edgeLineCount, 6);
        QVERIFY(redraws.redraws > before);
        QVERIFY(view->grabFramebuffer() != plain);  // the edge lines are drawn
        before = redraws.redraws;
        click(mtm::Excute);
        QVERIFY(redraws.redraws > before);
        QCOMPARE(panel->panel().edgeCutDoneFlag, 1);
        QCOMPARE(s->doc.edgeLineCount, 0);
        QVERIFY(s->doc.vertexCount > 3746);  // the cut's own vertices
        QVERIFY(saveAs(mine) == vortel::test::readBytes(theirs));
    }

    void sliderReleaseSetsTheNormalsDirtyFlag() {
        QSlider* slider = panel->slider();
        panel->panel().normalsDirtyFlag = 0;
        QTest::keyClick(slider, Qt::Key_Right);  // keys move it without a mouse release
        QCOMPARE(panel->panel().sliderPosition(), 9);
        QCOMPARE(panel->panel().normalsDirtyFlag, 0);
        // A click on the groove left of the handle: one page down, then the release.
        QStyleOptionSlider opt;
        opt.initFrom(slider);
        opt.orientation = slider->orientation();
        opt.minimum = slider->minimum();
        opt.maximum = slider->maximum();
        opt.sliderPosition = opt.sliderValue = slider->value();
        opt.tickPosition = slider->tickPosition();
        opt.tickInterval = slider->tickInterval();
        const QRect groove = slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, slider);
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(groove.left() + 3, groove.center().y()));
        QVERIFY(slider->value() < 9);
        QCOMPARE(panel->panel().sliderPosition(), slider->value());
        QCOMPARE(panel->panel().normalsDirtyFlag, 1);
    }

    void fusionAndToOriginalRoundTripThroughTheWorkFile() {
        const QString parts = kSamples + "parts.obj";
        load(parts);
        std::vector<std::string> groups;
        for (int g = 0; g < s->doc.groupCount; ++g) groups.push_back(s->doc.groupNames[g]);
        QCOMPARE(groups.size(), size_t(5));
        const QString workFile = s->home.path() + "work/VCMTEMP.VCM";
        QFile::remove(workFile);
        click(mtm::RadioFusion);
        int before = redraws.redraws;
        {
            ModalScript script;
            click(mtm::Fusion);
            QCOMPARE(script.boxes, QStringList{"[VORTEL] OK. GENERATE VCM TABLE. PLEASE SAVE FUSION 3D OBJ DATA."});
        }
        QVERIFY(redraws.redraws > before);
        QVERIFY(QFile::exists(workFile));
        QCOMPARE(s->doc.groupCount, 1);
        QCOMPARE(QString::fromStdString(s->doc.groupNames[0]), QString("FUSIONDATA"));

        // The console does the same with its own map file.
        const QString map = temp("console.vcm"), welded = temp("welded by the console.obj");
        const QString restored = temp("restored by the console.obj");
        QCOMPARE(runCli({"fuse", parts, map, welded}).rc, 0);
        QCOMPARE(runCli({"restore", welded, map, restored}).rc, 0);
        // Everything after the date (26 bytes of "[...]") is the same.
        QCOMPARE(vortel::test::readBytes(workFile).mid(26), vortel::test::readBytes(map).mid(26));

        const QString mineWelded = temp("welded by the window.obj");
        QVERIFY(saveAs(mineWelded) == vortel::test::readBytes(welded));
        load(mineWelded);
        QVERIFY(enabled(mtm::ToOriginal));  // the reset leaves the radio's state
        before = redraws.redraws;
        {
            ModalScript script;
            click(mtm::ToOriginal);
            QCOMPARE(script.boxes.size(), 1);
            QVERIFY(script.boxes[0].startsWith("[VORTEL] VCM INFORMATION.\n CREATE DATE = ["));
            QVERIFY(script.boxes[0].endsWith("]\n\n  Vertex = 1002\n  Face   = 936\n  Group  = 5\n\n\nContinue??"));
        }
        QVERIFY(redraws.redraws > before);
        std::vector<std::string> after;
        for (int g = 0; g < s->doc.groupCount; ++g) after.push_back(s->doc.groupNames[g]);
        QVERIFY(after == groups);
        QCOMPARE(s->doc.vertexCount, 1002);
        QVERIFY(saveAs(temp("restored by the window.obj")) == vortel::test::readBytes(restored));
    }

    void aLoadResetsThePanel() {
        const QString figure = kSamples + "figure.obj";
        load(figure);
        click(mtm::RadioMtMirror);
        {
            ModalScript script;
            click(mtm::VcmGen);
        }
        click(mtm::RadioEdgeMaker);
        {
            ModalScript script;
            panel->slider()->setValue(2);
            click(mtm::Analysis);
            click(mtm::Excute);
            panel->slider()->setValue(0);
            click(mtm::Analysis);  // a second analysis leaves lines to show
            QCOMPARE(script.boxes.size(), 2);
        }
        QVERIFY(s->doc.edgeLineCount > 0);
        QCOMPARE(panel->panel().edgeCutDoneFlag, 1);
        QCOMPARE(panel->panel().normalsDirtyFlag, 0);
        click(mtm::RadioMtMirror);
        {
            ModalScript script;
            click(mtm::VcmGen);
            QCOMPARE(script.boxes, QStringList{"[VORTEL] EXCUTE EDGE CUT ALREADY. CAN NOT FUSION OPERATION."});
        }
        // File > Open of the figure through its dialog.
        {
            ModalScript script;
            script.paths << figure;
            frame->action(cmd::FileOpen)->trigger();
        }
        QCOMPARE(s->doc.vertexCount, 3746);
        QCOMPARE(s->doc.edgeLineCount, 0);
        QCOMPARE(panel->panel().edgeCutDoneFlag, 0);
        QCOMPARE(panel->panel().normalsDirtyFlag, 1);
        QVERIFY(static_cast<QRadioButton*>(button(mtm::RadioMtMirror))->isChecked());  // kept
        QCOMPARE(enabledButtons(), QList<int>{mtm::VcmGen});
        {
            ModalScript script;
            click(mtm::VcmGen);  // allowed again
            QCOMPARE(script.boxes, QStringList{"[VORTEL] FLAWLESS SYMMETRY [3746]"});
        }
        for (int id : kMirrorButtons) QVERIFY(enabled(id));
        load(figure);
        for (int id : kMirrorButtons) QVERIFY(!enabled(id));
        QCOMPARE(panel->panel().vcmValidFlag, 1);  // the table survives a reset
        QCOMPARE(panel->slider()->value(), 0);     // and so does the slider
    }

    void circleButtonLooks() {
        click(mtm::RadioMtMirror);
        auto* b = static_cast<CCircleButton*>(button(mtm::VcmGen));
        QVERIFY(b->isCapsule());
        const QPalette pal = b->palette();
        auto colour = [&pal](QPalette::ColorRole role) { return pal.color(QPalette::Active, role); };
        const QColor highlight = colour(QPalette::Light), dkShadow = colour(QPalette::Shadow);
        const QColor light3d = colour(QPalette::Midlight), shadow = colour(QPalette::Dark);
        const int r = b->radius(), cy = b->centre().y();
        const int lx = b->leftCentre().x(), rx = b->rightCentre().x(), mid = (lx + rx) / 2;
        const QString topLit = CCircleButton::litColour(-M_PI / 2, highlight, dkShadow).name();
        const QString bottomLit = CCircleButton::litColour(M_PI / 2, highlight, dkShadow).name();
        auto at = [](const QImage& img, int x, int y) { return QColor(img.pixel(x, y)).name(); };
        auto blackPixels = [](const QImage& img, const QRect& area) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x) n += qGray(img.pixel(x, y)) < 40;
            return n;
        };
        const QRect captionArea(lx, cy - r + 3, rx - lx, 2 * r - 5);

        // Raised: lit from the upper left, the straight edges in the colour where the rim starts.
        const QImage raised = b->grab().toImage();
        QCOMPARE(at(raised, lx, cy - r), topLit);
        QCOMPARE(at(raised, mid, cy - r), topLit);
        QCOMPARE(at(raised, mid, cy + r), bottomLit);
        QCOMPARE(at(raised, lx - r, cy), CCircleButton::litColour(M_PI, highlight, dkShadow).name());
        QCOMPARE(at(raised, mid, cy - r + 1), CCircleButton::litColour(-M_PI / 2, light3d, shadow).name());
        const int engraved = blackPixels(raised, captionArea);
        QVERIFY(engraved > 10);

        // Pressed: the rim turns over, the edges take the four fixed colours.
        b->setDown(true);
        const QImage pressed = b->grab().toImage();
        b->setDown(false);
        QCOMPARE(at(pressed, mid, cy - r), dkShadow.name());
        QCOMPARE(at(pressed, mid, cy - r + 1), shadow.name());
        QCOMPARE(at(pressed, mid, cy + r - 1), light3d.name());
        QCOMPARE(at(pressed, mid, cy + r), highlight.name());
        QCOMPARE(at(pressed, lx - r, cy), CCircleButton::litColour(M_PI, dkShadow, highlight).name());
        QCOMPARE(blackPixels(pressed, captionArea.translated(1, 1)), engraved);  // the caption moved by (1, 1)
        QVERIFY(pressed.copy(captionArea.translated(1, 1)) == raised.copy(captionArea));

        // Disabled (EDGE MAKER): the raised rim, the caption greyed without the black engraving.
        click(mtm::RadioEdgeMaker);
        QVERIFY(!b->isEnabled());
        const QImage disabled = b->grab().toImage();
        QCOMPARE(at(disabled, mid, cy - r), topLit);
        QCOMPARE(at(disabled, mid, cy + r), bottomLit);
        QCOMPARE(blackPixels(disabled, captionArea), 0);
        int greyed = 0;
        const QRgb face = colour(QPalette::Button).rgb();
        for (int y = captionArea.top(); y <= captionArea.bottom(); ++y)
            for (int x = captionArea.left(); x <= captionArea.right(); ++x) greyed += disabled.pixel(x, y) != face;
        QVERIFY(greyed > 10);  // the caption is there, greyed
    }

    void screenshot() {
        // The panel beside the 3-D view for the README; written when VORTEL_MTM_SCREENSHOT names a file.
        const QByteArray out = qgetenv("VORTEL_MTM_SCREENSHOT");
        if (out.isEmpty()) QSKIP("VORTEL_MTM_SCREENSHOT not set");
        // The morph target as a mesh of its own: its raised arm has no mirror partner.
        load(kSamples + "figure_mt.obj");
        click(mtm::RadioMtMirror);
        {
            ModalScript script;
            click(mtm::VcmGen);
            QCOMPARE(script.boxes.size(), 2);  // the question, then "Symmetry [...]"
        }
        QVERIFY(s->doc.markerPointCount1 > 0);
        QTest::qWait(500);
        // From the screen: a grab of the frame would paint the 3-D view again by itself.
        const QString file = QDir(startDir).absoluteFilePath(QString::fromLocal8Bit(out));
        QVERIFY(frame->screen()->grabWindow(0).copy(frame->geometry()).save(file));
    }
};

QTEST_MAIN(MtmTest)
#include "tst_mtm.moc"
