#include "exportpaths.h"

#include <QDir>

#include <algorithm>

namespace ExportPaths {

namespace {

qsizetype lastSeparator(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    return std::max(slash, path.lastIndexOf(QLatin1Char('\\')));
#else
    return slash;
#endif
}

} // namespace

QString ImagesFolderName(const QString& pageFileName)
{
    for (const QLatin1String extension : {QLatin1String(".html"), QLatin1String(".htm")}) {
        if (pageFileName.size() > extension.size() &&
            pageFileName.endsWith(extension, Qt::CaseInsensitive))
            return pageFileName.chopped(extension.size()) + QLatin1String("_files");
    }
    return pageFileName + QLatin1String("_files");
}

QString ImagesFolderPath(const QString& target)
{
    return QDir(GetPathInfoFromPath(target))
        .filePath(ImagesFolderName(GetFilenameFromPath(target)));
}

QString GetPathInfoFromPath(const QString& path)
{
    const qsizetype separator = lastSeparator(path);
    if (separator < 0)
        return QString();
    if (separator == 0)
        return path.left(1);
    return path.left(separator);
}

QString GetFilenameFromPath(const QString& path)
{
    const qsizetype separator = lastSeparator(path);
    return separator < 0 ? QString() : path.mid(separator + 1);
}

} // namespace ExportPaths
