#pragma once

// Waiting for the window to be done, on its own signals; never for a fixed
// time, which proves nothing on a loaded machine.

#include <QSignalSpy>
#include <QString>

// Takes the previews `spy` (on Form1::previewShown) has recorded, waiting for
// more as long as they come, until one of `name`; false when none came.
inline bool waitForPreview(QSignalSpy& spy, const QString& name)
{
    for (;;) {
        while (!spy.isEmpty()) {
            if (spy.takeFirst().first().toString() == name)
                return true;
        }
        if (!spy.wait(20000))
            return false;
    }
}
