#include "core/platform/workspace.h"

#include "core/platform/ownerlock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

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
Result<int> openPrivateFolder(int parent, const QString& path)
{
    const QByteArray name =
        QFile::encodeName(parent == AT_FDCWD ? path : QFileInfo(path).fileName());
    if (::mkdirat(parent, name.constData(), 0700) != 0 && errno != EEXIST)
        return Status::failure(
            QCoreApplication::translate("Workspace", "%1: cannot create the folder: %2")
                .arg(path, errnoText()));
    const int fd =
        ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            return Status::failure(
                QCoreApplication::translate("Workspace",
                                            "%1 is a link or not a folder, so it is not used")
                    .arg(path));
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
        return Status::failure(QCoreApplication::translate(
                                   "Workspace", "%1 belongs to another user, so it is not used")
                                   .arg(path));
    }
    if ((info.st_mode & 0077) != 0 && ::fchmod(fd, 0700) != 0) {
        const QString reason = errnoText();
        ::close(fd);
        return Status::failure(
            QCoreApplication::translate("Workspace", "%1: cannot make it private: %2")
                .arg(path, reason));
    }
    return fd;
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

enum class Written { Ok, Taken, NotCreated, Torn };

// Never replaces a file: another running copy may be using a script of the same name.
Written writeNewFile(const QString& path, const QByteArray& content)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? Written::Taken : Written::NotCreated;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written ? Written::Ok : Written::Torn;
}

