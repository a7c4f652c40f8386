#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Html {

// The URL as a browser reads it from an attribute or style sheet: C0 controls
// and blanks around it trimmed, tabs and line breaks inside removed.
QByteArray cleanUrl(QByteArrayView url);

// Whether the (cleaned) URL names a file of the local disk: a "file:" URL,
// spelled in any case.
bool isFileUrl(QByteArrayView url);

// Whether the (cleaned) relative reference, resolved against the folder the
// page is stored in, reaches beyond that folder: a path from the root
// ("/etc/x"), one that climbs out ("../x", "a/../../x", "%2e%2e/x", "..\x"),
// or a network-path reference ("//host/x", "\\host\x", "/\host/x"), which
// under a page read from a file: URL names a file too, never the network.
bool leavesPageFolder(QByteArrayView url);

// Whether the (cleaned) relative reference is a network-path one: it begins
// with two slashes, a backslash counting as a slash as the engine reads it.
bool isNetworkPath(QByteArrayView url);

// Whether a network-path reference, read under a page from a file: URL,
// names a file of this machine: the engine opens "file://localhost/x",
// "file://127.0.0.1/x" or "file:///x" as the local file /x. A host that
// does not parse as one the engine would refuse counts as local too.
bool networkPathIsLocal(QByteArrayView url);

// The file a relative reference names inside the page's folder, as the
// engine finds it under a file: page: the query and fragment cut, a
// backslash read as a slash, dot segments ("..", "%2e%2E") resolved, and
// every escape decoded exactly once. Its path is relative to the page's
// folder with "/" between the names; it begins with "../" when it climbs
// out. `loadable` is false when the engine loads no file from it: a
// reference from the root or the network, or one with an encoded "/" or NUL
// in a name.
struct FilePath
{
    QString path;
    bool loadable = false;
};
FilePath relativeFilePath(QByteArrayView url);

} // namespace Html
