// Progress box: picture on the left, the text on a button, solid background.
#include "app/ProgressBox.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace vortel::gui {

ProgressBox::ProgressBox(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint), m_button(new QPushButton(this)),
      m_picture(new QLabel(this)) {
    setObjectName("ProgressBox");
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_picture->setPixmap(QPixmap(":/vortel/progress.png"));
    m_picture->setFixedSize(48, 48);
    m_button->setObjectName("ProgressText");
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setMinimumSize(200, 32);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(12);
    row->addWidget(m_picture);
    row->addWidget(m_button, 1);
}

QString ProgressBox::text() const { return m_button->text(); }

void ProgressBox::present(const QString& text, const QColor& background) {
    m_button->setText(text);
    m_background = background;
    adjustSize();
    centre();
    show();
    raise();
    update();
}

void ProgressBox::centre() {
    QRect area;
    QWidget* owner = parentWidget();
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen* s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid()) move(area.center() - QPoint(width() / 2, height() / 2));
}

void ProgressBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_background);
    p.setPen(m_background.darker(160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vortel::gui
