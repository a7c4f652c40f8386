#pragma once

#include "core/platform/status.h"

#include <QString>

// Marks something as belonging to a running process: the process holds an
// exclusive flock on a lock file for as long as it needs the thing, and the
// system drops the lock when the process ends or crashes. A lock that can be
// taken therefore belongs to nobody, whatever process ids have been reused.
class OwnerLock
{
public:
    OwnerLock() = default;
    OwnerLock(OwnerLock&& other) noexcept;
    OwnerLock& operator=(OwnerLock&& other) noexcept;
    OwnerLock(const OwnerLock&) = delete;
    OwnerLock& operator=(const OwnerLock&) = delete;
    // Releases the lock and leaves the file, for the next owner to take.
    ~OwnerLock();

    // Takes the lock file `path` without waiting; it is created (0600) when
    // `create` is set and it is missing, and never opened through a link.
    // Succeeds with a lock that is not held when another process holds it, or
    // when the file is missing and `create` is not set.
    static Result<OwnerLock> tryTake(const QString& path, bool create);

    // Creates the lock file `path`, which must not exist, so that it appears
    // already held: nobody can take it in between.
    static Result<OwnerLock> createHeld(const QString& path);

    bool isHeld() const { return m_fd >= 0; }
    // False once the file has been removed or replaced, so the lock marks nothing any more.
    bool isInPlace() const;
    // Removes the file while still holding it, then releases: nobody who was
    // waiting for it can take it as a file that still marks something.
    void removeAndRelease();

private:
    OwnerLock(int fd, QString path);
    void release();

    int m_fd = -1;
    QString m_path;
};
