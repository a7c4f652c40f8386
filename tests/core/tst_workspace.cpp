#include "core/platform/workspace.h"

#include "core/platform/ownerlock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using modGetDirs::ensureWorkspaceFolder;
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

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets the modification time of `path` and everything below it to two days ago.
bool age(const QString& path)
{
    const timespec old[2] = {{::time(nullptr) - 2 * 24 * 3600, 0},
                             {::time(nullptr) - 2 * 24 * 3600, 0}};
    bool ok = true;
    for (const QString& name : entries(path)) {
        const QString inner = path + "/" + name;
        ok = (QFileInfo(inner).isDir() ? age(inner) : true) && ok;
        ok = ::utimensat(AT_FDCWD, QFile::encodeName(inner).constData(), old,
                         AT_SYMLINK_NOFOLLOW) == 0 &&
             ok;
    }
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), old, 0) == 0 && ok;
}

// Another running copy: the test program started again with --hold-workspace.
// It prints its preview and hand-off folders, each holding a file, and runs
// until it is killed.
class OtherCopy
{
public:
    bool start(const QStringList& arguments = {QStringLiteral("--hold-workspace")})
    {
        m_process.setProgram(QCoreApplication::applicationFilePath());
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted() || !m_process.waitForReadyRead(10000))
            return false;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
        }
        m_lines = QString::fromLocal8Bit(m_process.readAll()).split('\n', Qt::SkipEmptyParts);
        return !m_lines.isEmpty() && m_lines.first() != "failed";
    }
    // Ends it as a crash would: nothing of its own clean-up runs.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    ~OtherCopy() { kill(); }

    QString line(int i) const { return m_lines.value(i); }

private:
    QProcess m_process;
    QStringList m_lines;
};

int holdWorkspace()
{
    const Result<QString> preview = modGetDirs::ensurePreviewFolder();
    const Result<QString> handoff = modGetDirs::ensureHandoffFolder();
    if (!preview || !handoff || !makeFile(*preview + "/msg.html") ||
        !makeFile(*handoff + "/msg1.html")) {
        std::puts("failed");
        return 1;
    }
    std::printf("%s\n%s\n", QFile::encodeName(*preview).constData(),
                QFile::encodeName(*handoff).constData());
    std::fflush(stdout);
    ::pause();
    return 0;
}

