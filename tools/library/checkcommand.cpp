#include "command.h"
#include "mailprograms.h"

#include "core/gallery/check/librarycheck.h"

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
