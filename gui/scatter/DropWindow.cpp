// The Drop window's controls, buttons and placement, and the tool that shows it.
#include "scatter/DropWindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "app/CMainFrame.h"
#include "platform/Settings.h"
#include "scatter/SeedPreview.h"
#include "view3d/CVELTAView.h"
#include "controls/WindowPlacement.h"

namespace vortel::gui {

DropWindow::DropWindow(CVELTADoc& doc, DropModule& module, CMainFrame& frame)
    : QDialog(&frame), m_doc(doc), m_module(module), m_frame(frame) {
    setObjectName("DropWindow");
    setWindowTitle("Drop");
    setModal(false);
    resize(kDefaultPlace.size());

    m_preview = new SeedPreview(module.seed, doc.platform(), this);

    auto addButton = [this](auto* b, int id, const QRect& place) {
        b->setGeometry(place);
        b->setObjectName(QString("DropControl%1").arg(id));
        m_controls[id] = b;
        return b;
    };
    auto* presets = new QGroupBox("Preset Seed", this);
    presets->setGeometry(148, 2, 102, 48);
    addButton(new QPushButton("F", presets), dropwin::PresetF, QRect(8, 18, 26, 24));
    addButton(new QPushButton("C", presets), dropwin::PresetC, QRect(38, 18, 26, 24));
    addButton(new QPushButton("S", presets), dropwin::PresetS, QRect(68, 18, 26, 24));

    auto* random = new QGroupBox("RANDOM", this);
    random->setGeometry(148, 52, 102, 44);
    auto* sizeCheck = addButton(new QCheckBox("Size", random), dropwin::SizeCheck, QRect(8, 14, 90, 14));
    auto* locationCheck = addButton(new QCheckBox("Location", random), dropwin::LocationCheck, QRect(8, 28, 90, 14));
    sizeCheck->setChecked(m_panel.sizeCheck == 1);
    locationCheck->setChecked(m_panel.locationCheck == 1);

    auto* genPoint = new QGroupBox("GEN POINT", this);
    genPoint->setGeometry(148, 98, 102, 44);
    auto* top = addButton(new QRadioButton("Top", genPoint), dropwin::Top, QRect(8, 14, 90, 14));
    auto* front = addButton(new QRadioButton("Front", genPoint), dropwin::Front, QRect(8, 28, 90, 14));
    top->setChecked(m_panel.top == 1);
    front->setChecked(m_panel.top == 0);

    auto addSlider = [this](const char* caption, int id, int y, int lo, int hi, int value) {
        auto* label = new QLabel(caption, this);
        label->setGeometry(7, y, 34, 20);
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setObjectName(QString("DropControl%1").arg(id));
        s->setGeometry(42, y, 208, 20);
        s->setRange(lo, hi);
        s->setValue(value);
        m_sliders[id] = s;
        return s;
    };
    QSlider* num = addSlider("Num", dropwin::NumSlider, 148, kNumMin, kNumMax, m_panel.num());
    QSlider* size = addSlider("Size", dropwin::SizeSlider, 172, kSizeMin, kSizeMax, m_panel.sizeSlider());

    addButton(new QPushButton("DONE", this), dropwin::Done, QRect(7, 200, 76, 26))->setDefault(true);
    addButton(new QPushButton("RESET", this), dropwin::Reset, QRect(90, 200, 76, 26));
    addButton(new QPushButton("CLOSE", this), dropwin::Close, QRect(173, 200, 77, 26));
    addButton(new QPushButton(QString(), this), dropwin::Blank, QRect(7, 232, 243, 12))->setEnabled(false);

    for (int id : {dropwin::Done, dropwin::Reset, dropwin::Close, dropwin::PresetF, dropwin::PresetC, dropwin::PresetS})
        connect(m_controls[id], &QAbstractButton::clicked, this, [this, id] { press(id); });
    connect(sizeCheck, &QAbstractButton::toggled, this, [this](bool on) { m_panel.sizeCheck = on ? 1 : 0; });
    connect(locationCheck, &QAbstractButton::toggled, this, [this](bool on) { m_panel.locationCheck = on ? 1 : 0; });
    connect(top, &QAbstractButton::toggled, this, [this](bool on) { m_panel.top = on ? 1 : 0; });
    connect(num, &QSlider::valueChanged, this, [this](int v) { m_panel.setNum(v); });
    connect(size, &QSlider::valueChanged, this, [this](int v) { m_panel.setSizeSlider(v); });

    restorePlacement();
}

DropWindow::~DropWindow() { savePlacement(); }

QAbstractButton* DropWindow::control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QSlider* DropWindow::slider(int id) const {
    auto it = m_sliders.find(id);
    return it == m_sliders.end() ? nullptr : it->second;
}

void DropWindow::press(int id) {
    switch (id) {
    case dropwin::Done:
        // Copies past 130,000 vertices: nothing happens.
        if (const std::optional<DropRequest> r = m_panel.done(m_module.seed.usableVertexCount()))
            m_frame.postDropRequest(r->wParam, r->lParam);
        break;
    case dropwin::Reset:
        m_frame.postDropRequest(kResetRequest.wParam, kResetRequest.lParam);
        break;
    case dropwin::Close:
        m_frame.postDropRequest(kCloseRequest.wParam, kCloseRequest.lParam);
        hide();
        break;
    default:
        if (DropPanel::presetIndex(id) >= 0) m_frame.postPresetSeedRequest(DropPanel::presetIndex(id));
        break;
    }
}

void DropWindow::reject() { press(dropwin::Close); }

void DropWindow::postSeedLoadedNotice() {
    QPointer<DropWindow> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self) return;
            self->update();
            self->m_preview->update();
        },
        Qt::QueuedConnection);
}

