#include "core/platform/trash.h"

#include "core/platform/fileio.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString failure(const QString& path, const QString& reason)
{
    return QDir::toNativeSeparators(path) + QLatin1String(": ") + reason;
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The record is created new, so that two programs trashing the same name
// at once do not take one place: the one that loses tries the next name.
enum class Claim { Taken, Busy, Failed };

Claim claim(const QString& info, const QByteArray& content, QString* reason)
{
    const QByteArray path = QFile::encodeName(info);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return Claim::Busy;
        *reason = failure(info, systemReason());
        return Claim::Failed;
    }
    const bool done =
        ::write(fd, content.constData(), size_t(content.size())) == ssize_t(content.size()) &&
        ::fsync(fd) == 0;
    const QString why = done ? QString() : systemReason();
    ::close(fd);
    if (!done) {
        *reason = failure(info, why);
        ::unlink(path.constData());
        return Claim::Failed;
    }
    return Claim::Taken;
}

} // namespace

namespace Trash {

QString homeTrash()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/Trash");
}

Result<Item> putCopy(const QString& file)
{
    const QFileInfo source(file);
    if (!source.isFile())
        return Status::failure(failure(file, QStringLiteral("not a file")));
    const QString trash = homeTrash();
    for (const QString& folder :
         {trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (QFileInfo(folder).isDir())
            continue;
        // Private, as the trash rules ask: it holds what the user deleted.
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            return Status::failure(failure(folder, systemReason()));
    }
    const Result<QByteArray> content = FileIo::readAll(file);
    if (!content)
        return content.status();
    const QByteArray record =
        "[Trash Info]\nPath=" + QUrl::toPercentEncoding(source.absoluteFilePath(), "/") +
        "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
        "\n";
    const QString base = source.completeBaseName();
    const QString suffix = source.suffix().isEmpty() ? QString() : u'.' + source.suffix();
    for (int n = 1; n < 1000; ++n) {
        const QString name =
            n == 1 ? source.fileName() : QStringLiteral("%1.%2%3").arg(base).arg(n).arg(suffix);
        Item item{trash + QStringLiteral("/files/") + name,
                  trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo")};
        // A file without a record is no item of anyone's; its name is skipped all the same.
        if (QFileInfo::exists(item.file))
            continue;
        QString reason;
        switch (claim(item.info, record, &reason)) {
        case Claim::Busy:
            continue;
        case Claim::Failed:
            return Status::failure(reason);
        case Claim::Taken:
            break;
        }
        if (const Status written = FileIo::writeAtomically(item.file, *content); !written) {
            QFile::remove(item.info);
            return written;
        }
        return item;
    }
    return Status::failure(
        failure(trash, QStringLiteral("no free name for %1").arg(source.fileName())));
}

Status discard(const Item& item)
{
    // The reverse of putting it in: cut off halfway, this leaves a record
    // whose file is gone, which a trash tidies away, never a file nobody
    // knows the place of.
    if (QFileInfo::exists(item.file) && !QFile::remove(item.file))
        return Status::failure(failure(item.file, QStringLiteral("cannot be removed")));
    if (QFileInfo::exists(item.info) && !QFile::remove(item.info))
        return Status::failure(failure(item.info, QStringLiteral("cannot be removed")));
    return Status::success();
}

} // namespace Trash
