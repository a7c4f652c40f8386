#include "command.h"
#include "filecommands.h"

#include "core/gallery/library/templatedecoding.h"
#include "core/platform/fileio.h"

int runPack(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QString& source = arguments.at(0);
    const QString& target = arguments.at(1);
    if (isSameFile(source, target)) {
        err << "quillery-library: " << target << ": is the message itself; choose another output\n";
        return ExitFailure;
    }
    const Result<QByteArray> message = FileIo::readAll(source);
    if (!message) {
        err << "quillery-library: " << message.status().message() << '\n';
        return ExitFailure;
    }
    const Result<QByteArray> packed = Module1::packTemplate(*message);
    if (!packed) {
        err << "quillery-library: " << source << ": " << packed.status().message() << '\n';
        return ExitFailure;
    }
    const Status written = FileIo::writeAtomically(target, *packed);
    if (!written) {
        err << "quillery-library: " << written.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}
