#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Html {

// The URL as a browser reads it from an attribute or style sheet: C0 controls
// and blanks around it trimmed, tabs and line breaks inside removed.
QByteArray cleanUrl(QByteArrayView url);

// Whether the (cleaned) URL names a file of the local disk: a "file:" URL,
// spelled in any case.
bool isFileUrl(QByteArrayView url);

// Whether the (cleaned) relative reference, resolved against the folder the
// page is stored in, reaches beyond that folder: a path from the root
// ("/etc/x") or one that climbs out ("../x", "a/../../x", "%2e%2e/x", "..\x").
// A network-path reference ("//host/x") is remote and not counted.
bool leavesPageFolder(QByteArrayView url);

} // namespace Html
