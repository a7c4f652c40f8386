#pragma once

#include "core/export/mergefields.h"
#include "core/platform/status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A template made ready for a mailing service: a zip archive holding
// "index.html" and its images, the form a service's upload takes, with the
// merge fields in the service's own forms.
namespace ServiceExport {

// Gmail shows only the first 102 KB or so of a message's HTML and hides the
// rest behind a link, the unsubscribe link at the foot included.
constexpr qint64 GmailClipBytes = 102 * 1024;

enum class Images {
    InArchive, // the page refers to "images/..." beside it in the archive
    AtAddress, // the page refers to the address the user uploads them to
};

struct Options
{
    MergeFields::Service service = MergeFields::Service::Generic;
    Images images = Images::InArchive;
    QString address; // with Images::AtAddress: where the images folder's files will be
};

struct Report
{
    qint64 pageBytes = 0;  // index.html as written
    qint64 imageBytes = 0; // every image together
    int imageCount = 0;
    // The fields left in their generic form, as MergeFields::Result says.
    QStringList unconverted;
    bool clipped() const { return pageBytes > GmailClipBytes; }
};

// The address as the page will name it, ending in "/": an https address with
// a host, without a user name, password, query or fragment, and without a
// character that would need escaping in a page or a style sheet.
Result<QByteArray> checkAddress(const QString& address);

// Writes the archive for `message` to `target`, atomically: the file holds its
// previous content or the whole archive. A message with any problem is
// refused. `sourceFile` names an unreadable message.
Status exportMessageTo(const QByteArray& message, const QString& target, const QString& sourceFile,
                       const Options& options, Report* report);

// exportMessageTo for the decoded library file of `name`.
Status exportTemplateTo(const QString& appFolder, const QString& name, const QString& target,
                        const Options& options, Report* report);

} // namespace ServiceExport
