#include "core/platform/fileio.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

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
