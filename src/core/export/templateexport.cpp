#include "core/export/templateexport.h"

#include "core/export/exportpaths.h"
#include "core/export/exportstaging.h"
#include "core/gallery/library/templatestaging.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"
#include "core/platform/workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace TemplateExport {

namespace {

// Enough for any page an export writes; the references of a larger page
// beyond this are not seen, and its files count as the user's.
constexpr qint64 MaxPageRead = 256 * 1024 * 1024;

Status failure(const QString& path, const QString& reason)
{
    return Status::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason));
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool entryExists(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

Status decode(const QString& appFolder, const QString& name, QByteArray* message,
              QString* libraryPath)
{
    Result<TemplateStaging::DecodedTemplate> decoded = decodePreviewed(appFolder, name);
    if (!decoded)
        return decoded.status();
    *libraryPath = decoded->libraryPath;
    *message = std::move(decoded->message);
    return Status::success();
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

// A target the export must not write: a folder, or the file being exported,
// which would be lost.
Status checkTarget(const QString& target, const QString& sourceFile)
{
    const QFileInfo info(target);
    if (info.isDir())
        return failure(target, QCoreApplication::translate("TemplateExport",
                                                           "a folder of this name is in the way"));
    if (info.exists() && info.canonicalFilePath() == QFileInfo(sourceFile).canonicalFilePath())
        return failure(target, QCoreApplication::translate("TemplateExport",
                                                           "this is the file being exported"));
    return Status::success();
}

// The entries of the images folder of the page being replaced that the page
// does not refer to. The overwrite question named only the page, so these are
// the user's and must survive the replacement.
Status userEntries(const QString& target, const QString& imagesPath, const QString& imagesName,
                   QStringList* names)
{
    QFile page(target);
    if (!page.open(QIODevice::ReadOnly))
        return failure(target, page.errorString());
    const QByteArray text = page.read(std::min(page.size(), MaxPageRead));
    if (page.error() != QFileDevice::NoError)
        return failure(target, page.errorString());
    const QSet<QString> referenced = ExportPaths::referencedImageNames(text, imagesName);
    const QStringList present =
        QDir(imagesPath)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    for (const QString& name : present) {
        struct stat info = {};
        const bool file =
            ::lstat(QFile::encodeName(QDir(imagesPath).filePath(name)).constData(), &info) == 0 &&
            S_ISREG(info.st_mode);
        if (!file || !referenced.contains(name))
            names->append(name);
    }
    return Status::success();
}

// Puts `staged` in the place of `target`, with the old `target`, if any, left
// at `staged`. An exchange never shows a moment without the folder.
bool replaceFolder(const QString& staged, const QString& target, QString* reason)
{
    const QByteArray from = QFile::encodeName(staged);
    const QByteArray to = QFile::encodeName(target);
    if (!entryExists(target)) {
        if (::rename(from.constData(), to.constData()) == 0)
            return true;
    } else if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) ==
               0) {
        return true;
    } else if (errno == EINVAL || errno == ENOSYS) {
        // A file system without exchanges: the old folder steps aside first.
        const QByteArray aside = from + '~';
        if (::rename(to.constData(), aside.constData()) == 0) {
            if (::rename(from.constData(), to.constData()) == 0) {
                // The old folder takes the staging folder's place, to be removed with it.
                ::rename(aside.constData(), from.constData());
                return true;
            }
            const int error = errno;
            ::rename(aside.constData(), to.constData());
            errno = error;
        }
    }
    *reason = errnoText();
    return false;
}

} // namespace

Result<TemplateStaging::DecodedTemplate> decodePreviewed(const QString& appFolder,
                                                         const QString& name)
{
    if (name.isEmpty())
        return Status::failure(
            QCoreApplication::translate("TemplateExport", "No template is previewed."));
    return TemplateStaging::decodeTemplate(appFolder, name);
}

Status decodeTemplate(const QString& appFolder, const QString& name, QByteArray* message)
{
    QString libraryPath;
    return decode(appFolder, name, message, &libraryPath);
}

Status exportEmlTo(const QString& appFolder, const QString& name, const QString& target)
{
    QByteArray message;
    QString libraryPath;
    if (Status decoded = decode(appFolder, name, &message, &libraryPath); !decoded)
        return decoded;
    return exportEmlMessageTo(message, target, libraryPath);
}

Status exportEmlMessageTo(const QByteArray& message, const QString& target,
                          const QString& sourceFile)
{
    if (Status usable = checkTarget(target, sourceFile); !usable)
        return usable;
    return FileIo::writeAtomically(target, message);
}

Status exportHtmlTo(const QString& appFolder, const QString& name, const QString& target)
{
    QByteArray message;
    QString libraryPath;
    if (Status decoded = decode(appFolder, name, &message, &libraryPath); !decoded)
        return decoded;
    return exportHtmlMessageTo(message, target, libraryPath);
}

