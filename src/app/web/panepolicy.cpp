#include "panepolicy.h"

#include <QFileInfo>

namespace PanePolicy {

QString rootOf(const QString& folder)
{
    return folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath();
}

bool MayLoadSubresource(const QUrl& url, const QString& root)
{
    const QString scheme = url.scheme();
    // Inline content carries nothing from outside the page.
    if (scheme == u"data" || scheme == u"blob")
        return true;
    if (scheme != u"file" || root.isEmpty())
        return false;
    // A host names another machine's share, never a file of the pane's folder.
    if (!url.host().isEmpty() && url.host() != u"localhost")
        return false;
    // Links are followed first, so that neither "../" nor a planted link leads
    // out; a file that does not exist has nothing to show.
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    return !path.isEmpty() && path.startsWith(root + u'/');
}

bool MayFollowClick(PaneKind kind, const QUrl& url, const QUrl& current, const QString& root)
{
    if (!url.isValid())
        return false;
    // An anchor of the page on show moves nothing in or out of the pane.
    if (url.hasFragment() && !current.isEmpty() &&
        url.adjusted(QUrl::RemoveFragment) == current.adjusted(QUrl::RemoveFragment))
        return true;
    const QString scheme = url.scheme();
    if (kind == PaneKind::Preview)
        return scheme == u"http" || scheme == u"https";
    // Only the folder's own pages: never inline data or a frame's source
    // passed off as a page.
    return scheme == u"file" && MayLoadSubresource(url, root);
}

bool IsMailLink(const QUrl& url)
{
    return url.isValid() && url.scheme() == u"mailto";
}

} // namespace PanePolicy
