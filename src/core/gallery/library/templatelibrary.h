#pragma once

#include "core/platform/status.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>

// The template library beside the program: "categories/" holds one page per
// category, "templates/" one scrambled file per template.
namespace TemplateLibrary {

// The library's two folders by name; every path into a library, and every
// entry the build writes, is made from these.
inline constexpr QLatin1String CategoriesFolderName("categories");
inline constexpr QLatin1String TemplatesFolderName("templates");

// appFolder + "/categories" and appFolder + "/templates".
QString categoriesFolder(const QString& appFolder);
QString templatesFolder(const QString& appFolder);

// "0Business.html" -> "Business": every ".html", "0" and "1" is deleted.
QString categoryNameFromFileName(const QString& fileName);

// Refuses a "categories" or "templates" folder that is a link leading out of
// the library (one that stays inside is fine); the message names the folder.
Status checkLibraryFolders(const QString& appFolder);

// Ordinary, non-hidden files matching *.html in any case, ascending without
// regard to case, as the reference file system lists them. None when the
// categories folder is a link out of the library.
QStringList categoryFileNames(const QString& appFolder);

// The names the category list shows, in listing order; duplicates are kept.
QStringList categoryNames(const QString& appFolder);

// name.html, then 0name.html, then 1name.html (the last one unchecked).
QString categoryPagePath(const QString& appFolder, const QString& categoryName);

// The page of a category by the probing rule of categoryPagePath, refusing one whose real path
// leaves the library's categories folder or is not a regular file. On success, the page's
// path in the library (links not followed).
Result<QString> findCategoryPage(const QString& appFolder, const QString& categoryName);

// The text between the page file's first "#" and the next double quote, read
// as bytes and taken verbatim (UTF-8, or Latin-1 when the bytes are not UTF-8);
// empty when the file cannot be read or has no "#" or no quote after it.
// A page whose real path leaves the folder it lies in, or that is not a
// regular file, is not read either, as findCategoryPage refuses it.
QString GetFirstLink(const QString& pagePath);

// The templates a category page links to, in page order, each once: the names
// a click on each of its links ("<a href=\"#name\">") selects, that is the
// fragment with character references and percent escapes resolved. Links
// elsewhere, and an empty fragment, name no template. Empty for a page that
// cannot be read or that GetFirstLink would refuse.
QStringList templateLinks(const QString& pagePath);

// The bytes of a page file as text: UTF-8, or Latin-1 when they are not UTF-8.
QString pageText(const QByteArray& bytes);

// A name that can stand as a file name inside the templates folder: no
// separators ("/", "\\", ":"), not "." or "..", no control characters, not empty.
bool isPlainTemplateName(const QString& name);

// appFolder + "/templates/" + name + ".dat"; empty for a name that is not
// plain, so such a name never reaches a file operation.
QString templateFilePath(const QString& appFolder, const QString& templateName);

// The library file of a template, refusing what the gallery must not open: an empty name, a
// name that is not a plain file name, a missing file, and an entry whose real path (links
// followed) leaves the library's templates folder or is not a regular file. The message names
// the path and the reason, ready to show to the user. On success, templateFilePath.
Result<QString> findTemplateFile(const QString& appFolder, const QString& name);

} // namespace TemplateLibrary