Status exportHtmlMessageTo(const QByteArray& message, const QString& target,
                           const QString& sourceFile)
{
    MimeComponent mime;
    // Any problem of the message itself means an incomplete page.
    if (!mime.LoadEmlData(message) || !mime.lastError().isEmpty())
        return failure(sourceFile, QCoreApplication::translate(
                                       "TemplateExport", "the message cannot be exported (%1)")
                                       .arg(mime.lastError()));

    const QString folder = ExportPaths::GetPathInfoFromPath(target);
    const QString fileName = ExportPaths::GetFilenameFromPath(target);
    if (folder.isEmpty() || fileName.isEmpty())
        return failure(
            target, QCoreApplication::translate("TemplateExport", "not the full path of a file"));
    if (Status usable = checkTarget(target, sourceFile); !usable)
        return usable;
    // A killed export's leftover may hold the images folder looked at below.
    StagingFolder::removeStale(folder);
    const QFileInfo targetInfo(target);
    const QString imagesName = ExportPaths::imagesFolderName(fileName);
    const QString imagesPath = ExportPaths::imagesFolderPath(target);
    const QFileInfo imagesInfo(imagesPath);
    if (imagesInfo.exists() && !imagesInfo.isDir())
        return failure(imagesPath, QCoreApplication::translate(
                                       "TemplateExport",
                                       "a file of this name is in the way of the images folder"));
    // The folder of a page being replaced goes with it; any other folder is the user's.
    const bool replaceImages = imagesInfo.isDir();
    if (replaceImages && !targetInfo.exists())
        return failure(imagesPath, QCoreApplication::translate(
                                       "TemplateExport",
                                       "a folder of this name is in the way of the images folder"));
    // A link goes as a link; what it leads to stays where it is.
    QStringList kept;
    if (replaceImages && !imagesInfo.isSymLink()) {
        if (Status read = userEntries(target, imagesPath, imagesName, &kept); !read)
            return read;
    }

    StagingFolder staging(folder);
    if (!staging.status())
        return staging.status();
    const QByteArray html = mime.saveHtmlAndImagesUtf8(staging.path(), imagesName);
    if (!mime.lastError().isEmpty())
        return failure(target, mime.lastError().replace(staging.path(), folder));
    const QString stagedImages = staging.filePath(imagesName);
    for (const QString& name : std::as_const(kept)) {
        if (entryExists(QDir(stagedImages).filePath(name)))
            return failure(
                QDir(imagesPath).filePath(name),
                QCoreApplication::translate("TemplateExport",
                                            "the page being replaced does not use this file, so it "
                                            "is kept, but the new export has a file of this name; "
                                            "move or rename it and export again"));
    }
    const QString stagedPage = staging.filePath(QStringLiteral("page"));
    if (Status written = writeNewFile(stagedPage, html, target); !written)
        return written;

    RenameJournal journal(staging.journalPath());
    QString reason;
    auto undone = [&journal, &reason](const QString& path) {
        journal.undo();
        return failure(path, reason);
    };
    const QString oldImages = staging.filePath(QStringLiteral("replaced"));
    if (replaceImages && !journal.move(imagesPath, oldImages, false, &reason))
        return undone(imagesPath);
    if (!kept.isEmpty() && !entryExists(stagedImages) && !QDir().mkdir(stagedImages)) {
        reason = errnoText();
        return undone(imagesPath);
    }
    for (const QString& name : std::as_const(kept)) {
        if (!journal.move(QDir(oldImages).filePath(name), QDir(stagedImages).filePath(name), false,
                          &reason))
            return undone(QDir(imagesPath).filePath(name));
    }
    if (entryExists(stagedImages) && !journal.move(stagedImages, imagesPath, false, &reason))
        return undone(imagesPath);
    if (!journal.move(stagedPage, target, true, &reason))
        return undone(target);
    return Status::success();
}

Status prepareHandoff(const QString& appFolder, const QString& name, QString* pagePath,
                      QString* warning)
{
    const Result<TemplateStaging::DecodedTemplate> decoded = decodePreviewed(appFolder, name);
    if (!decoded)
        return decoded.status();
    return prepareHandoffOf(*decoded, name, pagePath, warning);
}

Status prepareHandoffOf(const TemplateStaging::DecodedTemplate& decoded, const QString& name,
                        QString* pagePath, QString* warning)
{
    // A copy that runs for days clears the hand-offs of ended copies here too.
    modGetDirs::removeStaleWorkspaceFolders();
    const Result<QString> ownFolder = modGetDirs::ensureHandoffFolder();
    if (!ownFolder)
        return ownFolder.status();
    const QString& own = *ownFolder;

    // Template names hold no ":", so the staging folder never takes the name of a hand-off.
    QTemporaryDir staging(own + QStringLiteral("/staging:XXXXXX"));
    if (!staging.isValid())
        return failure(own, staging.errorString());
    const QString handoff = QDir(own).filePath(name);
    // A fresh number per hand-off, so the mailer never mistakes this page for an earlier one.
    const QString page =
        QStringLiteral("msg%1.html").arg(QRandomGenerator::global()->bounded(9999));
    const Result<TemplateStaging::StagedPage> staged =
        TemplateStaging::stageDecoded(decoded, staging.path(), page);
    if (!staged)
        return Status::failure(QString(staged.status().message()).replace(staging.path(), handoff));
    // The mailer gets the best page there is; what is wrong with it is said after.
    // Named after the message beside the page, which the user can open to see for themselves.
    warning->clear();
    if (!staged->problem.isEmpty())
        *warning = QStringLiteral("%1: %2").arg(
            QDir::toNativeSeparators(QDir(handoff).filePath(name + QStringLiteral(".eml"))),
            QString(staged->problem).replace(staging.path(), handoff));
    // The mailer may still be reading the earlier hand-off: it sees that one or
    // this one, never a part of either.
    QString reason;
    if (!replaceFolder(staging.path(), handoff, &reason))
        return failure(handoff, reason);
    *pagePath = QDir(handoff).filePath(page);
    return Status::success();
}

QStringList rookpostArguments(const QString& pagePath)
{
    return {QStringLiteral("/LOADHTML"), pagePath};
}

} // namespace TemplateExport
