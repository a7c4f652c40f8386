#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Turns a standard MIME message into an HTML page plus the files it refers to.
// A broken or hostile message never crashes it: it returns the best page it
// can, possibly empty, and lastError() says what went wrong.
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
    // HTML with references relative to `folder`, for a page stored there.
    QString SaveHtmlAndImages(const QString& folder, const QString& imagesFolderName);

    // Writes the images into folder/subfolder and returns the HTML with
    // references relative to that subfolder, for a page stored inside it.
    QString SaveHtmlToSubfolder(const QString& folder, const QString& subfolder);

    QString lastError() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
