#include "core/export/passwordstore.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QEventLoop>

namespace PasswordStore {

namespace {

const QString Service = QStringLiteral("Quillery SMTP");

QString keyOf(const QString& account)
{
    return QStringLiteral("account:") + account;
}

void runToEnd(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    // No fallback to a plain file: a password is kept securely or not at all.
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

} // namespace

Lookup read(const QString& account)
{
    QKeychain::ReadPasswordJob job(Service);
    job.setKey(keyOf(account));
    runToEnd(job);
    Lookup lookup;
    switch (job.error()) {
    case QKeychain::NoError:
        lookup.kind = Lookup::Found;
        lookup.password = job.textData();
        break;
    case QKeychain::EntryNotFound:
        lookup.kind = Lookup::Missing;
        break;
    default:
        lookup.kind = Lookup::Unavailable;
        lookup.reason = job.errorString();
        break;
    }
    return lookup;
}

Status write(const QString& account, const QString& password)
{
    QKeychain::WritePasswordJob job(Service);
    job.setKey(keyOf(account));
    job.setTextData(password);
    runToEnd(job);
    if (job.error() != QKeychain::NoError)
        return Status::failure(
            QCoreApplication::translate("PasswordStore",
                                        "%1: the password could not be put into the keyring: %2")
                .arg(account, job.errorString()));
    return Status::success();
}

Status remove(const QString& account)
{
    QKeychain::DeletePasswordJob job(Service);
    job.setKey(keyOf(account));
    runToEnd(job);
    if (job.error() != QKeychain::NoError && job.error() != QKeychain::EntryNotFound)
        return Status::failure(
            QCoreApplication::translate(
                "PasswordStore", "%1: the password could not be taken out of the keyring: %2")
                .arg(account, job.errorString()));
    return Status::success();
}

} // namespace PasswordStore
