#include "core/export/serviceexport.h"

#include "core/export/exportpaths.h"
#include "core/export/exportstaging.h"
#include "core/export/templateexport.h"
#include "core/export/ziparchive.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>

#include <algorithm>

namespace ServiceExport {

namespace {

Status failure(const QString& path, const QString& reason)
{
    return Status::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason));
}

QString tr(const char* text)
{
    return QCoreApplication::translate("ServiceExport", text);
}

} // namespace

Result<QByteArray> checkAddress(const QString& address)
{
    const QString trimmed = address.trimmed();
    const auto refused = [&trimmed](const char* reason) {
        return Status::failure(QStringLiteral("%1: %2").arg(trimmed, tr(reason)));
    };
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (trimmed.isEmpty() || !url.isValid() || url.host().isEmpty())
        return refused(QT_TRANSLATE_NOOP("ServiceExport", "not a complete web address"));
    // Recipients' mail programs block or flag pictures fetched without TLS.
    if (url.scheme() != u"https")
        return refused(QT_TRANSLATE_NOOP("ServiceExport", "the address must start with https://"));
    // Every recipient would receive it.
    if (!url.userInfo().isEmpty())
        return refused(QT_TRANSLATE_NOOP("ServiceExport",
                                         "the address must not hold a user name or password"));
    if (url.hasQuery() || url.hasFragment())
        return refused(QT_TRANSLATE_NOOP("ServiceExport",
                                         "the address of a folder has no \"?\" or \"#\" part"));
    QByteArray encoded = url.toEncoded(QUrl::FullyEncoded);
    // Quotes, parentheses and the like would end an attribute or a CSS url().
    const bool plain = std::all_of(encoded.begin(), encoded.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               QByteArrayView("-._~:/%[]@").contains(c);
    });
    if (!plain)
        return refused(QT_TRANSLATE_NOOP(
            "ServiceExport",
            "the address holds a character that a page cannot name a picture with unescaped"));
    if (!encoded.endsWith('/'))
        encoded += '/';
    return encoded;
}

Status exportMessageTo(const QByteArray& message, const QString& target, const QString& sourceFile,
                       const Options& options, Report* report)
{
    *report = Report();
    QByteArray address;
    if (options.images == Images::AtAddress) {
        Result<QByteArray> checked = checkAddress(options.address);
        if (!checked)
            return checked.status();
        address = *checked;
    }
    MimeComponent mime;
    // Any problem of the message itself means an incomplete page.
    if (!mime.LoadEmlData(message) || !mime.lastError().isEmpty())
        return failure(sourceFile, QCoreApplication::translate(
                                       "TemplateExport", "the message cannot be exported (%1)")
                                       .arg(mime.lastError()));
    const QString folder = ExportPaths::GetPathInfoFromPath(target);
    if (folder.isEmpty() || ExportPaths::GetFilenameFromPath(target).isEmpty())
        return failure(
            target, QCoreApplication::translate("TemplateExport", "not the full path of a file"));
    if (QFileInfo(target).isDir())
        return failure(target, QCoreApplication::translate("TemplateExport",
                                                           "a folder of this name is in the way"));

    StagingFolder::removeStale(folder);
    StagingFolder staging(folder);
    if (!staging.status())
        return staging.status();
    // A folder name no template can hold by chance, so that every reference
    // the page makes to it is one the component wrote, and only those change.
    const QString imagesName =
        QStringLiteral("images-%1")
            .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    QByteArray page = mime.saveHtmlAndImagesUtf8(staging.path(), imagesName);
    if (!mime.lastError().isEmpty())
        return failure(target, mime.lastError().replace(staging.path(), folder));

    MergeFields::Result fields = MergeFields::toService(page, options.service);
    page = fields.text.replace(imagesName.toLatin1() + '/',
                               options.images == Images::AtAddress ? address : "images/");
    report->unconverted = fields.unconverted;
    report->pageBytes = page.size();

    QList<ZipArchive::Entry> entries{{QStringLiteral("index.html"), page}};
    const QDir images(staging.filePath(imagesName));
    QDirIterator it(images.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList names;
    while (it.hasNext())
        names.append(images.relativeFilePath(it.next()));
    names.sort();
    for (const QString& name : std::as_const(names)) {
        Result<QByteArray> data = FileIo::readAll(images.filePath(name));
        if (!data)
            return failure(target,
                           QString(data.status().message()).replace(staging.path(), folder));
        report->imageBytes += data->size();
        ++report->imageCount;
        entries.append({QStringLiteral("images/") + name, std::move(*data)});
    }
    return ZipArchive::write(target, entries);
}

Status exportTemplateTo(const QString& appFolder, const QString& name, const QString& target,
                        const Options& options, Report* report)
{
    QByteArray message;
    if (Status decoded = TemplateExport::decodeTemplate(appFolder, name, &message); !decoded)
        return decoded;
    return exportMessageTo(message, target, QDir(appFolder).filePath(name), options, report);
}

} // namespace ServiceExport
