#pragma once

#include "core/platform/status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

// Hands one finished message to an SMTP server. Blocking: the window runs it
// on a worker thread and stops it through `cancel`.
namespace SmtpSender {

enum class Security {
    StartTls, // plain connection upgraded before anything is said; refused if not offered
    Tls,      // TLS from the first byte
    Plain,    // no encryption: only to this machine
};

struct Server
{
    QString host;
    int port = 587;
    Security security = Security::StartTls;
    QString userName; // empty: no login
    // Trusted certificates instead of the system's, for a test server.
    QString caFile;
    // How long the server may stay silent, and how long connecting may take.
    int timeoutSeconds = 30;
};

struct Report
{
    QStringList delivered;
    // Each refused recipient with the server's reason.
    std::vector<std::pair<QString, QString>> refused;
};

using Progress = std::function<void(qint64 sent, qint64 total)>;

// The port a security usually uses.
int defaultPort(Security security);
QString securityName(Security security);
bool securityFromName(const QString& name, Security* security);

// Whether `host` names this machine, the only place plain SMTP may go.
bool isLoopback(const QString& host);

// Sends `message` (CRLF lines) from `from` to each of `to` in a transaction of
// its own, so that a refused recipient does not stop the others. Fails when
// the server cannot be reached, is not trusted, refuses the login or the
// message, when nobody received it, on a time-out and on `cancel`. The
// password reaches the server only, never a message.
Result<Report> send(const Server& server, const QString& password, const QString& from,
                    const QStringList& to, const QByteArray& message,
                    const std::atomic_bool* cancel = nullptr, const Progress& progress = {});

} // namespace SmtpSender
