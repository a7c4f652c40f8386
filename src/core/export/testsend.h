#pragma once

#include "core/export/smtpsender.h"
#include "core/platform/status.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// A test of a template sent to real inboxes: the accounts it goes through and
// the message that leaves.
namespace TestSend {

// An SMTP account as the settings keep it; its password lives in the keyring.
struct Account
{
    QString name;
    QString host;
    int port = 587;
    SmtpSender::Security security = SmtpSender::Security::StartTls;
    QString userName;
    QString fromAddress;
    QString fromName; // empty keeps the template's own sender name

    SmtpSender::Server server() const;
};

// The stored accounts, in the order the user made them. A value that does not
// read as accounts reads as none, and the next save replaces it.
std::vector<Account> loadAccounts();
Status saveAccounts(const std::vector<Account>& accounts);
// The account of this name, or failure naming the accounts there are.
Result<Account> findAccount(const QString& name);

// The recipients typed last, and the account used last.
QStringList lastRecipients();
QString lastAccount();
void remember(const QStringList& recipients, const QString& account);

// Addresses split at commas, semicolons and white space.
QStringList splitRecipients(const QString& text);

// The message of the previewed template as shipped: what "> eml" writes.
// Branded or customised variants replace it here.
Result<QByteArray> previewedMessage(const QString& appFolder, const QString& name);

// `templateMessage` as a test: From the account's address, To the recipients,
// the subject prefixed "[Test] ", a fresh Message-ID and Date, and the merge
// fields filled with their samples.
Result<QByteArray> testMessage(const QByteArray& templateMessage, const Account& account,
                               const QStringList& recipients,
                               const QDateTime& date = QDateTime::currentDateTime());

} // namespace TestSend
