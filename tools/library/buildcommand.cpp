#include "command.h"

#include "core/gallery/build/librarybuild.h"

namespace {

// Each line a "path: reason" of its own, as every command reports.
void report(const QString& lines, QTextStream& err)
{
    for (const QString& line : lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        err << "quillery-library: " << line << '\n';
}

} // namespace

int runBuild(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString warnings;
    QTextStream warningStream(&warnings);
    const Status built = LibraryBuild::build(arguments.at(0), arguments.at(1), out, warningStream);
    warningStream.flush();
    report(warnings, err);
    if (!built)
        report(built.message(), err);
    return built ? ExitOk : ExitFailure;
}
