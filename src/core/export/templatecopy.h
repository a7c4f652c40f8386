#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A template copied to the clipboard: the page the HTML export writes, with
// its pictures carried inside it, so that it pastes into a composer or a word
// processor without a folder of files beside it.
namespace TemplateCopy {

struct Picture
{
    QString name;     // the file name the export gave it
    QString mimeType; // image/png, image/jpeg, ...
    QByteArray data;
};

struct PortablePage
{
    QByteArray html;         // UTF-8, every picture as a data: URL
    QList<Picture> pictures; // in the order the page first refers to them
};

// `page` with every reference to a picture in the images folder named
// `imagesFolderName` (as the export writes them, percent-encoded or not)
// replaced by a data: URL of that file, read from `imagesFolder`. A reference
// to a file that is not a picture by its content, or that is missing, stays
// as it was: nothing but pictures is taken into the page.
QByteArray inlinePictures(const QByteArray& page, const QString& imagesFolderName,
                          const QString& imagesFolder, QList<Picture>* pictures = nullptr);

// The page of the template `name` of `library` as the HTML export writes it,
// with its pictures inlined. The export is made in `workFolder`, an existing
// folder of the caller's, and removed from it again either way.
Result<PortablePage> portablePage(const QString& library, const QString& name,
                                  const QString& workFolder);

} // namespace TemplateCopy
