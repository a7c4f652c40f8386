#include "templateexport.h"

#include "exportpaths.h"
#include "fileio.h"
#include "mimecomponent.h"
#include "templatedecoding.h"
#include "templatelibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace TemplateExport {

namespace {

Status failure(const QString& path, const QString& reason)
{
    return Status::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason));
}

// The library file of `name`, or the reason why there is nothing to export.
Status findLibraryFile(const QString& appFolder, const QString& name, QString* path)
{
    if (name.isEmpty())
        return Status::failure(QStringLiteral("No template is previewed."));
    if (!TemplateLibrary::IsPlainTemplateName(name))
        return Status::failure(QStringLiteral("\"%1\" is not a template name.").arg(name));
    *path = TemplateLibrary::TemplateFilePath(appFolder, name);
    if (!QFileInfo(*path).isFile())
        return failure(*path, QStringLiteral("the template file is missing"));
    return Status::success();
}

Status loadMessage(MimeComponent& mime, const QByteArray& message, const QString& libraryPath)
{
    if (!mime.LoadEmlData(message))
        return failure(
            libraryPath,
            QStringLiteral("the template is not a readable message (%1)").arg(mime.lastError()));
    return Status::success();
}

QString reasonOf(const std::error_code& error)
{
    return QString::fromStdString(error.message());
}

bool moveEntry(const QString& from, const QString& to, std::error_code& error)
{
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), error);
    return !error;
}

// `shownPath` is the file the user knows, not the staged one.
Status writeNewFile(const QString& path, const QByteArray& data, const QString& shownPath)
{
    QFile file(path);
    // A short write (a full disk) loses the system's reason, so it is taken from errno.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(data) != data.size() ||
        !file.flush()) {
        const Status status =
            failure(shownPath, errno != 0 ? qt_error_string(errno) : file.errorString());
        file.remove();
        return status;
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failure(shownPath, file.errorString());
    return Status::success();
}

// A target the export must not write: a folder, or the library file being
// exported, which would be lost to the library.
Status checkTarget(const QString& appFolder, const QString& name, const QString& target)
{
    const QFileInfo info(target);
    if (info.isDir())
        return failure(target, QStringLiteral("a folder of this name is in the way"));
    const QString library =
        QFileInfo(TemplateLibrary::TemplateFilePath(appFolder, name)).canonicalFilePath();
    if (info.exists() && info.canonicalFilePath() == library)
        return failure(target, QStringLiteral("this is the template's own library file"));
    return Status::success();
}

} // namespace

Status DecodeTemplate(const QString& appFolder, const QString& name, QByteArray* message)
{
    QString path;
    if (Status found = findLibraryFile(appFolder, name, &path); !found)
        return found;
    QString error;
    const std::optional<QByteArray> data = FileIo::readAll(path, &error);
    if (!data)
        return Status::failure(error);
    std::optional<QByteArray> decoded = Module1::UnpackTemplate(*data, &error);
    if (!decoded)
        return failure(path, QStringLiteral("the template cannot be decoded (%1)").arg(error));
    *message = std::move(*decoded);
    return Status::success();
}

Status ExportEmlTo(const QString& appFolder, const QString& name, const QString& target)
{
    QByteArray message;
    if (Status decoded = DecodeTemplate(appFolder, name, &message); !decoded)
        return decoded;
    if (Status usable = checkTarget(appFolder, name, target); !usable)
        return usable;
    return FileIo::writeAtomically(target, message);
}

