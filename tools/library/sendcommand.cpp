#include "command.h"

#include "core/export/passwordstore.h"
#include "core/export/smtpsender.h"
#include "core/export/testsend.h"
#include "core/gallery/library/templatestaging.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

// A message file as it is, a library file decoded, or a template of the
// library beside this tool by name.
Result<QByteArray> templateMessage(const QString& source)
{
    const QFileInfo info(source);
    if (info.isFile() && source.endsWith(QLatin1String(".eml"), Qt::CaseInsensitive))
        return FileIo::readAll(source);
    if (info.isFile()) {
        Result<TemplateStaging::DecodedTemplate> decoded =
            TemplateStaging::decodeTemplateFile(source);
        if (!decoded)
            return decoded.status();
        return decoded->message;
    }
    return TestSend::previewedMessage(QCoreApplication::applicationDirPath(), source);
}

} // namespace

// The password comes from QUILLERY_SMTP_PASSWORD or the keyring, and is
// never printed; a refused login says so without it.
int runSend(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString source;
    QString accountName;
    QString caFile;
    int timeout = 30;
    QStringList to;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--to") && hasValue) {
            while (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1String("--")))
                to += TestSend::splitRecipients(arguments.at(++i));
        } else if (argument == QLatin1String("--account") && hasValue) {
            accountName = arguments.at(++i);
        } else if (argument == QLatin1String("--ca-file") && hasValue) {
            caFile = arguments.at(++i);
        } else if (argument == QLatin1String("--timeout") && hasValue) {
            bool number = false;
            timeout = arguments.at(++i).toInt(&number);
            if (!number || timeout <= 0) {
                err << "quillery-library: --timeout wants a number of seconds\n";
                return ExitUsage;
            }
        } else if (source.isEmpty() && !argument.startsWith(QLatin1String("--"))) {
            source = argument;
        } else {
            err << "quillery-library: send: unexpected argument '" << argument << "'\n";
            return ExitUsage;
        }
    }
    if (source.isEmpty() || to.isEmpty() || accountName.isEmpty()) {
        err << "quillery-library: usage: quillery-library send TEMPLATE --to ADDRESS... "
               "--account NAME [--ca-file FILE] [--timeout SECONDS]\n";
        return ExitUsage;
    }

    const Result<TestSend::Account> account = TestSend::findAccount(accountName);
    if (!account) {
        err << "quillery-library: " << account.status().message() << '\n';
        return ExitFailure;
    }
    const Result<QByteArray> original = templateMessage(source);
    if (!original) {
        err << "quillery-library: " << original.status().message() << '\n';
        return ExitFailure;
    }
    const Result<QByteArray> message = TestSend::testMessage(*original, *account, to);
    if (!message) {
        err << "quillery-library: " << source << ": " << message.status().message() << '\n';
        return ExitFailure;
    }

    SmtpSender::Server server = account->server();
    server.timeoutSeconds = timeout;
    if (!caFile.isEmpty())
        server.caFile = caFile;
    QString password;
    if (!server.userName.isEmpty()) {
        const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (environment.contains(QStringLiteral("QUILLERY_SMTP_PASSWORD"))) {
            password = environment.value(QStringLiteral("QUILLERY_SMTP_PASSWORD"));
        } else {
            const PasswordStore::Lookup lookup = PasswordStore::read(accountName);
            if (lookup.kind != PasswordStore::Lookup::Found) {
                err << "quillery-library: " << accountName << ": "
                    << (lookup.kind == PasswordStore::Lookup::Missing
                            ? QStringLiteral("the keyring holds no password for this account")
                            : QStringLiteral("no keyring answered (%1)").arg(lookup.reason))
                    << "; set QUILLERY_SMTP_PASSWORD\n";
                return ExitFailure;
            }
            password = lookup.password;
        }
    }

    const Result<SmtpSender::Report> report =
        SmtpSender::send(server, password, account->fromAddress, to, *message);
    password.fill(QLatin1Char('\0'));
    if (!report) {
        err << "quillery-library: " << report.status().message() << '\n';
        return ExitFailure;
    }
    for (const QString& address : report->delivered)
        out << "sent to " << address << '\n';
    for (const auto& [address, reason] : report->refused)
        err << "quillery-library: not sent to " << address << ": " << reason << '\n';
    return report->refused.empty() ? ExitOk : ExitFailure;
}
