#include "platform/gui/QtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace platform::gui {

namespace {

// One pattern list of the old form ("*.qkb;*.qks") in Qt's form: blanks between patterns,
// "*.*" as "*", and the upper-case form of each extension beside it, since the old platform
// matched names without regard to case.
QString qtPatterns(const QString& patterns)
{
    QStringList result;
    for (QString pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern == QStringLiteral("*.*") || pattern == QStringLiteral("*")) {
            result << QStringLiteral("*");
            continue;
        }
        result << pattern;
        if (pattern.toUpper() != pattern)
            result << pattern.toUpper();
    }
    return result.join(u' ');
}

// The description without its own pattern list in parentheses.
QString plainDescription(const QString& description)
{
    const qsizetype open = description.lastIndexOf(u'(');
    return (open > 0 ? description.left(open) : description).trimmed();
}

std::optional<QString> run(QFileDialog::AcceptMode mode, const FileDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen && (request.flags & FileDialogRequest::kFileMustExist)
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    const QStringList filters = QtFileDialogs::nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QStringList QtFileDialogs::nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << plainDescription(parts.at(i)) + QStringLiteral(" (") + qtPatterns(parts.at(i + 1)) + u')';
    return filters;
}

std::optional<QString> QtFileDialogs::showOpen(const FileDialogRequest& request)
{
    return run(QFileDialog::AcceptOpen, request);
}

std::optional<QString> QtFileDialogs::showSave(const FileDialogRequest& request)
{
    return run(QFileDialog::AcceptSave, request);
}

} // namespace platform::gui