bool entryExists(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// Opens each level of `levels` below the workspace as ours alone, creating what is missing.
Result<QString> ensureFolders(const QStringList& levels)
{
    for (const QString& level : levels) {
        if (!isPlainName(level))
            return Status::failure(
                QCoreApplication::translate("Workspace", "\"%1\" is not a plain folder name")
                    .arg(level));
    }
    const QString workspace = modGetDirs::WorkspaceDir();
    if (!QDir::isAbsolutePath(workspace))
        return Status::failure(
            QCoreApplication::translate("Workspace", "the temp folder %1 does not exist")
                .arg(qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp"))));

    const Result<int> top = openPrivateFolder(AT_FDCWD, workspace);
    if (!top)
        return top.status();
    int fd = *top;
    QString folder = workspace;
    for (const QString& level : levels) {
        folder += u'/' + level;
        const Result<int> inner = openPrivateFolder(fd, folder);
        ::close(fd);
        if (!inner)
            return inner.status();
        fd = *inner;
    }
    ::close(fd);
    return folder;
}

// The name of this running copy's folders, and the lock that shows it still runs.
struct Identity
{
    QString workspace;
    QString id;
    OwnerLock lock;
};

QMutex s_identityMutex;

Identity& identity()
{
    static Identity instance;
    return instance;
}

// The process id, or with a suffix when that name is in use by a copy in
// another process namespace or still marks the hand-offs of an ended copy.
const QRegularExpression& idPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+(-[0-9]+)?$"));
    return pattern;
}

QString lockPath(const QString& msg, const QString& id)
{
    return msg + u'/' + id + QStringLiteral(".lock");
}

Result<QString> ownId()
{
    Identity& self = identity();
    const QString workspace = modGetDirs::WorkspaceDir();
    if (self.workspace == workspace && self.lock.isInPlace())
        return self.id;
    self = Identity();
    const Result<QString> msgFolder = ensureFolders({QStringLiteral("msg")});
    if (!msgFolder)
        return msgFolder.status();
    const QString& msg = *msgFolder;
    const QString pid = QString::number(::getpid());
    for (int n = 1; n <= 100; ++n) {
        const QString candidate = n == 1 ? pid : pid + u'-' + QString::number(n);
        // The mailer may still read the hand-offs of an ended copy of this name.
        if (entryExists(workspace + QStringLiteral("/rp/") + candidate))
            continue;
        Result<OwnerLock> lock = OwnerLock::tryTake(lockPath(msg, candidate), true);
        if (!lock)
            return lock.status();
        if (!lock->isHeld())
            continue;
        // An ended copy of this name may have left its preview behind.
        if (entryExists(msg + u'/' + candidate))
            Module1::RemoveFolder(msg + u'/' + candidate);
        self.workspace = workspace;
        self.id = candidate;
        self.lock = std::move(*lock);
        return candidate;
    }
    return Status::failure(
        QCoreApplication::translate("Workspace", "%1: no free folder name for this copy").arg(msg));
}

Result<QString> ensureOwnFolder(const QString& area)
{
    QMutexLocker locker(&s_identityMutex);
    const Result<QString> id = ownId();
    if (!id)
        return id.status();
    return ensureFolders({area, *id});
}

QStringList entryNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The newest change below `folder`, looking a few levels deep without following links.
qint64 newestChange(const QString& folder)
{
    qint64 newest = 0;
    auto consider = [&newest](const QString& path) {
        struct stat info = {};
        if (::lstat(QFile::encodeName(path).constData(), &info) == 0)
            newest = std::max<qint64>(newest, info.st_mtime);
        return S_ISDIR(info.st_mode);
    };
    QStringList level{folder};
    consider(folder);
    for (int depth = 0; depth < 3 && !level.isEmpty(); ++depth) {
        QStringList next;
        for (const QString& parent : std::as_const(level)) {
            for (const QString& name : entryNames(parent)) {
                const QString path = parent + u'/' + name;
                if (consider(path))
                    next.append(path);
            }
        }
        level = next;
    }
    return newest;
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

Result<QString> EnsureWorkspaceFolder(const QString& name)
{
    return ensureFolders({name});
}

Result<QString> EnsurePreviewFolder()
{
    return ensureOwnFolder(QStringLiteral("msg"));
}

Result<QString> EnsureHandoffFolder()
{
    return ensureOwnFolder(QStringLiteral("rp"));
}

void RemoveStaleWorkspaceFolders()
{
    QMutexLocker locker(&s_identityMutex);
    const QString workspace = WorkspaceDir();
    // Nothing of ours to clean, or a workspace that is not ours to touch.
    if (!isPrivateFolder(workspace))
        return;
    const Result<QString> msgFolder = ensureFolders({QStringLiteral("msg")});
    if (!msgFolder)
        return;
    const QString& msg = *msgFolder;
    const QString rp = workspace + QStringLiteral("/rp");
    QSet<QString> ids;
    for (QString name : entryNames(msg)) {
        if (name.endsWith(QStringLiteral(".lock")))
            name.chop(5);
        if (idPattern().match(name).hasMatch())
            ids.insert(name);
    }
    if (isPrivateFolder(rp)) {
        for (const QString& name : entryNames(rp)) {
            if (idPattern().match(name).hasMatch())
                ids.insert(name);
        }
    }
    const Identity& self = identity();
    const qint64 dayAgo = QDateTime::currentSecsSinceEpoch() - 24 * 60 * 60;
    for (const QString& id : std::as_const(ids)) {
        if (self.workspace == workspace && self.id == id)
            continue;
        Result<OwnerLock> lock = OwnerLock::tryTake(lockPath(msg, id), true);
        if (!lock || !lock->isHeld())
            continue;
        if (entryExists(msg + u'/' + id))
            Module1::RemoveFolder(msg + u'/' + id);
        if (entryExists(rp + u'/' + id) && newestChange(rp + u'/' + id) < dayAgo)
            Module1::RemoveFolder(rp + u'/' + id);
        lock->removeAndRelease();
    }
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

    // Another running copy may use any of the names at the same time: a taken
    // name is left to its owner and the next one is tried.
    const QByteArray command = "rm -rf -- " + shellQuoted(QFile::encodeName(victim)) + '\n';
    constexpr int names = 9999;
    const int first = int(QRandomGenerator::global()->bounded(names));
    for (int i = 0; i < names; ++i) {
        const QString script = workspace + QStringLiteral("/~rmdir%1.sh").arg((first + i) % names);
        const Written written = writeNewFile(script, command);
        if (written == Written::Taken)
            continue;
        if (written == Written::Ok)
            RunAndWait(QStringLiteral("/bin/sh"), {script});
        if (written != Written::NotCreated)
            QFile::remove(script);
        return;
    }
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
