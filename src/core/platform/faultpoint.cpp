#include "core/platform/faultpoint.h"

#include <QByteArray>
#include <QMutex>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace FaultPoint {

namespace {

struct Target
{
    QByteArray step; // empty: no fault asked for
    long count = 0;
};

Target target()
{
    const QByteArray value = qgetenv("QUILLERY_FAULT_KILL_AT");
    const qsizetype colon = value.lastIndexOf(':');
    if (colon <= 0)
        return {};
    bool ok = false;
    const long count = value.mid(colon + 1).toLong(&ok);
    if (!ok || count < 1)
        return {};
    return {value.left(colon), count};
}

} // namespace

void reached(const char* step)
{
    static const Target wanted = target();
    if (wanted.step.isEmpty() || wanted.step != step)
        return;
    static QMutex mutex;
    static long seen = 0;
    const QMutexLocker locker(&mutex);
    if (++seen == wanted.count)
        ::kill(::getpid(), SIGKILL);
}

} // namespace FaultPoint
