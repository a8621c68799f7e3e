// About box and splash window.
#include "app/AboutBox.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vortel::gui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About VORTEL I 1.2.5 BETA");
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(":/vortel/splash.png"));
    picture->setAlignment(Qt::AlignCenter);
    auto* mark = new QLabel(this);
    mark->setPixmap(QPixmap(":/vortel/mark.png"));
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 1, 2);
    grid->addWidget(ok, 1, 0, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(mark, 1, 1, Qt::AlignRight | Qt::AlignBottom);
    setFixedSize(sizeHint());
}

SplashWindow::SplashWindow(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("SplashWindow");
    auto* frame = new QLabel(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setPixmap(QPixmap(":/vortel/splash.png"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    adjustSize();
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

}  // namespace vortel::gui
