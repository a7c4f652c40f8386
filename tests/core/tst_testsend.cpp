#include "core/export/mergefields.h"
#include "core/export/smtpsender.h"
#include "core/export/testsend.h"
#include "core/mime/mimecomponent.h"
#include "smtp/smtptestserver.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

using SmtpSender::Security;

namespace {

const QString User = QStringLiteral("tester");
// Unusual enough that finding it in any output means it leaked.
const QString Password = QStringLiteral("Pw-7c1e-secret");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Line ends as "\n": on the wire a text's lines end in CRLF, its canonical form.
QByteArray htmlOf(const QByteArray& message)
{
    for (const MimeComponent::TextPart& part : MimeComponent::readTextParts(message).parts) {
        if (part.type == "text/html")
            return QByteArray(part.content).replace("\r\n", "\n");
    }
    return {};
}

// The image files the page of `message` refers to, by name.
QMap<QString, QByteArray> imagesOf(const QByteArray& message, const QString& folder)
{
    QDir().mkpath(folder);
    MimeComponent component;
    component.LoadEmlData(message);
    component.saveHtmlToSubfolderUtf8(folder, QStringLiteral("page"));
    QMap<QString, QByteArray> images;
    const QDir dir(folder + QStringLiteral("/page"));
    for (const QString& name : dir.entryList(QDir::Files))
        images.insert(name, readFile(dir.filePath(name)));
    return images;
}

QByteArray header(const QByteArray& message, const QByteArray& name)
{
    const QRegularExpression line(
        QStringLiteral("(?:^|\\r\\n)%1:\\s*([^\\r\\n]*)").arg(QString::fromLatin1(name)),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(message));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

} // namespace

class TestSendTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QByteArray m_template;
    QString m_ca;
    int m_servers = 0;

    QString folder(const QString& name) { return m_dir.filePath(name); }

    QStringList tlsOptions() const
    {
        return {QStringLiteral("--cert"), m_dir.filePath(QStringLiteral("cert.pem")),
                QStringLiteral("--key"), m_dir.filePath(QStringLiteral("key.pem"))};
    }
    QStringList loginOptions() const
    {
        return {QStringLiteral("--user"), User, QStringLiteral("--password"), Password};
    }

    TestSend::Account account(int port, Security security = Security::StartTls) const
    {
        TestSend::Account account;
        account.name = QStringLiteral("Test server");
        account.host = QStringLiteral("127.0.0.1");
        account.port = port;
        account.security = security;
        account.userName = User;
        account.fromAddress = QStringLiteral("tester@quillery.example");
        return account;
    }

    std::unique_ptr<SmtpTestServer> startServer(const QStringList& options)
    {
        auto server = std::make_unique<SmtpTestServer>(
            folder(QStringLiteral("server%1").arg(++m_servers)), options);
        return server;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
        QVERIFY(SmtpTestServer::makeCertificate(m_dir.path()));
        m_ca = m_dir.filePath(QStringLiteral("cert.pem"));
        m_template = readFile(QStringLiteral(QUILLERY_TEST_DATA "/testsend/newsletter.eml"));
        QVERIFY(!m_template.isEmpty());
    }

