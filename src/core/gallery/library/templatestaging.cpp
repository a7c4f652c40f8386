#include "core/gallery/library/templatestaging.h"

#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatelibrary.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TemplateStaging {

namespace {

// Staged files are working files that their reader takes at once, and the
// folder itself is what a caller publishes: a flush to disk per file would
// cost more than the whole write and protect nothing.
Status writeWorkingFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size() &&
        file.flush())
        return Status::success();
    return Status::failure(
        QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
}

// The page of `message` and the files it refers to. `libraryPath` names the
// template the message was decoded from; empty for a message from elsewhere.
Result<StagedPage> stagePage(const QByteArray& message, const QString& folder,
                             const QString& pageName, const QString& libraryPath)
{
    MimeComponent mime;
    if (!mime.LoadEmlData(message)) {
        if (libraryPath.isEmpty())
            return Status::failure(mime.lastError());
        return Status::failure(
            QCoreApplication::translate("TemplateStaging",
                                        "%1: the template is not a readable message (%2)")
                .arg(QDir::toNativeSeparators(libraryPath), mime.lastError()));
    }
    const QFileInfo folderInfo(QDir::cleanPath(QDir(folder).absolutePath()));
    StagedPage staged;
    staged.html = mime.saveHtmlToSubfolderUtf8(folderInfo.path(), folderInfo.fileName());
    staged.problem = mime.lastError();
    // The component creates the folder; when it could not, its problem says why.
    if (!QFileInfo(folderInfo.filePath()).isDir())
        return Status::failure(staged.problem);
    staged.page = QDir(folderInfo.filePath()).filePath(pageName);
    if (Status written = writeWorkingFile(staged.page, staged.html); !written)
        return written;
    return staged;
}

} // namespace

Result<DecodedTemplate> decodeTemplateFile(const QString& libraryPath)
{
    Result<QByteArray> file = FileIo::readAll(libraryPath);
    if (!file)
        return file.status();
    Result<QByteArray> message = Module1::unpackTemplate(*file);
    if (!message)
        return Status::failure(
            QCoreApplication::translate("TemplateStaging",
                                        "%1: the template cannot be decoded (%2)")
                .arg(QDir::toNativeSeparators(libraryPath), message.status().message()));
    return DecodedTemplate{libraryPath, std::move(*file), std::move(*message)};
}

Result<DecodedTemplate> decodeTemplate(const QString& appFolder, const QString& name)
{
    const Result<QString> libraryPath = TemplateLibrary::findTemplateFile(appFolder, name);
    if (!libraryPath)
        return libraryPath.status();
    return decodeTemplateFile(*libraryPath);
}

Result<StagedPage> stageDecoded(const DecodedTemplate& decoded, const QString& folder,
                                const QString& pageName)
{
    if (!QDir().mkpath(folder))
        return Status::failure(
            QCoreApplication::translate("TemplateStaging", "%1: the folder cannot be created")
                .arg(QDir::toNativeSeparators(folder)));
    const QString copy =
        QDir(folder).filePath(QFileInfo(decoded.libraryPath).completeBaseName() + ".dat");
    if (Status written = writeWorkingFile(copy, decoded.file); !written)
        return written;
    if (Status written = writeWorkingFile(Module1::decodedMessagePath(copy), decoded.message);
        !written)
        return written;
    return stagePage(decoded.message, folder, pageName, decoded.libraryPath);
}

Result<StagedPage> stageTemplate(const QString& appFolder, const QString& name,
                                 const QString& folder, const QString& pageName)
{
    const Result<DecodedTemplate> decoded = decodeTemplate(appFolder, name);
    if (!decoded)
        return decoded.status();
    return stageDecoded(*decoded, folder, pageName);
}

Result<StagedPage> stageMessage(const QByteArray& message, const QString& folder,
                                const QString& pageName)
{
    return stagePage(message, folder, pageName, QString());
}

} // namespace TemplateStaging
