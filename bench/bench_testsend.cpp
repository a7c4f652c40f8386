// A test send of the largest shipped template to an SMTP server on loopback
// (Debian's aiosmtpd, tests/smtp/smtpserver.py) over STARTTLS with a login,
// against composing the test message alone: what the user waits for after
// "Send", and how little of it is ours.
#include "benchsetup.h"
#include "core/export/smtpsender.h"
#include "core/export/testsend.h"
#include "core/gallery/library/templatestaging.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString Password = QStringLiteral("bench-password");

struct Setup
{
    QTemporaryDir dir;
    QProcess server;
    int port = 0;
    QByteArray original;
    TestSend::Account account;

    Setup()
    {
        // The largest library file the build wrote.
        const QFileInfoList templates =
            QDir(QStringLiteral(QUILLERY_LIBRARY_DIR "/templates"))
                .entryInfoList({QStringLiteral("*.dat")}, QDir::Files, QDir::Size);
        if (templates.isEmpty())
            mustHold(Status::failure(
                QStringLiteral(QUILLERY_LIBRARY_DIR ": no templates; build the library first")));
        Result<TemplateStaging::DecodedTemplate> decoded =
            TemplateStaging::decodeTemplateFile(templates.first().filePath());
        mustHold(decoded.status());
        original = decoded->message;

        QProcess openssl;
        openssl.setStandardOutputFile(QProcess::nullDevice());
        openssl.setStandardErrorFile(QProcess::nullDevice());
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                       QStringLiteral("-keyout"), dir.filePath(QStringLiteral("key.pem")),
                       QStringLiteral("-out"), dir.filePath(QStringLiteral("cert.pem")),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1")});
        if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
            mustHold(Status::failure(QStringLiteral("openssl: the certificate was not made")));

        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(QUILLERY_SOURCE_DIR "/tests/smtp/smtpserver.py"),
                      QStringLiteral("--out"), dir.filePath(QStringLiteral("out")),
                      QStringLiteral("--cert"), dir.filePath(QStringLiteral("cert.pem")),
                      QStringLiteral("--key"), dir.filePath(QStringLiteral("key.pem")),
                      QStringLiteral("--user"), QStringLiteral("bench"),
                      QStringLiteral("--password"), Password});
        server.waitForStarted(10000);
        while (server.state() == QProcess::Running && !server.canReadLine())
            server.waitForReadyRead(30000);
        const QByteArray line = server.readLine().trimmed();
        if (!line.startsWith("READY "))
            mustHold(Status::failure(QStringLiteral("smtpserver.py did not start")));
        port = line.mid(6).toInt();

        account.name = QStringLiteral("Bench");
        account.host = QStringLiteral("127.0.0.1");
        account.port = port;
        account.userName = QStringLiteral("bench");
        account.fromAddress = QStringLiteral("bench@quillery.example");
    }

    ~Setup()
    {
        server.closeWriteChannel();
        if (!server.waitForFinished(10000))
            server.kill();
        server.waitForFinished(5000);
    }
};

Setup& setup()
{
    static Setup instance;
    return instance;
}

void composeTestMessage(benchmark::State& state)
{
    Setup& s = setup();
    const QStringList to{QStringLiteral("alex@example.com")};
    for (auto _ : state) {
        Result<QByteArray> message = TestSend::testMessage(s.original, s.account, to);
        mustHold(message.status());
        benchmark::DoNotOptimize(message->data());
    }
    state.counters["message_kb"] = double(s.original.size()) / 1024;
}
BENCHMARK(composeTestMessage)->Unit(benchmark::kMillisecond);

// Composing, connecting, STARTTLS, the login and the transfer, as "Send" does.
void sendLargestTemplate(benchmark::State& state)
{
    Setup& s = setup();
    const QStringList to{QStringLiteral("alex@example.com")};
    SmtpSender::Server server = s.account.server();
    server.caFile = s.dir.filePath(QStringLiteral("cert.pem"));
    for (auto _ : state) {
        Result<QByteArray> message = TestSend::testMessage(s.original, s.account, to);
        mustHold(message.status());
        const Result<SmtpSender::Report> report =
            SmtpSender::send(server, Password, s.account.fromAddress, to, *message);
        mustHold(report.status());
    }
}
BENCHMARK(sendLargestTemplate)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
