#pragma once

#include "core/gallery/library/libraryset.h"
#include "core/platform/status.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The user's own templates, in a library folder of the same form as the
// shipped one (categories/<Category>.html, categories/thumbs/, templates/),
// so that every reader of a library works on it unchanged. Every change
// holds the library's lock, writes each file atomically and, when a step
// fails, puts back what the earlier steps changed; a change cut off by a kill
// is finished or taken back by the next one (see UserLibraryJournal): the
// library is either changed whole or not at all.
namespace UserLibrary {

inline const QString DefaultCategory = QStringLiteral("My templates");

// $XDG_DATA_HOME/quillery/library, ~/.local/share/quillery/library by default.
QString defaultFolder();

// What a file is added as unless the user says otherwise: its base name.
QString defaultName(const QString& file);

// A template's entry on its category page.
struct Entry
{
    QString name;
    QString thumbnail; // file name inside categories/thumbs/

    bool operator==(const Entry&) const = default;
};

// The entries of the category page `path` holding `page`, in page order, read
// as the engine reads it; a failure naming the page when it holds anything
// but thumbnail links (or none), which a rewrite would lose.
Result<QList<Entry>> parseCategoryPage(const QString& path, const QByteArray& page);
// The entries of a page, or none when parseCategoryPage refuses it.
QList<Entry> readCategoryPage(const QByteArray& page);
// A category page in the shipped pages' form: a grid of thumbnail links, the
// first template link being the first "#" of the file.
QByteArray categoryPage(const QString& category, const QList<Entry>& entries);

// "Back in Stock" -> "back-in-stock.png", as the shipped thumbnails are named.
QString thumbnailFileName(const QString& templateName);
// The picture an added template shows until its thumbnail is rendered.
QByteArray placeholderThumbnail();

// Why `name` cannot be a new template's name, or success.
Status checkNewName(const LibrarySet& libraries, const QString& name);
// Why `category` cannot hold the user's templates, or success.
Status checkCategory(const LibrarySet& libraries, const QString& category);

struct Added
{
    QString name;
    QString category;
    QString templatePath;  // templates/<name>.dat
    QString thumbnailPath; // a placeholder until the caller renders the template over it
};

// Adds `file` (see TemplateImport::composeFromFile) as the template `name` of
// the user's category `category`, creating the library and the category as needed.
Result<Added> add(const LibrarySet& libraries, const QString& file, const QString& category,
                  const QString& name);

// Puts a rendered thumbnail in place of the template's placeholder, unless
// it has been renamed or removed meanwhile.
Status setThumbnail(const LibrarySet& libraries, const QString& name, const QByteArray& png);

// Renames a template of the user's: its file, its thumbnail and its link.
Status rename(const LibrarySet& libraries, const QString& oldName, const QString& newName);

// Removes a template of the user's; a category left empty goes with it.
Status remove(const LibrarySet& libraries, const QString& name);

// Puts a removed template back: the packed template `packed` as `name` at
// `position` of the page of `category` (at its end when the page is shorter
// now), with the thumbnail `png`, or a placeholder when it is empty. A name
// taken meanwhile is refused, as add refuses it.
Result<Added> restore(const LibrarySet& libraries, const QString& name, const QString& category,
                      qsizetype position, const QByteArray& packed, const QByteArray& png);

// Finishes or takes back a change of the user's library `library` that was
// cut off, and removes what killed writes left; the gallery runs it at start.
Status repair(const QString& library);

// The user's category whose page links `name`, or the reason there is none.
Result<QString> categoryOf(const LibrarySet& libraries, const QString& name);

} // namespace UserLibrary
