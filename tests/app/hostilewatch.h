#pragma once

// Watches what a hostile page reaches: local canary files (through inotify,
// which sees the engine's other processes too) and a listener on loopback.

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/inotify.h>
#include <unistd.h>

class CanaryWatch
{
public:
    // Reports every open of a file inside `folder` from now on.
    explicit CanaryWatch(const QString& folder) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (m_fd >= 0)
            inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
    }
    ~CanaryWatch()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CanaryWatch(const CanaryWatch&) = delete;
    CanaryWatch& operator=(const CanaryWatch&) = delete;

    bool isValid() const { return m_fd >= 0; }

    // The names opened since the last call.
    QStringList opened()
    {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
            if (length <= 0)
                break;
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                names << (event->len ? QString::fromLocal8Bit(event->name) : QStringLiteral("."));
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

private:
    int m_fd;
};

// Counts the connections that reach a port on 127.0.0.1; with a reply set,
// it answers each request with that page.
class LoopbackListener
{
public:
    LoopbackListener()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++m_connections;
                if (m_reply.isEmpty() && m_location.isEmpty()) {
                    socket->close();
                    socket->deleteLater();
                    continue;
                }
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!m_location.isEmpty())
                        socket->write("HTTP/1.0 302 Found\r\nLocation: " + m_location +
                                      "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                    else
                        socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n"
                                      "Connection: close\r\n\r\n" +
                                      m_reply);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    void setReply(const QByteArray& page) { m_reply = page; }
    // Answers every request with a redirect to `location` instead.
    void setRedirect(const QByteArray& location) { m_location = location; }
    QString origin() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    int connections() const { return m_connections; }

private:
    QTcpServer m_server;
    QByteArray m_reply;
    QByteArray m_location;
    int m_connections = 0;
};

// Lets the engine run for `ms` without starving it, as QTest::qWait would.
inline void runEngineFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
