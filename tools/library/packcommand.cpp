#include "command.h"
#include "filecommands.h"

#include "core/gallery/templatedecoding.h"
#include "core/platform/fileio.h"

int runPack(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    const QString& source = arguments.at(0);
    const QString& target = arguments.at(1);
    if (isSameFile(source, target)) {
        err << "quillery-library: " << target << ": is the message itself; choose another output\n";
        return ExitFailure;
    }
    QString error;
    const std::optional<QByteArray> message = FileIo::readAll(source, &error);
    if (!message) {
        err << "quillery-library: " << error << '\n';
        return ExitFailure;
    }
    const std::optional<QByteArray> packed = Module1::PackTemplate(*message, &error);
    if (!packed) {
        err << "quillery-library: " << source << ": " << error << '\n';
        return ExitFailure;
    }
    const Status written = FileIo::writeAtomically(target, *packed);
    if (!written) {
        err << "quillery-library: " << written.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}
