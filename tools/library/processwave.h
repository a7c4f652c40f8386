#pragma once

#include <QList>

#include <functional>

class QProcess;

// Starts a few processes side by side and waits for all of them: each has
// finished or failed to start, or `seconds` have passed and the ones still
// running are left for the caller to stop. `start(i)` starts processes[i];
// the watch is set before any starts, so a process that fails at once is
// not waited for.
void RunWave(const QList<QProcess*>& processes, const std::function<void(qsizetype)>& start,
             int seconds);
