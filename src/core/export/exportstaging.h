#pragma once

#include "core/platform/ownerlock.h"
#include "core/platform/status.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

// A hidden folder beside an export's target in which the export is prepared,
// so that the user's files change only by renames once everything is complete.
// It is marked as this process's own while it exists, so that a later export
// into the same folder can tell the leftover of a killed export from the work
// of an export still running.
class StagingFolder
{
public:
    // Creates the folder in `folder`, first removing the leftovers there of
    // exports that no longer run.
    explicit StagingFolder(const QString& folder);

    // Failures name `folder`, never the staging folder, which the user never sees.
    const Status& status() const { return m_status; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString path() const { return m_dir.path(); }

    // Removes, from `folder`, staging folders whose export no longer runs:
    // nothing else, and nothing of another user.
    static void removeStale(const QString& folder);

private:
    OwnerLock m_lock; // outlives the folder: released only once it is gone
    QTemporaryDir m_dir;
    Status m_status = Status::success();
};

// Moves entries one by one and can put every one of them back, so that a
// failure half-way leaves the user's files as they were.
class RenameJournal
{
public:
    // Unless `replace` is set, an existing `to` makes the move fail instead of
    // being replaced. `reason` receives the system's reason on failure.
    bool move(const QString& from, const QString& to, bool replace, QString* reason);
    // Reverses the recorded moves, the last first.
    void undo();

private:
    QList<QPair<QString, QString>> m_done;
};
