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
    // Where the export logs its moves (see RenameJournal).
    QString journalPath() const { return m_dir.filePath(QStringLiteral("moves")); }

    // Removes, from `folder`, staging folders whose export no longer runs:
    // nothing else, and nothing of another user.
    static void removeStale(const QString& folder);

private:
    OwnerLock m_lock; // outlives the folder: released only once it is gone
    QTemporaryDir m_dir;
    Status m_status = Status::success();
};

// Moves entries one by one and can put every one of them back, so that a
// failure half-way leaves the user's files as they were. With a log file,
// each move is written down before it is made, so that the moves of an
// export killed half-way can be put back by the next one (recover()).
class RenameJournal
{
public:
    RenameJournal() = default;
    explicit RenameJournal(const QString& logPath) : m_log(logPath) {}

    // Unless `replace` is set, an existing `to` makes the move fail instead of
    // being replaced. `reason` receives the system's reason on failure.
    bool move(const QString& from, const QString& to, bool replace, QString* reason);
    // Reverses the recorded moves, the last first.
    void undo();

    // Puts back the moves logged in `logPath` by an export that did not
    // finish: nothing when its last, replacing move was made (the export was
    // complete). False when a move could not be put back: the staging folder
    // then still holds files of the user's and must stay.
    static bool recover(const QString& logPath);

private:
    bool log(const QString& from, const QString& to, bool replace, QString* reason);

    QString m_log;
    QList<QPair<QString, QString>> m_done;
};
