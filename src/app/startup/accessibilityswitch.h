#pragma once

class QDBusConnection;

// The web engine leaves its pages out of the accessibility tree on Linux
// unless it is told otherwise before it starts, so the panes would be empty
// to a screen reader. The program tells it whenever the desktop says that
// assistive technology is on.
namespace AccessibilitySwitch {

// Whether the desktop's accessibility service on `bus` reports assistive
// technology (a screen reader or another tool) as on.
bool assistiveTechnologyOn(const QDBusConnection& bus);

// Turns the engine's accessibility on when assistive technology is on, as
// the session bus or Qt's own QT_LINUX_ACCESSIBILITY_ALWAYS_ON says; a choice
// the user made in QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY stands. Call
// before the first page is made. Returns whether the engine's accessibility
// is on.
bool applyBeforeEngineStarts();

} // namespace AccessibilitySwitch
