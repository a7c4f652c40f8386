#pragma once

#include "core/platform/status.h"

#include <QTextStream>

#include <cstdlib>

// A benchmark over a half-built set-up measures something else: a set-up
// step that fails ends the run, saying why.
inline void mustHold(const Status& status)
{
    if (status)
        return;
    QTextStream(stderr) << "set-up failed: " << status.message() << '\n';
    std::abort();
}
