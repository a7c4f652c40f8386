#include "core/platform/opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

#include <memory>

// Stands in for the desktop: records what would have been opened. Schemes
// without a handler fail, as there is no desktop session in a core test.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

class TestOpener : public QObject
{
    Q_OBJECT

private:
    UrlRecorder m_recorder;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_startFolder;

private Q_SLOTS:
    void init()
    {
        m_recorder.opened.clear();
        QDesktopServices::setUrlHandler("http", &m_recorder, "open");
        QDesktopServices::setUrlHandler("file", &m_recorder, "open");
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        QFile page(m_folder->filePath("page.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        m_startFolder = QDir::currentPath();
        QVERIFY(QDir().mkdir(m_folder->filePath("cwd")));
        QVERIFY(QDir::setCurrent(m_folder->filePath("cwd")));
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("file");
        QDir::setCurrent(m_startFolder);
        m_folder.reset();
    }

    void redirectUrl_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("url");

        const QString base =
            QStringLiteral("http://www.quillery.example/services/tredirect.php?key=");
        QTest::newRow("home") << "home" << base + "home";
        QTest::newRow("empty") << "" << base;
        QTest::newRow("taken unchanged") << "a b&c=d#e" << base + "a b&c=d#e";
        QTest::newRow("marker in the key is not replaced again") << "%k%k" << base + "%k%k";
        QTest::newRow("case kept") << "HOME" << base + "HOME";
    }

    void redirectUrl()
    {
        QFETCH(QString, key);
        QFETCH(QString, url);
        QCOMPARE(Module1::GetRedirectUrl(key), url);
    }

    void homePageOpensTheRedirect()
    {
        Module1::OpenHomePage();
        QCOMPARE(m_recorder.opened.size(), 1);
        const QUrl url = m_recorder.opened.first();
        QCOMPARE(url.scheme(), QStringLiteral("http"));
        QCOMPARE(url.host(), QString::fromLatin1(Module1::VendorHost));
        QCOMPARE(url.path(), QStringLiteral("/services/tredirect.php"));
        QCOMPARE(QUrlQuery(url).queryItemValue("key"), QStringLiteral("home"));
        QCOMPARE(url.toString(), Module1::GetRedirectUrl("home"));
    }

    void openDocument_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QString>("opened"); // the file below the test folder, or a URL

        QTest::newRow("empty document opens nothing") << ""
                                                      << "" << false << "";
        QTest::newRow("empty document with a folder") << ""
                                                      << "." << false << "";
        QTest::newRow("URL") << "http://example.org/a?b=c"
                             << "" << false << "http://example.org/a?b=c";
        QTest::newRow("URL with blanks") << "http://example.org/a b?key=x y"
                                         << "" << false << "http://example.org/a b?key=x y";
        QTest::newRow("URL nobody opens") << "nosuchscheme:thing"
                                          << "" << true << "";
        QTest::newRow("URL nobody opens, folder given") << "nosuchscheme:thing"
                                                        << "@" << true << "";
        QTest::newRow("absolute file") << "@/page.html"
                                       << "" << false << "page.html";
        QTest::newRow("absolute file, folder given") << "@/page.html"
                                                     << "@" << false << "page.html";
        QTest::newRow("missing file") << "@/missing.html"
                                      << "" << true << "";
        QTest::newRow("relative file found in the folder") << "page.html"
                                                           << "@" << false << "page.html";
        QTest::newRow("relative file without a folder") << "page.html"
                                                        << "" << true << "";
        QTest::newRow("relative file missing in the folder") << "other.html"
                                                             << "@" << true << "";
    }

    void openDocument()
    {
        QFETCH(QString, document);
        QFETCH(QString, folder);
        QFETCH(bool, failed);
        QFETCH(QString, opened);

        document.replace("@", m_folder->path());
        folder.replace("@", m_folder->path());
        if (document.startsWith("nosuchscheme"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QDesktopServices::openUrl"));

        QCOMPARE(Module1::OpenDocument(document, folder), failed);

        if (opened.isEmpty()) {
            QCOMPARE(m_recorder.opened, QList<QUrl>());
        } else {
            const QUrl expected = opened.startsWith("http")
                                      ? QUrl(opened)
                                      : QUrl::fromLocalFile(m_folder->filePath(opened));
            QCOMPARE(m_recorder.opened, QList<QUrl>{expected});
        }
    }
};

QTEST_GUILESS_MAIN(TestOpener)
#include "tst_opener.moc"
