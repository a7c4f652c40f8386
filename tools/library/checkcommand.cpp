#include "command.h"

#include "core/gallery/librarycheck.h"

#include <QDir>

int runCheck(const QStringList& arguments, QTextStream& out, QTextStream&)
{
    const QString folder = QDir::cleanPath(arguments.at(0));
    const LibraryCheck::Problems problems = LibraryCheck::CheckLibrary(folder);
    for (const LibraryCheck::Problem& problem : problems)
        out << problem.toString() << '\n';
    if (!problems.isEmpty()) {
        out << folder << ": " << problems.size()
            << (problems.size() == 1 ? " problem\n" : " problems\n");
        return ExitFailure;
    }
    out << folder << ": no problems\n";
    return ExitOk;
}
