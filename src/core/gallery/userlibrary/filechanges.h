#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A set of file changes that is kept whole or undone whole: each write is
// atomic, and until commit() rollback() (or else the destructor) puts back
// every file and folder as it was, so a step that fails half-way leaves
// nothing of the earlier ones.
class FileChanges
{
public:
    FileChanges() = default;
    FileChanges(const FileChanges&) = delete;
    FileChanges& operator=(const FileChanges&) = delete;
    ~FileChanges();

    // Writes `data` at `path`, creating its folder when missing.
    Status write(const QString& path, const QByteArray& data);
    // Removes the file at `path`; a missing file is no failure.
    Status remove(const QString& path);
    // Gives the file `from` the further name `to` (a hard link, or a copy
    // where the file system has none); `to` must not exist.
    Status link(const QString& from, const QString& to);
    // Renames `from` to `to` in one step.
    Status rename(const QString& from, const QString& to);
    // Removes the folder at `path` if it is empty.
    void removeEmptyFolder(const QString& path);

    void commit();
    // Puts back every file and folder this set changed, newest first. Goes on
    // past a path it cannot put back, and then names each such path and why,
    // so that the user learns which files are not as they were.
    Status rollback();

private:
    struct Undo
    {
        QString path;
        std::optional<QByteArray> previous; // none: the path held nothing
        bool folder = false;
        QString renamedFrom; // set: the path was renamed from there
    };

    QList<Undo> m_undo;
    bool m_committed = false;
};
