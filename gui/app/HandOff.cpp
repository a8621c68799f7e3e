// Hand-off of the mesh to the configured program, and the home page address.
#include "app/HandOff.h"

#include <QFileInfo>
#include <QProcess>

#include "platform/HomeFolder.h"

namespace vortel::gui {

bool handOffEnabled(const Settings& settings) { return settings.getString("Excute", "Applname", "NULL") != "NULL"; }

bool handOffToProgram(CVELTADoc& doc, const Settings& settings) {
    const std::string program = settings.getString("Excute", "Applname", "NULL");
    const std::string home = settings.getString("Locate", "name", "");
    if (program == "NULL") return false;
    doc.savePath = home + "work/" + "POSERTMP" + ".obj";
    doc.directSaveFlag = 1;
    doc.onSaveAs();
    doc.directSaveFlag = 0;
    // The path is one argument of its own: blanks in it need no quoting.
    return QProcess::startDetached(QString::fromStdString(program), {QString::fromStdString(doc.savePath)});
}

QUrl homePageUrl(const std::string& homeFolder) {
    const QString beside = QString::fromStdString(homeFolder) + "manual.html";
    if (QFileInfo::exists(beside)) return QUrl::fromLocalFile(beside);
    // A home folder set by VORTEL_HOME, or a user's data folder, holds no manual: it ships with the program.
    return QUrl::fromLocalFile(QString::fromStdString(programDataFolder(programFolder())) + "manual.html");
}

}  // namespace vortel::gui
