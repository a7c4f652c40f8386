#include "core/export/testsend.h"

#include "core/export/mergefields.h"
#include "core/export/templateexport.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/settingkeys.h"
#include "core/platform/settingsstore.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUuid>

namespace TestSend {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("TestSend", text);
}

} // namespace

SmtpSender::Server Account::server() const
{
    SmtpSender::Server server;
    server.host = host;
    server.port = port;
    server.security = security;
    server.userName = userName;
    return server;
}

std::vector<Account> loadAccounts()
{
    std::vector<Account> accounts;
    const QJsonDocument document =
        QJsonDocument::fromJson(modSettings::ReadSetting(SettingKeys::SmtpAccounts).toUtf8());
    for (const QJsonValue& value : document.array()) {
        const QJsonObject object = value.toObject();
        Account account;
        account.name = object.value(QLatin1String("name")).toString();
        account.host = object.value(QLatin1String("host")).toString();
        account.port = object.value(QLatin1String("port")).toInt(587);
        if (!SmtpSender::securityFromName(object.value(QLatin1String("security")).toString(),
                                          &account.security))
            account.security = SmtpSender::Security::StartTls;
        account.userName = object.value(QLatin1String("user")).toString();
        account.fromAddress = object.value(QLatin1String("from")).toString();
        account.fromName = object.value(QLatin1String("fromName")).toString();
        if (!account.name.isEmpty())
            accounts.push_back(account);
    }
    return accounts;
}

Status saveAccounts(const std::vector<Account>& accounts)
{
    QJsonArray list;
    for (const Account& account : accounts) {
        list.append(QJsonObject{
            {QStringLiteral("name"), account.name},
            {QStringLiteral("host"), account.host},
            {QStringLiteral("port"), account.port},
            {QStringLiteral("security"), SmtpSender::securityName(account.security)},
            {QStringLiteral("user"), account.userName},
            {QStringLiteral("from"), account.fromAddress},
            {QStringLiteral("fromName"), account.fromName},
        });
    }
    const QString text = QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
    if (!modSettings::WriteSetting(SettingKeys::SmtpAccounts, text))
        return Status::failure(tr("The accounts could not be stored in the settings file."));
    return Status::success();
}

Result<Account> findAccount(const QString& name)
{
    QStringList names;
    for (const Account& account : loadAccounts()) {
        if (account.name == name)
            return account;
        names.append(account.name);
    }
    if (names.isEmpty())
        return Status::failure(tr("%1: no such account; no account is set up yet.").arg(name));
    return Status::failure(
        tr("%1: no such account; there are: %2").arg(name, names.join(QStringLiteral(", "))));
}

QStringList splitRecipients(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

QStringList lastRecipients()
{
    return splitRecipients(modSettings::ReadSetting(SettingKeys::TestRecipients));
}

QString lastAccount()
{
    return modSettings::ReadSetting(SettingKeys::TestAccount);
}

void remember(const QStringList& recipients, const QString& account)
{
    modSettings::WriteSetting(SettingKeys::TestRecipients, recipients.join(QStringLiteral(", ")));
    modSettings::WriteSetting(SettingKeys::TestAccount, account);
}

Result<QByteArray> previewedMessage(const QString& appFolder, const QString& name)
{
    QByteArray message;
    const Status decoded = TemplateExport::decodeTemplate(appFolder, name, &message);
    if (!decoded)
        return decoded;
    return message;
}

Result<QByteArray> testMessage(const QByteArray& templateMessage, const Account& account,
                               const QStringList& recipients, const QDateTime& date)
{
    MimeComponent::Outgoing outgoing;
    outgoing.fromName = account.fromName;
    outgoing.fromAddress = account.fromAddress;
    outgoing.to = recipients;
    outgoing.subjectPrefix = QStringLiteral("[Test] ");
    const QString domain = account.fromAddress.section(QLatin1Char('@'), -1);
    outgoing.messageId =
        (QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1String(".test@") +
         (domain.isEmpty() ? QStringLiteral("quillery.invalid") : domain))
            .toUtf8();
    outgoing.date = date;
    outgoing.fill = [](const QByteArray& text, bool html) {
        return html ? MergeFields::fillSamples(text) : MergeFields::fillSamplesPlain(text);
    };
    QString error;
    QByteArray message = MimeComponent::outgoingMessage(templateMessage, outgoing, &error);
    if (message.isEmpty())
        return Status::failure(tr("The template's message cannot be sent: %1").arg(error));
    return message;
}

} // namespace TestSend
