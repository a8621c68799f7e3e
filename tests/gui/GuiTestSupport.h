// Shared pieces of the GUI tests: a temporary home folder (VORTEL_HOME), the
// one document of the test process, file helpers, and a driver that acts on
// the next modal window (file dialogs, message boxes, SAVE OPTION).
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/QtPlatform.h"
#include "doc/CVELTADoc.h"

namespace vortel::test {

// A home folder under a fresh temporary folder, with work/ in it. SUBFOLDER
// may hold blanks. Sets VORTEL_HOME so nothing touches real settings.
class TempHome {
public:
    explicit TempHome(const QString& subfolder = "home") {
        m_home = m_dir.path() + "/" + subfolder + "/";
        QDir().mkpath(m_home + "work");
        qputenv("VORTEL_HOME", m_home.toUtf8());
    }
    QString path() const { return m_home; }
    std::string stdPath() const { return m_home.toStdString(); }
    QString root() const { return m_dir.path(); }
    QString ini() const { return m_home + "VELTA.ini"; }

private:
    QTemporaryDir m_dir;
    QString m_home;
};

inline void writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// The test process's one platform and document (the document is large).
struct Session {
    TempHome home;
    gui::QtPlatform platform;
    CVELTADoc doc;
    explicit Session(const QString& subfolder = "home")
        : home(subfolder), platform(home.stdPath()), doc(platform) {
        platform.setWaitsEnabled(false);
        QDir::setCurrent(home.path());
    }
};

// Chooses PATH in a file dialog as a user would: typed into the name field, then accepted.
inline void acceptFileDialog(QFileDialog* dialog, const QString& path) {
    QLineEdit* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(name);
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept();
}

// Runs ACT on the next modal window that is not SKIP, once; gives up after TIMEOUT ms.
inline void onNextModal(std::function<void(QWidget*)> act, QWidget* skip = nullptr, int timeoutMs = 10000) {
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, act, waited, skip = QPointer<QWidget>(skip), timeoutMs] {
        *waited += 20;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != skip && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            QPointer<QWidget> shown(modal);
            act(modal);
            // A failed check inside ACT must not leave the test waiting on the window.
            if (QTest::currentTestFailed() && shown && shown->isVisible()) shown->close();
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(20);
}

}  // namespace vortel::test
