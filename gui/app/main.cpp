// vortel: the program's entry. Fixes the home folder and the settings file,
// creates the one document and the main frame, and runs the event loop.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <clocale>

#include "app/CMainFrame.h"
#include "app/QtPlatform.h"
#include "doc/CVELTADoc.h"
#include "platform/HomeFolder.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The readers convert numbers with the C library; a locale's decimal comma must not reach them.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("VORTEL");
    QApplication::setApplicationVersion("1.2.5");

    // A relative mesh path means the folder the program was started from,
    // which stops being the current directory below.
    QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty()) arguments.first() = QFileInfo(arguments.first()).absoluteFilePath();

    const std::string home = vortel::programHomeFolder();
    QDir::setCurrent(QString::fromStdString(home));
    vortel::gui::QtPlatform platform(home);
    vortel::gui::recordHomeFolder(platform.settings(), home);

    if (!arguments.isEmpty()) {
        const QFileInfo mesh(arguments.first());
        if (!mesh.isFile() || !mesh.isReadable()) {
            QMessageBox::warning(nullptr, "VORTEL", arguments.first() + "\nCannot open this file.");
            return 1;
        }
    }

    vortel::CVELTADoc doc(platform);
    vortel::gui::CMainFrame frame(doc, platform, arguments);
    frame.show();
    return app.exec();
}
