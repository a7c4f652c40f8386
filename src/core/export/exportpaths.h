#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

// Where an exported page puts its images, and how a chosen path splits into
// folder and file name. Pure string rules, so they hold for any target.
namespace ExportPaths {

// The page's ".htm" or ".html" extension (any case) becomes "_files";
// any other name gets "_files" appended. Never equal to the name itself.
QString imagesFolderName(const QString& pageFileName);

// The images folder beside `target`: its folder joined with imagesFolderName of
// its file name ("/news.html" gives "/news_files").
QString imagesFolderPath(const QString& target);

// The folder of `path` without a trailing separator, except the root folder,
// which stays "/". Empty when the path names no folder.
QString GetPathInfoFromPath(const QString& path);

// The part after the last separator; empty when there is none.
QString GetFilenameFromPath(const QString& path);

// The names of the files inside the images folder `imagesFolderName` that
// `page` refers to as "imagesFolderName/file", percent-encoded or not: the
// files that an export of that page wrote.
QSet<QString> referencedImageNames(const QByteArray& page, const QString& imagesFolderName);

} // namespace ExportPaths
