#pragma once

#include <QString>

// The graphics libraries and the web engine keep shader caches on disk, some
// of them mapped into memory: on a full disk a write to such a mapping kills
// the program (SIGBUS) before any error can be handled. Where the cache folder
// cannot take them, those caches are turned off for this run instead.
namespace EngineCaches {

// At least this much free space keeps the caches on disk.
constexpr qint64 MinFreeBytes = 64 * 1024 * 1024;

// A cache may be kept in `folder` (made when missing): the nearest folder that
// exists on the way is a writable folder with `minFree` bytes free.
bool usable(const QString& folder, qint64 minFree = MinFreeBytes);

// Where Mesa keeps its shader cache in this environment.
QString mesaCacheFolder();

// Where Qt and the web engine keep theirs: the user's cache folder.
QString cacheFolder();

// To be called before the application object is made: turns off the shader
// disk caches of Mesa, Qt and the engine's GPU process when their folder is not
// usable, leaving any choice the user made in the environment alone. True when
// something was turned off.
bool prepare();

} // namespace EngineCaches
