#pragma once

#include <QString>

// How the gallery names itself to the desktop: its name and version, the
// desktop entry its windows belong to (so that docks and task bars show its
// icon and group its windows), and the window icon.
namespace AppIdentity {

// The name the window, its title and the desktop show.
inline const QString ProductName = QStringLiteral("Quillery 1");

// Call once the QApplication exists, before the first window.
void apply();

} // namespace AppIdentity
