#pragma once

#include <QFont>

class QWidget;

// The dialogs and boxes the window's commands open look like the window: its
// face, and wide enough for their titles.
namespace DialogStyle {

// The window's own face for the texts of its dialogs.
QFont font();

// Sets the window's face and widens `dialog` so that a title bar shows its
// whole title, in any language. Call after the dialog has its title and texts.
void apply(QWidget* dialog);

// The width a title bar needs for `title`: the window manager draws it in a
// face of its own, commonly a bold one of about 11 points, beside the icon
// and three buttons.
int widthForTitle(const QString& title);

} // namespace DialogStyle
