// Qt windows for every box, dialog, cursor and wait the core asks for.
#include "app/QtPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QThread>
#include <algorithm>

#include "app/FileDialogs.h"
#include "app/ProgressBox.h"
#include "app/Resources.h"
#include "groups/SaveOptionsDialog.h"

namespace vortel::gui {

QtPlatform::QtPlatform(std::string home) : m_home(std::move(home)), m_settings(m_home + "VELTA.ini") {
    initResources();
}

QtPlatform::~QtPlatform() {
    delete m_box.data();
    while (m_waitCursorDepth > 0) setWaitCursor(false);
}

void QtPlatform::attachMainWindow(QWidget* window, QProgressBar* statusProgress) {
    m_main = window;
    m_statusProgress = statusProgress;
}

void QtPlatform::detachMainWindow(QWidget* window) {
    if (m_main != window) return;
    // The box belongs to the frame; it goes with it.
    delete m_box.data();
    m_main = nullptr;
    m_statusProgress = nullptr;
}

QWidget* QtPlatform::dialogOwner() const {
    // Boxes are owned by the window that has the focus, else by the frame.
    QWidget* active = QApplication::activeWindow();
    if (active && active != m_box && active->windowType() != Qt::SplashScreen) return active;
    return m_main;
}

void QtPlatform::showProgressBox(const std::string& text, Rgb colour) {
    if (!m_box) m_box = new ProgressBox(m_main);
    m_box->present(QString::fromStdString(text), QColor(colour.r, colour.g, colour.b));
    // Paint it now: the caller goes on working without returning to the event loop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_box->repaint();
}

void QtPlatform::closeProgressBox() {
    if (m_box) m_box->hide();
}

MsgAnswer QtPlatform::messageBox(const std::string& caption, const std::string& text, MsgButtons buttons,
                                 MsgIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case MsgIcon::Information: qicon = QMessageBox::Information; break;
    case MsgIcon::Warning: qicon = QMessageBox::Warning; break;
    case MsgIcon::Error: qicon = QMessageBox::Critical; break;
    case MsgIcon::Question: qicon = QMessageBox::Question; break;
    case MsgIcon::None: break;
    }
    QMessageBox::StandardButtons qbuttons = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok: qbuttons = QMessageBox::Ok; break;
    case MsgButtons::OkCancel: qbuttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MsgButtons::YesNo: qbuttons = QMessageBox::Yes | QMessageBox::No; break;
    case MsgButtons::YesNoCancel: qbuttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox box(qicon, QString::fromStdString(caption), QString::fromStdString(text), qbuttons, dialogOwner());
    box.setObjectName("VortelMessageBox");
    if (buttons == MsgButtons::YesNo) box.setEscapeButton(QMessageBox::No);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

std::optional<std::string> QtPlatform::openFileDialog(const FileDialogRequest& req) {
    return runFileDialog(dialogOwner(), req, false);
}

std::optional<std::string> QtPlatform::saveFileDialog(const FileDialogRequest& req) {
    return runFileDialog(dialogOwner(), req, true);
}

std::optional<SaveOptionsAnswer> QtPlatform::saveOptionsDialog(const SaveOptionsRequest& req) {
    SaveOptionsDialog dialog(req, dialogOwner());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.state().answer();
}

void QtPlatform::setStatusProgress(int position) {
    if (!m_statusProgress) return;
    m_statusProgress->setValue(std::clamp(position, 0, 100));
    // Long operations do not return to the event loop between steps.
    m_statusProgress->repaint();
}

void QtPlatform::setWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_waitCursorDepth;
    } else if (m_waitCursorDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_waitCursorDepth;
    }
}

void QtPlatform::waitMs(int ms) {
    if (!m_waitsEnabled || ms <= 0) return;
    // The box stays painted while the caller waits; user input waits too.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(10, ms - clock.elapsed() + 1)));
    }
}

void QtPlatform::setMainWindowTitle(const std::string& title) {
    if (m_main) m_main->setWindowTitle(QString::fromStdString(title));
}

bool QtPlatform::deleteFile(const std::string& path) {
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    // A mistaken click loses nothing where the desktop keeps a trash.
    if (QFile::moveToTrash(name)) return true;
    return QFile::remove(name);
}

}  // namespace vortel::gui