    // What arrives is the exported message with the test's headers and the
    // merge fields filled, nothing lost or re-encoded on the way.
    void sendArrivesAsExported()
    {
        auto server = startServer(tlsOptions() + loginOptions());
        QVERIFY(server->port() > 0);
        const TestSend::Account sender = account(server->port());
        const QStringList to{QStringLiteral("alex@example.com")};
        const Result<QByteArray> message = TestSend::testMessage(m_template, sender, to);
        QVERIFY2(message, qPrintable(message.status().message()));
        SmtpSender::Server smtp = sender.server();
        smtp.caFile = m_ca;
        const Result<SmtpSender::Report> report =
            SmtpSender::send(smtp, Password, sender.fromAddress, to, *message);
        QVERIFY2(report, qPrintable(report.status().message()));
        QCOMPARE(report->delivered, to);
        QCOMPARE(server->receivedFiles().size(), 1);
        QCOMPARE(server->recipients(1), to);
        const QByteArray received = server->received(1);

        QCOMPARE(QString::fromUtf8(htmlOf(received)),
                 QString::fromUtf8(MergeFields::fillSamples(htmlOf(m_template))));
        QVERIFY(!htmlOf(received).contains("[unsubscribe_url]"));
        const auto text = MimeComponent::readPlainText(received, 1 << 20);
        const auto originalText = MimeComponent::readPlainText(m_template, 1 << 20);
        QVERIFY(text && originalText);
        QCOMPARE(QString::fromUtf8(text->text),
                 QString::fromUtf8(MergeFields::fillSamplesPlain(originalText->text)));
        QVERIFY(text->text.contains("Hello Alex,"));
        const QMap<QString, QByteArray> images = imagesOf(received, folder("received"));
        QVERIFY(!images.isEmpty());
        QCOMPARE(images, imagesOf(m_template, folder("exported")));

        const MimeComponent::ListHeaders headers = MimeComponent::readListHeaders(received);
        QCOMPARE(headers.subject, QStringLiteral("[Test] Autumn at the Café"));
        QCOMPARE(headers.fromAddress, sender.fromAddress);
        QCOMPARE(headers.fromName, QStringLiteral("Corner Cafe"));
        QVERIFY(header(received, "To").contains("alex@example.com"));
        QVERIFY(!received.contains("\r\nCc:"));
        QVERIFY(!received.contains("\r\nBcc:"));
        QVERIFY(!received.contains("\r\nReply-To:"));
        const QByteArray id = header(received, "Message-ID");
        QVERIFY(!id.isEmpty());
        QVERIFY(!id.contains("template-1@cornercafe.example"));
        QVERIFY(!header(received, "Date").contains("22 Jun 2026"));
    }

