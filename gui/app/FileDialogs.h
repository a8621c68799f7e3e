// The open and save file dialogs, from the core's requests: the filter given
// in the "Text (*.ext)|*.ext||" form, the initial name (a wildcard name
// narrows the first filter, like typing it into the name field), the default
// extension and the overwrite prompt.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "platform/Platform.h"

class QWidget;

namespace vortel::gui {

struct QtFileFilters {
    QStringList filters;  // "Description (*.a *.b)" entries for QFileDialog
    QString selected;
};

QtFileFilters convertFileFilter(const std::string& filter, const std::string& initialName);

// The folder the dialog opens in: the request's folder, or the folder of the file it names.
QString initialDialogFolder(const std::string& initialDirectory);

std::optional<std::string> runFileDialog(QWidget* owner, const FileDialogRequest& request, bool save);

}  // namespace vortel::gui
