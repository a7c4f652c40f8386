#include "workspace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

// Opens (creating it when missing) the folder `name` below `parent` as ours alone.
// The temp folder is shared with every user: a link or a folder that someone
// else put there first must never receive our files.
Status openPrivateFolder(int parent, const QString& path, int* folder)
{
    const QByteArray name =
        QFile::encodeName(parent == AT_FDCWD ? path : QFileInfo(path).fileName());
    if (::mkdirat(parent, name.constData(), 0700) != 0 && errno != EEXIST)
        return Status::failure(
            QStringLiteral("%1: cannot create the folder: %2").arg(path, errnoText()));
    const int fd =
        ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            return Status::failure(
                QStringLiteral("%1 is a link or not a folder, so it is not used").arg(path));
        return Status::failure(QStringLiteral("%1: %2").arg(path, errnoText()));
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        const QString reason = errnoText();
        ::close(fd);
        return Status::failure(QStringLiteral("%1: %2").arg(path, reason));
    }
    if (info.st_uid != ::geteuid()) {
        ::close(fd);
        return Status::failure(
            QStringLiteral("%1 belongs to another user, so it is not used").arg(path));
    }
    if ((info.st_mode & 0077) != 0 && ::fchmod(fd, 0700) != 0) {
        const QString reason = errnoText();
        ::close(fd);
        return Status::failure(QStringLiteral("%1: cannot make it private: %2").arg(path, reason));
    }
    *folder = fd;
    return Status::success();
}

// A script is only written where nobody else can put or change a file.
bool isPrivateFolder(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 0022) == 0;
}

// Single quotes take every byte literally; a quote inside ends the quoting, is
// escaped itself and reopens it.
QByteArray shellQuoted(QByteArray text)
{
    return '\'' + text.replace('\'', "'\\''") + '\'';
}

bool writeNewFile(const QString& path, const QByteArray& content)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

} // namespace

namespace modGetDirs {

QString GetTempDir()
{
    const QString temp = QDir::tempPath();
    if (temp.isEmpty() || temp.endsWith(u'/'))
        return temp;
    return temp + u'/';
}

QString WorkspaceDir()
{
    return GetTempDir() + QStringLiteral("QYX");
}

Status EnsureWorkspaceFolder(const QString& name, QString* path)
{
    if (!isPlainName(name))
        return Status::failure(QStringLiteral("\"%1\" is not a plain folder name").arg(name));
    const QString workspace = WorkspaceDir();
    if (!QDir::isAbsolutePath(workspace))
        return Status::failure(QStringLiteral("the temp folder %1 does not exist")
                                   .arg(qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp"))));

    int workspaceFd = -1;
    if (Status status = openPrivateFolder(AT_FDCWD, workspace, &workspaceFd); !status)
        return status;
    const QString folder = workspace + u'/' + name;
    int folderFd = -1;
    const Status status = openPrivateFolder(workspaceFd, folder, &folderFd);
    ::close(workspaceFd);
    if (!status)
        return status;
    ::close(folderFd);
    if (path)
        *path = folder;
    return Status::success();
}

} // namespace modGetDirs

namespace Module1 {

void RemoveFolder(const QString& folder)
{
    const QString workspace = modGetDirs::WorkspaceDir();
    if (!isPrivateFolder(workspace) || folder.contains(QChar(0)))
        return;
    const QString target = QDir::cleanPath(folder);
    if (!QDir::isAbsolutePath(target) || !target.startsWith(workspace + u'/'))
        return;
    // A link on the way to the folder could lead out of the workspace, so the
    // removal names the folder through its resolved parent.
    const QString parent = QFileInfo(QFileInfo(target).path()).canonicalFilePath();
    const QString root = QFileInfo(workspace).canonicalFilePath();
    if (root.isEmpty() || (parent != root && !parent.startsWith(root + u'/')))
        return;
    const QString victim = parent + u'/' + QFileInfo(target).fileName();

    QRandomGenerator random{quint32(QDateTime::currentMSecsSinceEpoch())};
    const QString script = workspace + QStringLiteral("/~rmdir%1.sh").arg(random.bounded(9999));
    const QByteArray command = "rm -rf -- " + shellQuoted(QFile::encodeName(victim)) + '\n';
    if (writeNewFile(script, command))
        RunAndWait(QStringLiteral("/bin/sh"), {script});
    QFile::remove(script);
}

bool RunAndWait(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start();
    if (!process.waitForStarted(-1))
        return false;
    process.waitForFinished(-1);
    return process.state() == QProcess::NotRunning;
}

} // namespace Module1
