#include "core/platform/cregistry.h"
#include "core/platform/settingsstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using modSettings::ReadSetting;
using modSettings::setTroubleHandler;
using modSettings::Trouble;
using modSettings::WriteSetting;

namespace {

// The writer of concurrentWritersLoseNothing, run as a process of its own:
// `count` values named prefix + number, each written alone.
int writeValues(const QString& prefix, int count)
{
    bool stored = true;
    for (int i = 0; i < count; ++i)
        stored = WriteSetting("Quillbook1", "Main", prefix + QString::number(i),
                              prefix + QStringLiteral(" value ") + QString::number(i)) &&
                 stored;
    return stored ? 0 : 1;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_config;

    QString settingsFile(const QString& application = QStringLiteral("Quillbook1")) const
    {
        return m_config->filePath(application + QStringLiteral(".ini"));
    }

    void writeRaw(const QByteArray& bytes)
    {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray readRaw() const
    {
        QFile file(settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static cRegistry accessor(const QString& section, const QString& name)
    {
        cRegistry registry;
        registry.SectionKey = QStringLiteral("Software\\Quillbook1\\") + section;
        registry.ValueKey = name;
        return registry;
    }

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
        cRegistry::setReplaceHook(nullptr);
    }

    void cleanup()
    {
        cRegistry::setReplaceHook(nullptr);
        m_config.reset();
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<quint32>("requestedType");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QString>("read");
        QTest::addColumn<quint32>("storedType");

        const quint32 sz = cRegistry::REG_SZ;
        auto text = [&](const char* tag, const QString& value) {
            QTest::newRow(tag) << sz << QVariant(value) << value << sz;
        };
        text("number", QStringLiteral("450"));
        text("empty", QString());
        text("newlines", QStringLiteral("a\nb\r\nc\n"));
        text("group and entry syntax", QStringLiteral("[Main]\nSplit=1\n[x"));
        text("equals signs", QStringLiteral("=a=b="));
        text("blanks around", QStringLiteral("  padded \t "));
        text("only a blank", QStringLiteral(" "));
        text("backslashes", QStringLiteral("C:\\Temp\\QYX\\"));
        text("escape look-alikes", QStringLiteral("\\n\\s\\x41\\"));
        text("comment starts", QStringLiteral("; not # a comment"));
        text("non-ASCII", QStringLiteral("Grüße – 日本語 🙂"));
        text("control characters", QStringLiteral("a") + QChar(1) + QChar(0) + QChar(0x7f) + u'b');
        text("lone surrogate", QString(QChar(0xd800)) + u'x');
        text("adjacent percents", QStringLiteral("100%% sure"));
        QTest::newRow("expandable text")
            << sz << QVariant(QStringLiteral("%NO_SUCH_QY_VAR%/x"))
            << QStringLiteral("%NO_SUCH_QY_VAR%/x") << quint32(cRegistry::REG_EXPAND_SZ);
        const quint32 dword = cRegistry::REG_DWORD;
        QTest::newRow("dword") << dword << QVariant(300) << QStringLiteral("300") << dword;
        QTest::newRow("dword from text") << dword << QVariant(QStringLiteral("0")) << "0" << dword;
        QTest::newRow("dword largest")
            << dword << QVariant(qlonglong(4294967295LL)) << QStringLiteral("4294967295") << dword;
        QTest::newRow("big-endian dword")
            << quint32(cRegistry::REG_DWORD_BIG_ENDIAN) << QVariant(7) << "7" << dword;
        const quint32 multi = cRegistry::REG_MULTI_SZ;
        QTest::newRow("multi-string")
            << multi << QVariant(QStringList{"a", "b c", ""})
            << (QStringLiteral("a") + QChar(0) + QStringLiteral("b c") + QChar(0)) << multi;
    }

    void valuesRoundTrip()
    {
        QFETCH(quint32, requestedType);
        QFETCH(QVariant, written);
        QFETCH(QString, read);
        QFETCH(quint32, storedType);

        cRegistry writer = accessor(QStringLiteral("Main"), QStringLiteral("Value"));
        writer.ValueType = requestedType;
        QVERIFY2(writer.setValue(written), qPrintable(writer.status().message()));
        QCOMPARE(writer.ValueType, storedType);
        // A second value in the same group must not disturb the first.
        QVERIFY(WriteSetting("Quillbook1", "Main", "Other", "x"));

        cRegistry reader = accessor(QStringLiteral("Main"), QStringLiteral("Value"));
        QCOMPARE(reader.value().toString(), read);
        QCOMPARE(reader.ValueType, storedType);
        QVERIFY(reader.status().ok());
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Value"), read);
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Other"), QStringLiteral("x"));
    }

    void namesRoundTrip_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");

        QTest::newRow("plain") << "Main"
                               << "Split";
        QTest::newRow("syntax in the name") << "Main"
                                            << "a=b:c[d];e#f";
        QTest::newRow("blanks around the name") << "Main"
                                                << " Split ";
        QTest::newRow("empty name (the key's default value)") << "Main"
                                                              << "";
        QTest::newRow("slash and brackets in the section") << "a/b]c["
                                                           << "Split";
        QTest::newRow("deeper section") << "Main\\Sub\\Leaf"
                                        << "Split";
        QTest::newRow("non-ASCII") << "Größe"
                                   << "Breite–ä";
    }

    void namesRoundTrip()
    {
        QFETCH(QString, section);
        QFETCH(QString, name);

        QVERIFY(WriteSetting("Quillbook1", section, name, "1"));
        QVERIFY(WriteSetting("Quillbook1", section + "x", name, "2"));
        QVERIFY(WriteSetting("Quillbook1", section, name + "x", "3"));
        QCOMPARE(ReadSetting("Quillbook1", section, name), QStringLiteral("1"));
        QCOMPARE(ReadSetting("Quillbook1", section + "x", name), QStringLiteral("2"));
        QCOMPARE(ReadSetting("Quillbook1", section, name + "x"), QStringLiteral("3"));
    }

    void backslashNamesDeeperKey()
    {
        QVERIFY(WriteSetting("Quillbook1\\Deep", "Main", "Split", "5"));
        QCOMPARE(ReadSetting("Quillbook1", "Deep\\Main", "Split"), QStringLiteral("5"));
        QVERIFY(readRaw().contains("[Deep/Main]\nSplit=5\n"));
        QVERIFY(!QFile::exists(m_config->filePath("Quillbook1\\Deep.ini")));
    }

    void namesCompareCaseInsensitively()
    {
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "5"));
        QVERIFY(WriteSetting("Quillbook1", "MAIN", "split", "6"));
        QCOMPARE(ReadSetting("Quillbook1", "main", "SPLIT"), QStringLiteral("6"));
        QCOMPARE(readRaw().count("Split"), 0);
        QCOMPARE(readRaw().count("split=6"), 1);
    }

