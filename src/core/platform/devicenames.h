#pragma once

#include <QString>

namespace DeviceNames {

// Whether Windows opens a device instead of a file for a name with this stem
// (the name up to its first dot), whatever the folder and extension: CON,
// PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 (also with a superscript digit),
// CLOCK$, CONIN$ and CONOUT$, in any case, with surrounding spaces.
bool isDeviceName(const QString& stem);

} // namespace DeviceNames
