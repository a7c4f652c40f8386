#include "core/gallery/check/mailprogramlint.h"
#include "core/gallery/check/mailprogramtable.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

QString linterFolder()
{
    return QStringLiteral(QUILLERY_SOURCE_DIR "/library/lint");
}

QString findNode()
{
    for (const QString& name : {QStringLiteral("node"), QStringLiteral("nodejs")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QStringList clientKeys(std::uint32_t mask)
{
    QStringList keys;
    for (std::size_t i = 0; i < MailProgramTable::Clients.size(); ++i) {
        if (mask & (1u << i))
            keys.append(QString::fromUtf8(MailProgramTable::Clients[i].key));
    }
    keys.sort();
    return keys;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMailProgramLint : public QObject
{
    Q_OBJECT

private slots:
    // The matcher stands in for the Node linter: on every shipped template and
    // on pages that use the features one by one, it must find exactly what
    // the linter finds, feature by feature and program by program.
    void agreesWithNodeLinter()
    {
        const QString node = findNode();
        if (node.isEmpty() ||
            !QFile::exists(linterFolder() + "/node_modules/@jsx-email/doiuse-email/package.json"))
            QFAIL("Node or the linter's npm packages are missing; scripts/install-deps installs "
                  "them");
        QStringList pages;
        QDirIterator fixtures(QStringLiteral(QUILLERY_TEST_DATA "/check/mailprograms"),
                              {QStringLiteral("*.html")}, QDir::Files);
        while (fixtures.hasNext())
            pages.append(fixtures.next());
        const int fixtureCount = int(pages.size());
        QDirIterator shipped(QStringLiteral(QUILLERY_SOURCE_DIR "/library/sources"),
                             {QStringLiteral("message.html")}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (shipped.hasNext())
            pages.append(shipped.next());
        QVERIFY(fixtureCount >= 3);
        QVERIFY2(pages.size() > fixtureCount + 20, "the shipped templates' sources are missing");

        QProcess linter;
        linter.start(node, QStringList{QStringLiteral(QUILLERY_TEST_DATA "/check/rawlint.mjs"),
                                       linterFolder()} +
                               pages);
        QVERIFY(linter.waitForFinished(120000));
        QCOMPARE(linter.exitCode(), 0);
        const QList<QByteArray> lines = linter.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(lines.size(), pages.size());

        int withFindings = 0;
        for (const QByteArray& line : lines) {
            const QJsonObject expected = QJsonDocument::fromJson(line).object();
            const QString page = expected.value("page").toString();
            const MailProgramLint::Raw raw = MailProgramLint::lintRaw(readFile(page));
            if (expected.contains("error")) {
                // The linter gives up on a feature without data for a
                // program; the matcher names that feature instead.
                const QString error = expected.value("error").toString();
                QVERIFY2(error.contains("not found on"), qPrintable(page + ": " + error));
                bool named = false;
                for (auto it = raw.noData.cbegin(); it != raw.noData.cend(); ++it)
                    named = named || error.contains(QLatin1Char('`') + it.key() + QLatin1Char('`'));
                QVERIFY2(named, qPrintable(page + ": " + error));
                continue;
            }
            QVERIFY2(raw.noData.isEmpty(), qPrintable(page));
            const QJsonObject unsupported = expected.value("unsupported").toObject();
            QMap<QString, QStringList> want;
            for (auto it = unsupported.constBegin(); it != unsupported.constEnd(); ++it) {
                QStringList clients;
                for (const QJsonValue& client : it.value().toArray())
                    clients.append(client.toString());
                clients.sort();
                want.insert(it.key(), clients);
            }
            QMap<QString, QStringList> got;
            for (auto it = raw.unsupported.cbegin(); it != raw.unsupported.cend(); ++it)
                got.insert(it.key(), clientKeys(it.value()));
            if (got != want) {
                QStringList diff;
                for (const QString& key : want.keys())
                    if (got.value(key) != want.value(key))
                        diff << key + ": node " + want.value(key).join(',') + " / we " +
                                    got.value(key).join(',');
                for (const QString& key : got.keys())
                    if (!want.contains(key))
                        diff << key + ": only we find it in " + got.value(key).join(',');
                QFAIL(qPrintable(page + "\n  " + diff.join("\n  ")));
            }
            withFindings += want.isEmpty() ? 0 : 1;
        }
        QVERIFY(withFindings > 0);
    }

    void findings_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("feature");
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("excused");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("index");

        QTest::newRow("inline flex")
            << QByteArray("<p>a</p><p style=\"display:flex\">b</p>") << "display:flex"
            << "Outlook for Windows" << false << "p" << 1;
        QTest::newRow("sheet at-rule, excused")
            << QByteArray("<style>@media (max-width:600px){p{margin:0}}</style>") << "@media"
            << "Outlook for Windows" << true << "style" << 0;
        QTest::newRow("attribute selector, not excused for Yahoo")
            << QByteArray("<style>[data-x]{color:red}</style>") << "Attribute selector"
            << "Gmail (mobile webmail)" << true << "style" << 0;
        QTest::newRow("a conditional comment hides its markup")
            << QByteArray("<!--[if mso]><p style=\"display:flex\">x</p><![endif]--><p>y</p>")
            << "display:flex" << QString() << false << QString() << -1;
        QTest::newRow("the last of a property inline wins")
            << QByteArray("<p style=\"display:flex;display:block\">x</p>") << "display:flex"
            << QString() << false << QString() << -1;
    }

    void findings()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, feature);
        QFETCH(QString, program);
        QFETCH(bool, excused);
        QFETCH(QString, tag);
        QFETCH(int, index);
        const MailProgramLint::Report report = MailProgramLint::lint(html);
        const QList<MailProgramLint::Finding>& list = excused ? report.excused : report.unsupported;
        const auto found = std::find_if(list.begin(), list.end(),
                                        [&](const auto& f) { return f.feature == feature; });
        if (program.isEmpty()) {
            QVERIFY(found == list.end());
            return;
        }
        QVERIFY(found != list.end());
        QVERIFY2(found->programs.contains(program), qPrintable(found->programs.join(", ")));
        QCOMPARE(found->place.tag, tag);
        QCOMPARE(found->place.index, index);
        QVERIFY(found->url.startsWith("https://www.caniemail.com/"));
        if (excused)
            QVERIFY(!found->reason.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMailProgramLint)
#include "tst_mailprogramlint.moc"
