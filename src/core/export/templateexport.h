#pragma once

#include "core/gallery/library/templatestaging.h"
#include "core/platform/status.h"

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
Status decodeTemplate(const QString& appFolder, const QString& name, QByteArray* message);
// The same, with the library file it came from, for an export of a changed
// copy of the message (the user's brand on it).
Result<TemplateStaging::DecodedTemplate> decodePreviewed(const QString& appFolder,
                                                         const QString& name);

// Writes the decoded message to exactly `target`, atomically: the file holds
// either its previous content or the whole message, never scrambled text.
Status exportEmlTo(const QString& appFolder, const QString& name, const QString& target);
// The same for `message`; `sourceFile` is the library file it came from, never written over.
Status exportEmlMessageTo(const QByteArray& message, const QString& target,
                          const QString& sourceFile);

// exportHtmlMessageTo for the decoded library file of `name`.
Status exportHtmlTo(const QString& appFolder, const QString& name, const QString& target);

// Writes the page of `message` to `target` and its images to the folder beside
// it named by ExportPaths::imagesFolderName. Both are prepared in a hidden
// folder next to the target and moved into place only when complete, so a
// failure writes nothing. A message with any problem is refused. An existing
// page is replaced together with the files of its images folder that it refers
// to; the folder's other files are the user's and move into the new folder,
// and one that has the name of a new image stops the export. `sourceFile` is
// where the message came from: named when the message is unreadable, and
// never written over.
Status exportHtmlMessageTo(const QByteArray& message, const QString& target,
                           const QString& sourceFile);

// Prepares the hand-off of `name` in this running copy's hand-off folder, in
// a folder named after the template that replaces the one of an earlier
// hand-off of it as a whole: the copy of the library file, the decoded message
// beside it, the images the page refers to, and the page "msg" + number +
// ".html", whose path goes to `pagePath`. A damaged message still gives the
// best page there is; `warning` then says what is wrong with it.
Status prepareHandoff(const QString& appFolder, const QString& name, QString* pagePath,
                      QString* warning);
// The same for `decoded` (from decodePreviewed, its message possibly changed).
Status prepareHandoffOf(const TemplateStaging::DecodedTemplate& decoded, const QString& name,
                        QString* pagePath, QString* warning);

// The arguments that hand `pagePath` to the sibling mailer, each passed as is.
QStringList rookpostArguments(const QString& pagePath);

} // namespace TemplateExport
