#include "command.h"

#include "core/export/serviceexport.h"
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

// The window's "Export for a mailing service": the zip, then its report on
// standard output; a field the service has no tag for is a warning, not a failure.
int runExportService(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList positional;
    ServiceExport::Options options;
    const auto usage = [&err] {
        err << "quillery-library: usage: quillery-library export-service MESSAGE.eml ARCHIVE.zip "
               "[--service NAME] [--images-at URL]\n";
        return ExitUsage;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--service" || argument == u"--images-at") {
            if (i + 1 >= arguments.size())
                return usage();
            const QString value = arguments[++i];
            if (argument == u"--images-at") {
                options.images = ServiceExport::Images::AtAddress;
                options.address = value;
                continue;
            }
            const std::optional<MergeFields::Service> service = MergeFields::serviceFromKey(value);
            if (!service) {
                QStringList keys;
                for (const MergeFields::ServiceInfo& info : MergeFields::services())
                    keys << QString::fromLatin1(info.key);
                err << "quillery-library: " << value
                    << ": no such service; one of: " << keys.join(QStringLiteral(", ")) << '\n';
                return ExitUsage;
            }
            options.service = *service;
        } else if (argument.startsWith(u"--")) {
            return usage();
        } else {
            positional << argument;
        }
    }
    if (positional.size() != 2)
        return usage();
    const QString source = positional.at(0);
    const QString target = QDir::cleanPath(QDir::current().absoluteFilePath(positional.at(1)));
    const Result<QByteArray> message = readMessage(source);
    if (!message) {
        err << "quillery-library: " << message.status().message() << '\n';
        return ExitFailure;
    }
    ServiceExport::Report report;
    if (const Status exported =
            ServiceExport::exportMessageTo(*message, target, source, options, &report);
        !exported) {
        err << "quillery-library: " << exported.message() << '\n';
        return ExitFailure;
    }
    out << "page: " << report.pageBytes << " bytes"
        << (report.clipped() ? " (Gmail clips a message's HTML past " : " (under the ")
        << ServiceExport::GmailClipBytes
        << (report.clipped() ? " bytes)\n" : " bytes Gmail shows)\n")
        << "images: " << report.imageBytes << " bytes in " << report.imageCount << " files\n";
    for (const QString& field : std::as_const(report.unconverted))
        err << "quillery-library: warning: " << MergeFields::service(options.service).name
            << " has no tag for " << field << "; the page keeps it as it is\n";
    return ExitOk;
}
