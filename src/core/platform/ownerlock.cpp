#include "core/platform/ownerlock.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool sameFile(int fd, const QString& path)
{
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd, &open) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace

OwnerLock::OwnerLock(OwnerLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path))
{
}

OwnerLock& OwnerLock::operator=(OwnerLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

OwnerLock::OwnerLock(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}

OwnerLock::~OwnerLock()
{
    release();
}

void OwnerLock::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

Result<OwnerLock> OwnerLock::tryTake(const QString& path, bool create)
{
    const QByteArray name = QFile::encodeName(path);
    // A remover may delete the file between our open and our flock; the lock
    // on a deleted file marks nothing, so the file is opened afresh.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd =
            ::open(name.constData(),
                   O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | (create ? O_CREAT : 0), 0600);
        if (fd < 0) {
            if (errno == ENOENT && !create)
                return OwnerLock();
            return Status::failure(QStringLiteral("%1: %2").arg(path, errnoText()));
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return OwnerLock();
            errno = error;
            return Status::failure(QCoreApplication::translate("OwnerLock", "%1: cannot lock: %2")
                                       .arg(path, errnoText()));
        }
        if (sameFile(fd, path))
            return OwnerLock(fd, path);
        ::close(fd);
    }
    return Status::failure(
        QCoreApplication::translate("OwnerLock", "%1: keeps being replaced").arg(path));
}

Result<OwnerLock> OwnerLock::createHeld(const QString& path)
{
    // The file is locked under a name nobody looks at, then moved to its own.
    const QString hidden =
        path + QStringLiteral(".%1~").arg(uint(QRandomGenerator::global()->generate()), 8, 16,
                                          QChar(u'0'));
    const int fd = ::open(QFile::encodeName(hidden).constData(),
                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(path, errnoText()));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::link(QFile::encodeName(hidden).constData(), QFile::encodeName(path).constData()) != 0) {
        const QString reason = errnoText();
        ::unlink(QFile::encodeName(hidden).constData());
        ::close(fd);
        return Status::failure(QStringLiteral("%1: %2").arg(path, reason));
    }
    ::unlink(QFile::encodeName(hidden).constData());
    return OwnerLock(fd, path);
}

bool OwnerLock::isInPlace() const
{
    return m_fd >= 0 && sameFile(m_fd, m_path);
}

void OwnerLock::removeAndRelease()
{
    if (m_fd >= 0 && sameFile(m_fd, m_path))
        ::unlink(QFile::encodeName(m_path).constData());
    release();
}
