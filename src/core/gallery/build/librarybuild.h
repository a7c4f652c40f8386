#pragma once

#include "core/platform/status.h"

#include <QString>
#include <QTextStream>

// Turns readable template sources into the library the gallery opens: a folder
// per category with its page.html, thumbs/ and one folder per template
// (headers.txt, message.html, message.txt, images/).
namespace LibraryBuild {

// Builds `libraryFolder` from `sourceFolder` all or nothing: on any fault the
// previous library stays as it was. Progress ("removed PATH", the totals) goes
// to `out`, and record entries left alone to `warnings`, one "path: reason"
// line each. The failure lists every fault, one "path: reason" line each.
Status build(const QString& sourceFolder, const QString& libraryFolder, QTextStream& out,
             QTextStream& warnings);

} // namespace LibraryBuild
