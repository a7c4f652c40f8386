#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

// A message or page of the user's made into a library template's message, the
// way the library build composes the shipped ones: the HTML with its images
// related, and a plain-text part made from the HTML. What comes in is
// untrusted, like mail: the safety rules of the shipped library apply to it.
namespace TemplateImport {

// Larger files are refused before they are read.
qsizetype maxFileSize();

// The message for a template named `name` from `file`: a message (.eml), or a
// page (.htm, .html) with the images it refers to beside it, as the HTML
// export writes them. Refused, with the path and the reason: a file that is
// too large or neither kind, a message that does not parse or holds no HTML,
// an image the page names that is missing or not an image, and anything
// LibraryCheck::checkMessage finds (scripts, local files, network loads).
Result<QByteArray> composeFromFile(const QString& file, const QString& name);

} // namespace TemplateImport
