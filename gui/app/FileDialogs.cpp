// File dialogs for the core's open and save requests.
#include "app/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vortel::gui {
namespace {

bool isWildcard(const QString& name) { return name.contains('*') || name.contains('?'); }

QString patternsOf(QString patterns) {
    patterns.replace(';', ' ');
    return patterns.simplified();
}

}  // namespace

QtFileFilters convertFileFilter(const std::string& filter, const std::string& initialName) {
    QtFileFilters out;
    const QStringList parts = QString::fromStdString(filter).split('|');
    const QString initial = QString::fromStdString(initialName);
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        if (description.isEmpty()) break;
        QString patterns = patternsOf(parts[i + 1]);
        // The wildcard name is what the user sees listed first.
        if (out.filters.isEmpty() && isWildcard(initial)) patterns = patternsOf(initial);
        // Keep the description as written; its own "(...)" part carries the patterns.
        QString base = description;
        if (base.endsWith(')') && base.lastIndexOf('(') >= 0)
            base.truncate(base.lastIndexOf('('));
        else
            base += ' ';
        out.filters << base + '(' + patterns + ')';
    }
    if (out.filters.isEmpty()) out.filters << QStringLiteral("All files (*)");
    out.selected = out.filters.first();
    return out;
}

QString initialDialogFolder(const std::string& initialDirectory) {
    if (initialDirectory.empty()) return QDir::currentPath();
    QFileInfo info(QString::fromStdString(initialDirectory));
    if (info.isDir()) return info.absoluteFilePath();
    QFileInfo folder(info.absolutePath());
    return folder.isDir() ? folder.absoluteFilePath() : QDir::currentPath();
}

std::optional<std::string> runFileDialog(QWidget* owner, const FileDialogRequest& request, bool save) {
    QFileDialog dialog(owner);
    dialog.setObjectName(save ? "SaveFileDialog" : "OpenFileDialog");
    const QtFileFilters filters = convertFileFilter(request.filter, request.initialName);
    dialog.setNameFilters(filters.filters);
    dialog.selectNameFilter(filters.selected);
    dialog.setDirectory(initialDialogFolder(request.initialDirectory));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!request.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    const QString initial = QString::fromStdString(request.initialName);
    if (!initial.isEmpty() && !initial.contains('*') && !initial.contains('?')) dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.first()).toStdString();
}

}  // namespace vortel::gui
