#include "librarytool.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// quillery-library check TEMPLATE --report / --json, run as a user would.
class TestSendCheckTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_library = m_folder.filePath(QStringLiteral("library"));
        const ToolRun built =
            runTool({QStringLiteral("build"),
                     QStringLiteral(QUILLERY_SOURCE_DIR "/library/sources"), m_library});
        QVERIFY2(built.exitCode == 0, qPrintable(built.err));
        m_templates = QDir(m_library + QStringLiteral("/templates"))
                          .entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
        QVERIFY(m_templates.size() > 20);
    }

    // The shipped library passes: no template has a problem, only the
    // links its sender replaces and such.
    void shippedTemplatesPass()
    {
        for (const QString& name : std::as_const(m_templates)) {
            const ToolRun run =
                runTool({QStringLiteral("check"), path(name), QStringLiteral("--report"),
                         QStringLiteral("--no-spam"), QStringLiteral("--no-outlook-model")});
            QVERIFY2(run.exitCode == 0, qPrintable(name + ":\n" + run.out + run.err));
            QVERIFY(run.out.contains(QStringLiteral("Verdict: ")));
            QVERIFY(run.out.contains(QStringLiteral("Links: warnings")));
        }
    }

    // With SpamAssassin, as the window runs it.
    void shippedTemplateWithSpamCheck()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("spamassassin")).isEmpty())
            QFAIL("SpamAssassin is missing; scripts/install-deps installs it");
        const ToolRun run =
            runTool({QStringLiteral("check"), path(m_templates.first()), QStringLiteral("--json"),
                     QStringLiteral("--no-outlook-model")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(root[QStringLiteral("template")].toString(), m_templates.first());
        QJsonObject spam;
        for (const QJsonValue& section : root[QStringLiteral("sections")].toArray()) {
            if (section[QStringLiteral("section")] == QStringLiteral("spam"))
                spam = section.toObject();
        }
        QCOMPARE(spam[QStringLiteral("verdict")].toString(), QStringLiteral("passes"));
        QVERIFY(spam[QStringLiteral("score")].toDouble() <
                spam[QStringLiteral("required")].toDouble());
        QVERIFY(spam[QStringLiteral("complete")].toBool());
    }

    void problemsExitWithOne()
    {
        const QString message = m_folder.filePath(QStringLiteral("broken.eml"));
        QFile file(message);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "From: a@crumb.org\r\nSubject: Hi\r\nMIME-Version: 1.0\r\n"
            "Content-Type: text/html; charset=UTF-8\r\n\r\n"
            "<html lang=\"en\"><body><img src=\"https://crumb.org/a.png\"></body></html>\r\n");
        file.close();
        const ToolRun run =
            runTool({QStringLiteral("check"), message, QStringLiteral("--report"),
                     QStringLiteral("--no-spam"), QStringLiteral("--no-outlook-model")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(QStringLiteral("Accessibility: problems")), qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("(<img> 1, HTML line 1)")));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("both forms") << QStringList{"x.dat", "--report", "--json"};
        QTest::newRow("no template") << QStringList{"--json"};
        QTest::newRow("two templates") << QStringList{"a.dat", "b.dat", "--report"};
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        const ToolRun run = runTool(QStringList{QStringLiteral("check")} + arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("usage")));
    }

    void unreadableTemplate()
    {
        const ToolRun run = runTool({QStringLiteral("check"), m_folder.filePath("missing.dat"),
                                     QStringLiteral("--report")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("missing.dat")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

private:
    QString path(const QString& name) const
    {
        return m_library + QStringLiteral("/templates/") + name;
    }

    QTemporaryDir m_folder;
    QString m_library;
    QStringList m_templates;
};

QTEST_GUILESS_MAIN(TestSendCheckTool)
#include "tst_sendchecktool.moc"
