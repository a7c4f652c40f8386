#include "core/export/exportpaths.h"

#include <QDir>
#include <QUrl>

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

QString imagesFolderName(const QString& pageFileName)
{
    for (const QLatin1String extension : {QLatin1String(".html"), QLatin1String(".htm")}) {
        if (pageFileName.size() > extension.size() &&
            pageFileName.endsWith(extension, Qt::CaseInsensitive))
            return pageFileName.chopped(extension.size()) + QLatin1String("_files");
    }
    return pageFileName + QLatin1String("_files");
}

QString imagesFolderPath(const QString& target)
{
    return QDir(GetPathInfoFromPath(target))
        .filePath(imagesFolderName(GetFilenameFromPath(target)));
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

QSet<QString> referencedImageNames(const QByteArray& page, const QString& imagesFolderName)
{
    // A reference ends where an attribute, a url() or a srcset entry ends; an
    // export writes these characters percent-encoded inside names.
    static const QByteArray ends = QByteArrayLiteral("\"'()<>,?#\\/ \t\r\n\f");
    QSet<QString> names;
    const QByteArray encoded = QUrl::toPercentEncoding(imagesFolderName) + '/';
    const QByteArray plain = imagesFolderName.toUtf8() + '/';
    for (const QByteArray& prefix : {encoded, plain}) {
        for (qsizetype at = page.indexOf(prefix); at >= 0; at = page.indexOf(prefix, at + 1)) {
            // "x_files/" must not be the end of "box_files/".
            if (at > 0 && !ends.contains(page.at(at - 1)) && page.at(at - 1) != '=')
                continue;
            const qsizetype start = at + prefix.size();
            qsizetype end = start;
            while (end < page.size() && !ends.contains(page.at(end)))
                ++end;
            if (end > start)
                names.insert(QUrl::fromPercentEncoding(page.mid(start, end - start)));
        }
    }
    return names;
}

} // namespace ExportPaths
