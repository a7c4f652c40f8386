#pragma once

#include "status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The three ways a previewed template leaves the program. Each decodes the
// library file afresh, checks everything it can before it touches the user's
// files, and reports a failure with the path and the reason.
namespace TemplateExport {

// The library file of `name` below `appFolder`, decoded in memory. Refuses an
// empty name (nothing previewed), a name that is not a plain file name, a
// missing or unreadable file and a file that does not decode.
Status DecodeTemplate(const QString& appFolder, const QString& name, QByteArray* message);

// Writes the decoded message to exactly `target`, atomically: the file holds
// either its previous content or the whole message, never scrambled text.
Status ExportEmlTo(const QString& appFolder, const QString& name, const QString& target);

// Writes the page to `target` and its images to the folder beside it named by
// ExportPaths::ImagesFolderName. Both are prepared in a temporary folder next
// to the target and moved into place only when complete; an existing page is
// replaced only by a complete export, together with its images folder.
Status ExportHtmlTo(const QString& appFolder, const QString& name, const QString& target);

// Prepares the hand-off in `rpFolder` (a workspace folder): the copy of the
// library file, the decoded message beside it, the images the page refers to,
// and the page "msg" + number + ".html", whose path goes to `pagePath`.
Status PrepareHandoff(const QString& appFolder, const QString& name, const QString& rpFolder,
                      int number, QString* pagePath);

// The arguments that hand `pagePath` to the sibling mailer, each passed as is.
QStringList RookpostArguments(const QString& pagePath);

} // namespace TemplateExport
