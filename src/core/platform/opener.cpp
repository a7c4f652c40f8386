#include "core/platform/opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace Module1 {

namespace {

// A document is a URL when it carries a scheme of its own; anything else is a file,
// relative to the current folder unless it is absolute.
QUrl documentUrl(const QString& document)
{
    if (!QDir::isAbsolutePath(document)) {
        // Tolerant, as a browser's address bar is: the redirect passes its key unescaped.
        const QUrl url(document, QUrl::TolerantMode);
        if (url.isValid() && !url.scheme().isEmpty())
            return url;
    }
    return QUrl::fromLocalFile(QFileInfo(document).absoluteFilePath());
}

// The desktop cannot open a file that is not there; asking it would only start
// a viewer that reports the error itself.
bool open(const QUrl& url)
{
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace

bool OpenDocument(const QString& document, const QString& folder)
{
    if (document.isEmpty())
        return false;
    if (open(documentUrl(document)))
        return false;
    if (folder.isEmpty())
        return true;
    return !open(QUrl::fromLocalFile(folder + u'/' + document));
}

bool openMailLink(const QUrl& url)
{
    if (!url.isValid() || url.scheme() != u"mailto")
        return true;
    return !QDesktopServices::openUrl(url);
}

QString GetRedirectUrl(const QString& keyWord)
{
    QString url = QStringLiteral("http://") + QLatin1String(VendorHost) +
                  QStringLiteral("/services/tredirect.php?key=%k");
    return url.replace(QStringLiteral("%k"), keyWord, Qt::CaseSensitive);
}

void OpenHomePage()
{
    OpenDocument(GetRedirectUrl(QStringLiteral("home")), QString());
}

} // namespace Module1
