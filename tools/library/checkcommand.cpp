#include "command.h"

#include "core/gallery/librarycheck.h"

#include <QDir>

int runCheck(const QStringList& arguments, QTextStream& out, QTextStream&)
{
    const QString folder = QDir::cleanPath(arguments.at(0));
    const LibraryCheck::Problems problems = LibraryCheck::CheckLibrary(folder);
    for (const LibraryCheck::Problem& problem : problems)
        out << problem.toString() << '\n';
    // Not faults: a sender's to-do list, shown whatever the verdict.
    for (const LibraryCheck::TemplateLinks& entry : LibraryCheck::LinksToReplace(folder)) {
        out << entry.templatePath << ": " << entry.links.size()
            << (entry.links.size() == 1 ? " link" : " links") << " to replace before sending\n";
        for (const PlaceholderLinks::Link& link : entry.links) {
            out << "    HTML line " << link.line << ": " << link.url;
            if (!link.text.isEmpty())
                out << " (\u201c" << link.text << "\u201d)";
            out << '\n';
        }
    }
    if (!problems.isEmpty()) {
        out << folder << ": " << problems.size()
            << (problems.size() == 1 ? " problem\n" : " problems\n");
        return ExitFailure;
    }
    out << folder << ": no problems\n";
    return ExitOk;
}
