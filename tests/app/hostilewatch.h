#pragma once

// Watches what a hostile page reaches: local canary files (through inotify,
// which sees the engine's other processes too) and a listener on loopback.
// A test proves that something did not happen by waiting for a later thing
// that did, never by waiting a while.

#include "app/pagetools.h"

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

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

// Counts the loads a page starts and ends from now on: a page that managed to
// move its pane is caught once that load is over.
class LoadWatch
{
public:
    explicit LoadWatch(QWebEnginePage* page)
    {
        QObject::connect(page, &QWebEnginePage::loadingChanged, &m_context,
                         [this](const QWebEngineLoadingInfo& info) {
                             if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                                 ++m_started;
                             else
                                 ++m_ended;
                         });
    }
    int started() const { return m_started; }
    // Waits until every load started so far has ended.
    bool waitForEnds() const
    {
        return waitUntil([this] { return m_ended >= m_started; });
    }

private:
    QObject m_context;
    int m_started = 0;
    int m_ended = 0;
};

// Waits until `pane` has handled everything it was given so far: a round trip
// to its page, then the end of every load `loads` saw start.
inline bool settlePane(QWebEngineView* pane, const LoadWatch& loads)
{
    evaluate(pane, QStringLiteral("1"));
    return loads.waitForEnds();
}

// Clicks the element `sentinel` of `pane` and waits until `seen` says that
// the window heard of that click: the page handles its input in order, so by
// then it has acted on every click before it. Then settles the pane. False
// when the sentinel is gone (the pane has left its page) or never arrived.
inline bool clickSentinel(QWebEngineView* pane, const QString& sentinel,
                          const std::function<bool()>& seen, const LoadWatch& loads)
{
    const QPoint point = centreOf(pane, sentinel);
    if (point.x() < 0)
        return false;
    QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, point);
    return waitUntil(seen) && settlePane(pane, loads);
}

// Lets real time pass with the engine running. Only for what a page itself
// times on the clock, such as a refresh after a delay: nothing the engine
// does tells that the delay is over.
inline void runEngineFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
