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

} // namespace PanePolicy
