#include "core/export/smtpsender.h"

#include <curl/curl.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <mutex>

#include <arpa/inet.h>

namespace SmtpSender {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("SmtpSender", text);
}

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// An address goes into an SMTP command as it is: a line break or an angle
// bracket in it would let a template or a typing slip add commands.
bool isSafeAddress(const QString& address)
{
    if (address.isEmpty() || address.size() > 254 || !address.contains(QLatin1Char('@')))
        return false;
    return std::none_of(address.begin(), address.end(), [](QChar c) {
        return c.unicode() <= 0x20 || c == QLatin1Char('<') || c == QLatin1Char('>') ||
               c.unicode() == 0x7f;
    });
}

struct Upload
{
    const QByteArray* message;
    qsizetype offset = 0;
    const std::atomic_bool* cancel;
    const Progress* progress;
    qint64 before; // bytes of earlier recipients
    qint64 total;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* data)
{
    auto* upload = static_cast<Upload*>(data);
    const qsizetype left = upload->message->size() - upload->offset;
    const qsizetype chunk = std::min<qsizetype>(left, qsizetype(size * count));
    std::memcpy(buffer, upload->message->constData() + upload->offset, size_t(chunk));
    upload->offset += chunk;
    return size_t(chunk);
}

int onProgress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent)
{
    auto* upload = static_cast<Upload*>(data);
    if (upload->cancel && upload->cancel->load())
        return 1;
    if (*upload->progress)
        (*upload->progress)(upload->before + qint64(sent), upload->total);
    return 0;
}

QString urlHost(const QString& host)
{
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

// What went wrong for one recipient's transaction.
enum class Stage { Whole, Recipient };

struct Failure
{
    Stage stage;
    Status status;
};

Failure explain(CURLcode code, const char* detail, long reply, const Server& server,
                qsizetype messageSize)
{
    const QString where = QStringLiteral("%1:%2").arg(server.host).arg(server.port);
    const QString why = QString::fromUtf8(*detail ? detail : curl_easy_strerror(code));
    auto whole = [&](const QString& text) {
        return Failure{Stage::Whole, Status::failure(where + QStringLiteral(": ") + text)};
    };
    const bool rcpt = std::strncmp(detail, "RCPT failed", 11) == 0;
    const bool mail = std::strncmp(detail, "MAIL failed", 11) == 0;
    if (rcpt)
        return Failure{
            Stage::Recipient,
            Status::failure(tr("the server refused this address (reply %1)").arg(reply))};
    if (reply == 552 || (mail && reply == 452) || (reply == 554 && !mail))
        return whole(tr("the message (%1 KB) is too large for this server. Leave out images "
                        "or use another account.")
                         .arg((messageSize + 1023) / 1024));
    if (reply == 530 || (mail && reply == 535))
        return whole(tr("the server wants a login. Enter the user name and password of "
                        "the account."));
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return whole(tr("no server of this name is known (%1). Check the host name and that "
                        "this computer is online.")
                         .arg(why));
    case CURLE_COULDNT_CONNECT:
        return whole(tr("the server cannot be reached (%1). Check the host name and the port, "
                        "and that this computer is online.")
                         .arg(why));
    case CURLE_PEER_FAILED_VERIFICATION:
        return whole(tr("the server's certificate is not trusted (%1). Nothing was sent, and "
                        "nothing is sent unencrypted. Check the host name, or ask the server's "
                        "administrator.")
                         .arg(why));
    case CURLE_SSL_CONNECT_ERROR:
        return whole(tr("a secure connection could not be made (%1). Check the security: "
                        "STARTTLS usually uses port 587, TLS port 465.")
                         .arg(why));
    case CURLE_SSL_CACERT_BADFILE:
        return whole(tr("the trusted certificates in %1 cannot be read.").arg(server.caFile));
    case CURLE_USE_SSL_FAILED:
        return whole(tr("the server does not offer STARTTLS, and the message is never sent "
                        "unencrypted. Choose TLS, or another server."));
    case CURLE_LOGIN_DENIED:
        return whole(tr("the server refused the login of user \"%1\". Check the user name "
                        "and the password.")
                         .arg(server.userName));
    case CURLE_OPERATION_TIMEDOUT:
        return whole(tr("the server did not answer within %1 seconds. Try again later, or "
                        "check the port and the security.")
                         .arg(server.timeoutSeconds));
    case CURLE_ABORTED_BY_CALLBACK:
        return whole(tr("sending was cancelled."));
    default:
        return whole(tr("sending failed (%1).").arg(why));
    }
}

// SMTP's lines end in CRLF; a message file with bare line feeds would end up
// cut short or refused by the server.
QByteArray withCrlf(const QByteArray& message)
{
    QByteArray result;
    result.reserve(message.size() + message.size() / 32);
    char previous = '\0';
    for (const char c : message) {
        if (c == '\n' && previous != '\r')
            result.append('\r');
        result.append(c);
        previous = c;
    }
    return result;
}

} // namespace

int defaultPort(Security security)
{
    switch (security) {
    case Security::Tls:
        return 465;
    case Security::Plain:
        return 25;
    case Security::StartTls:
        break;
    }
    return 587;
}

