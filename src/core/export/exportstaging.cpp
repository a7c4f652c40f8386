#include "core/export/exportstaging.h"

#include "core/platform/faultpoint.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstdio> // renameat2
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Prefix = QStringLiteral(".quillery-export-");
const QString LockName = QStringLiteral("owner.lock");
const QString JournalName = QStringLiteral("moves");
constexpr qint64 AbandonedAfterSeconds = 24 * 60 * 60;

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: the check and the rename are two steps.
    struct stat info = {};
    if (::lstat(to.constData(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

} // namespace

namespace {

// Leftovers go before a new staging folder joins them.
QString freshTemplate(const QString& folder)
{
    StagingFolder::removeStale(folder);
    return QDir(folder).filePath(Prefix + QStringLiteral("XXXXXX"));
}

} // namespace

StagingFolder::StagingFolder(const QString& folder) : m_dir(freshTemplate(folder))
{
    const QString shown = QDir::toNativeSeparators(folder);
    if (!m_dir.isValid()) {
        m_status = Status::failure(QStringLiteral("%1: %2").arg(shown, m_dir.errorString()));
        return;
    }
    const QString lockPath = m_dir.filePath(LockName);
    Result<OwnerLock> locked = OwnerLock::createHeld(lockPath);
    if (!locked) {
        // The message names the lock file, which lies in the staging folder.
        const QString reason = locked.status().message().mid(lockPath.size() + 2);
        m_status = Status::failure(QStringLiteral("%1: %2").arg(shown, reason));
        return;
    }
    m_lock = std::move(*locked);
}

void StagingFolder::removeStale(const QString& folder)
{
    const QStringList names =
        QDir(folder).entryList({Prefix + QStringLiteral("??????")},
                               QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const qint64 abandoned = QDateTime::currentSecsSinceEpoch() - AbandonedAfterSeconds;
    for (const QString& name : names) {
        const QString path = QDir(folder).filePath(name);
        struct stat info = {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::geteuid())
            continue;
        const Result<OwnerLock> lock = OwnerLock::tryTake(QDir(path).filePath(LockName), false);
        if (!lock)
            continue;
        if (!lock->isHeld()) {
            // Held by a running export, or not marked at all: an export marks
            // its folder at once, so only one killed in that moment, or one
            // older than the marks, leaves an unmarked folder behind.
            struct stat mark = {};
            const bool marked =
                ::lstat(QFile::encodeName(QDir(path).filePath(LockName)).constData(), &mark) == 0;
            if (marked || info.st_mtime > abandoned)
                continue;
        }
        // A killed export may have set the user's files aside in it.
        if (!RenameJournal::recover(QDir(path).filePath(JournalName)))
            continue;
        std::error_code error;
        std::filesystem::remove_all(QFile::encodeName(path).toStdString(), error);
    }
}

bool RenameJournal::log(const QString& from, const QString& to, bool replace, QString* reason)
{
    if (m_log.isEmpty())
        return true;
    const QByteArray line = QByteArray(replace ? "R " : "N ") + QUrl::toPercentEncoding(from) +
                            ' ' + QUrl::toPercentEncoding(to) + '\n';
    const int fd = ::open(QFile::encodeName(m_log).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    bool written = fd >= 0 && ::write(fd, line.constData(), size_t(line.size())) == line.size() &&
                   ::fdatasync(fd) == 0;
    if (!written)
        *reason = errnoText();
    if (fd >= 0)
        ::close(fd);
    return written;
}

bool RenameJournal::recover(const QString& logPath)
{
    QFile file(logPath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    struct Move
    {
        bool replace;
        QByteArray from;
        QByteArray to;
    };
    QList<Move> moves;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3)
            continue; // the line being written when the export was killed
        moves.append({parts[0] == "R", QFile::encodeName(QUrl::fromPercentEncoding(parts[1])),
                      QFile::encodeName(QUrl::fromPercentEncoding(parts[2]))});
    }
    struct stat info = {};
    auto exists = [&info](const QByteArray& path) { return ::lstat(path.constData(), &info) == 0; };
    // The replacing move comes last: once made, the export was complete.
    for (const Move& move : std::as_const(moves))
        if (move.replace && !exists(move.from))
            return true;
    bool whole = true;
    for (auto it = moves.crbegin(); it != moves.crend(); ++it) {
        if (it->replace || !exists(it->to) || exists(it->from))
            continue;
        if (!renameNoReplace(it->to, it->from))
            whole = false;
    }
    return whole;
}

bool RenameJournal::move(const QString& from, const QString& to, bool replace, QString* reason)
{
    if (!log(from, to, replace, reason))
        return false;
    FaultPoint::reached("export-move");
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    const bool moved = replace ? ::rename(source.constData(), target.constData()) == 0
                               : renameNoReplace(source, target);
    if (!moved) {
        *reason = errnoText();
        return false;
    }
    m_done.append({from, to});
    return true;
}

void RenameJournal::undo()
{
    while (!m_done.isEmpty()) {
        const auto [from, to] = m_done.takeLast();
        renameNoReplace(QFile::encodeName(to), QFile::encodeName(from));
    }
}
