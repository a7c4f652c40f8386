#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The test SMTP server (tests/smtp/smtpserver.py, on Debian's aiosmtpd) on
// 127.0.0.1, for as long as the object lives. Messages it accepts land in
// out/<n>.eml with their recipients in out/<n>.rcpt.
class SmtpTestServer
{
public:
    SmtpTestServer(const QString& outFolder, const QStringList& options) : m_out(outFolder)
    {
        QDir().mkpath(outFolder);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{QStringLiteral(QUILLERY_SOURCE_DIR "/tests/smtp/smtpserver.py"),
                                    QStringLiteral("--out"), outFolder} +
                            options);
        if (!m_process.waitForStarted(10000))
            return;
        while (m_process.state() == QProcess::Running && !m_process.canReadLine())
            m_process.waitForReadyRead(30000);
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("READY "))
            m_port = line.mid(6).toInt();
    }
    ~SmtpTestServer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    // 0 when the server did not start.
    int port() const { return m_port; }

    QStringList receivedFiles() const
    {
        return QDir(m_out).entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name);
    }
    QByteArray received(int n) const { return read(QStringLiteral("/%1.eml").arg(n)); }
    QStringList recipients(int n) const
    {
        return QString::fromUtf8(read(QStringLiteral("/%1.rcpt").arg(n)))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // A loopback port nothing listens on: one the system just handed out and
    // took back.
    static int freePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        int port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ntohs(address.sin_port);
        ::close(fd);
        return port;
    }

    // A certificate for 127.0.0.1 and localhost, and its key, made with openssl.
    static bool makeCertificate(const QString& folder)
    {
        QProcess openssl;
        openssl.setStandardOutputFile(QProcess::nullDevice());
        openssl.setStandardErrorFile(QProcess::nullDevice());
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                       QStringLiteral("-keyout"), folder + QStringLiteral("/key.pem"),
                       QStringLiteral("-out"), folder + QStringLiteral("/cert.pem"),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")});
        return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit &&
               openssl.exitCode() == 0;
    }

private:
    QByteArray read(const QString& name) const
    {
        QFile file(m_out + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString m_out;
    QProcess m_process;
    int m_port = 0;
};