    void expandableRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expandable");

        QTest::newRow("%A%") << "%A%" << true;
        QTest::newRow("%%") << "%%" << false;
        QTest::newRow("%") << "%" << false;
        QTest::newRow("a%b%c") << "a%b%c" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("%%A%") << "%%A%" << true;
        QTest::newRow("trailing %") << "100%" << false;
        QTest::newRow("far apart") << "%a long way%" << true;
    }

    void expandableRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, expandable);

        QCOMPARE(cRegistry::isExpandable(text), expandable);
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", text));
        QCOMPARE(readRaw().contains("Split:expand="), expandable);
        cRegistry reader = accessor(QStringLiteral("Main"), QStringLiteral("Split"));
        reader.value();
        QCOMPARE(reader.ValueType,
                 expandable ? quint32(cRegistry::REG_EXPAND_SZ) : quint32(cRegistry::REG_SZ));
    }

    void expansionOnRead_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("read");

        QTest::newRow("reference") << QByteArray("%QY_TEST_DIR%/rookpost") << "/opt/rp/rookpost";
        QTest::newRow("two references")
            << QByteArray("%QY_TEST_DIR%%QY_TEST_DIR%") << "/opt/rp/opt/rp";
        QTest::newRow("unknown variable stays")
            << QByteArray("%QY_TEST_UNSET%/x") << "%QY_TEST_UNSET%/x";
        QTest::newRow("empty variable") << QByteArray("a%QY_TEST_EMPTY%b") << "ab";
        QTest::newRow("adjacent percents stay") << QByteArray("%%x") << "%%x";
        QTest::newRow("unclosed") << QByteArray("%QY_TEST_DIR") << "%QY_TEST_DIR";
    }

    void expansionOnRead()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, read);

        qputenv("QY_TEST_DIR", "/opt/rp");
        qputenv("QY_TEST_EMPTY", "");
        qunsetenv("QY_TEST_UNSET");
        QFile file(settingsFile("RookpostInt2"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Main]\nPath:expand=" + stored + "\n");
        file.close();
        QCOMPARE(ReadSetting("RookpostInt2", "Main", "Path"), read);
    }

    void handWrittenFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("split");

        QTest::newRow("string") << QByteArray("[Main]\nSplit=450\n") << "450";
        QTest::newRow("dword 300") << QByteArray("[Main]\nSplit:dword=300\n") << "300";
        QTest::newRow("blanks and CRLF")
            << QByteArray("  [ Main ] \r\n Split :dword = 300 \r\n") << "300";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Main]\nSplit=1") << "1";
        QTest::newRow("comments") << QByteArray("; a\n# b\n[Main]\n; Split=2\nSplit=3\n") << "3";
        QTest::newRow("other case") << QByteArray("[main]\nsplit=7\n") << "7";
        QTest::newRow("empty value") << QByteArray("[Main]\nSplit=\n") << "";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("missing section") << QByteArray("[Other]\nSplit=1\n") << "";
        QTest::newRow("missing value") << QByteArray("[Main]\nWidth=1\n") << "";
        QTest::newRow("value of the application key") << QByteArray("Split=5\n[Main]\n") << "";
        QTest::newRow("deeper key is another key") << QByteArray("[Main/Sub]\nSplit=5\n") << "";
    }

    void handWrittenFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, split);

        writeRaw(content);
        cRegistry reader = accessor(QStringLiteral("Main"), QStringLiteral("Split"));
        QCOMPARE(reader.value().toString(), split);
        QVERIFY(reader.status().ok());
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), split);
    }

    void missingFileReadsEmpty()
    {
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QString());
        cRegistry reader = accessor(QStringLiteral("Main"), QStringLiteral("Split"));
        reader.Default = QStringLiteral("fallback");
        QCOMPARE(reader.value().toString(), QStringLiteral("fallback"));
        QVERIFY(reader.status().ok());
        QVERIFY(!QFile::exists(settingsFile()));
    }

    void firstWriteCreatesFileAndFolders()
    {
        const QString config = m_config->filePath("not/yet");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "450"));

        QFile file(config + "/Quillbook1.ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.endsWith("[Main]\nSplit=450\n"));
        for (const QString& folder : {m_config->filePath("not"), config}) {
            struct stat info = {};
            QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, 0700u);
        }
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("450"));
    }

    void configFolderFallsBackToHome_data()
    {
        QTest::addColumn<QByteArray>("xdg");
        QTest::newRow("unset") << QByteArray();
        QTest::newRow("relative") << QByteArray("relative/config");
    }

    void configFolderFallsBackToHome()
    {
        QFETCH(QByteArray, xdg);
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_config->path()));
        if (xdg.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", xdg);
        const bool written = WriteSetting("Quillbook1", "Main", "Split", "300");
        const bool landed = QFile::exists(m_config->filePath(".config/Quillbook1.ini"));
        qputenv("HOME", home);
        QVERIFY(written);
        QVERIFY(landed);
        QVERIFY(!QFile::exists("relative"));
    }

    void writeKeepsEverythingElse()
    {
        writeRaw("; kept comment\n"
                 "Top=1\n"
                 "[Main]\n"
                 "  Width = 7   ; not a comment here\n"
                 "Split=450\n"
                 "\n"
                 "# another comment\n"
                 "[Other]\n"
                 "Split:dword=9\n");
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "600"));
        QVERIFY(WriteSetting("Quillbook1", "Main", "Height", "5"));
        QVERIFY(WriteSetting("Quillbook1", "New", "Split", "1"));
        QCOMPARE(readRaw(), QByteArray("; kept comment\n"
                                       "Top=1\n"
                                       "[Main]\n"
                                       "  Width = 7   ; not a comment here\n"
                                       "Split=600\n"
                                       "Height=5\n"
                                       "\n"
                                       "# another comment\n"
                                       "[Other]\n"
                                       "Split:dword=9\n"
                                       "\n"
                                       "[New]\n"
                                       "Split=1\n"));
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Width"),
                 QStringLiteral("7   ; not a comment here"));
    }

    void linkedFileIsUpdatedInPlace()
    {
        // Users who keep their settings elsewhere link the file; the link stays.
        QVERIFY(QDir().mkdir(m_config->filePath("dotfiles")));
        QFile real(m_config->filePath("dotfiles/quill.ini"));
        QVERIFY(real.open(QIODevice::WriteOnly));
        real.write("[Main]\nSplit=300\n");
        real.close();
        QVERIFY(QFile::link("dotfiles/quill.ini", settingsFile()));

        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("300"));
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "400"));
        QVERIFY(QFileInfo(settingsFile()).isSymLink());
        QVERIFY(real.open(QIODevice::ReadOnly));
        QCOMPARE(real.readAll(), QByteArray("[Main]\nSplit=400\n"));
    }

    void numberWriteRefusesNonNumbers_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("text") << QVariant(QStringLiteral("abc"));
        QTest::newRow("negative") << QVariant(-1);
        QTest::newRow("too large") << QVariant(qlonglong(4294967296LL));
        QTest::newRow("empty") << QVariant(QString());
    }

    void numberWriteRefusesNonNumbers()
    {
        QFETCH(QVariant, value);
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "450"));
        const QByteArray before = readRaw();
        cRegistry writer = accessor(QStringLiteral("Main"), QStringLiteral("Split"));
        writer.ValueType = cRegistry::REG_DWORD;
        QVERIFY(!writer.setValue(value));
        QVERIFY(!writer.status().ok());
        QCOMPARE(readRaw(), before);
    }

    void unaddressableKeysAreRefused_data()
    {
        QTest::addColumn<quint32>("root");
        QTest::addColumn<QString>("sectionKey");

        const quint32 user = cRegistry::HKEY_CURRENT_USER;
        QTest::newRow("other root") << quint32(0x80000002u) << "Software\\Quillbook1\\Main";
        QTest::newRow("not below Software") << user << "System\\Quillbook1\\Main";
        QTest::newRow("no application") << user << "Software";
        QTest::newRow("empty level") << user << "Software\\Quillbook1\\\\Main";
        QTest::newRow("parent folder") << user << "Software\\..\\Main";
        QTest::newRow("slash in application") << user << "Software\\../escape\\Main";
    }

    void unaddressableKeysAreRefused()
    {
        QFETCH(quint32, root);
        QFETCH(QString, sectionKey);

        cRegistry registry;
        registry.ClassKey = root;
        registry.SectionKey = sectionKey;
        registry.ValueKey = QStringLiteral("Split");
        QVERIFY(!registry.setValue(QStringLiteral("1")));
        QVERIFY(!registry.status().ok());
        QVERIFY(!registry.value().isValid());
        QVERIFY(registry.filePath().isEmpty());
        QDir parent(m_config->path());
        parent.cdUp();
        QVERIFY(!parent.exists("escape.ini"));
        QCOMPARE(QDir(m_config->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void damagedFilesAreSetAsideAndStartedAfresh_data()
    {
        QTest::addColumn<QByteArray>("content");

        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk += char((i * 7919 + 13) % 256);
        QTest::newRow("binary junk") << junk;
        QTest::newRow("NUL byte") << QByteArray("[Main]\nSplit=4\0"
                                                "50\n",
                                                16);
        QTest::newRow("invalid UTF-8") << QByteArray("[Main]\nSplit=\xC3\x28\n");
        QTest::newRow("huge line") << "[Main]\nSplit=" + QByteArray(10 * 1024 * 1024, 'x') + '\n';
        QTest::newRow("just over the size cap")
            << "[Main]\nSplit=1\n;" + QByteArray(1024 * 1024 - 16, 'x') + '\n';
        QTest::newRow("unterminated group") << QByteArray("[Main\nSplit=450\n");
        QTest::newRow("empty group level") << QByteArray("[Main//Sub]\nSplit=450\n");
        QTest::newRow("line without =") << QByteArray("[Main]\nSplit\n");
        QTest::newRow("unknown type") << QByteArray("[Main]\nSplit:qword=1\n");
        QTest::newRow("dword overflow") << QByteArray("[Main]\nSplit:dword=4294967296\n");
        QTest::newRow("dword not a number") << QByteArray("[Main]\nSplit:dword=12a\n");
        QTest::newRow("bad escape") << QByteArray("[Main]\nSplit=a\\qb\n");
        QTest::newRow("dangling backslash") << QByteArray("[Main]\nSplit=a\\\n");
        QTest::newRow("short hex escape") << QByteArray("[Main]\nSplit=\\x4\n");
        QTest::newRow("duplicate value") << QByteArray("[Main]\nSplit=1\nsplit=2\n");
        QTest::newRow("duplicate group") << QByteArray("[Main]\nSplit=1\n[MAIN]\nWidth=2\n");
    }

    // A damaged file is not read; the first write keeps it aside under a
    // name of its own, says so, and starts a fresh file, so that later
    // changes are stored again.
    void damagedFilesAreSetAsideAndStartedAfresh()
    {
        QFETCH(QByteArray, content);

        writeRaw(content);
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QString());
        cRegistry reader = accessor(QStringLiteral("Main"), QStringLiteral("Split"));
        QVERIFY(!reader.value().isValid());
        QVERIFY(reader.status().message().contains(settingsFile()));

        QList<Trouble> troubles;
        setTroubleHandler([&troubles](const Trouble& trouble) { troubles.append(trouble); });
        const bool stored = WriteSetting("Quillbook1", "Main", "Split", "450");
        setTroubleHandler(nullptr);
        QVERIFY(stored);
        QCOMPARE(troubles.size(), 1);
        QCOMPARE(troubles.first().kind, Trouble::SetAside);
        const QString aside = troubles.first().asidePath;
        QVERIFY2(QFileInfo(aside).fileName().startsWith("Quillbook1.ini.damaged-"),
                 qPrintable(aside));
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("450"));
        QVERIFY(WriteSetting("Quillbook1", "Other", "Split", "1"));
        QCOMPARE(ReadSetting("Quillbook1", "Other", "Split"), QStringLiteral("1"));
        QCOMPARE(QDir(m_config->path()).entryList(QDir::Files).size(), 3); // ini, lock, aside
    }

    // A folder of settings that cannot be written: the caller hears once
    // per write, with the path and the reason.
    void unwritableFolderIsReported()
    {
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "450"));
        QFile::setPermissions(m_config->path(), QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(m_config->path()).isWritable() && ::geteuid() == 0) {
            QFile::setPermissions(m_config->path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("root writes into a read-only folder");
        }
        QList<Trouble> troubles;
        setTroubleHandler([&troubles](const Trouble& trouble) { troubles.append(trouble); });
        const bool stored = WriteSetting("Quillbook1", "Main", "Split", "500");
        setTroubleHandler(nullptr);
        QFile::setPermissions(m_config->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!stored);
        QCOMPARE(troubles.size(), 1);
        QCOMPARE(troubles.first().kind, Trouble::NotStored);
        QVERIFY2(troubles.first().message.contains(m_config->path()),
                 qPrintable(troubles.first().message));
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("450"));
    }

    void nonRegularAndSparseFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("4 GiB sparse file") << "sparse";
    }

    void nonRegularAndSparseFilesAreRefused()
    {
        QFETCH(QString, kind);
        const QByteArray path = QFile::encodeName(settingsFile());
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(settingsFile()));
        } else {
            QFile file(settingsFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(4) << 30));
        }
        // A pipe without a writer would block a plain open; this must return.
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QString());
        // What is not a file stays as it is; a file too large is set aside.
        QCOMPARE(WriteSetting("Quillbook1", "Main", "Split", "450"), kind == "sparse");
        QFileInfo info(settingsFile());
        QCOMPARE(info.isDir(), kind == "folder");
        if (kind == "sparse") {
            const QStringList aside =
                QDir(m_config->path()).entryList({"Quillbook1.ini.damaged-*"});
            QCOMPARE(aside.size(), 1);
            QCOMPARE(QFileInfo(m_config->filePath(aside.first())).size(), qint64(4) << 30);
        }
    }

    void concurrentWritersLoseNothing()
    {
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "450"));
        const int count = 300;
        std::vector<std::unique_ptr<QProcess>> writers;
        for (const QString prefix : {"A", "B"}) {
            writers.push_back(std::make_unique<QProcess>());
            writers.back()->setProgram(QCoreApplication::applicationFilePath());
            writers.back()->setArguments({"--write-values", prefix, QString::number(count)});
            writers.back()->setProcessChannelMode(QProcess::ForwardedChannels);
        }
        for (const auto& writer : writers)
            writer->start();
        for (const auto& writer : writers) {
            QVERIFY(writer->waitForFinished(120000));
            QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
            QCOMPARE(writer->exitCode(), 0);
        }
        QStringList lost;
        for (const QString prefix : {"A", "B"}) {
            for (int i = 0; i < count; ++i) {
                const QString value =
                    ReadSetting("Quillbook1", "Main", prefix + QString::number(i));
                if (value != prefix + " value " + QString::number(i))
                    lost.append(prefix + QString::number(i));
            }
        }
        QVERIFY2(lost.isEmpty(), qPrintable(lost.join(' ')));
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("450"));
    }

    void abandonedReplaceKeepsOldFile()
    {
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "450"));
        const QByteArray before = readRaw();
        static QString seenPath;
        cRegistry::setReplaceHook([](const QString& path) {
            seenPath = path;
            return false;
        });
        QVERIFY(!WriteSetting("Quillbook1", "Main", "Split", "600"));
        QCOMPARE(seenPath, settingsFile());
        QCOMPARE(readRaw(), before);
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("450"));
        QCOMPARE(QDir(m_config->path()).entryList(QDir::Files),
                 (QStringList{"Quillbook1.ini", "Quillbook1.ini.lock"}));
    }

    // A disk that fills up while the new file is written: the write fails
    // with the system's reason, and the old file stays whole.
    void fullDiskKeepsOldFile()
    {
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "450"));
        const QByteArray before = readRaw();

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            cRegistry registry;
            registry.SectionKey = QStringLiteral("Software\\Quillbook1\\Main");
            registry.ValueKey = QStringLiteral("Width");
            const bool stored = registry.setValue(QString(8000, u'w'));
            const QString expected =
                settingsFile() + ": " + QString::fromLocal8Bit(std::strerror(EFBIG));
            ::_exit(!stored && registry.status().message() == expected ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(readRaw(), before);
        QCOMPARE(QDir(m_config->path()).entryList(QDir::Files),
                 (QStringList{"Quillbook1.ini", "Quillbook1.ini.lock"}));
    }

    void crashBeforeReplaceKeepsOldFile()
    {
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "450"));
        QVERIFY(WriteSetting("Quillbook1", "Main", "Width", QString(5000, u'w')));
        const QByteArray before = readRaw();

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // The process dies with the new content written but not yet in place.
            cRegistry::setReplaceHook([](const QString&) -> bool { ::_exit(42); });
            WriteSetting("Quillbook1", "Main", "Split", "600");
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 42);

        QCOMPARE(readRaw(), before);
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("450"));
        QVERIFY(WriteSetting("Quillbook1", "Main", "Split", "700"));
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Split"), QStringLiteral("700"));
        QCOMPARE(ReadSetting("Quillbook1", "Main", "Width"), QString(5000, u'w'));
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--write-values") == 0)
        return writeValues(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    QCoreApplication app(argc, argv);
    TestSettingsStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingsstore.moc"
