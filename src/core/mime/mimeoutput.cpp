#include "core/mime/mimeoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Mime {

bool isPlainName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QChar(0)) ||
        QFile::encodeName(name).size() > 255)
        return false;
#ifdef Q_OS_WIN
    if (name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char(':')))
        return false;
#endif
    return true;
}

Status OutputFolder::open(const QString& parent, const QString& name)
{
    m_path = QDir(parent).filePath(name);
    if (parent.isEmpty())
        return Status::failure(
            QCoreApplication::translate("MimeComponent", "no folder given for the images"));
    if (!isPlainName(name))
        return Status::failure(
            QCoreApplication::translate("MimeComponent",
                                        "'%1' is not a plain folder name for the images")
                .arg(name));
    return openFolder(parent, name);
}

Status OutputFolder::write(const QString& wanted, const QByteArray& data, QString* usedName)
{
    if (m_filesWritten >= MaxOutputFiles)
        return Status::failure(
            QCoreApplication::translate(
                "MimeComponent", "%1: the message has more than %2 files; the rest are not shown")
                .arg(m_path)
                .arg(MaxOutputFiles));
    if (m_bytesWritten + data.size() > MaxOutputBytes)
        return Status::failure(
            QCoreApplication::translate(
                "MimeComponent",
                "%1: the message's files come to more than %2 MB; the rest are not "
                "shown")
                .arg(m_path)
                .arg(MaxOutputBytes / (1024 * 1024)));
    // An existing file is never replaced: it may be a link, or a file of the
    // caller's; the next free variant of the name is taken instead.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString name = m_names.take(wanted);
        QString error;
        switch (createNew(name, data, &error)) {
        case Created::Yes:
            m_bytesWritten += data.size();
            ++m_filesWritten;
            *usedName = name;
            return Status::success();
        case Created::NameTaken:
            continue;
        case Created::Failed:
            return Status::failure(
                QStringLiteral("%1: %2").arg(QDir(m_path).filePath(name), error));
        }
    }
    return Status::failure(
        QCoreApplication::translate("MimeComponent", "%1: no free file name for %2")
            .arg(m_path, wanted));
}

#ifdef Q_OS_WIN

OutputFolder::~OutputFolder() = default;

Status OutputFolder::openFolder(const QString& parent, const QString& name)
{
    QDir(parent).mkdir(name);
    const QFileInfo folder(m_path);
    if (folder.isSymLink() || folder.isJunction())
        return Status::failure(
            QCoreApplication::translate("MimeComponent", "%1: is a link, not a folder")
                .arg(m_path));
    if (!folder.isDir())
        return Status::failure(
            QCoreApplication::translate("MimeComponent", "%1: cannot create the folder")
                .arg(m_path));
    return Status::success();
}

OutputFolder::Created OutputFolder::createNew(const QString& name, const QByteArray& data,
                                              QString* error)
{
    QFile file(QDir(m_path).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (file.exists())
            return Created::NameTaken;
        *error = file.errorString();
        return Created::Failed;
    }
    if (file.write(data) != data.size() || !file.flush()) {
        *error = file.errorString();
        file.remove();
        return Created::Failed;
    }
    return Created::Yes;
}

#else

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

OutputFolder::~OutputFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

// Everything below goes through the folder's handle, so a link planted in
// place of the folder or of a file is never followed.
Status OutputFolder::openFolder(const QString& parent, const QString& name)
{
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
            m_path, isLink ? QCoreApplication::translate("MimeComponent", "is a link, not a folder")
                           : reason(error)));
    }
    return Status::success();
}

OutputFolder::Created OutputFolder::createNew(const QString& name, const QByteArray& data,
                                              QString* error)
{
    const QByteArray encoded = QFile::encodeName(name);
    const int fd = ::openat(m_fd, encoded.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return Created::NameTaken;
        *error = reason(errno);
        return Created::Failed;
    }
    bool written = writeAll(fd, data.constData(), data.size());
    int failure = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (!written) {
        ::unlinkat(m_fd, encoded.constData(), 0);
        *error = reason(failure);
        return Created::Failed;
    }
    return Created::Yes;
}

#endif

} // namespace Mime
