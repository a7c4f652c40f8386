#pragma once

#include <QString>
#include <QUrl>

// What a browser pane may load, decided without the engine so that it can be
// checked on its own. A pane shows untrusted pages, as a mail viewer does: it
// reads local files only from its own folder and fetches nothing remote for a
// page to show.
namespace PanePolicy {

// `folder` with its links resolved, or empty when it does not exist; the form
// MayLoadSubresource compares with.
QString rootOf(const QString& folder);

// Whether a page of a pane whose own files lie in `root` (see rootOf) may load
// `url` as part of itself (a picture, a style sheet, a frame): inline data, or
// a file whose real path lies inside `root`.
bool MayLoadSubresource(const QUrl& url, const QString& root);

// Where a click (a link, a form, a link asking for a new window) or a server's
// redirect of one may take a pane. The preview shows a stranger's message: it
// may go to the web, or to an anchor of its own page (`current`), never to a
// local file, a resource of the program or another program's scheme. The
// category pane stays among the pages of its own folder.
enum class PaneKind { CategoryPage, Preview };
bool MayFollowClick(PaneKind kind, const QUrl& url, const QUrl& current, const QString& root);

// A clicked mail address of a template goes to the desktop's mail program, as
// a mail program would send it there; it never opens in a pane.
bool IsMailLink(const QUrl& url);

} // namespace PanePolicy
