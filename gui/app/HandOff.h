// "Excute ZIDU" and "VUROZ++": the setting that switches the hand-off on and
// the hand-off of the current mesh to the configured program.
#pragma once

#include <QUrl>
#include <string>

#include "doc/CVELTADoc.h"
#include "platform/Settings.h"

namespace vortel::gui {

// "Excute"/"Applname" names a program ("NULL", the default, names none).
bool handOffEnabled(const Settings& settings);

// Writes the mesh to HOME + "work/POSERTMP.obj" in direct mode, then starts
// the program detached, without a shell, with that path as its one argument.
// The outcome of the save and of the start is not reported (the writer shows
// its own errors); returns whether the program could be started.
bool handOffToProgram(CVELTADoc& doc, const Settings& settings);

// VORTEL's home page: the user manual beside the program, so it opens offline.
QUrl homePageUrl(const std::string& homeFolder);

}  // namespace vortel::gui
