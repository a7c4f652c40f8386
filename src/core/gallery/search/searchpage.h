#pragma once

#include "core/gallery/search/templatesearch.h"

#include <QByteArray>
#include <QString>

// The page the category pane shows for a search or the recent templates: a
// grid of thumbnails linked as "#" + name, like a category page, so a click
// previews the template as it does there.
namespace SearchPage {

// At most this many thumbnails: each is carried in the page itself.
constexpr int MaxShown = 48;

// Only pictures a category page may show: a thumbnail is small, and the
// bound keeps a strange file from swelling the page.
constexpr qsizetype MaxPictureBytes = 2 * 1024 * 1024;

// `heading` says what is shown ("3 templates for “wine”"), `note` why there is
// nothing or what else to try; both are plain text. Each entry's category is
// named under its name. The pictures are read and put into the page, so it
// needs no file of any library; one that cannot be read is left out.
QByteArray build(const QString& heading, const QString& note,
                 const QList<TemplateSearch::Entry>& entries);

} // namespace SearchPage
