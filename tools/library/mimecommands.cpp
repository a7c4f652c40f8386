#include "command.h"

#include "exportpaths.h"
#include "fileio.h"
#include "mimecomponent.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The page is written even when the message is broken, as the gallery does;
// the problems are reported and make the command fail. A message that cannot
// be read at all writes nothing.
int finish(const QString& pagePath, const QByteArray& page, const QString& problems,
           QTextStream& err)
{
    const Status written = FileIo::writeAtomically(pagePath, page);
    if (!written) {
        err << "quillery-library: " << written.message() << '\n';
        return ExitFailure;
    }
    if (!problems.isEmpty()) {
        err << "quillery-library: " << problems << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace

int runPage(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QFileInfo folder(QDir::cleanPath(QDir::current().absoluteFilePath(arguments.at(1))));
    MimeComponent mime;
    if (!mime.LoadEmlFile(arguments.at(0))) {
        err << "quillery-library: " << mime.lastError() << '\n';
        return ExitFailure;
    }
    const QByteArray page = mime.SaveHtmlToSubfolderUtf8(folder.absolutePath(), folder.fileName());
    const QString problems = mime.lastError();
    if (!QFileInfo(folder.absoluteFilePath()).isDir()) {
        err << "quillery-library: " << problems << '\n';
        return ExitFailure;
    }
    return finish(QDir(folder.absoluteFilePath()).filePath(QStringLiteral("msg.html")), page,
                  problems, err);
}

int runExport(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QFileInfo target(QDir::cleanPath(QDir::current().absoluteFilePath(arguments.at(1))));
    MimeComponent mime;
    if (!mime.LoadEmlFile(arguments.at(0))) {
        err << "quillery-library: " << mime.lastError() << '\n';
        return ExitFailure;
    }
    const QByteArray page = mime.SaveHtmlAndImagesUtf8(
        target.absolutePath(), ExportPaths::ImagesFolderName(target.fileName()));
    return finish(target.absoluteFilePath(), page, mime.lastError(), err);
}
