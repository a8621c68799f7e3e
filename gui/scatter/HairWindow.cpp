// The HAIR window: controls at their dialog-unit places, placement from and to "HWindow".
#include "scatter/HairWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <memory>

#include "app/CMainFrame.h"
#include "controls/DialogUnits.h"
#include "scatter/HairModule.h"
#include "controls/WindowPlacement.h"

namespace vortel::gui {

namespace {
QPushButton* button(const char* text, int id, QWidget* parent, const QRect& r) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString("HairButton%1").arg(id));
    b->setGeometry(r);
    b->setAutoDefault(false);
    return b;
}
}  // namespace

HairWindow::HairWindow(CVELTADoc& doc, CMainFrame& frame) : QDialog(&frame), m_doc(doc) {
    setObjectName("HairWindow");
    setWindowTitle("HAIR");
    setModal(false);
    QFont dialogFont("Arial", 9);
    setFont(dialogFont);
    const DialogUnits du(dialogFont);
    resize(du.x(150), du.y(56));

    auto* text = new QLabel("FOR P5 LINE POLYGON", this);
    text->setGeometry(du.rect(7, 5, 110, 8));
    auto* thin = new QLabel("THIN", this);
    thin->setGeometry(du.rect(7, 20, 20, 8));
    m_trackbar = new QSlider(Qt::Horizontal, this);
    m_trackbar->setObjectName("HairTrackbar");
    m_trackbar->setGeometry(du.rect(28, 17, 84, 14));
    m_trackbar->setRange(kHairTrackbarMin, kHairTrackbarMax);
    m_trackbar->setValue(m_panel.trackbarPosition());
    auto* thick = new QLabel("THICK", this);
    thick->setGeometry(du.rect(114, 20, 28, 8));
    m_done = button("DONE", hairdlg::Done, this, du.rect(7, 36, 32, 14));
    m_reset = button("RESET", hairdlg::Reset, this, du.rect(42, 36, 32, 14));
    m_close = button("CLOSE", hairdlg::Close, this, du.rect(77, 36, 32, 14));
    m_strip = button("P", hairdlg::StripP, this, du.rect(118, 36, 24, 14));
    m_strip->setToolTip("Build the strips from the line faces");

    QPointer<CMainFrame> owner(&frame);
    m_panel.postRequest = [owner](int w, int l) {
        if (owner) owner->postHairRequest(w, l);
    };
    m_panel.endDialog = [this] { hide(); };
    HairModule* hair = doc.module<HairModule>();
    m_panel.stripBuilder = [owner, hair] {
        if (owner && hair) QMetaObject::invokeMethod(owner, [hair] { hair->buildStrips(); }, Qt::QueuedConnection);
    };

    connect(m_trackbar, &QSlider::valueChanged, this, [this](int v) { m_panel.setTrackbarPosition(v); });
    connect(m_done, &QPushButton::clicked, this, [this] { m_panel.press(hairdlg::Done); });
    connect(m_reset, &QPushButton::clicked, this, [this] { m_panel.press(hairdlg::Reset); });
    connect(m_close, &QPushButton::clicked, this, [this] { m_panel.press(hairdlg::Close); });
    connect(m_strip, &QPushButton::clicked, this, [this] { m_panel.press(hairdlg::StripP); });

    const WindowRect r = HairPanel::readPlacement(doc.platform().settings());
    if (!r.isEmpty()) setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

HairWindow::~HairWindow() {
    const QRect g = restoredGeometry(*this);
    HairPanel::writePlacement(m_doc.platform().settings(),
                              WindowRect{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()});
    // Gone with the frame, the window is closed as far as the toggle can tell.
    if (HairModule* hair = m_doc.module<HairModule>()) hair->windowOpenFlag = 0;
}

void HairWindow::reject() { m_panel.press(hairdlg::Close); }

void HairWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_panel.press(hairdlg::Close);
}

void installHairWindow(CMainFrame& frame, CVELTADoc& doc) {
    HairModule* hair = doc.module<HairModule>();
    if (!hair) return;
    frame.hairOperation = [hair](int w, int lParam) { hair->hairOperation(w, lParam); };
    auto window = std::make_shared<QPointer<HairWindow>>();
    hair->createWindow = [&frame, &doc, window] {
        delete window->data();
        *window = new HairWindow(doc, frame);
        (*window)->show();
    };
    hair->destroyWindow = [window] { delete window->data(); };
    hair->windowHost = &frame;
    QObject::connect(&frame, &QObject::destroyed, [hair, host = static_cast<const void*>(&frame)] {
        if (hair->windowHost != host) return;
        hair->createWindow = nullptr;
        hair->destroyWindow = nullptr;
        hair->windowHost = nullptr;
    });
}

}  // namespace vortel::gui
