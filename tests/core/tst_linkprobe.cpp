#include "core/gallery/check/linkprobe.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using SendCheck::LinkEntry;

namespace {

// A web server on the loopback interface that answers by path: /ok 200,
// /missing 404, /loop and /loop2 redirect to each other, /hop redirects to
// /ok, /nohead refuses HEAD but answers GET, and /silent never answers.
class LoopbackServer : public QObject
{
public:
    LoopbackServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    QString url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int requests = 0;

private:
    void answer(QTcpSocket* socket)
    {
        m_buffers[socket] += socket->readAll();
        if (!m_buffers[socket].contains("\r\n\r\n"))
            return;
        const QList<QByteArray> words = m_buffers.take(socket).split(' ');
        ++requests;
        const QByteArray method = words.value(0);
        const QByteArray path = words.value(1);
        QByteArray head;
        if (path == "/silent")
            return;
        if (path == "/ok")
            head = "200 OK";
        else if (path == "/missing")
            head = "404 Not Found";
        else if (path == "/loop")
            head = "302 Found\r\nLocation: /loop2";
        else if (path == "/loop2")
            head = "302 Found\r\nLocation: /loop";
        else if (path == "/hop")
            head = "301 Moved Permanently\r\nLocation: /ok";
        else if (path == "/nohead")
            head = method == "HEAD" ? "405 Method Not Allowed" : "200 OK";
        else
            head = "500 Internal Server Error";
        socket->write("HTTP/1.1 " + head + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

LinkEntry link(const QString& url, int index, bool placeholder = false)
{
    return {url, QStringLiteral("words"), placeholder, {QStringLiteral("a"), index, 1}};
}

} // namespace

class TestLinkProbe : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("redirects");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<bool>("timedOut");
        QTest::addColumn<int>("severity");
        QTest::newRow("200") << QByteArray("/ok") << 200 << 0 << false << false
                             << int(SendCheck::Severity::Note);
        QTest::newRow("404") << QByteArray("/missing") << 404 << 0 << false << false
                             << int(SendCheck::Severity::Problem);
        QTest::newRow("redirect") << QByteArray("/hop") << 200 << 1 << false << false
                                  << int(SendCheck::Severity::Note);
        QTest::newRow("redirect loop") << QByteArray("/loop") << 302 << 2 << true << false
                                       << int(SendCheck::Severity::Problem);
        QTest::newRow("HEAD refused") << QByteArray("/nohead") << 200 << 0 << false << false
                                      << int(SendCheck::Severity::Note);
        QTest::newRow("no answer") << QByteArray("/silent") << 0 << 0 << false << true
                                   << int(SendCheck::Severity::Warning);
    }

    void answers()
    {
        QFETCH(QByteArray, path);
        QFETCH(int, status);
        QFETCH(int, redirects);
        QFETCH(bool, loop);
        QFETCH(bool, timedOut);
        QFETCH(int, severity);
        LoopbackServer server;
        LinkProbe::Limits limits;
        limits.requestSeconds = 1;
        LinkProbe probe(limits);
        QSignalSpy finished(&probe, &LinkProbe::finished);
        probe.start({link(server.url(path.constData()), 3)});
        QVERIFY(finished.wait(20000));
        const auto answers = finished.first().at(0).value<QList<LinkProbe::Answer>>();
        QCOMPARE(answers.size(), 1);
        const LinkProbe::Answer& answer = answers.first();
        QCOMPARE(answer.status, status);
        QCOMPARE(answer.redirects.size(), redirects);
        QCOMPARE(answer.loop, loop);
        QCOMPARE(answer.timedOut, timedOut);
        const QList<SendCheck::Finding> findings = LinkProbe::findings(answers);
        QCOMPARE(int(findings.first().severity), severity);
        QCOMPARE(findings.first().where.index, 3);
        QVERIFY(findings.first().text.contains(answer.url));
    }

    // Placeholders and mail addresses are not asked, and each address once.
    void asksOnlyRealWebAddressesOnce()
    {
        LoopbackServer server;
        LinkProbe probe;
        QSignalSpy finished(&probe, &LinkProbe::finished);
        probe.start({link(server.url("/ok"), 0), link(server.url("/ok"), 1),
                     link(QStringLiteral("https://example.com"), 2, true),
                     link(QStringLiteral("mailto:bread@crumb.org"), 3)});
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().at(0).value<QList<LinkProbe::Answer>>().size(), 1);
        QCOMPARE(server.requests, 1);
    }

    void boundedInRequests()
    {
        LoopbackServer server;
        LinkProbe::Limits limits;
        limits.maxRequests = 3;
        LinkProbe probe(limits);
        QSignalSpy finished(&probe, &LinkProbe::finished);
        QList<LinkEntry> links;
        for (int i = 0; i < 10; ++i)
            links.append(link(server.url("/ok") + QStringLiteral("?n=%1").arg(i), i));
        probe.start(links);
        QVERIFY(finished.wait(20000));
        QVERIFY(finished.first().at(0).value<QList<LinkProbe::Answer>>().size() <= 3);
        const auto gaps = finished.first().at(1).value<QList<SendCheck::Gap>>();
        QCOMPARE(gaps.size(), 1);
        QVERIFY2(gaps.first().what.contains("not checked"), qPrintable(gaps.first().what));
        QVERIFY(server.requests <= 3);
    }

    void boundedInTime()
    {
        LoopbackServer server;
        LinkProbe::Limits limits;
        limits.totalSeconds = 1;
        limits.requestSeconds = 30;
        LinkProbe probe(limits);
        QSignalSpy finished(&probe, &LinkProbe::finished);
        probe.start({link(server.url("/silent"), 0)});
        QVERIFY(finished.wait(20000));
        QVERIFY(finished.first().at(0).value<QList<LinkProbe::Answer>>().isEmpty());
        QCOMPARE(finished.first().at(1).value<QList<SendCheck::Gap>>().size(), 1);
    }

    void nothingToCheckStillFinishes()
    {
        LinkProbe probe;
        QSignalSpy finished(&probe, &LinkProbe::finished);
        probe.start({link(QStringLiteral("[unsubscribe_url]"), 0, true)});
        QVERIFY(finished.wait(5000));
        QVERIFY(finished.first().at(1).value<QList<SendCheck::Gap>>().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLinkProbe)
#include "tst_linkprobe.moc"