int holdLock(const QString& path)
{
    const Result<OwnerLock> lock = OwnerLock::tryTake(path, true);
    if (!lock || !lock->isHeld()) {
        std::puts("failed");
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    ::pause();
    return 0;
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
        const Status status = ensureWorkspaceFolder("msg").status();
        QVERIFY(!status.ok());
        QVERIFY(!status.message().isEmpty());
        Module1::RemoveFolder(WorkspaceDir() + "/msg");
        QVERIFY(QFileInfo::exists(temp("cwd/QYX/msg")));
        QCOMPARE(permissions(temp("cwd/QYX")) & 0777, permissions(temp("cwd")) & 0777);
    }

    void ensureCreatesPrivateFolders()
    {
        const Result<QString> folder = ensureWorkspaceFolder("msg");
        QVERIFY2(folder.ok(), qPrintable(folder.status().message()));
        const QString path = *folder;
        QCOMPARE(path, WorkspaceDir() + "/msg");
        QCOMPARE(permissions(WorkspaceDir()), mode_t(0700));
        QCOMPARE(permissions(path), mode_t(0700));

        // Existing folders are reused with their contents.
        QVERIFY(makeFile(path + "/keep.txt"));
        QCOMPARE(ensureWorkspaceFolder("msg").valueOr(QString()), path);
        QVERIFY(ensureWorkspaceFolder("rp").ok());
        QVERIFY(QFile::exists(path + "/keep.txt"));
        QCOMPARE(entries(WorkspaceDir()), (QStringList{"msg", "rp"}));
    }

    void ensureMakesOwnOpenFoldersPrivate()
    {
        QVERIFY(QDir().mkpath(WorkspaceDir() + "/msg"));
        QVERIFY(::chmod(QFile::encodeName(WorkspaceDir()).constData(), 0777) == 0);
        QVERIFY(::chmod(QFile::encodeName(WorkspaceDir() + "/msg").constData(), 0755) == 0);
        QVERIFY(ensureWorkspaceFolder("msg").ok());
        QCOMPARE(permissions(WorkspaceDir()), mode_t(0700));
        QCOMPARE(permissions(WorkspaceDir() + "/msg"), mode_t(0700));
    }

    void ensureRefusesPlantedPaths_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("kind");

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

        const Result<QString> folder = ensureWorkspaceFolder("msg");
        QVERIFY(!folder.ok());
        const Status& status = folder.status();
        QVERIFY2(status.message().contains(temp(planted)), qPrintable(status.message()));
        QCOMPARE(entries(temp("elsewhere")), QStringList());
        QVERIFY(!QFile::exists(temp("nowhere")));
        QCOMPARE(permissions(temp("elsewhere")), mode_t(0755));
    }

    // Another user (or a link) holding the shared name must not stop this user's previews.
    void takenSharedNameFallsBackToOwnName_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("ownNameTaken");

        QTest::newRow("a folder of another user") << "foreign" << false;
        QTest::newRow("a link to a folder") << "link" << false;
        QTest::newRow("a dangling link") << "dangling" << false;
        QTest::newRow("the own name taken too") << "link" << true;
    }

    void takenSharedNameFallsBackToOwnName()
    {
        QFETCH(QString, planted);
        QFETCH(bool, ownNameTaken);

        if (planted == "foreign" && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        const QString shared = temp("QYX");
        const QString own = shared + "-" + QString::number(::geteuid());
        QVERIFY(QDir().mkdir(temp("elsewhere")));
        QVERIFY(::chmod(QFile::encodeName(temp("elsewhere")).constData(), 0755) == 0);
        if (planted == "foreign") {
            QVERIFY(QDir().mkdir(shared));
            QVERIFY(::chmod(QFile::encodeName(shared).constData(), 0777) == 0);
            QVERIFY(::chown(QFile::encodeName(shared).constData(), 65534, 65534) == 0);
        } else {
            QVERIFY(QFile::link(temp(planted == "link" ? "elsewhere" : "nowhere"), shared));
        }
        if (ownNameTaken)
            QVERIFY(QFile::link(temp("elsewhere"), own));

        QCOMPARE(WorkspaceDir(), own);
        const Result<QString> folder = ensureWorkspaceFolder("msg");
        if (ownNameTaken) {
            QVERIFY(!folder.ok());
            QVERIFY2(folder.status().message().contains(own),
                     qPrintable(folder.status().message()));
        } else {
            QVERIFY2(folder.ok(), qPrintable(folder.status().message()));
            QCOMPARE(*folder, own + "/msg");
            QCOMPARE(permissions(own), mode_t(0700));
            QVERIFY(makeFile(*folder + "/msg.html"));
            Module1::RemoveFolder(*folder);
            QVERIFY(!QFileInfo::exists(*folder));
            QCOMPARE(entries(own), QStringList());
        }
        // What someone else put there is neither used nor changed.
        QCOMPARE(entries(temp("elsewhere")), QStringList());
        QCOMPARE(permissions(temp("elsewhere")), mode_t(0755));
        QVERIFY(!QFile::exists(temp("nowhere")));
        if (planted == "foreign") {
            QCOMPARE(entries(shared), QStringList());
            QCOMPARE(permissions(shared), mode_t(0777));
        }
    }

    // Where every user may write, only the sticky bit keeps the workspace from being swapped.
    void sharedTempFolderNeedsTheStickyBit_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("used");

        QTest::newRow("writable by all, no sticky bit") << 0777 << false;
        QTest::newRow("writable by all, sticky bit") << 01777 << true;
        QTest::newRow("private") << 0700 << true;
        QTest::newRow("writable by the group") << 0770 << true;
    }

    void sharedTempFolderNeedsTheStickyBit()
    {
        QFETCH(int, mode);
        QFETCH(bool, used);

        // A workspace made earlier, before the folder was opened to everyone.
        QVERIFY(ensureWorkspaceFolder("msg").ok());
        QVERIFY(makeFile(WorkspaceDir() + "/msg/msg.html"));
        QVERIFY(::chmod(QFile::encodeName(m_temp->path()).constData(), mode_t(mode)) == 0);

        const Result<QString> folder = ensureWorkspaceFolder("rp");
        QCOMPARE(folder.ok(), used);
        Module1::RemoveFolder(WorkspaceDir() + "/msg");
        QCOMPARE(QFileInfo::exists(WorkspaceDir() + "/msg"), !used);
        if (!used) {
            const QString message = folder.status().message();
            QVERIFY2(message.contains(m_temp->path()) && message.contains("sticky bit"),
                     qPrintable(message));
            QCOMPARE(entries(WorkspaceDir()), QStringList{"msg"});
        }
        QCOMPARE(entries(temp("cwd")), QStringList());
    }

    // A second user swaps the workspace for a folder of their own full of removal
    // scripts, as fast as they can, while this user previews and cleans up.
    void otherUserCannotRunCodeThroughTheWorkspace_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("shared temp folder without sticky bit") << 0777;
        QTest::newRow("shared temp folder with sticky bit") << 01777;
    }

    void otherUserCannotRunCodeThroughTheWorkspace()
    {
        QFETCH(int, mode);
        if (::geteuid() != 0)
            QSKIP("needs root to act as a second user (uid 65534); run the suite as root to "
                  "cover the race");
        QVERIFY(::chmod(QFile::encodeName(m_temp->path()).constData(), mode_t(mode)) == 0);
        const std::string workspace = QFile::encodeName(temp("QYX")).toStdString();
        const std::string theirs = QFile::encodeName(temp("theirs")).toStdString();
        const QString canary = temp("canary");
        const std::string payload = ": > '" + QFile::encodeName(canary).toStdString() + "'\n";
        std::vector<std::string> scripts;
        for (int n = 0; n < 9999; ++n)
            scripts.push_back(theirs + "/~rmdir" + std::to_string(n) + ".sh");

        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t attacker = ::fork();
        QVERIFY(attacker >= 0);
        if (attacker == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(1);
            if (::mkdir(theirs.c_str(), 0777) != 0 || ::chmod(theirs.c_str(), 0777) != 0)
                ::_exit(1);
            for (const std::string& script : scripts) {
                const int fd = ::open(script.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0777);
                if (fd < 0 || ::write(fd, payload.data(), payload.size()) < 0)
                    ::_exit(1);
                ::close(fd);
            }
            ::write(ready[1], "r", 1);
            for (;;)
                ::syscall(SYS_renameat2, AT_FDCWD, workspace.c_str(), AT_FDCWD, theirs.c_str(),
                          2 /* RENAME_EXCHANGE */);
        }
        ::close(ready[1]);
        char signal = 0;
        const bool started = ::read(ready[0], &signal, 1) == 1;
        ::close(ready[0]);

        QString refusal;
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; started && round < 3000 && timer.elapsed() < 8000; ++round) {
            const Result<QString> folder = ensureWorkspaceFolder("msg");
            if (!folder)
                refusal = folder.status().message();
            Module1::RemoveFolder(WorkspaceDir() + "/msg");
            modGetDirs::removeStaleWorkspaceFolders();
            if (QFileInfo::exists(canary))
                break;
        }
        ::kill(attacker, SIGKILL);
        ::waitpid(attacker, nullptr, 0);
        QVERIFY(started);
        QVERIFY2(!QFileInfo::exists(canary), "the other user's script ran as this user");
        if (mode == 0777)
            QVERIFY2(refusal.contains("sticky bit"), qPrintable(refusal));
        QCOMPARE(entries(temp("cwd")), QStringList());
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
        QVERIFY(!ensureWorkspaceFolder(name).ok());
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

        QVERIFY(ensureWorkspaceFolder("keep").ok());
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
        const QString folder = ensureWorkspaceFolder("msg").valueOr(QString());
        QCOMPARE(folder, temp("real/QYX/msg"));
        QVERIFY(makeFile(folder + "/msg.html"));

        Module1::RemoveFolder(folder);

        QVERIFY(!QFileInfo::exists(temp("real/QYX/msg")));
        QCOMPARE(entries(temp("real/QYX")), QStringList());
    }

    void removalScriptIsNamedAndRemoved()
    {
        QVERIFY(ensureWorkspaceFolder("msg").ok());
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
        QVERIFY(ensureWorkspaceFolder("rp").ok());
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
        QVERIFY(ensureWorkspaceFolder("msg").ok());
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

    void previewFolderBelongsToThisCopy()
    {
        const QString preview = modGetDirs::ensurePreviewFolder().valueOr(QString());
        const QString id = QString::number(::getpid());
        QCOMPARE(preview, WorkspaceDir() + "/msg/" + id);
        QCOMPARE(permissions(preview), mode_t(0700));
        QCOMPARE(permissions(WorkspaceDir() + "/msg/" + id + ".lock"), mode_t(0600));
        const QString handoff = modGetDirs::ensureHandoffFolder().valueOr(QString());
        QCOMPARE(handoff, WorkspaceDir() + "/rp/" + id);
        QCOMPARE(permissions(handoff), mode_t(0700));

        // The preview removes its folder after each load; it comes back under the same name.
        QVERIFY(makeFile(preview + "/msg.html"));
        Module1::RemoveFolder(preview);
        const QString again = modGetDirs::ensurePreviewFolder().valueOr(QString());
        QCOMPARE(again, preview);
        QCOMPARE(entries(again), QStringList());
    }

    // A copy that ended left folders under the process id this copy now has.
    void leftoversOfAnEndedCopyWithTheSameId_data()
    {
        QTest::addColumn<bool>("handoffLeft");
        QTest::addColumn<bool>("lockHeldElsewhere");
        QTest::addColumn<QString>("expectedId");

        const QString pid = QString::number(::getpid());
        QTest::newRow("preview folder only") << false << false << pid;
        QTest::newRow("hand-offs the mailer may still read") << true << false << pid + "-2";
        QTest::newRow("a copy in another process namespace") << false << true << pid + "-2";
    }

    void leftoversOfAnEndedCopyWithTheSameId()
    {
        QFETCH(bool, handoffLeft);
        QFETCH(bool, lockHeldElsewhere);
        QFETCH(QString, expectedId);

        const QString pid = QString::number(::getpid());
        const QString msg = WorkspaceDir() + "/msg/";
        QVERIFY(ensureWorkspaceFolder("msg").ok());
        QVERIFY(QDir().mkpath(msg + pid));
        QVERIFY(makeFile(msg + pid + "/old.html"));
        QVERIFY(makeFile(msg + pid + ".lock"));
        if (handoffLeft) {
            QVERIFY(QDir().mkpath(WorkspaceDir() + "/rp/" + pid + "/Offer"));
            QVERIFY(makeFile(WorkspaceDir() + "/rp/" + pid + "/Offer/msg1.html"));
        }
        OtherCopy other;
        if (lockHeldElsewhere) {
            QVERIFY(other.start({"--hold-lock", msg + pid + ".lock"}));
            QCOMPARE(other.line(0), QStringLiteral("held"));
        }

        const Result<QString> ensured = modGetDirs::ensurePreviewFolder();
        QVERIFY2(ensured.ok(), qPrintable(ensured.status().message()));
        const QString preview = *ensured;
        QCOMPARE(preview, msg + expectedId);
        QCOMPARE(entries(preview), QStringList());
        if (handoffLeft || lockHeldElsewhere)
            QVERIFY(QFile::exists(msg + pid + "/old.html"));
        if (handoffLeft)
            QVERIFY(QFile::exists(WorkspaceDir() + "/rp/" + pid + "/Offer/msg1.html"));
    }

    void twoRunningCopiesKeepTheirOwnFolders()
    {
        const QString preview = modGetDirs::ensurePreviewFolder().valueOr(QString());
        const QString handoff = modGetDirs::ensureHandoffFolder().valueOr(QString());
        QVERIFY(!preview.isEmpty() && !handoff.isEmpty());
        QVERIFY(makeFile(preview + "/msg.html"));
        QVERIFY(makeFile(handoff + "/msg2.html"));
        // Not ours to judge: names no copy of this program gives its folders.
        QVERIFY(makeFile(WorkspaceDir() + "/msg/loose.html"));
        QVERIFY(makeFile(WorkspaceDir() + "/rp/hero.png"));

        OtherCopy other;
        QVERIFY(other.start());
        const QString otherPreview = other.line(0);
        const QString otherHandoff = other.line(1);
        QVERIFY(otherPreview.startsWith(WorkspaceDir() + "/msg/"));
        QVERIFY(otherHandoff.startsWith(WorkspaceDir() + "/rp/"));
        QVERIFY(otherPreview != preview);
        QVERIFY(otherHandoff != handoff);

        // Both run: a start of either removes nothing.
        modGetDirs::removeStaleWorkspaceFolders();
        QVERIFY(QFile::exists(otherPreview + "/msg.html"));
        QVERIFY(QFile::exists(otherHandoff + "/msg1.html"));

        // After a crash its preview goes; its hand-off stays for the mailer for a day.
        other.kill();
        modGetDirs::removeStaleWorkspaceFolders();
        QVERIFY(!QFileInfo::exists(otherPreview));
        QVERIFY(!QFileInfo::exists(otherPreview + ".lock"));
        QVERIFY(QFile::exists(otherHandoff + "/msg1.html"));
        QVERIFY(age(otherHandoff));
        QVERIFY(age(handoff));
        modGetDirs::removeStaleWorkspaceFolders();
        QVERIFY(!QFileInfo::exists(otherHandoff));

        // This copy's own folders stay, however old, as do names of no copy.
        QVERIFY(QFile::exists(preview + "/msg.html"));
        QVERIFY(QFile::exists(handoff + "/msg2.html"));
        QVERIFY(QFile::exists(WorkspaceDir() + "/msg/loose.html"));
        QVERIFY(QFile::exists(WorkspaceDir() + "/rp/hero.png"));
        QCOMPARE(entries(WorkspaceDir()), (QStringList{"msg", "rp"}));
    }

    void staleCleanupLeavesAForeignWorkspaceAlone()
    {
        QVERIFY(QDir().mkpath(WorkspaceDir() + "/msg/12345"));
        QVERIFY(::chmod(QFile::encodeName(WorkspaceDir()).constData(), 0777) == 0);
        modGetDirs::removeStaleWorkspaceFolders();
        QVERIFY(QFileInfo::exists(WorkspaceDir() + "/msg/12345"));
    }

    void removalScriptNeverReplacesAnother()
    {
        // Every name but one is in use by other running copies.
        QVERIFY(ensureWorkspaceFolder("msg").ok());
        const int free = 4321;
        for (int n = 0; n < 9999; ++n) {
            if (n != free)
                QVERIFY(makeFile(WorkspaceDir() + QStringLiteral("/~rmdir%1.sh").arg(n)));
        }
        QVERIFY(makeFile(WorkspaceDir() + "/msg/msg.html"));

        Module1::RemoveFolder(WorkspaceDir() + "/msg");

        QVERIFY(!QFileInfo::exists(WorkspaceDir() + "/msg"));
        const QStringList names = entries(WorkspaceDir());
        QCOMPARE(names.size(), 9998);
        QVERIFY(!names.contains(QStringLiteral("~rmdir%1.sh").arg(free)));
        for (const QString& name : names)
            QCOMPARE(readFile(WorkspaceDir() + "/" + name), QByteArray("x"));
    }

    // Copies killed while removing a folder leave their scripts and locks behind.
    void startRemovesLeftoversOfKilledCopies()
    {
        QVERIFY(ensureWorkspaceFolder("msg").ok());
        const QString ws = WorkspaceDir();
        for (const char* name : {"~rmdir17.sh", "~rmdir9998.sh", "~rmdir0.sh", "~rmdir5.sh",
                                 "~rmdir12345.sh", "~rmdir3.txt"})
            QVERIFY(makeFile(ws + "/" + name));
        for (const char* name :
             {"~rmdir17.sh", "~rmdir9998.sh", "~rmdir5.sh", "~rmdir12345.sh", "~rmdir3.txt"}) {
            const timespec old[2] = {{::time(nullptr) - 600, 0}, {::time(nullptr) - 600, 0}};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(ws + "/" + name).constData(), old, 0) ==
                    0);
        }
        // A copy that runs its script right now: the script is locked.
        OtherCopy running;
        QVERIFY(running.start({"--hold-lock", ws + "/~rmdir5.sh"}));
        // Killed copies' locks, with and without their preview folder.
        QVERIFY(makeFile(ws + "/msg/99998.lock"));
        QVERIFY(QDir().mkpath(ws + "/msg/99997"));
        QVERIFY(makeFile(ws + "/msg/99997.lock"));
        OtherCopy killed;
        QVERIFY(killed.start());
        killed.kill();

        modGetDirs::removeStaleWorkspaceFolders();

        // Left: a script just being written (~rmdir0), the running copy's, and
        // names no copy gives its scripts.
        QCOMPARE(entries(ws), (QStringList{"msg", "rp", "~rmdir0.sh", "~rmdir12345.sh",
                                           "~rmdir3.txt", "~rmdir5.sh"}));
        QCOMPARE(entries(ws + "/msg"), QStringList());
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

int main(int argc, char* argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--hold-workspace") == 0)
        return holdWorkspace();
    if (argc == 3 && qstrcmp(argv[1], "--hold-lock") == 0)
        return holdLock(QFile::decodeName(argv[2]));
    QCoreApplication app(argc, argv);
    TestWorkspace test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_workspace.moc"
