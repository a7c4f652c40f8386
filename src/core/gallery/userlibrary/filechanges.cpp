#include "core/gallery/userlibrary/filechanges.h"

#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// Only a regular file's content can be kept to put it back; reading anything
// else (a FIFO left in a library) would block or never end.
bool keepsContent(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

} // namespace

FileChanges::~FileChanges()
{
    if (!m_committed)
        rollback();
}

Status FileChanges::write(const QString& path, const QByteArray& data)
{
    const QString folder = QFileInfo(path).absolutePath();
    QStringList missing;
    for (QString up = folder; !QFileInfo::exists(up); up = QFileInfo(up).absolutePath())
        missing.prepend(up);
    for (const QString& created : missing) {
        if (!QDir().mkdir(created))
            return Status::failure(
                QDir::toNativeSeparators(created) +
                QCoreApplication::translate("FileChanges", ": the folder cannot be created"));
        m_undo.append({created, std::nullopt, true, QString()});
    }
    std::optional<QByteArray> previous;
    if (keepsContent(path)) {
        const Result<QByteArray> old = FileIo::readAll(path);
        if (!old)
            return old.status();
        previous = *old;
    }
    if (const Status status = FileIo::writeAtomically(path, data); !status)
        return status;
    m_undo.append({path, previous, false, QString()});
    return Status::success();
}

Status FileChanges::remove(const QString& path)
{
    if (!QFileInfo::exists(path))
        return Status::success();
    std::optional<QByteArray> old;
    if (keepsContent(path)) {
        const Result<QByteArray> content = FileIo::readAll(path);
        if (!content)
            return content.status();
        old = *content;
    }
    if (!QFile::remove(path))
        return Status::failure(
            QDir::toNativeSeparators(path) +
            QCoreApplication::translate("FileChanges", ": the file cannot be removed"));
    if (old)
        m_undo.append({path, *old, false, QString()});
    return Status::success();
}

Status FileChanges::link(const QString& from, const QString& to)
{
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        const Result<QByteArray> data = FileIo::readAll(from);
        if (!data)
            return data.status();
        return write(to, *data);
    }
    m_undo.append({to, std::nullopt, false, QString()});
    return Status::success();
}

Status FileChanges::rename(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return Status::failure(QDir::toNativeSeparators(to) + QLatin1String(": ") +
                               QString::fromLocal8Bit(std::strerror(errno)));
    m_undo.append({to, std::nullopt, false, from});
    return Status::success();
}

void FileChanges::removeEmptyFolder(const QString& path)
{
    if (QDir().rmdir(path))
        m_undo.append({path, std::nullopt, true, QString()});
}

void FileChanges::commit()
{
    m_committed = true;
    m_undo.clear();
}

void FileChanges::rollback()
{
    for (qsizetype i = m_undo.size() - 1; i >= 0; --i) {
        const Undo& undo = m_undo[i];
        if (!undo.renamedFrom.isEmpty()) {
            ::rename(QFile::encodeName(undo.path).constData(),
                     QFile::encodeName(undo.renamedFrom).constData());
        } else if (undo.folder) {
            // A folder this set created goes, one it removed comes back.
            if (!QDir().rmdir(undo.path))
                QDir().mkdir(undo.path);
        } else if (undo.previous) {
            FileIo::writeAtomically(undo.path, *undo.previous);
        } else {
            QFile::remove(undo.path);
        }
    }
    m_undo.clear();
}
