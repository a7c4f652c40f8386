#pragma once

#include "core/platform/status.h"

#include <QString>
#include <QStringList>

namespace modGetDirs {

// The per-user temp folder with its trailing separator, or empty.
QString GetTempDir();

// GetTempDir() + "QYX", without a trailing separator; "QYX-<uid>" when another
// user owns "QYX" or a link stands in its place.
QString WorkspaceDir();

// Creates WorkspaceDir() (owner-only) and its subfolder `name`, refusing a
// link or a folder that belongs to someone else, and a temp folder that every
// user may write to without the sticky bit; the subfolder's full path.
Result<QString> ensureWorkspaceFolder(const QString& name);

// This running copy's own preview folder, QYX/msg/<id>, created private; another running
// copy never uses, replaces or removes it.
Result<QString> ensurePreviewFolder();

// This running copy's own hand-off folder, QYX/rp/<id>, created private; another running
// copy never uses, replaces or removes it.
Result<QString> ensureHandoffFolder();

// Removes the preview folders of copies that no longer run, and hand-off folders of copies
// that no longer run and that nobody touched for a day, and the removal scripts
// of copies that were killed while using them. Safe to call at every start.
void removeStaleWorkspaceFolders();

} // namespace modGetDirs

namespace Module1 {

// Deletes `folder` with everything below it through a generated shell script
// in the workspace, and returns when it is gone. The script and the folder
// reach the shell as open files, never by a path someone could change. Does
// nothing when the workspace is missing or not private, or `folder` does not
// lie inside it without a link on the way.
void RemoveFolder(const QString& folder);

// Starts `program` with `arguments` (never through a shell), no terminal, and
// waits for it. False when it could not be started.
bool RunAndWait(const QString& program, const QStringList& arguments);

} // namespace Module1
