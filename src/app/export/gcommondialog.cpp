#include "gcommondialog.h"

#include <QFileDialog>
#include <QFileInfo>

bool GCommonDialog::GetSaveFileName(const SaveRequest& request, SaveResult* result)
{
    APIReturn = 0;
    ExtendedError = 0;

    QFileDialog dialog(request.owner, request.title);
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    // The toolkit's own dialog on every desktop, so the overwrite question and
    // the default extension behave the same everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowModality(Qt::WindowModal);
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        const int index = request.filterIndex - 1;
        if (index >= 0 && index < request.nameFilters.size())
            dialog.selectNameFilter(request.nameFilters.at(index));
    }
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    dialog.setDefaultSuffix(request.defaultExt);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    APIReturn = 1;
    result->filePath = dialog.selectedFiles().constFirst();
    result->fileTitle = QFileInfo(result->filePath).fileName();
    result->filterIndex = request.nameFilters.indexOf(dialog.selectedNameFilter()) + 1;
    return true;
}

QStringList GCommonDialog::NameFilters(const QString& filter)
{
    QString separated = filter;
    separated.replace(QLatin1Char(':'), QLatin1Char('|'));
    const QStringList parts = separated.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString display = parts.at(i).trimmed();
        QString pattern = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (display.isEmpty() && pattern.isEmpty())
            continue;
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // An entry without a pattern filters by its text, which is a pattern itself.
        filters << (pattern.isEmpty()
                        ? display
                        : display + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters;
}
