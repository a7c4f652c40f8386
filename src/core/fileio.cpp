#include "fileio.h"

#include <QFile>
#include <QSaveFile>

namespace FileIo {

std::optional<QByteArray> readAll(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return data;
}

Status writeAtomically(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Status::failure(QStringLiteral("%1: %2").arg(path, reason));
    }
    if (!file.commit())
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return Status::success();
}

} // namespace FileIo
