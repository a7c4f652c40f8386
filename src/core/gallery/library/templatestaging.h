#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>

// The one way from a library template to a page on disk: the preview, the
// hand-off, the library tool and the thumbnails all take it, so they show the
// same page for the same template.
namespace TemplateStaging {

// A library template read and decoded in memory.
struct DecodedTemplate
{
    QString libraryPath; // the library file the template came from
    QByteArray file;     // its bytes as stored
    QByteArray message;  // the standard message they decode to
};

struct StagedPage
{
    QString page;    // the written page's path, inside the staging folder
    QByteArray html; // what the page holds, UTF-8 and saying so itself
    // What the MIME component reported; the page is then incomplete, possibly
    // empty. Each caller decides whether an incomplete page will do.
    QString problem;
};

// The library file of `name` below `appFolder`, refused as findTemplateFile
// refuses it, then read and decoded.
Result<DecodedTemplate> decodeTemplate(const QString& appFolder, const QString& name);

// The library file at `libraryPath`, wherever it lies, read and decoded.
Result<DecodedTemplate> decodeTemplateFile(const QString& libraryPath);

// The template `name` below `appFolder`, written into `folder` as the copy
// "<name>.dat", the message "<name>.eml", the page file `pageName` and the
// files the page refers to.
Result<StagedPage> stageTemplate(const QString& appFolder, const QString& name,
                                 const QString& folder, const QString& pageName);

// The same for a template already decoded; the copy is named after its library file.
Result<StagedPage> stageDecoded(const DecodedTemplate& decoded, const QString& folder,
                                const QString& pageName);

// The page of `message` and its files, written into `folder` (created when
// missing, below a folder that exists). A message that cannot be read at all
// writes no page.
Result<StagedPage> stageMessage(const QByteArray& message, const QString& folder,
                                const QString& pageName);

} // namespace TemplateStaging
