#pragma once

#include "core/gallery/libraryset.h"
#include "core/platform/status.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The user's own templates, in a library folder of the same form as the
// shipped one (categories/<Category>.html, categories/thumbs/, templates/),
// so that every reader of a library works on it unchanged. Every change
// writes each file atomically and, when a step fails, puts back what the
// earlier steps changed: the library is either changed whole or not at all.
namespace UserLibrary {

inline const QString DefaultCategory = QStringLiteral("My templates");

// $XDG_DATA_HOME/quillery/library, ~/.local/share/quillery/library by default.
QString DefaultFolder();

// What a file is added as unless the user says otherwise: its base name.
QString DefaultName(const QString& file);

// A template's entry on its category page.
struct Entry
{
    QString name;
    QString thumbnail; // file name inside categories/thumbs/

    bool operator==(const Entry&) const = default;
};

// The entries of a category page the user library wrote, in page order.
QList<Entry> ReadCategoryPage(const QByteArray& page);
// A category page in the shipped pages' form: a grid of thumbnail links, the
// first template link being the first "#" of the file.
QByteArray CategoryPage(const QString& category, const QList<Entry>& entries);

// "Back in Stock" -> "back-in-stock.png", as the shipped thumbnails are named.
QString ThumbnailFileName(const QString& templateName);
// The picture an added template shows until its thumbnail is rendered.
QByteArray PlaceholderThumbnail();

// Why `name` cannot be a new template's name, or success.
Status CheckNewName(const LibrarySet& libraries, const QString& name);
// Why `category` cannot hold the user's templates, or success.
Status CheckCategory(const LibrarySet& libraries, const QString& category);

struct Added
{
    QString name;
    QString category;
    QString templatePath;  // templates/<name>.dat
    QString thumbnailPath; // a placeholder until the caller renders the template over it
};

// Adds `file` (see TemplateImport::ComposeFromFile) as the template `name` of
// the user's category `category`, creating the library and the category as needed.
Result<Added> Add(const LibrarySet& libraries, const QString& file, const QString& category,
                  const QString& name);

// Renames a template of the user's: its file, its thumbnail and its link.
Status Rename(const LibrarySet& libraries, const QString& oldName, const QString& newName);

// Removes a template of the user's; a category left empty goes with it.
Status Remove(const LibrarySet& libraries, const QString& name);

// The user's category whose page links `name`, or the reason there is none.
Result<QString> CategoryOf(const LibrarySet& libraries, const QString& name);

} // namespace UserLibrary
