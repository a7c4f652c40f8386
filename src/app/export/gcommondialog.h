#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Runs the toolkit's save dialog from plain settings and keeps the raw
// outcome of the last run.
class GCommonDialog
{
public:
    struct SaveRequest
    {
        QWidget* owner = nullptr;
        QString title;
        QStringList nameFilters; // in the toolkit's form, "Pages (*.htm *.html)"
        int filterIndex = 1;     // 1-based
        QString fileName;
        QString initialDir;
        QString defaultExt;
        bool overwritePrompt = false;
    };

    struct SaveResult
    {
        QString filePath;
        QString fileTitle;
        int filterIndex = 0;
    };

    // 1 when a file was chosen, 0 when the user cancelled.
    int APIReturn = 0;
    // Always 0: the toolkit's dialog has no failure of its own to report.
    int ExtendedError = 0;

    bool GetSaveFileName(const SaveRequest& request, SaveResult* result);

    // "*.htm" or "Pages|*.htm;*.html" (":" counts as "|") in the toolkit's form.
    static QStringList NameFilters(const QString& filter);
};
