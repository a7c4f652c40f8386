#pragma once

#include "core/platform/ownerlock.h"
#include "core/platform/status.h"

#include <QHash>
#include <QString>
#include <QStringList>

// What keeps the user's library whole across a kill and a second writer.
// Every change runs under the library's lock, and before its first write it
// names its steps in a journal; the category page is switched atomically in
// the middle, so whoever finds a journal (the next change, the next start)
// knows from the page whether to finish the change or to take it back.
namespace UserLibraryJournal {

inline const QLatin1String LockName(".quillery-lock");
inline const QLatin1String JournalName(".quillery-change");

// The lock of the library folder `library`, waited for up to a bound. The
// folder is created first when `create` is set; a missing folder otherwise
// gives a lock that is not held (there is nothing to change).
Result<OwnerLock> lock(const QString& library, bool create);

// A change as the journal names it: "op" (add, rename, remove) and the names
// and files it touches.
using Change = QHash<QString, QString>;

// Writes the journal atomically and durably (file and folder synced).
Status begin(const QString& library, const Change& change);
// Removes the journal once the change is whole.
Status end(const QString& library);

// Finishes or takes back the change a journal names, and removes the
// temporary files a killed write left. The caller holds the lock.
Status recover(const QString& library);

// The leftover temporary files of killed writes in the library's folders.
QStringList leftoverTemporaries(const QString& library);

// Test switches of the program's own, read from the environment:
// QUILLERY_FAULT_STOP_AFTER=<op>:<step>, <step> or <n> kills the process with
// SIGKILL right after that step (the n-th step) of a change, and
// QUILLERY_FAULT_DELAY_MS=<ms> waits that long after a change has read the
// library and before it writes, so that a second writer meets it mid-change;
// QUILLERY_FAULT_STEP_DELAY_MS=<ms> waits after every step, so that a kill
// at a random moment lands inside a change more often.
void step(const char* op, const char* name);
void delayBeforeWriting();

} // namespace UserLibraryJournal