QString securityName(Security security)
{
    switch (security) {
    case Security::Tls:
        return QStringLiteral("tls");
    case Security::Plain:
        return QStringLiteral("plain");
    case Security::StartTls:
        break;
    }
    return QStringLiteral("starttls");
}

bool securityFromName(const QString& name, Security* security)
{
    for (Security candidate : {Security::StartTls, Security::Tls, Security::Plain}) {
        if (name.compare(securityName(candidate), Qt::CaseInsensitive) == 0) {
            *security = candidate;
            return true;
        }
    }
    return false;
}

bool isLoopback(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QByteArray text = host.toLatin1();
    in_addr v4 = {};
    if (inet_pton(AF_INET, text.constData(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6 = {};
    return inet_pton(AF_INET6, text.constData(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

Result<Report> send(const Server& server, const QString& password, const QString& from,
                    const QStringList& to, const QByteArray& original,
                    const std::atomic_bool* cancel, const Progress& progress)
{
    const QByteArray message = withCrlf(original);
    const QString where = QStringLiteral("%1:%2").arg(server.host).arg(server.port);
    if (server.host.isEmpty() || server.port <= 0 || server.port > 65535)
        return Status::failure(
            tr("%1: the account names no server; enter its host and port.").arg(where));
    if (server.security == Security::Plain && !isLoopback(server.host))
        return Status::failure(tr("%1: sending without encryption is allowed only to this "
                                  "computer. Choose STARTTLS or TLS.")
                                   .arg(where));
    if (!isSafeAddress(from))
        return Status::failure(
            tr("%1: the sender address \"%2\" is not an e-mail address.").arg(where, from));
    if (to.isEmpty())
        return Status::failure(tr("%1: no recipient is given.").arg(where));
    for (const QString& address : to) {
        if (!isSafeAddress(address))
            return Status::failure(tr("%1: \"%2\" is not an e-mail address.").arg(where, address));
    }

    initialiseOnce();
    CURL* curl = curl_easy_init();
    if (!curl)
        return Status::failure(tr("%1: sending failed (out of memory).").arg(where));

    const QString scheme =
        server.security == Security::Tls ? QStringLiteral("smtps") : QStringLiteral("smtp");
    const QByteArray url =
        QStringLiteral("%1://%2:%3/").arg(scheme, urlHost(server.host)).arg(server.port).toUtf8();
    const QByteArray userName = server.userName.toUtf8();
    QByteArray secret = password.toUtf8();
    const QByteArray caFile = server.caFile.toLocal8Bit();
    const QByteArray sender = '<' + from.toUtf8() + '>';
    // "localhost" is pinned to the loopback address so that a plain
    // connection cannot be sent elsewhere by a changed hosts file.
    curl_slist* resolve = nullptr;
    QByteArray pin;
    if (server.security == Security::Plain &&
        server.host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        pin = QStringLiteral("localhost:%1:127.0.0.1").arg(server.port).toUtf8();
        resolve = curl_slist_append(resolve, pin.constData());
    }
    char detail[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_USE_SSL,
                     long(server.security == Security::Plain ? CURLUSESSL_NONE : CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (!userName.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, userName.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, secret.constData());
    }
    if (resolve)
        curl_easy_setopt(curl, CURLOPT_RESOLVE, resolve);
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, sender.constData());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    const long timeout = std::max(1, server.timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout);

    Report report;
    Status failed = Status::success();
    const qint64 total = qint64(message.size()) * to.size();
    for (qsizetype i = 0; i < to.size(); ++i) {
        if (cancel && cancel->load()) {
            failed = Status::failure(where + QStringLiteral(": ") + tr("sending was cancelled."));
            break;
        }
        const QByteArray recipientText = '<' + to.at(i).toUtf8() + '>';
        curl_slist* recipient = curl_slist_append(nullptr, recipientText.constData());
        Upload upload{&message, 0, cancel, &progress, qint64(message.size()) * i, total};
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipient);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
        detail[0] = '\0';
        const CURLcode code = curl_easy_perform(curl);
        long reply = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
        curl_slist_free_all(recipient);
        if (code == CURLE_OK) {
            report.delivered.append(to.at(i));
            continue;
        }
        const Failure failure = explain(code, detail, reply, server, message.size());
        if (failure.stage == Stage::Recipient) {
            report.refused.emplace_back(to.at(i), failure.status.message());
            continue;
        }
        failed = failure.status;
        break;
    }
    curl_easy_cleanup(curl);
    curl_slist_free_all(resolve);
    std::fill(secret.begin(), secret.end(), '\0');

    if (!failed.ok())
        return failed;
    if (report.delivered.isEmpty()) {
        QStringList refused;
        for (const auto& [address, reason] : report.refused)
            refused.append(QStringLiteral("%1 (%2)").arg(address, reason));
        return Status::failure(tr("%1: the server refused every recipient: %2")
                                   .arg(where, refused.join(QStringLiteral("; "))));
    }
    if (progress)
        progress(total, total);
    return report;
}

} // namespace SmtpSender
