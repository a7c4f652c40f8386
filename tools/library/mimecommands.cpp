#include "command.h"

#include "core/export/templateexport.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFileInfo>

// The page is written even when the message is damaged, as the preview shows
// it; the problems are reported as a warning and make the command fail. A
// message that cannot be read at all writes nothing.
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
    const Status written = FileIo::writeAtomically(
        QDir(folder.absoluteFilePath()).filePath(QStringLiteral("msg.html")), page);
    if (!written) {
        err << "quillery-library: " << written.message() << '\n';
        return ExitFailure;
    }
    if (!problems.isEmpty()) {
        err << "quillery-library: warning: " << problems << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

// Exactly the window's "> html": staged, all or nothing, and refusing a damaged message.
int runExport(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QString source = arguments.at(0);
    const QString target = QDir::cleanPath(QDir::current().absoluteFilePath(arguments.at(1)));
    if (QFileInfo(source).size() > MimeComponent::MaxMessageSize) {
        err << "quillery-library: " << source << ": the message is larger than "
            << MimeComponent::MaxMessageSize / (1024 * 1024) << " MB\n";
        return ExitFailure;
    }
    const Result<QByteArray> message = FileIo::readAll(source);
    if (!message) {
        err << "quillery-library: " << message.status().message() << '\n';
        return ExitFailure;
    }
    if (const Status exported = TemplateExport::ExportHtmlMessageTo(*message, target, source);
        !exported) {
        err << "quillery-library: " << exported.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}
