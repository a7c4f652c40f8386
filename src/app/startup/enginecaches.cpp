#include "enginecaches.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>
#include <unistd.h>

namespace EngineCaches {

namespace {

QString homeCache()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.cache");
}

void setIfUnset(const char* name, const QByteArray& value)
{
    if (!qEnvironmentVariableIsSet(name))
        qputenv(name, value);
}

} // namespace

bool usable(const QString& folder, qint64 minFree)
{
    QString existing = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath())
        existing = QFileInfo(existing).path();
    const QByteArray path = QFile::encodeName(existing);
    if (!QFileInfo(existing).isDir() || ::access(path.constData(), W_OK | X_OK) != 0)
        return false;
    struct statvfs space = {};
    if (::statvfs(path.constData(), &space) != 0)
        return false;
    if (space.f_flag & ST_RDONLY)
        return false;
    return qint64(space.f_bavail) * qint64(space.f_frsize) >= minFree;
}

QString mesaCacheFolder()
{
    const QString chosen = qEnvironmentVariable("MESA_SHADER_CACHE_DIR");
    if (QDir::isAbsolutePath(chosen))
        return chosen;
    return homeCache() + QStringLiteral("/mesa_shader_cache");
}

QString cacheFolder()
{
    return homeCache();
}

bool prepare()
{
    bool off = false;
    if (!usable(mesaCacheFolder())) {
        // Both spellings: older Mesa reads only the first.
        setIfUnset("MESA_GLSL_CACHE_DISABLE", "true");
        setIfUnset("MESA_SHADER_CACHE_DISABLE", "true");
        off = true;
    }
    if (!usable(cacheFolder())) {
        QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--disable-gpu-shader-disk-cache"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                    (flags + " --disable-gpu-shader-disk-cache").trimmed());
        off = true;
    }
    return off;
}

} // namespace EngineCaches
