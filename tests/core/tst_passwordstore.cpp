#include "core/export/passwordstore.h"
#include "core/export/testsend.h"
#include "smtp/smtptestserver.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs in a private D-Bus session with a gnome-keyring daemon of its own
// (tests/smtp/with-keyring.sh), as a desktop would have.
class PasswordStoreTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QString m_password = QStringLiteral("Kr-91f3-secret");

    QByteArray settingsFile() const
    {
        QFile file(m_dir.filePath(QStringLiteral("config/Quillbook1.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The tool's output and exit code for a send through `port`.
    std::pair<int, QString> runTool(int port, const QProcessEnvironment& environment)
    {
        TestSend::Account account;
        account.name = QStringLiteral("Keyring account");
        account.host = QStringLiteral("127.0.0.1");
        account.port = port;
        account.userName = QStringLiteral("tester");
        account.fromAddress = QStringLiteral("tester@quillery.example");
        if (!TestSend::saveAccounts({account}).ok())
            return {-1, QStringLiteral("accounts not saved")};
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(QUILLERY_TOOL),
                   {QStringLiteral("send"),
                    QStringLiteral(QUILLERY_TEST_DATA "/testsend/newsletter.eml"),
                    QStringLiteral("--to"), QStringLiteral("alex@example.com"),
                    QStringLiteral("--account"), account.name, QStringLiteral("--ca-file"),
                    m_dir.filePath(QStringLiteral("cert.pem"))});
        tool.waitForFinished(60000);
        return {tool.exitCode(),
                QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
        QVERIFY(SmtpTestServer::makeCertificate(m_dir.path()));
    }

    void storedReadBackAndRemoved()
    {
        QVERIFY2(PasswordStore::write(QStringLiteral("Round trip"), m_password).ok(),
                 "no Secret Service: run under tests/smtp/with-keyring.sh");
        const PasswordStore::Lookup found = PasswordStore::read(QStringLiteral("Round trip"));
        QCOMPARE(found.kind, PasswordStore::Lookup::Found);
        QCOMPARE(found.password, m_password);
        QCOMPARE(PasswordStore::read(QStringLiteral("Another account")).kind,
                 PasswordStore::Lookup::Missing);
        QVERIFY(PasswordStore::remove(QStringLiteral("Round trip")).ok());
        QCOMPARE(PasswordStore::read(QStringLiteral("Round trip")).kind,
                 PasswordStore::Lookup::Missing);
    }

    // The tool takes the password from the keyring; the settings file and
    // the output never hold it.
    void toolSendsWithThePasswordFromTheKeyring()
    {
        SmtpTestServer server(m_dir.filePath(QStringLiteral("server")),
                              {QStringLiteral("--cert"), m_dir.filePath(QStringLiteral("cert.pem")),
                               QStringLiteral("--key"), m_dir.filePath(QStringLiteral("key.pem")),
                               QStringLiteral("--user"), QStringLiteral("tester"),
                               QStringLiteral("--password"), m_password});
        QVERIFY(server.port() > 0);
        QVERIFY(PasswordStore::write(QStringLiteral("Keyring account"), m_password).ok());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QUILLERY_SMTP_PASSWORD"));
        const auto [exitCode, output] = runTool(server.port(), environment);
        QVERIFY2(exitCode == 0, qPrintable(output));
        QCOMPARE(server.receivedFiles().size(), 1);
        QVERIFY(!output.contains(m_password));
        QVERIFY(!settingsFile().isEmpty());
        QVERIFY(!settingsFile().contains(m_password.toUtf8()));
    }

    // With no keyring to ask, the tool says so and what to do instead.
    void withoutKeyringTheToolSaysWhy()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QUILLERY_SMTP_PASSWORD"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=") +
                               m_dir.filePath(QStringLiteral("no-bus-here")));
        const auto [exitCode, output] = runTool(SmtpTestServer::freePort(), environment);
        QCOMPARE(exitCode, 1);
        QVERIFY2(output.contains(QLatin1String("no keyring answered")), qPrintable(output));
        QVERIFY(output.contains(QLatin1String("QUILLERY_SMTP_PASSWORD")));
    }
};

QTEST_GUILESS_MAIN(PasswordStoreTest)
#include "tst_passwordstore.moc"
