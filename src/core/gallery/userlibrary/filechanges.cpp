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
    // Nobody is left to hear of a failure here; a caller that wants it calls
    // rollback() itself.
    if (!m_committed)
        (void)rollback();
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

Status FileChanges::rollback()
{
    QStringList failures;
    const auto failed = [&failures](const QString& path, const QString& reason) {
        failures.append(
            QCoreApplication::translate("FileChanges", "%1: could not be put back as it was (%2)")
                .arg(QDir::toNativeSeparators(path), reason));
    };
    for (qsizetype i = m_undo.size() - 1; i >= 0; --i) {
        const Undo& undo = m_undo[i];
        if (!undo.renamedFrom.isEmpty()) {
            if (::rename(QFile::encodeName(undo.path).constData(),
                         QFile::encodeName(undo.renamedFrom).constData()) != 0)
                failed(undo.renamedFrom, QString::fromLocal8Bit(std::strerror(errno)));
        } else if (undo.folder) {
            // A folder this set created goes, one it removed comes back.
            if (!QDir().rmdir(undo.path) && !QDir().mkdir(undo.path))
                failed(undo.path, QCoreApplication::translate(
                                      "FileChanges", "the folder can be neither removed nor made"));
        } else if (undo.previous) {
            if (const Status status = FileIo::writeAtomically(undo.path, *undo.previous); !status)
                failed(undo.path, status.message());
        } else if (QFileInfo::exists(undo.path) || QFileInfo(undo.path).isSymLink()) {
            if (!QFile::remove(undo.path))
                failed(undo.path,
                       QCoreApplication::translate("FileChanges", "the file cannot be removed"));
        }
    }
    m_undo.clear();
    if (failures.isEmpty())
        return Status::success();
    return Status::failure(failures.join(QLatin1Char('\n')));
}
