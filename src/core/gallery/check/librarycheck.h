#pragma once

#include "core/gallery/check/placeholderlinks.h"

#include <QList>
#include <QString>

// Checks a template library folder the way the gallery will use it, so that a
// library author sees every fault before a user does.
namespace LibraryCheck {

struct Problem
{
    QString path;   // the file or folder at fault
    QString reason; // what is wrong, in words a library author acts on

    QString toString() const { return path + QLatin1String(": ") + reason; }
    bool operator==(const Problem&) const = default;
};

using Problems = QList<Problem>;

// Every problem of the library in `libraryFolder`, in a stable order: the
// folders, then each category page in listing order with the templates it
// links. Empty when the gallery would open every page and template and none
// of them holds a script, reaches for local files or loads from the network.
Problems checkLibrary(const QString& libraryFolder);

// The problems of one template file, given its path: unreadable, corrupt, or
// not decodable. Checks of the decoded message's content belong here.
Problems checkTemplate(const QString& templatePath);

// The problems of a decoded message: an unparsable structure, what its HTML
// must not hold (see PageHazards), a cid: image no part carries, or a
// style-sheet resource that loads only on demand (under :hover or inside @media).
Problems checkMessage(const QString& templatePath, const QByteArray& message);

// The links a template of the library ships with that its sender must replace
// before sending; not faults of the library, so not among its problems.
struct TemplateLinks
{
    QString templatePath;
    QList<PlaceholderLinks::Link> links;
};

// For every template in the library's templates/ folder that has such links,
// in file name order. A template that cannot be read is left to checkLibrary.
QList<TemplateLinks> linksToReplace(const QString& libraryFolder);

} // namespace LibraryCheck
