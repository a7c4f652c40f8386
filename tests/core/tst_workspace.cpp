#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using modGetDirs::EnsureWorkspaceFolder;
using modGetDirs::WorkspaceDir;

namespace {

mode_t permissions(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return mode_t(-1);
    return info.st_mode & 07777;
}

bool makeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                               QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_startFolder;
    std::optional<QByteArray> m_startTmpdir;

    QString temp(const QString& name) const { return m_temp->filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("TMPDIR"))
            m_startTmpdir = qgetenv("TMPDIR");
    }

    void init()
    {
        // Made in the real temp folder, then it becomes the temp folder.
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp->path()));
        // Anything a broken quoting ran would land in the current folder.
        m_startFolder = QDir::currentPath();
        QVERIFY(QDir().mkdir(temp("cwd")));
        QVERIFY(QDir::setCurrent(temp("cwd")));
    }

    void cleanup()
    {
        QDir::setCurrent(m_startFolder);
        m_temp.reset();
        if (m_startTmpdir)
            qputenv("TMPDIR", *m_startTmpdir);
        else
            qunsetenv("TMPDIR");
    }

    void workspaceLivesInTheTempFolder()
    {
        QCOMPARE(modGetDirs::GetTempDir(), m_temp->path() + "/");
        QCOMPARE(WorkspaceDir(), m_temp->path() + "/QYX");
    }

    void missingTempFolderGivesNoWorkspace()
    {
        qputenv("TMPDIR", QFile::encodeName(temp("gone")));
        QCOMPARE(modGetDirs::GetTempDir(), QString());
        QCOMPARE(WorkspaceDir(), QStringLiteral("QYX"));
        // The relative workspace would land in whatever the current folder is.
        QVERIFY(QDir().mkpath("QYX/msg"));
        const Status status = EnsureWorkspaceFolder("msg", nullptr);
        QVERIFY(!status.ok());
        QVERIFY(!status.message().isEmpty());
        Module1::RemoveFolder(WorkspaceDir() + "/msg");
        QVERIFY(QFileInfo::exists(temp("cwd/QYX/msg")));
        QCOMPARE(permissions(temp("cwd/QYX")) & 0777, permissions(temp("cwd")) & 0777);
    }

    void ensureCreatesPrivateFolders()
    {
        QString path;
        const Status status = EnsureWorkspaceFolder("msg", &path);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(path, WorkspaceDir() + "/msg");
        QCOMPARE(permissions(WorkspaceDir()), mode_t(0700));
        QCOMPARE(permissions(path), mode_t(0700));

        // Existing folders are reused with their contents.
        QVERIFY(makeFile(path + "/keep.txt"));
        QVERIFY(EnsureWorkspaceFolder("msg", &path).ok());
        QVERIFY(EnsureWorkspaceFolder("rp", nullptr).ok());
        QVERIFY(QFile::exists(path + "/keep.txt"));
        QCOMPARE(entries(WorkspaceDir()), (QStringList{"msg", "rp"}));
    }

    void ensureMakesOwnOpenFoldersPrivate()
    {
        QVERIFY(QDir().mkpath(WorkspaceDir() + "/msg"));
        QVERIFY(::chmod(QFile::encodeName(WorkspaceDir()).constData(), 0777) == 0);
        QVERIFY(::chmod(QFile::encodeName(WorkspaceDir() + "/msg").constData(), 0755) == 0);
        QVERIFY(EnsureWorkspaceFolder("msg", nullptr).ok());
        QCOMPARE(permissions(WorkspaceDir()), mode_t(0700));
        QCOMPARE(permissions(WorkspaceDir() + "/msg"), mode_t(0700));
    }

    void ensureRefusesPlantedPaths_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("kind");

        QTest::newRow("workspace is a link to a folder") << "QYX"
                                                         << "link";
        QTest::newRow("workspace is a dangling link") << "QYX"
                                                      << "dangling";
        QTest::newRow("workspace is a file") << "QYX"
                                             << "file";
        QTest::newRow("subfolder is a link to a folder") << "QYX/msg"
                                                         << "link";
        QTest::newRow("subfolder is a file") << "QYX/msg"
                                             << "file";
    }

    void ensureRefusesPlantedPaths()
    {
        QFETCH(QString, planted);
        QFETCH(QString, kind);

        QVERIFY(QDir().mkdir(temp("elsewhere")));
        QVERIFY(::chmod(QFile::encodeName(temp("elsewhere")).constData(), 0755) == 0);
        QVERIFY(QDir().mkpath(QFileInfo(temp(planted)).path()));
        if (kind == "link")
            QVERIFY(QFile::link(temp("elsewhere"), temp(planted)));
        else if (kind == "dangling")
            QVERIFY(QFile::link(temp("nowhere"), temp(planted)));
        else
            QVERIFY(makeFile(temp(planted)));

        QString path = "untouched";
        const Status status = EnsureWorkspaceFolder("msg", &path);
        QVERIFY(!status.ok());
        QVERIFY2(status.message().contains(temp(planted)), qPrintable(status.message()));
        QCOMPARE(path, QStringLiteral("untouched"));
        QCOMPARE(entries(temp("elsewhere")), QStringList());
        QVERIFY(!QFile::exists(temp("nowhere")));
        QCOMPARE(permissions(temp("elsewhere")), mode_t(0755));
    }

    void ensureRefusesForeignFolder()
    {
        if (::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QVERIFY(QDir().mkdir(WorkspaceDir()));
        QVERIFY(::chmod(QFile::encodeName(WorkspaceDir()).constData(), 0777) == 0);
        QVERIFY(::chown(QFile::encodeName(WorkspaceDir()).constData(), 65534, 65534) == 0);
        const Status status = EnsureWorkspaceFolder("msg", nullptr);
        QVERIFY(!status.ok());
        QVERIFY(status.message().contains("another user"));
        QCOMPARE(entries(WorkspaceDir()), QStringList());
        QCOMPARE(permissions(WorkspaceDir()), mode_t(0777));
    }

    void ensureRefusesNamesThatAreNotPlain_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("two levels") << "msg/sub";
        QTest::newRow("climbing") << "../escape";
        QTest::newRow("NUL") << QStringLiteral("msg") + QChar(0);
    }

    void ensureRefusesNamesThatAreNotPlain()
    {
        QFETCH(QString, name);
        QVERIFY(!EnsureWorkspaceFolder(name, nullptr).ok());
        QVERIFY(!QFile::exists(temp("escape")));
        QVERIFY(!QFile::exists(WorkspaceDir() + "/msg"));
    }

    void removeFolderDeletesTheTree_data()
    {
        QTest::addColumn<QString>("name");

        QTest::newRow("plain") << "msg";
        QTest::newRow("blanks") << "with  blanks ";
        QTest::newRow("single quotes") << "it's 'quoted'";
        QTest::newRow("double quotes") << "say \"hi\"";
        QTest::newRow("dollar") << "$HOME${PATH}";
        QTest::newRow("backticks") << "`touch pwned`";
        QTest::newRow("command substitution") << "$(touch pwned)";
        QTest::newRow("semicolon") << "a; touch pwned";
        QTest::newRow("newline") << "a\ntouch pwned\n";
        QTest::newRow("quote breaking out") << "'; touch pwned; '";
        QTest::newRow("glob") << "*";
        QTest::newRow("leading dash") << "-rf";
        QTest::newRow("backslashes") << "a\\'b\\";
        QTest::newRow("non-ASCII") << "Vorschau – 日本";
    }

    void removeFolderDeletesTheTree()
    {
        QFETCH(QString, name);

        QVERIFY(EnsureWorkspaceFolder("keep", nullptr).ok());
        QVERIFY(makeFile(WorkspaceDir() + "/keep/file.txt"));
        const QString victim = WorkspaceDir() + "/" + name;
        QVERIFY(QDir().mkpath(victim + "/sub/deeper"));
        QVERIFY(makeFile(victim + "/msg.html"));
        QVERIFY(makeFile(victim + "/sub/deeper/image.png"));

        Module1::RemoveFolder(victim);

        QVERIFY(!QFileInfo::exists(victim));
        QCOMPARE(entries(WorkspaceDir()), QStringList{"keep"});
        QVERIFY(QFile::exists(WorkspaceDir() + "/keep/file.txt"));
        QCOMPARE(entries(temp("cwd")), QStringList());
        QVERIFY(!QFile::exists(temp("pwned")));
    }

    void tempFolderReachedThroughALink()
    {
        // Many systems reach their temp folder through a link; only the
        // workspace itself must not be one. The platform reports the resolved path.
        QVERIFY(QDir().mkdir(temp("real")));
        QVERIFY(QFile::link(temp("real"), temp("linked")));
        qputenv("TMPDIR", QFile::encodeName(temp("linked")));
        QString folder;
        QVERIFY(EnsureWorkspaceFolder("msg", &folder).ok());
        QCOMPARE(folder, temp("real/QYX/msg"));
        QVERIFY(makeFile(folder + "/msg.html"));

        Module1::RemoveFolder(folder);

        QVERIFY(!QFileInfo::exists(temp("real/QYX/msg")));
        QCOMPARE(entries(temp("real/QYX")), QStringList());
    }

    void removalScriptIsNamedAndRemoved()
    {
        QVERIFY(EnsureWorkspaceFolder("msg", nullptr).ok());
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(WorkspaceDir()).constData(),
                                    IN_CREATE | IN_DELETE) >= 0);

        Module1::RemoveFolder(WorkspaceDir() + "/msg");

        QStringList created;
        QStringList deleted;
        alignas(inotify_event) char buffer[4096];
        const ssize_t size = ::read(watch, buffer, sizeof buffer);
        ::close(watch);
        for (ssize_t at = 0; at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const QString name = QFile::decodeName(event->name);
            (event->mask & IN_CREATE ? created : deleted).append(name);
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
        QCOMPARE(created.size(), 1);
        const QRegularExpressionMatch match =
            QRegularExpression("^~rmdir(0|[1-9][0-9]{0,3})\\.sh$").match(created.first());
        QVERIFY2(match.hasMatch(), qPrintable(created.first()));
        QVERIFY(match.captured(1).toInt() <= 9998);
        QCOMPARE(deleted, (QStringList{"msg", created.first()}));
        QCOMPARE(entries(WorkspaceDir()), QStringList());
    }

    void removeFolderThroughLinkRemovesOnlyTheLink()
    {
        QVERIFY(QDir().mkdir(temp("outside")));
        QVERIFY(makeFile(temp("outside/precious.txt")));
        QVERIFY(EnsureWorkspaceFolder("rp", nullptr).ok());
        QVERIFY(QFile::link(temp("outside"), WorkspaceDir() + "/msg"));

        Module1::RemoveFolder(WorkspaceDir() + "/msg");

        QVERIFY(!QFileInfo(WorkspaceDir() + "/msg").isSymLink());
        QVERIFY(QFile::exists(temp("outside/precious.txt")));
        QCOMPARE(entries(WorkspaceDir()), QStringList{"rp"});
    }

    void removeFolderRefusesPathsOutsideTheWorkspace_data()
    {
        QTest::addColumn<QString>("target");

        QTest::newRow("sibling of the workspace") << "outside";
        QTest::newRow("the workspace itself") << "QYX";
        QTest::newRow("the workspace with a slash") << "QYX/";
        QTest::newRow("climbing out") << "QYX/../outside";
        QTest::newRow("prefix look-alike") << "QYXoutside";
        QTest::newRow("through a link in the workspace") << "QYX/link/inner";
        QTest::newRow("relative") << "relative";
    }

    void removeFolderRefusesPathsOutsideTheWorkspace()
    {
        QFETCH(QString, target);

        for (const QString& folder : {"outside/inner", "QYXoutside/inner", "cwd/relative/inner"})
            QVERIFY(QDir().mkpath(temp(folder)));
        QVERIFY(EnsureWorkspaceFolder("msg", nullptr).ok());
        QVERIFY(QFile::link(temp("outside"), WorkspaceDir() + "/link"));

        Module1::RemoveFolder(target == "relative" ? target : temp(target));

        QVERIFY(QFileInfo::exists(temp("outside/inner")));
        QVERIFY(QFileInfo::exists(temp("QYXoutside/inner")));
        QVERIFY(QFileInfo::exists(temp("cwd/relative/inner")));
        QCOMPARE(entries(WorkspaceDir()), (QStringList{"link", "msg"}));
    }

    void removeFolderWithoutPrivateWorkspaceDoesNothing_data()
    {
        QTest::addColumn<QString>("workspace");
        QTest::newRow("missing") << "missing";
        QTest::newRow("writable by others") << "open";
        QTest::newRow("a link") << "link";
    }

    void removeFolderWithoutPrivateWorkspaceDoesNothing()
    {
        QFETCH(QString, workspace);

        QVERIFY(QDir().mkpath(temp("QYXelse/msg")));
        if (workspace == "open") {
            QVERIFY(QDir().mkpath(WorkspaceDir() + "/msg"));
            QVERIFY(::chmod(QFile::encodeName(WorkspaceDir()).constData(), 0777) == 0);
        } else if (workspace == "link") {
            QVERIFY(QFile::link(temp("QYXelse"), WorkspaceDir()));
        }
        const QStringList before = entries(m_temp->path());

        Module1::RemoveFolder(WorkspaceDir() + "/msg");

        QCOMPARE(entries(m_temp->path()), before);
        QCOMPARE(entries(temp("QYXelse")), QStringList{"msg"});
        if (workspace == "open")
            QCOMPARE(entries(WorkspaceDir()), QStringList{"msg"});
    }

    void runAndWait_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("created");

        QTest::newRow("waits for the end")
            << "/bin/sh" << QStringList{"-c", "sleep 0.2; touch late"} << true << "late";
        QTest::newRow("a failing program still ran")
            << "/bin/sh" << QStringList{"-c", "touch ran; exit 3"} << true << "ran";
        QTest::newRow("arguments reach it unchanged, not through a shell")
            << "/usr/bin/touch" << QStringList{"a b;$(touch pwned)'`"} << true
            << "a b;$(touch pwned)'`";
        QTest::newRow("missing program") << "/nonexistent/program" << QStringList() << false << "";
    }

    void runAndWait()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, result);
        QFETCH(QString, created);

        QCOMPARE(Module1::RunAndWait(program, arguments), result);
        QCOMPARE(entries(temp("cwd")), created.isEmpty() ? QStringList() : QStringList{created});
    }
};

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_workspace.moc"
