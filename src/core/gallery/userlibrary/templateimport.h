#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

#include <functional>

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

// Changes a page written out with its images in `folder` (they are named
// relative to it), and may add pictures there for the page to name.
using PageRewrite =
    std::function<Result<QByteArray>(const QByteArray& html, const QString& folder)>;

// A template's message made anew, as composeFromFile makes an added one, with
// its page changed by `rewrite` first and its subject replaced unless
// `subject` is null. The changed page meets the same rules; a refusal names
// `label` in place of a file.
Result<QByteArray> recompose(const QString& label, const QByteArray& message,
                             const PageRewrite& rewrite, const QString& name,
                             const QString& subject = QString());

} // namespace TemplateImport
