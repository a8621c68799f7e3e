// CMTM: dialog 158 built in dialog units, the model's state shown on the
// controls, and the controls' clicks forwarded to the model.
#include "special/CMTM.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSlider>

#include "controls/CCircleButton.h"
#include "controls/DialogUnits.h"
#include "scatter/HairModule.h"

namespace mtm = vortel::mtm;

namespace {

enum class Kind { Radio, Circle, Plain, Slider, Label };

struct ControlTemplate {
    int id;  // 0 for the static texts
    Kind kind;
    const char* caption;
    int x, y, w, h;  // dialog units
};

// Dialog 158's controls; the order of creation is the order of the Tab key.
const ControlTemplate kDialog[] = {
    {mtm::RadioEdgeMaker, Kind::Radio, "EDGE MAKER", 7, 12, 63, 9},
    {mtm::Analysis, Kind::Circle, "1.ANALYSIS", 15, 24, 73, 10},
    {mtm::Slider, Kind::Slider, "", 15, 36, 74, 10},
    {0, Kind::Label, "0'", 18, 47, 8, 8},
    {0, Kind::Label, "90'", 63, 47, 10, 8},
    {mtm::Excute, Kind::Circle, "2.EXCUTE", 15, 57, 73, 10},
    {mtm::StripP, Kind::Plain, "P", 77, 7, 9, 9},
    {mtm::ButtonC, Kind::Circle, "C", 90, 7, 10, 10},
    {mtm::RadioMtMirror, Kind::Radio, "MT Mirror", 7, 79, 63, 9},
    {mtm::VcmGen, Kind::Circle, "VCM GEN", 17, 91, 73, 10},
    {mtm::LeftToRight, Kind::Circle, "L->R", 17, 105, 34, 10},
    {mtm::RightToLeft, Kind::Circle, "R->L", 56, 105, 34, 10},
    {mtm::Swap, Kind::Circle, "SWAP", 35, 118, 35, 10},
    {mtm::ResetRight, Kind::Circle, "RESET R", 16, 130, 34, 10},
    {mtm::ResetLeft, Kind::Circle, "RESET L", 56, 130, 34, 10},
    {mtm::RadioFusion, Kind::Radio, "FUSION/DIVIDE", 7, 149, 63, 9},
    {mtm::Fusion, Kind::Circle, "FUSION", 15, 160, 73, 10},
    {mtm::ToOriginal, Kind::Circle, "TO ORIGINAL", 15, 173, 73, 10},
};
constexpr int kDialogWidth = 107, kDialogHeight = 190;

}  // namespace

CMTM::CMTM(vortel::CVELTADoc& doc, QWidget* parent) : QScrollArea(parent), m_doc(doc), m_panel(doc) {
    setObjectName("CMTM");
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    buildDialog();
    m_panel.stateChanged = [this] { showModelState(); };
    // "P" stays hidden, but if it is ever pressed it runs the same strip builder as the HAIR window's.
    if (vortel::HairModule* hair = m_doc.module<vortel::HairModule>()) m_panel.stripBuilder = [hair] { hair->buildStrips(); };
    m_doc.addView(this);
    // The initial update of every new panel.
    m_panel.startUp();
    showModelState();
}

CMTM::~CMTM() {
    m_panel.stateChanged = nullptr;
    m_doc.removeView(this);
}

QFont CMTM::dialogFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    return font;
}

void CMTM::buildDialog() {
    m_form = new QWidget;
    m_form->setObjectName("Dialog158");
    m_form->setFont(dialogFont());
    m_form->setAutoFillBackground(true);
    const vortel::gui::DialogUnits du(m_form->font());
    m_form->setFixedSize(du.rect(0, 0, kDialogWidth, kDialogHeight).size());

    for (const ControlTemplate& t : kDialog) {
        const QString caption = QString::fromLatin1(t.caption);
        const QRect rect = du.rect(t.x, t.y, t.w, t.h);
        QWidget* w = nullptr;
        switch (t.kind) {
        case Kind::Radio: {
            auto* b = new QRadioButton(caption, m_form);
            connect(b, &QRadioButton::clicked, this, [this, id = t.id] { m_panel.clickRadio(id); });
            m_buttons[t.id] = b;
            w = b;
            break;
        }
        case Kind::Circle:
        case Kind::Plain: {
            QPushButton* b = t.kind == Kind::Circle ? new CCircleButton(caption, m_form) : new QPushButton(caption, m_form);
            connect(b, &QPushButton::clicked, this, [this, id = t.id] { press(id); });
            m_buttons[t.id] = b;
            w = b;
            break;
        }
        case Kind::Slider: {
            m_slider = new QSlider(Qt::Horizontal, m_form);
            m_slider->setRange(vortel::kSliderMin, vortel::kSliderMax);
            m_slider->setSingleStep(1);
            m_slider->setPageStep(2);
            m_slider->setTickPosition(QSlider::TicksBelow);
            m_slider->setTickInterval(1);
            m_slider->setValue(vortel::kSliderStart);
            connect(m_slider, &QSlider::valueChanged, this, [this](int p) {
                if (!m_showing) m_panel.setSliderPosition(p);
            });
            // A click on the groove and a drag of the handle both end with the
            // release of the mouse: that is when the slider has been moved.
            m_slider->installEventFilter(this);
            w = m_slider;
            break;
        }
        case Kind::Label:
            w = new QLabel(caption, m_form);
            break;
        }
        if (t.id) w->setObjectName(QString::number(t.id));
        w->setGeometry(rect);
        if (t.kind == Kind::Circle) {
            // A circle button takes its shape on its first resize, which a
            // button that stays hidden ("C") would never get: give it now.
            QResizeEvent resized(rect.size(), QSize());
            QCoreApplication::sendEvent(w, &resized);
        }
    }
    setWidget(m_form);
}

QAbstractButton* CMTM::button(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

void CMTM::showModelState() {
    m_showing = true;
    for (auto& [id, b] : m_buttons) {
        b->setEnabled(m_panel.isEnabled(id));
        b->setVisible(m_panel.isShown(id));
        if (id >= mtm::RadioEdgeMaker && id <= mtm::RadioFusion) {
            // Auto-exclusive radios cannot be cleared one by one; check the chosen one.
            if (m_panel.isChecked(id)) b->setChecked(true);
        }
    }
    {
        const QSignalBlocker block(m_slider);
        m_slider->setValue(m_panel.sliderPosition());
    }
    m_slider->setEnabled(m_panel.isEnabled(mtm::Slider));
    m_showing = false;
}

void CMTM::press(int id) {
    // The command may show boxes; the panel can be gone when they close.
    QPointer<CMTM> self(this);
    m_panel.press(id);
    if (self) showModelState();
}

bool CMTM::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_slider && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        m_panel.sliderReleased();
    return QScrollArea::eventFilter(watched, event);
}

void CMTM::onLoadRefresh() { m_panel.panelReset(); }

void CMTM::onRedraw() { viewport()->update(); }
