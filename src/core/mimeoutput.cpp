#include "mimeoutput.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Mime {

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) &&
           QFile::encodeName(name).size() <= 255;
}

OutputFolder::~OutputFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Status OutputFolder::open(const QString& parent, const QString& name)
{
    m_path = QDir(parent).filePath(name);
    if (parent.isEmpty())
        return Status::failure(QStringLiteral("no folder given for the images"));
    if (!isPlainName(name))
        return Status::failure(
            QStringLiteral("'%1' is not a plain folder name for the images").arg(name));

    const int parentFd =
        ::open(QFile::encodeName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(parent, reason(errno)));
    const QByteArray encoded = QFile::encodeName(name);
    if (::mkdirat(parentFd, encoded.constData(), 0777) != 0 && errno != EEXIST) {
        const int error = errno;
        ::close(parentFd);
        return Status::failure(QStringLiteral("%1: %2").arg(m_path, reason(error)));
    }
    m_fd = ::openat(parentFd, encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    struct stat entry;
    const bool isLink =
        m_fd < 0 && ::fstatat(parentFd, encoded.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(entry.st_mode);
    ::close(parentFd);
    if (m_fd < 0) {
        return Status::failure(QStringLiteral("%1: %2").arg(
            m_path, isLink ? QStringLiteral("is a link, not a folder") : reason(error)));
    }
    return Status::success();
}

Status OutputFolder::write(const QString& wanted, const QByteArray& data, QString* usedName)
{
    if (m_fd < 0)
        return Status::failure(QStringLiteral("%1: the folder is not open").arg(m_path));
    if (m_filesWritten >= MaxOutputFiles || m_bytesWritten + data.size() > MaxOutputBytes)
        return Status::failure(QStringLiteral("%1: the message holds more than can be written "
                                              "(%2 files or %3 MB at most)")
                                   .arg(m_path)
                                   .arg(MaxOutputFiles)
                                   .arg(MaxOutputBytes / (1024 * 1024)));
    // An existing file is never replaced: it may be a link, or a file of the
    // caller's; the next free variant of the name is taken instead.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString name = m_names.take(wanted);
        const int fd = ::openat(m_fd, QFile::encodeName(name).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return Status::failure(
                QStringLiteral("%1: %2").arg(QDir(m_path).filePath(name), reason(errno)));
        }
        bool written = writeAll(fd, data.constData(), data.size());
        int error = errno;
        if (::close(fd) != 0 && written) {
            written = false;
            error = errno;
        }
        if (!written) {
            ::unlinkat(m_fd, QFile::encodeName(name).constData(), 0);
            return Status::failure(
                QStringLiteral("%1: %2").arg(QDir(m_path).filePath(name), reason(error)));
        }
        m_bytesWritten += data.size();
        ++m_filesWritten;
        *usedName = name;
        return Status::success();
    }
    return Status::failure(QStringLiteral("%1: no free file name for %2").arg(m_path, wanted));
}

} // namespace Mime
