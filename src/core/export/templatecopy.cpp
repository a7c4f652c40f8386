#include "core/export/templatecopy.h"

#include "core/export/exportpaths.h"
#include "core/export/templateexport.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QUrl>

namespace TemplateCopy {

namespace {

constexpr qint64 MaxPictureBytes = 64 * 1024 * 1024;

// The characters that end a reference, as ExportPaths::referencedImageNames
// reads them: the export writes them percent-encoded inside names.
const QByteArray& referenceEnds()
{
    static const QByteArray ends = QByteArrayLiteral("\"'()<>,?#\\/ \t\r\n\f");
    return ends;
}

// The picture `name` in `folder` as a data: URL, or empty when it is not a
// plain file holding a picture.
QByteArray dataUrl(const QString& folder, const QString& name, QList<Picture>* pictures)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')))
        return {};
    // The MIME component bounds what it writes; this bounds what a page
    // carries to the clipboard from a folder that is not the export's.
    const Result<QByteArray> read =
        FileIo::readSmallFile(QDir(folder).filePath(name), MaxPictureBytes, false);
    if (!read)
        return {};
    const QByteArray& data = *read;
    // By content: a file named .png that holds markup stays out of the page.
    const QString type = QMimeDatabase().mimeTypeForData(data).name();
    if (!type.startsWith(QLatin1String("image/")))
        return {};
    if (pictures)
        pictures->append({name, type, data});
    return "data:" + type.toLatin1() + ";base64," + data.toBase64();
}

} // namespace

QByteArray inlinePictures(const QByteArray& page, const QString& imagesFolderName,
                          const QString& imagesFolder, QList<Picture>* pictures)
{
    const QByteArray& ends = referenceEnds();
    const QByteArray encoded = QUrl::toPercentEncoding(imagesFolderName) + '/';
    const QByteArray plain = imagesFolderName.toUtf8() + '/';
    QHash<QString, QByteArray> urls;
    QByteArray out;
    qsizetype copied = 0;
    qsizetype at = 0;
    while (at < page.size()) {
        qsizetype prefix = 0;
        // "x_files/" must not be the end of "box_files/".
        if (at == 0 || ends.contains(page.at(at - 1)) || page.at(at - 1) == '=') {
            const QByteArrayView rest = QByteArrayView(page).sliced(at);
            if (rest.startsWith(encoded))
                prefix = encoded.size();
            else if (rest.startsWith(plain))
                prefix = plain.size();
        }
        if (prefix == 0) {
            ++at;
            continue;
        }
        const qsizetype start = at + prefix;
        qsizetype end = start;
        while (end < page.size() && !ends.contains(page.at(end)))
            ++end;
        if (end > start) {
            const QString name = QUrl::fromPercentEncoding(page.mid(start, end - start));
            auto found = urls.constFind(name);
            if (found == urls.constEnd())
                found = urls.insert(name, dataUrl(imagesFolder, name, pictures));
            if (!found->isEmpty()) {
                out += QByteArrayView(page).sliced(copied, at - copied);
                out += *found;
                copied = end;
            }
        }
        at = end;
    }
    out += QByteArrayView(page).sliced(copied);
    return out;
}

Result<PortablePage> portablePage(const QString& library, const QString& name,
                                  const QString& workFolder)
{
    const QString target = QDir(workFolder).filePath(QStringLiteral("page.html"));
    const QString images = ExportPaths::imagesFolderPath(target);
    const auto clean = [&] {
        QFile::remove(target);
        QDir(images).removeRecursively();
    };
    clean();
    if (const Status exported = TemplateExport::exportHtmlTo(library, name, target); !exported) {
        clean();
        return exported;
    }
    const Result<QByteArray> html = FileIo::readAll(target);
    if (!html) {
        clean();
        return html.status();
    }
    PortablePage page;
    page.html = inlinePictures(*html, ExportPaths::imagesFolderName(QStringLiteral("page.html")),
                               images, &page.pictures);
    clean();
    return page;
}

} // namespace TemplateCopy
