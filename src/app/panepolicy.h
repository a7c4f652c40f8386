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

} // namespace PanePolicy
