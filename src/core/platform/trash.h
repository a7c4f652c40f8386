#pragma once

#include "core/platform/status.h"

#include <QString>

// The desktop's trash of the user's home ($XDG_DATA_HOME/Trash, as the
// freedesktop.org trash rules place it), where a file manager shows what was
// deleted and can put it back.
namespace Trash {

// $XDG_DATA_HOME/Trash, ~/.local/share/Trash when it is unset or relative.
QString homeTrash();

// One file in the trash: its copy and the record of where it came from.
struct Item
{
    QString file; // <trash>/files/<name>
    QString info; // <trash>/info/<name>.trashinfo
};

// Puts a copy of `file` into the trash, recorded as deleted from its place
// now, under a name no other item has. The caller then removes the file
// itself, in its own way: the copy is complete before the original goes.
Result<Item> putCopy(const QString& file);

// Takes an item out of the trash for good: its file and its record.
Status discard(const Item& item);

} // namespace Trash
