#include "enginecaches.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <optional>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A small memory file system at `folder`, filled up, or read-only; root only.
bool mountSmall(const QString& folder, bool readOnly)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("tmpfs", path.constData(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=256k") != 0)
        return false;
    if (!readOnly) {
        QFile filler(folder + "/filler");
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    return true;
}

const char* const Variables[] = {"XDG_CACHE_HOME", "MESA_SHADER_CACHE_DIR",
                                 "MESA_SHADER_CACHE_DISABLE", "MESA_GLSL_CACHE_DISABLE",
                                 "QTWEBENGINE_CHROMIUM_FLAGS"};

} // namespace

class TestEngineCaches : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_mounted;
    QHash<QByteArray, std::optional<QByteArray>> m_saved;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Prepares the cache folder `kind` at `name`; false to skip.
    bool make(const QString& kind, const QString& name)
    {
        const QString folder = path(name);
        if (kind == "file") {
            QFile file(folder);
            return file.open(QIODevice::WriteOnly);
        }
        if (!QDir().mkpath(folder))
            return false;
        if (kind == "full" || kind == "read-only") {
            if (!mountSmall(folder, kind == "read-only"))
                return false;
            m_mounted.append(folder);
        }
        return true;
    }

private Q_SLOTS:
    void init()
    {
        for (const char* name : Variables)
            m_saved.insert(name, qEnvironmentVariableIsSet(name)
                                     ? std::optional<QByteArray>(qgetenv(name))
                                     : std::nullopt);
    }

    void cleanup()
    {
        for (const QString& folder : std::as_const(m_mounted))
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        m_mounted.clear();
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
        QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache, false);
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void usable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cache");
        QTest::addColumn<bool>("usable");

        QTest::newRow("writable folder") << "folder"
                                         << "" << true;
        QTest::newRow("missing below a writable folder") << "folder"
                                                         << "/mesa/deeper" << true;
        QTest::newRow("a file in its place") << "file"
                                             << "" << false;
        QTest::newRow("below a file") << "file"
                                      << "/mesa" << false;
        QTest::newRow("full disk") << "full"
                                   << "/mesa" << false;
        QTest::newRow("read-only disk") << "read-only"
                                        << "/mesa" << false;
    }

    void usable()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cache);
        QFETCH(bool, usable);
        if ((kind == "full" || kind == "read-only") && ::geteuid() != 0)
            QSKIP("only root can mount a small file system");
        QVERIFY2(make(kind, "cache"), "cannot make the cache folder (no right to mount?)");
        QCOMPARE(EngineCaches::usable(path("cache") + cache), usable);
    }

    void usableWantsRoomToSpare()
    {
        QVERIFY(EngineCaches::usable(m_dir.path(), 0));
        QVERIFY(!EngineCaches::usable(m_dir.path(), std::numeric_limits<qint64>::max()));
    }

    // Where the caches cannot live, the program turns them off before the engine starts.
    void prepareTurnsOffCachesThatCannotLive_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("ownMesaFolder");
        QTest::addColumn<bool>("mesaOff");
        QTest::addColumn<bool>("engineOff");

        QTest::newRow("usable") << "folder" << false << false << false;
        QTest::newRow("full") << "full" << false << true << true;
        QTest::newRow("read-only") << "read-only" << false << true << true;
        QTest::newRow("a file in its place") << "file" << false << true << true;
        QTest::newRow("Mesa's own folder chosen by the user") << "file" << true << false << true;
    }

    void prepareTurnsOffCachesThatCannotLive()
    {
        QFETCH(QString, kind);
        QFETCH(bool, ownMesaFolder);
        QFETCH(bool, mesaOff);
        QFETCH(bool, engineOff);
        if ((kind == "full" || kind == "read-only") && ::geteuid() != 0)
            QSKIP("only root can mount a small file system");
        QVERIFY2(make(kind, "cache"), "cannot make the cache folder (no right to mount?)");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(path("cache")));
        if (ownMesaFolder)
            qputenv("MESA_SHADER_CACHE_DIR", QFile::encodeName(m_dir.path() + "/mesa"));
        else
            qunsetenv("MESA_SHADER_CACHE_DIR");
        qunsetenv("MESA_SHADER_CACHE_DISABLE");
        qunsetenv("MESA_GLSL_CACHE_DISABLE");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-logging");

        QCOMPARE(EngineCaches::prepare(), mesaOff || engineOff);

        QCOMPARE(qgetenv("MESA_SHADER_CACHE_DISABLE"), mesaOff ? QByteArray("true") : QByteArray());
        QCOMPARE(qgetenv("MESA_GLSL_CACHE_DISABLE"), mesaOff ? QByteArray("true") : QByteArray());
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"),
                 engineOff ? QByteArray("--disable-logging --disable-gpu-shader-disk-cache")
                           : QByteArray("--disable-logging"));
        QCOMPARE(QCoreApplication::testAttribute(Qt::AA_DisableShaderDiskCache), engineOff);
    }

    // A choice the user made in the environment stands.
    void prepareKeepsTheUsersChoice()
    {
        QVERIFY(make("file", "cache"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(path("cache")));
        qunsetenv("MESA_SHADER_CACHE_DIR");
        qputenv("MESA_SHADER_CACHE_DISABLE", "false");
        qputenv("MESA_GLSL_CACHE_DISABLE", "false");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu-shader-disk-cache");
        QVERIFY(EngineCaches::prepare());
        QCOMPARE(qgetenv("MESA_SHADER_CACHE_DISABLE"), QByteArray("false"));
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"),
                 QByteArray("--disable-gpu-shader-disk-cache"));
    }
};

QTEST_GUILESS_MAIN(TestEngineCaches)
#include "tst_enginecaches.moc"
