#include "command.h"
#include "mailprograms.h"

#include "core/brand/brandapply.h"
#include "core/gallery/check/librarycheck.h"
#include "core/gallery/check/linkprobe.h"
#include "core/gallery/check/sendcheck.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatestaging.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include <algorithm>

namespace {

void printLinksToReplace(const QString& folder, QTextStream& out)
{
    for (const LibraryCheck::TemplateLinks& entry : LibraryCheck::linksToReplace(folder)) {
        out << entry.templatePath << ": " << entry.links.size()
            << (entry.links.size() == 1 ? " link" : " links") << " to replace before sending\n";
        for (const PlaceholderLinks::Link& link : entry.links) {
            out << "    HTML line " << link.line << ": " << link.url;
            if (!link.text.isEmpty())
                out << " (\u201c" << link.text << "\u201d)";
            out << '\n';
        }
    }
}

// Which parts of each template a brand fills in: the gallery's "in my brand"
// has nothing to change in a template without them.
void printBrandSlots(const QString& folder, QTextStream& out)
{
    const QDir templates(folder + QLatin1String("/templates"));
    const QStringList files =
        templates.entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const Result<QByteArray> bytes =
            FileIo::readSmallFile(templates.filePath(file), MimeComponent::MaxMessageSize);
        if (!bytes)
            continue; // checkLibrary names it
        const Result<QByteArray> message = Module1::unpackTemplate(*bytes);
        if (!message)
            continue;
        for (const MimeComponent::TextPart& part : MimeComponent::readTextParts(*message).parts) {
            if (part.type != "text/html")
                continue;
            const BrandApply::Slots found = BrandApply::slotsOf(part.content);
            if (!found.slotNames.isEmpty() || !found.colourRoles.isEmpty())
                out << folder << "/templates/" << file << ": brand slots: "
                    << (found.slotNames.isEmpty() ? QStringLiteral("none")
                                                  : found.slotNames.join(QLatin1String(", ")))
                    << "; " << found.colourRoles.size() << " colour roles\n";
            break;
        }
    }
}

const QString OutlookPrefix = QStringLiteral("in Outlook for Windows (model): ");

// The Outlook model's verdict on one library file, beside the mail programs.
void addOutlookModel(SendCheck::Report& report, const QString& templatePath)
{
    const QString renderer =
        QCoreApplication::applicationDirPath() + QLatin1String("/quillery-thumbnails");
    const MailPrograms::Report outlook = MailPrograms::OutlookTemplates({templatePath}, renderer);
    QList<SendCheck::Finding> findings;
    for (const LibraryCheck::Problem& problem : outlook.findings) {
        QString text = problem.reason;
        if (text.startsWith(OutlookPrefix))
            text = QStringLiteral("Outlook for Windows (model): ") + text.mid(OutlookPrefix.size());
        findings.append({SendCheck::Section::MailPrograms,
                         SendCheck::Severity::Problem,
                         SendCheck::Kind::OutlookModel,
                         text,
                         {}});
    }
    SendCheck::addFindings(report, findings);
    for (const MailPrograms::NotChecked& notChecked : outlook.notChecked)
        report.notChecked.append({SendCheck::Section::MailPrograms, notChecked.why});
}

// Asks each web address of the report's links, as "Check links now" does.
void addLinkAnswers(SendCheck::Report& report)
{
    LinkProbe probe;
    QEventLoop loop;
    QObject::connect(
        &probe, &LinkProbe::finished, &loop,
        [&](const QList<LinkProbe::Answer>& answers, const QList<SendCheck::Gap>& notChecked) {
            SendCheck::addFindings(report, LinkProbe::findings(answers));
            report.notChecked += notChecked;
            loop.quit();
        });
    probe.start(report.links);
    loop.exec();
}

