#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIo {

Result<QByteArray> readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return data;
}

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QCoreApplication::translate("FileIo", "is a folder");
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("FileIo", "is a FIFO (a named pipe), not a file");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("FileIo", "is a socket, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("FileIo", "is a device, not a file");
    return QCoreApplication::translate("FileIo", "is not a regular file");
}

QString sizeText(qint64 bytes)
{
    return bytes % (1024 * 1024) == 0
               ? QCoreApplication::translate("FileIo", "%1 MB").arg(bytes / (1024 * 1024))
               : QCoreApplication::translate("FileIo", "%1 bytes").arg(bytes);
}

} // namespace

namespace {

// Opens a file that must be regular and at most `maxBytes`; -1 with `problem` set otherwise.
int openSmallFile(const QString& path, qint64 maxBytes, bool followLinks, QString* problem,
                  qint64* size)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        const int error = errno;
        struct stat info = {};
        if (error == ENOENT)
            *problem = ::lstat(QFile::encodeName(path).constData(), &info) == 0
                           ? QCoreApplication::translate("FileIo", "is a link to a missing file")
                           : QCoreApplication::translate("FileIo", "is missing");
        else if (error == ELOOP)
            *problem = QCoreApplication::translate("FileIo", "is a link, not a file");
        else if (error == ENXIO)
            *problem = QCoreApplication::translate("FileIo", "is a socket, not a file");
        else
            *problem = qt_error_string(error);
        return -1;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        *problem = qt_error_string(errno);
    else if (!S_ISREG(info.st_mode))
        *problem = kindOf(info.st_mode);
    else if (info.st_size > maxBytes)
        *problem =
            QCoreApplication::translate("FileIo", "is larger than %1").arg(sizeText(maxBytes));
    if (!problem->isEmpty()) {
        ::close(fd);
        return -1;
    }
    *size = info.st_size;
    return fd;
}

} // namespace

Status checkSmallFile(const QString& path, qint64 maxBytes, bool followLinks)
{
    QString problem;
    qint64 size = 0;
    const int fd = openSmallFile(path, maxBytes, followLinks, &problem, &size);
    if (fd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(path, problem));
    ::close(fd);
    return Status::success();
}

Result<QByteArray> readSmallFile(const QString& path, qint64 maxBytes, bool followLinks)
{
    QString problem;
    qint64 size = 0;
    const int fd = openSmallFile(path, maxBytes, followLinks, &problem, &size);
    if (fd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(path, problem));
    // The file may grow while it is read: never more than the bound.
    QByteArray data(qsizetype(size) + 1, Qt::Uninitialized);
    qsizetype have = 0;
    for (;;) {
        const ssize_t got = ::read(fd, data.data() + have, size_t(data.size() - have));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            problem = qt_error_string(errno);
            break;
        }
        if (got == 0)
            break;
        have += got;
        if (have > maxBytes) {
            problem =
                QCoreApplication::translate("FileIo", "is larger than %1").arg(sizeText(maxBytes));
            break;
        }
        if (have == data.size())
            data.resize(std::min<qsizetype>(data.size() * 2, qsizetype(maxBytes) + 1));
    }
    ::close(fd);
    if (!problem.isEmpty())
        return Status::failure(QStringLiteral("%1: %2").arg(path, problem));
    data.truncate(have);
    return data;
}

Status writeAtomically(const QString& path, const QByteArray& data,
                       const BeforeReplace& beforeReplace)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    // QSaveFile buffers, and commit() misses an error of its own final flush
    // (a full disk, a file size limit) and would rename a torn file into place.
    // A short write loses the system's reason, so it is taken from errno.
    errno = 0;
    if (file.write(data) != data.size() || !file.flush()) {
        const QString reason = errno != 0 ? qt_error_string(errno) : file.errorString();
        file.cancelWriting();
        return Status::failure(QStringLiteral("%1: %2").arg(path, reason));
    }
    if (beforeReplace) {
        if (Status status = beforeReplace(); !status) {
            file.cancelWriting();
            return status;
        }
    }
    if (!file.commit())
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return Status::success();
}

} // namespace FileIo