    // Each test gets a Message-ID of its own, and SMTP's line rules hold.
    void messageIsFreshAndWellFormed()
    {
        const QStringList to{QStringLiteral("a@example.com")};
        const Result<QByteArray> first = TestSend::testMessage(m_template, account(25), to);
        const Result<QByteArray> second = TestSend::testMessage(m_template, account(25), to);
        QVERIFY(first && second);
        QVERIFY(header(*first, "Message-ID") != header(*second, "Message-ID"));
        const QList<QByteArray> lines = first->split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            QVERIFY2(lines.at(i).endsWith('\r'), lines.at(i).constData());
            QVERIFY(lines.at(i).size() <= 999);
        }
    }

    void refusedRecipientDoesNotStopTheOthers()
    {
        auto server = startServer(
            tlsOptions() + loginOptions() +
            QStringList{QStringLiteral("--refuse"), QStringLiteral("nobody@example.com")});
        QVERIFY(server->port() > 0);
        const QStringList to{QStringLiteral("first@example.com"),
                             QStringLiteral("nobody@example.com"),
                             QStringLiteral("last@example.com")};
        SmtpSender::Server smtp = account(server->port()).server();
        smtp.caFile = m_ca;
        const Result<QByteArray> message = TestSend::testMessage(m_template, account(0), to);
        QVERIFY(message);
        const Result<SmtpSender::Report> report = SmtpSender::send(
            smtp, Password, QStringLiteral("tester@quillery.example"), to, *message);
        QVERIFY2(report, qPrintable(report.status().message()));
        QCOMPARE(report->delivered, QStringList({QStringLiteral("first@example.com"),
                                                 QStringLiteral("last@example.com")}));
        QCOMPARE(report->refused.size(), size_t(1));
        QCOMPARE(report->refused.front().first, QStringLiteral("nobody@example.com"));
        QVERIFY(report->refused.front().second.contains(QLatin1String("refused this address")));
        QCOMPARE(server->receivedFiles().size(), 2);
    }

    void failuresSayWhatHappened_data()
    {
        QTest::addColumn<QStringList>("serverOptions");
        QTest::addColumn<int>("security");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("expected");

        const QString good = QStringLiteral("alex@example.com");
        const int startTls = int(Security::StartTls);
        QTest::newRow("wrong password")
            << tlsOptions() + loginOptions() << startTls << true << QStringLiteral("wrong-one")
            << good << QStringLiteral("refused the login of user \"tester\"");
        QTest::newRow("untrusted certificate")
            << tlsOptions() + loginOptions() << startTls << false << Password << good
            << QStringLiteral("certificate is not trusted");
        QTest::newRow("TLS from the first byte, untrusted")
            << tlsOptions() + QStringList{QStringLiteral("--implicit-tls")} << int(Security::Tls)
            << false << Password << good << QStringLiteral("certificate is not trusted");
        QTest::newRow("no STARTTLS offered") << QStringList() << startTls << true << Password
                                             << good << QStringLiteral("does not offer STARTTLS");
        QTest::newRow("only recipient refused")
            << tlsOptions() + loginOptions() + QStringList{QStringLiteral("--refuse"), good}
            << startTls << true << Password << good << QStringLiteral("refused every recipient");
        QTest::newRow("message too large")
            << tlsOptions() + loginOptions() +
                   QStringList{QStringLiteral("--size-limit"), QStringLiteral("1000")}
            << startTls << true << Password << good << QStringLiteral("too large for this server");
        QTest::newRow("server stops answering")
            << QStringList{QStringLiteral("--silent")} << startTls << true << Password << good
            << QStringLiteral("did not answer within 2 seconds");
        QTest::newRow("server down")
            << QStringList{QStringLiteral("--down")} << startTls << true << Password << good
            << QStringLiteral("the server cannot be reached");
        QTest::newRow("command in an address")
            << tlsOptions() + loginOptions() << startTls << true << Password
            << QStringLiteral("a@example.com>\r\nRCPT TO:<b@example.com")
            << QStringLiteral("is not an e-mail address");
    }

    // Every failure names the server and what to do, and never the password.
    void failuresSayWhatHappened()
    {
        QFETCH(QStringList, serverOptions);
        QFETCH(int, security);
        QFETCH(bool, trusted);
        QFETCH(QString, password);
        QFETCH(QString, recipient);
        QFETCH(QString, expected);

        int port = 0;
        std::unique_ptr<SmtpTestServer> server;
        if (serverOptions == QStringList{QStringLiteral("--down")}) {
            // A port that was just free and has nothing listening.
            port = SmtpTestServer::freePort();
        } else {
            server = startServer(serverOptions);
            QVERIFY(server->port() > 0);
            port = server->port();
        }
        SmtpSender::Server smtp = account(port, Security(security)).server();
        smtp.timeoutSeconds = 2;
        if (trusted)
            smtp.caFile = m_ca;
        if (!serverOptions.contains(QStringLiteral("--user")))
            smtp.userName.clear();
        const Result<SmtpSender::Report> report = SmtpSender::send(
            smtp, password, QStringLiteral("tester@quillery.example"), {recipient}, m_template);
        QVERIFY(!report);
        const QString message = report.status().message();
        QVERIFY2(message.contains(expected), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("127.0.0.1:%1").arg(port)), qPrintable(message));
        QVERIFY(!message.contains(password));
        if (server)
            QVERIFY(server->receivedFiles().isEmpty());
    }

    void plainOnlyToThisComputer_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("name of another host") << QStringLiteral("mail.example.com") << false;
        QTest::newRow("public address") << QStringLiteral("192.0.2.1") << false;
        QTest::newRow("loopback lookalike name")
            << QStringLiteral("127.0.0.1.example.com") << false;
        QTest::newRow("localhost") << QStringLiteral("localhost") << true;
        QTest::newRow("127.0.0.1") << QStringLiteral("127.0.0.1") << true;
        QTest::newRow("127.3.2.1") << QStringLiteral("127.3.2.1") << true;
        QTest::newRow("::1") << QStringLiteral("::1") << true;
    }

    void plainOnlyToThisComputer()
    {
        QFETCH(QString, host);
        QFETCH(bool, allowed);
        QCOMPARE(SmtpSender::isLoopback(host), allowed);
        if (allowed)
            return;
        SmtpSender::Server smtp;
        smtp.host = host;
        smtp.port = 25;
        smtp.security = Security::Plain;
        const Result<SmtpSender::Report> report =
            SmtpSender::send(smtp, Password, QStringLiteral("a@example.com"),
                             {QStringLiteral("b@example.com")}, m_template);
        QVERIFY(!report);
        QVERIFY(report.status().message().contains(QLatin1String("without encryption")));
    }

    void plainToLoopbackArrives()
    {
        auto server = startServer({});
        QVERIFY(server->port() > 0);
        SmtpSender::Server smtp = account(server->port(), Security::Plain).server();
        smtp.userName.clear();
        const Result<SmtpSender::Report> report =
            SmtpSender::send(smtp, QString(), QStringLiteral("a@example.com"),
                             {QStringLiteral("b@example.com")}, m_template);
        QVERIFY2(report, qPrintable(report.status().message()));
        QCOMPARE(server->receivedFiles().size(), 1);
    }

    // Cancel stops a send that waits on a silent server long before its time-out.
    void cancelStopsAWaitingSend()
    {
        auto server = startServer({QStringLiteral("--silent")});
        QVERIFY(server->port() > 0);
        SmtpSender::Server smtp = account(server->port()).server();
        smtp.timeoutSeconds = 600;
        std::atomic_bool cancel = false;
        std::thread canceller([&cancel] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel = true;
        });
        const Result<SmtpSender::Report> report =
            SmtpSender::send(smtp, Password, QStringLiteral("a@example.com"),
                             {QStringLiteral("b@example.com")}, m_template, &cancel);
        canceller.join();
        QVERIFY(!report);
        QVERIFY2(report.status().message().contains(QLatin1String("cancelled")),
                 qPrintable(report.status().message()));
    }

    void accountsRoundTripWithoutPassword()
    {
        TestSend::Account first = account(587);
        TestSend::Account second = account(465, Security::Tls);
        second.name = QStringLiteral("Second, with \"quotes\"");
        second.fromName = QStringLiteral("Ünïcode Sender");
        QVERIFY(TestSend::saveAccounts({first, second}).ok());
        const std::vector<TestSend::Account> loaded = TestSend::loadAccounts();
        QCOMPARE(loaded.size(), size_t(2));
        QCOMPARE(loaded.at(1).name, second.name);
        QCOMPARE(loaded.at(1).security, Security::Tls);
        QCOMPARE(loaded.at(1).port, 465);
        QCOMPARE(loaded.at(1).fromName, second.fromName);
        QVERIFY(TestSend::findAccount(second.name));
        const Result<TestSend::Account> missing = TestSend::findAccount(QStringLiteral("Nope"));
        QVERIFY(!missing);
        QVERIFY(missing.status().message().contains(second.name));
        TestSend::remember({QStringLiteral("a@example.com"), QStringLiteral("b@example.com")},
                           first.name);
        QCOMPARE(TestSend::lastRecipients(),
                 QStringList({QStringLiteral("a@example.com"), QStringLiteral("b@example.com")}));
        QCOMPARE(TestSend::lastAccount(), first.name);
    }

    // The command line does the same, with the password from the environment.
    void toolSendsAndKeepsThePasswordOut_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("right password")
            << Password << 0 << QStringLiteral("sent to alex@example.com");
        QTest::newRow("wrong password")
            << QStringLiteral("Wrong-77") << 1 << QStringLiteral("refused the login");
    }

    void toolSendsAndKeepsThePasswordOut()
    {
        QFETCH(QString, password);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        auto server = startServer(tlsOptions() + loginOptions());
        QVERIFY(server->port() > 0);
        QVERIFY(TestSend::saveAccounts({account(server->port())}).ok());
        const QString eml = folder(QStringLiteral("tool.eml"));
        QFile::remove(eml);
        QVERIFY(QFile::copy(QStringLiteral(QUILLERY_TEST_DATA "/testsend/newsletter.eml"), eml));

        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUILLERY_SMTP_PASSWORD"), password);
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(QUILLERY_TOOL),
                   {QStringLiteral("send"), eml, QStringLiteral("--to"),
                    QStringLiteral("alex@example.com"), QStringLiteral("--account"),
                    QStringLiteral("Test server"), QStringLiteral("--ca-file"), m_ca});
        QVERIFY(tool.waitForFinished(60000));
        const QString output =
            QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
        QCOMPARE(tool.exitCode(), exitCode);
        QVERIFY2(output.contains(expected), qPrintable(output));
        QVERIFY(!output.contains(password));
        QCOMPARE(server->receivedFiles().size(), exitCode == 0 ? 1 : 0);
        const QByteArray settings = readFile(folder(QStringLiteral("config/Quillbook1.ini")));
        QVERIFY(!settings.isEmpty());
        QVERIFY(!settings.contains(password.toUtf8()));
    }
};

QTEST_GUILESS_MAIN(TestSendTest)
#include "tst_testsend.moc"
