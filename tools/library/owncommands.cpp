// The user's own templates from the command line: add, rename, remove.

#include "command.h"

#include "core/gallery/library/libraryset.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <optional>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

struct Options
{
    QStringList positional;
    QHash<QString, QString> values; // "--category" -> its value
};

// The arguments with the options `allowed` taken out; none when one is
// unknown or lacks its value, said on `err`.
std::optional<Options> parse(const QStringList& arguments, const QStringList& allowed,
                             QTextStream& err)
{
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            options.positional << argument;
            continue;
        }
        const bool hasValue =
            i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--"));
        if (!allowed.contains(argument) || !hasValue) {
            err << "quillery-library: " << argument
                << (allowed.contains(argument) ? " needs a value\n" : " is not an option here\n");
            return std::nullopt;
        }
        options.values.insert(argument, arguments[++i]);
    }
    return options;
}

LibrarySet libraries(const Options& options)
{
    const QString here = QCoreApplication::applicationDirPath();
    return LibrarySet(QDir::cleanPath(options.values.value(QStringLiteral("--shipped"), here)),
                      QDir::cleanPath(options.values.value(QStringLiteral("--library"),
                                                           UserLibrary::defaultFolder())));
}

// The sibling renderer draws the thumbnail, which then replaces the
// placeholder; without it the template stays added and says so.
void renderThumbnail(const LibrarySet& libraries, const UserLibrary::Added& added, QTextStream& out,
                     QTextStream& err)
{
    const QString renderer =
        QCoreApplication::applicationDirPath() + QLatin1String("/quillery-thumbnails");
    if (!QFileInfo(renderer).isExecutable()) {
        err << "quillery-library: " << QDir::toNativeSeparators(renderer)
            << " is missing, so the template shows a placeholder thumbnail\n";
        return;
    }
    // Drawn outside the library, so that a renderer cut off leaves nothing in
    // it and a template removed meanwhile gets no picture back.
    QTemporaryDir work;
    const QString drawn = work.filePath(QStringLiteral("thumbnail.png"));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The renderer goes with the tool: killed, the tool leaves no renderer
    // behind writing on.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
    process.start(renderer, {QStringLiteral("thumb"), added.templatePath, drawn});
    const bool rendered = work.isValid() && process.waitForFinished(120000) &&
                          process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    const Result<QByteArray> png =
        rendered ? FileIo::readAll(drawn) : Result<QByteArray>(Status::failure(QString()));
    const Status placed =
        png ? UserLibrary::setThumbnail(libraries, added.name, *png) : png.status();
    if (!placed) {
        err << "quillery-library: the thumbnail could not be rendered, so the template shows a "
               "placeholder\n";
        if (!placed.message().isEmpty())
            err << placed.message() << '\n';
        return;
    }
    out << "thumbnail " << QDir::toNativeSeparators(added.thumbnailPath) << '\n';
}

} // namespace

int runAdd(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const std::optional<Options> options =
        parse(arguments, {"--category", "--name", "--library", "--shipped"}, err);
    if (!options || options->positional.size() != 1) {
        err << "quillery-library: usage: quillery-library add FILE [--category NAME] [--name "
               "NAME] [--library FOLDER]\n";
        return ExitUsage;
    }
    const QString file = options->positional.first();
    const LibrarySet set = libraries(*options);
    const Result<UserLibrary::Added> added = UserLibrary::add(
        set, file,
        options->values.value(QStringLiteral("--category"), UserLibrary::DefaultCategory),
        options->values.value(QStringLiteral("--name"), UserLibrary::defaultName(file)));
    if (!added) {
        err << added.status().message() << '\n';
        return ExitFailure;
    }
    out << "added \u201c" << added->name << "\u201d to \u201c" << added->category
        << "\u201d: " << QDir::toNativeSeparators(added->templatePath) << '\n';
    renderThumbnail(set, *added, out, err);
    return ExitOk;
}

int runRename(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const std::optional<Options> options = parse(arguments, {"--library", "--shipped"}, err);
    if (!options || options->positional.size() != 2) {
        err << "quillery-library: usage: quillery-library rename OLD NEW [--library FOLDER]\n";
        return ExitUsage;
    }
    const QStringList& names = options->positional;
    if (const Status status = UserLibrary::rename(libraries(*options), names[0], names[1]);
        !status) {
        err << status.message() << '\n';
        return ExitFailure;
    }
    out << "renamed \u201c" << names[0] << "\u201d to \u201c" << names[1] << "\u201d\n";
    return ExitOk;
}

int runRemove(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const std::optional<Options> options = parse(arguments, {"--library", "--shipped"}, err);
    if (!options || options->positional.size() != 1) {
        err << "quillery-library: usage: quillery-library remove NAME [--library FOLDER]\n";
        return ExitUsage;
    }
    const QString& name = options->positional.first();
    if (const Status status = UserLibrary::remove(libraries(*options), name); !status) {
        err << status.message() << '\n';
        return ExitFailure;
    }
    out << "removed \u201c" << name << "\u201d\n";
    return ExitOk;
}

int runRepair(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const std::optional<Options> options = parse(arguments, {"--library"}, err);
    if (!options || !options->positional.isEmpty()) {
        err << "quillery-library: usage: quillery-library repair [--library FOLDER]\n";
        return ExitUsage;
    }
    const QString library = QDir::cleanPath(
        options->values.value(QStringLiteral("--library"), UserLibrary::defaultFolder()));
    if (const Status status = UserLibrary::repair(library); !status) {
        err << status.message() << '\n';
        return ExitFailure;
    }
    out << "repaired " << QDir::toNativeSeparators(library) << '\n';
    return ExitOk;
}
