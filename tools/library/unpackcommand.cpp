#include "command.h"
#include "filecommands.h"

#include "core/gallery/library/templatestaging.h"
#include "core/platform/fileio.h"

// Decodes in memory, so the library file is only ever read, and a file that
// does not decode leaves no output behind.
int runUnpack(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QString& source = arguments.at(0);
    const QString& target = arguments.at(1);
    if (isSameFile(source, target)) {
        err << "quillery-library: " << target
            << ": is the library file itself; choose another output\n";
        return ExitFailure;
    }
    const Result<TemplateStaging::DecodedTemplate> decoded =
        TemplateStaging::decodeTemplateFile(source);
    if (!decoded) {
        err << "quillery-library: " << decoded.status().message() << '\n';
        return ExitFailure;
    }
    const Status written = FileIo::writeAtomically(target, decoded->message);
    if (!written) {
        err << "quillery-library: " << written.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}
