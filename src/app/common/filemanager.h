#pragma once

#include <QString>

#include <functional>

class QObject;

// The desktop's file manager, asked over the session bus to open the folder
// of a file with the file selected (org.freedesktop.FileManager1).
namespace FileManager {

// Asks the file manager to show `file` selected in its folder. When no file
// manager takes the request, or it fails, `fallback` runs instead: at once
// when there is none on the bus, later when the one there answers with an
// error. The answer is waited for without blocking; `context` going ends
// the wait.
void showItem(const QString& file, QObject* context, std::function<void()> fallback);

} // namespace FileManager