Status ExportHtmlTo(const QString& appFolder, const QString& name, const QString& target)
{
    QByteArray message;
    if (Status decoded = DecodeTemplate(appFolder, name, &message); !decoded)
        return decoded;
    MimeComponent mime;
    if (Status loaded =
            loadMessage(mime, message, TemplateLibrary::TemplateFilePath(appFolder, name));
        !loaded)
        return loaded;

    const QString folder = ExportPaths::GetPathInfoFromPath(target);
    const QString fileName = ExportPaths::GetFilenameFromPath(target);
    if (folder.isEmpty() || fileName.isEmpty())
        return failure(target, QStringLiteral("not the full path of a file"));
    if (Status usable = checkTarget(appFolder, name, target); !usable)
        return usable;
    const QFileInfo targetInfo(target);
    const QString imagesName = ExportPaths::ImagesFolderName(fileName);
    const QString imagesPath = ExportPaths::ImagesFolderPath(target);
    const QFileInfo imagesInfo(imagesPath);
    if (imagesInfo.exists() && !imagesInfo.isDir())
        return failure(imagesPath,
                       QStringLiteral("a file of this name is in the way of the images folder"));
    // The folder of a page being replaced goes with it; any other folder is the user's.
    const bool replaceImages = imagesInfo.isDir();
    if (replaceImages && !targetInfo.exists())
        return failure(imagesPath,
                       QStringLiteral("a folder of this name is in the way of the images folder"));

    QTemporaryDir staging(QDir(folder).filePath(QStringLiteral(".quillery-export-XXXXXX")));
    if (!staging.isValid())
        return failure(folder, staging.errorString());
    const QByteArray html = mime.SaveHtmlAndImagesUtf8(staging.path(), imagesName);
    // Any problem, also one of the message itself, means an incomplete page.
    if (!mime.lastError().isEmpty())
        return failure(target, mime.lastError());
    const QString stagedPage = staging.filePath(QStringLiteral("page"));
    if (Status written = writeNewFile(stagedPage, html, target); !written)
        return written;

    std::error_code error;
    const QString oldImages = staging.filePath(QStringLiteral("replaced"));
    if (replaceImages && !moveEntry(imagesPath, oldImages, error))
        return failure(imagesPath, reasonOf(error));
    const QString stagedImages = staging.filePath(imagesName);
    const bool hasImages = QFileInfo(stagedImages).isDir();
    if (hasImages && !moveEntry(stagedImages, imagesPath, error)) {
        const Status status = failure(imagesPath, reasonOf(error));
        if (replaceImages)
            moveEntry(oldImages, imagesPath, error);
        return status;
    }
    if (!moveEntry(stagedPage, target, error)) {
        const Status status = failure(target, reasonOf(error));
        if (hasImages)
            moveEntry(imagesPath, stagedImages, error);
        if (replaceImages)
            moveEntry(oldImages, imagesPath, error);
        return status;
    }
    return Status::success();
}

Status PrepareHandoff(const QString& appFolder, const QString& name, const QString& rpFolder,
                      int number, QString* pagePath)
{
    QString libraryPath;
    if (Status found = findLibraryFile(appFolder, name, &libraryPath); !found)
        return found;
    QString error;
    const std::optional<QByteArray> library = FileIo::readAll(libraryPath, &error);
    if (!library)
        return Status::failure(error);
    const QString copy = QDir(rpFolder).filePath(name + QStringLiteral(".dat"));
    if (Status copied = FileIo::writeAtomically(copy, *library); !copied)
        return copied;
    if (Status decrypted = Module1::DecryptFile(copy, QByteArray(Module1::TemplateKey)); !decrypted)
        return decrypted;
    if (Status decoded = Module1::UnencryptFile(copy); !decoded)
        return decoded;

    MimeComponent mime;
    const QString messagePath = Module1::DecodedMessagePath(copy);
    if (!mime.LoadEmlFile(messagePath))
        return failure(
            messagePath,
            QStringLiteral("the template is not a readable message (%1)").arg(mime.lastError()));
    const QFileInfo rp(rpFolder);
    const QByteArray html = mime.SaveHtmlToSubfolderUtf8(rp.absolutePath(), rp.fileName());
    if (!mime.lastError().isEmpty())
        return failure(rpFolder, mime.lastError());
    const QString page = QDir(rpFolder).filePath(QStringLiteral("msg%1.html").arg(number));
    if (Status written = FileIo::writeAtomically(page, html); !written)
        return written;
    *pagePath = page;
    return Status::success();
}

QStringList RookpostArguments(const QString& pagePath)
{
    return {QStringLiteral("/LOADHTML"), pagePath};
}

} // namespace TemplateExport
