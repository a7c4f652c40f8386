#pragma once

#include <QFont>

namespace AppFonts {

// Loads the free Tahoma that Debian ships with its fonts-wine package, once.
// Without it the window falls back to the platform's sans-serif.
void ensureLoaded();

// Tahoma (or sans-serif) at a size given in points at 96 dpi, set in pixels so
// that it matches the twips arithmetic of the layout whatever the screen says.
QFont tahoma(qreal points);

} // namespace AppFonts
