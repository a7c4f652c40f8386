#include "command.h"

#include "core/export/templateexport.h"
#include "core/gallery/library/templatestaging.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The message file's bytes, refused before reading when the component would refuse them.
Result<QByteArray> readMessage(const QString& path)
{
    if (QFileInfo(path).size() > MimeComponent::MaxMessageSize)
        return Status::failure(QStringLiteral("%1: the message is larger than %2 MB")
                                   .arg(path)
                                   .arg(MimeComponent::MaxMessageSize / (1024 * 1024)));
    return FileIo::readAll(path);
}

} // namespace

// The page is written even when the message is damaged, as the preview shows
// it; the problems are reported as a warning and make the command fail. A
// message that cannot be read at all writes nothing.
int runPage(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QString source = arguments.at(0);
    const Result<QByteArray> message = readMessage(source);
    if (!message) {
        err << "quillery-library: " << message.status().message() << '\n';
        return ExitFailure;
    }
    const Result<TemplateStaging::StagedPage> staged = TemplateStaging::stageMessage(
        *message, QDir::current().absoluteFilePath(arguments.at(1)), QStringLiteral("msg.html"));
    if (!staged) {
        err << "quillery-library: " << source << ": " << staged.status().message() << '\n';
        return ExitFailure;
    }
    if (!staged->problem.isEmpty()) {
        err << "quillery-library: warning: " << source << ": " << staged->problem << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

// Exactly the window's "> html": staged, all or nothing, and refusing a damaged message.
int runExport(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QString source = arguments.at(0);
    const QString target = QDir::cleanPath(QDir::current().absoluteFilePath(arguments.at(1)));
    const Result<QByteArray> message = readMessage(source);
    if (!message) {
        err << "quillery-library: " << message.status().message() << '\n';
        return ExitFailure;
    }
    if (const Status exported = TemplateExport::exportHtmlMessageTo(*message, target, source);
        !exported) {
        err << "quillery-library: " << exported.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}
