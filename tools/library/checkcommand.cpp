#include "command.h"
#include "mailprograms.h"

#include "core/brand/brandapply.h"
#include "core/gallery/check/librarycheck.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <QDir>

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

} // namespace

int runCheck(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
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