void DropWindow::restorePlacement() {
    const Settings& s = m_doc.platform().settings();
    const int left = s.getInt("DWindow", "left", kDefaultPlace.left());
    const int top = s.getInt("DWindow", "top", kDefaultPlace.top());
    const int right = s.getInt("DWindow", "right", kDefaultPlace.left() + kDefaultPlace.width());
    const int bottom = s.getInt("DWindow", "bottom", kDefaultPlace.top() + kDefaultPlace.height());
    if (right > left && bottom > top) setGeometry(QRect(left, top, right - left, bottom - top));
}

void DropWindow::savePlacement() {
    Settings& s = m_doc.platform().settings();
    const QRect r = restoredGeometry(*this);
    s.writeInt("DWindow", "left", r.x());
    s.writeInt("DWindow", "top", r.y());
    s.writeInt("DWindow", "right", r.x() + r.width());
    s.writeInt("DWindow", "bottom", r.y() + r.height());
}

// ---------------------------------------------------------------- the tool

namespace {

class DropTool : public QObject, public DropWindowHost {
public:
    DropTool(CMainFrame& frame, CVELTADoc& doc, DropModule& module)
        : QObject(&frame), m_frame(frame), m_doc(doc), m_module(module) {
        setObjectName("DropTool");
        module.setWindowHost(this);
        frame.dropRoutine = [&module](int sizeRandom, int locationRandom, int n, int d, int top) {
            module.dropRoutine(sizeRandom, locationRandom, n, d, top);
        };
        frame.presetSeedLoad = [&module](int index) { module.presetSeedLoad(index); };
        // The view takes the corners as they are stored: drop vertex m at slot m.
        frame.view3d()->setDropMeshSource([&module, &doc] {
            view::DropMeshSource src;
            src.vertices = module.drop.verticesByNumber();
            src.corners = module.drop.cornerList.data();
            src.faceFirst = module.drop.faceFirstCorner.data();
            src.faceCorners = module.drop.faceCornerCount.data();
            src.faceNormals = module.drop.faceNormal.data();
            src.faceCount = doc.dropFaceCount;
            return src;
        });
    }
    ~DropTool() override {
        // The frame goes, and with it the window (its placement is written).
        delete m_window.data();
        if (m_module.windowHost() == this) {
            m_module.setWindowHost(nullptr);
            m_doc.dropDialogOpenFlag = 0;
        }
    }

    void createDropWindow() override {
        delete m_window.data();
        m_window = new DropWindow(m_doc, m_module, m_frame);
        m_window->show();
    }
    void destroyDropWindow() override { delete m_window.data(); }
    void seedLoadedNotice() override {
        if (m_window) m_window->postSeedLoadedNotice();
    }
    DropWindow* window() const { return m_window.data(); }

private:
    CMainFrame& m_frame;
    CVELTADoc& m_doc;
    DropModule& m_module;
    QPointer<DropWindow> m_window;
};

}  // namespace

void installDropTool(CMainFrame& frame, CVELTADoc& doc) {
    DropModule* module = doc.module<DropModule>();
    if (!module) return;
    new DropTool(frame, doc, *module);
}

DropWindow* dropWindowOf(CMainFrame& frame) {
    auto* tool = frame.findChild<QObject*>("DropTool", Qt::FindDirectChildrenOnly);
    auto* host = dynamic_cast<DropTool*>(tool);
    return host ? host->window() : nullptr;
}

}  // namespace vortel::gui
