#pragma once

#include "core/platform/status.h"

#include <QString>

// The SMTP accounts' passwords in the desktop's keyring (the Secret Service),
// never in the settings file. Each call waits for the keyring, running the
// event loop meanwhile.
namespace PasswordStore {

struct Lookup
{
    enum Kind {
        Found,
        Missing,     // the keyring works but holds no password for the account
        Unavailable, // no keyring answered: the password has to be asked each time
    } kind = Missing;
    QString password;
    QString reason; // for Unavailable: what the keyring said
};

Lookup read(const QString& account);
Status write(const QString& account, const QString& password);
Status remove(const QString& account);

} // namespace PasswordStore
