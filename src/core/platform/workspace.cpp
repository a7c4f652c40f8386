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
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// Closes a file descriptor when it goes out of scope.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// In a folder every user may write to, only the sticky bit keeps others from
// renaming or replacing our workspace between our check and our use of it.
Status checkSharedFolder(const QString& folder)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return Status::failure(QStringLiteral("%1: %2").arg(folder, errnoText()));
    if ((info.st_mode & S_IWOTH) != 0 && (info.st_mode & S_ISVTX) == 0)
        return Status::failure(
            QCoreApplication::translate(
                "Workspace",
                "the temp folder %1 is writable by every user and has no sticky bit, so "
                "another user could replace the workspace in it; it is not used (set TMPDIR "
                "to a folder of your own, or give the folder the sticky bit: chmod +t)")
                .arg(folder));
    return Status::success();
}

// Opens the workspace for removing in it: ours, private, and in a temp folder
// nobody else can rearrange; -1 otherwise.
int openWorkspace(const QString& workspace)
{
    if (!QDir::isAbsolutePath(workspace) || !checkSharedFolder(QFileInfo(workspace).path()).ok())
        return -1;
    const int fd = ::open(QFile::encodeName(workspace).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid() || (info.st_mode & 0022) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes the entry `name` of the folder `parent` with everything below it,
// never following a link: a link is removed itself.
void removeTreeAt(int parent, const QByteArray& name, int depth = 0)
{
    struct stat info = {};
    if (::fstatat(parent, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (!S_ISDIR(info.st_mode)) {
        ::unlinkat(parent, name.constData(), 0);
        return;
    }
    if (depth > 256)
        return;
    const int fd =
        ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* folder = ::fdopendir(fd);
    if (!folder) {
        ::close(fd);
        return;
    }
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(folder)) {
        const QByteArray inner(entry->d_name);
        if (inner != "." && inner != "..")
            names.append(inner);
    }
    for (const QByteArray& inner : std::as_const(names))
        removeTreeAt(::dirfd(folder), inner, depth + 1);
    ::closedir(folder);
    ::unlinkat(parent, name.constData(), AT_REMOVEDIR);
}

bool sameFile(int fd, int folder, const QByteArray& name)
{
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd, &open) == 0 &&
           ::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

const QRegularExpression& scriptPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^~rmdir(0|[1-9][0-9]{0,3})\\.sh$"));
    return pattern;
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

// Removes the entry `name` of the open folder `parent` through a script in the
// open workspace `workspace`. The shell is handed the script and the folder as
// open files, never by path: nothing it runs or removes can be swapped for
// another by a name lookup in between.
void removeThroughScript(int workspace, int parent, const QByteArray& name)
{
    const QByteArray command =
        "cd /dev/fd/" + QByteArray::number(parent) + " && rm -rf -- " + shellQuoted(name) + '\n';
    // Another running copy may use any of the names at the same time: a taken
    // name is left to its owner and the next one is tried.
    constexpr int names = 9999;
    const int first = int(QRandomGenerator::global()->bounded(names));
    for (int i = 0; i < names; ++i) {
        const QByteArray script = "~rmdir" + QByteArray::number((first + i) % names) + ".sh";
        const int fd = ::openat(workspace, script.constData(),
                                O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return;
        // Held while the script is in use, so the clean-up at a start knows it is not a leftover.
        ::flock(fd, LOCK_EX);
        if (::write(fd, command.constData(), size_t(command.size())) == command.size()) {
            QProcess process;
            process.setProgram(QStringLiteral("/bin/sh"));
            process.setArguments({QStringLiteral("/dev/fd/%1").arg(fd)});
            process.setStandardInputFile(QProcess::nullDevice());
            process.setStandardOutputFile(QProcess::nullDevice());
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process.setChildProcessModifier([fd, parent] {
                ::fcntl(fd, F_SETFD, 0);
                ::fcntl(parent, F_SETFD, 0);
            });
            process.start();
            if (process.waitForStarted(-1))
                process.waitForFinished(-1);
        }
        if (sameFile(fd, workspace, script))
            ::unlinkat(workspace, script.constData(), 0);
        ::close(fd);
        return;
    }
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

    if (const Status shared = checkSharedFolder(QFileInfo(workspace).path()); !shared)
        return shared;
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

// Scripts of copies that were killed while removing a folder. A script in use
// is locked by its copy; one just being created is younger than a minute.
void removeLeftoverScripts(int workspace)
{
    const int fd = ::fcntl(workspace, F_DUPFD_CLOEXEC, 0);
    DIR* folder = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!folder) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    QList<QByteArray> scripts;
    while (const dirent* entry = ::readdir(folder)) {
        if (scriptPattern().match(QFile::decodeName(entry->d_name)).hasMatch())
            scripts.append(QByteArray(entry->d_name));
    }
    ::closedir(folder);
    const qint64 minuteAgo = QDateTime::currentSecsSinceEpoch() - 60;
    for (const QByteArray& name : std::as_const(scripts)) {
        const Fd script(::openat(workspace, name.constData(),
                                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat info = {};
        if (script.get() < 0 || ::fstat(script.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid() || info.st_mtime > minuteAgo ||
            ::flock(script.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (sameFile(script.get(), workspace, name))
            ::unlinkat(workspace, name.constData(), 0);
    }
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
    const QString temp = GetTempDir();
    const QString shared = temp + QStringLiteral("QYX");
    if (temp.isEmpty())
        return shared;
    // Another user may have made the shared name first, or put a link there:
    // then this user's previews go to a name of their own instead of failing.
    struct stat info = {};
    if (::lstat(QFile::encodeName(shared).constData(), &info) != 0 ||
        (!S_ISLNK(info.st_mode) && info.st_uid == ::geteuid()))
        return shared;
    return shared + u'-' + QString::number(::geteuid());
}

Result<QString> ensureWorkspaceFolder(const QString& name)
{
    return ensureFolders({name});
}

Result<QString> ensurePreviewFolder()
{
    return ensureOwnFolder(QStringLiteral("msg"));
}

Result<QString> ensureHandoffFolder()
{
    return ensureOwnFolder(QStringLiteral("rp"));
}

void removeStaleWorkspaceFolders()
{
    QMutexLocker locker(&s_identityMutex);
    const QString workspace = WorkspaceDir();
    // Nothing of ours to clean, or a workspace that is not ours to touch.
    const Fd workspaceFd(openWorkspace(workspace));
    if (workspaceFd.get() < 0)
        return;
    removeLeftoverScripts(workspaceFd.get());
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
    if (folder.contains(QChar(0)))
        return;
    const QString target = QDir::cleanPath(folder);
    if (!QDir::isAbsolutePath(target) || !target.startsWith(workspace + u'/'))
        return;
    const Fd workspaceFd(openWorkspace(workspace));
    if (workspaceFd.get() < 0)
        return;
    // Each level is opened below the last, never through a link, so the folder
    // removed is the one inside this workspace whatever is renamed meanwhile.
    const QStringList levels = target.mid(workspace.size() + 1).split(u'/');
    Fd parent(::fcntl(workspaceFd.get(), F_DUPFD_CLOEXEC, 0));
    for (qsizetype i = 0; i + 1 < levels.size() && parent.get() >= 0; ++i)
        parent.reset(::openat(parent.get(), QFile::encodeName(levels[i]).constData(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (parent.get() < 0)
        return;
    const QByteArray name = QFile::encodeName(levels.last());
    struct stat info = {};
    if (::fstatat(parent.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    // A link or a file in the folder's place goes itself, never what it leads to.
    if (!S_ISDIR(info.st_mode)) {
        ::unlinkat(parent.get(), name.constData(), 0);
        return;
    }
    removeThroughScript(workspaceFd.get(), parent.get(), name);
    // Where no shell could do it (no /bin/sh, no /dev/fd), the folder is removed here.
    removeTreeAt(parent.get(), name);
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