// check TEMPLATE --report|--json: the pre-send report of one template, a
// library file (.dat) or a message (.eml) as "> eml" writes it.
int runTemplateReport(QStringList positional, QTextStream& out, QTextStream& err)
{
    const bool json = positional.removeAll(QStringLiteral("--json")) > 0;
    const bool text = positional.removeAll(QStringLiteral("--report")) > 0;
    SendCheck::Options options;
    options.spam = positional.removeAll(QStringLiteral("--no-spam")) == 0;
    const bool outlookModel = positional.removeAll(QStringLiteral("--no-outlook-model")) == 0;
    const bool checkLinks = positional.removeAll(QStringLiteral("--check-links")) > 0;
    if (positional.size() != 1 || positional.first().startsWith(QLatin1String("--")) ||
        json == text) {
        err << "quillery-library: usage: quillery-library check TEMPLATE (--report | --json) "
               "[--no-spam] [--no-outlook-model] [--check-links]\n";
        return ExitUsage;
    }
    const QString path = positional.first();
    QByteArray message;
    const bool isLibraryFile = !path.endsWith(QLatin1String(".eml"), Qt::CaseInsensitive);
    if (isLibraryFile) {
        const Result<TemplateStaging::DecodedTemplate> decoded =
            TemplateStaging::decodeTemplateFile(path);
        if (!decoded) {
            err << "quillery-library: " << decoded.status().message() << '\n';
            return ExitFailure;
        }
        message = decoded->message;
    } else {
        const Result<QByteArray> read = FileIo::readSmallFile(path, MimeComponent::MaxMessageSize);
        if (!read) {
            err << "quillery-library: " << read.status().message() << '\n';
            return ExitFailure;
        }
        message = *read;
    }
    SendCheck::Report report = SendCheck::check(message, options);
    if (outlookModel && isLibraryFile)
        addOutlookModel(report, path);
    else if (outlookModel)
        report.notChecked.append(
            {SendCheck::Section::MailPrograms,
             QStringLiteral("The Outlook model lays out library files only: pack the message "
                            "first to check it there.")});
    if (checkLinks)
        addLinkAnswers(report);
    const QString name = QFileInfo(path).fileName();
    if (json)
        out << QString::fromUtf8(SendCheck::toJson(report, name));
    else
        out << SendCheck::toText(report, name);
    out.flush();
    if (report.verdict() == SendCheck::Verdict::Problems)
        return ExitFailure;
    // A check that could not run is not a pass; one skipped on request is.
    const bool skippedOnly = std::all_of(
        report.notChecked.begin(), report.notChecked.end(), [&](const SendCheck::Gap& gap) {
            return (!options.spam && gap.section == SendCheck::Section::Spam) ||
                   (!outlookModel && gap.section == SendCheck::Section::MailPrograms);
        });
    return skippedOnly ? ExitOk : ExitNotChecked;
}

} // namespace

int runCheck(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.contains(QStringLiteral("--report")) ||
        arguments.contains(QStringLiteral("--json")))
        return runTemplateReport(arguments, out, err);
    QStringList positional = arguments;
    const bool mailPrograms = positional.removeAll(QStringLiteral("--no-mail-programs")) == 0;
    if (positional.size() != 1 || positional.first().startsWith(QLatin1String("--"))) {
        err << "quillery-library: usage: quillery-library check LIBRARY_FOLDER "
               "[--no-mail-programs]\n";
        return ExitUsage;
    }
    const QString folder = QDir::cleanPath(positional.first());
    LibraryCheck::Problems problems = LibraryCheck::checkLibrary(folder);
    MailPrograms::Report mail;
    if (mailPrograms)
        mail = MailPrograms::Check(MailPrograms::TemplatePaths(folder));
    problems += mail.findings;
    for (const LibraryCheck::Problem& problem : problems)
        out << problem.toString() << '\n';
    for (const MailPrograms::NotChecked& notChecked : mail.notChecked)
        err << "quillery-library: " << notChecked.why << '\n';
    // Not faults: a sender's to-do list, shown whatever the verdict.
    printLinksToReplace(folder, out);
    printBrandSlots(folder, out);

    out << folder << ": ";
    if (problems.isEmpty())
        out << "no problems";
    else
        out << problems.size() << (problems.size() == 1 ? " problem" : " problems");
    for (const MailPrograms::NotChecked& notChecked : mail.notChecked)
        out << "; " << notChecked.verdict;
    out << '\n';
    if (!problems.isEmpty())
        return ExitFailure;
    // A check that could not run is not a pass.
    return mail.notChecked.isEmpty() ? ExitOk : ExitNotChecked;
}
