#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Turns a standard MIME message into an HTML page plus the files it refers to.
// A broken or hostile message never crashes it: it returns the best page it
// can, possibly empty, and lastError() says what went wrong. Each operation
// clears lastError() first, so an empty lastError() after a save means the
// page and all of its files are complete.
//
// The message is untrusted, like mail. The page (and every style sheet or page
// of the message written beside it) refers to no local file but its own: file:
// URLs, paths from the root and paths that climb out of the page's folder are
// quietly dropped (the value becomes "", a CSS url('')), file: bases are
// ignored, and refreshes are taken out. Remote references stay as they are.
// A page nested deeper than HtmlNesting::MaxDepth is flattened, and that is
// reported in lastError().
class MimeComponent
{
public:
    MimeComponent();
    ~MimeComponent();
    MimeComponent(const MimeComponent&) = delete;
    MimeComponent& operator=(const MimeComponent&) = delete;

    // Reads the whole message into the instance; the file may be deleted after.
    bool LoadEmlFile(const QString& path);
    bool LoadEmlData(const QByteArray& data);

    // Writes the images into folder/imagesFolderName (created) and returns the
    // HTML with references "imagesFolderName/file" (percent-encoded), for a
    // page stored in `folder`.
    QString SaveHtmlAndImages(const QString& folder, const QString& imagesFolderName);

    // Writes the images into folder/subfolder (created when missing) and
    // returns the HTML with plain "file" references, for a page stored inside
    // that subfolder.
    QString SaveHtmlToSubfolder(const QString& folder, const QString& subfolder);

    // The page is UTF-8 and says so in its <meta charset>; these return it as
    // bytes, ready to be written, without a round trip through QString.
    QByteArray SaveHtmlAndImagesUtf8(const QString& folder, const QString& imagesFolderName);
    QByteArray SaveHtmlToSubfolderUtf8(const QString& folder, const QString& subfolder);

    QString lastError() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
