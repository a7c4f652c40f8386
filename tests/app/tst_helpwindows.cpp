#include "app/urlrecorder.h"

#include "apptranslation.h"
#include "dialogstyle.h"
#include "helpwindows.h"

#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

// The user guide, bundled and read without a network, and the About box.
class TestHelpWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void guideIsBundled();
    void everyHeadingLinkOfTheGuideLeadsToItsHeading();
    void guideShowsThePicturesItNames();
    void links_data();
    void links();
    void aboutNamesVersionAndLicences();
    void titlesInGerman();
    void windowsUseTheWindowsFace();

private:
    UrlRecorder m_recorder;
};

namespace {

QString guideSource()
{
    QFile file(QStringLiteral(QUILLERY_SOURCE_DIR "/docs/user-guide.md"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList anchorsOf(const QTextDocument* document)
{
    QStringList anchors;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            anchors << it.fragment().charFormat().anchorNames();
    }
    return anchors;
}

} // namespace

void TestHelpWindows::init()
{
    for (const char* scheme : {"http", "https", "mailto", "file"})
        QDesktopServices::setUrlHandler(scheme, &m_recorder, "open");
}

void TestHelpWindows::cleanup()
{
    for (const char* scheme : {"http", "https", "mailto", "file"})
        QDesktopServices::unsetUrlHandler(scheme);
    m_recorder.urls.clear();
}

void TestHelpWindows::guideIsBundled()
{
    HelpWindow help(nullptr);
    QCOMPARE(help.windowTitle(), QStringLiteral("Quillery user guide"));
    QVERIFY(!help.accessibleName().isEmpty());
    QVERIFY(!help.browser()->accessibleName().isEmpty());
    const QString text = help.browser()->toPlainText();
    // The guide as it is in docs/, its first heading and its last.
    QVERIFY2(text.startsWith(QStringLiteral("Quillery user guide")), qPrintable(text.left(200)));
    QVERIFY(text.contains(QStringLiteral("Command line")));
    QVERIFY(text.size() > 10000);
}

void TestHelpWindows::everyHeadingLinkOfTheGuideLeadsToItsHeading()
{
    HelpWindow help(nullptr);
    help.resize(800, 500);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QStringList anchors = anchorsOf(help.browser()->document());
    static const QRegularExpression link(QStringLiteral("\\]\\(#([^)]+)\\)"));
    int links = 0;
    for (auto match = link.globalMatch(guideSource()); match.hasNext(); ++links) {
        const QString anchor = match.next().captured(1);
        QVERIFY2(anchors.contains(anchor), qPrintable(anchor + " in " + anchors.join(", ")));
    }
    QVERIFY(links > 10);
    // A click moves to the heading: the last one lies far down.
    QScrollBar* bar = help.browser()->verticalScrollBar();
    QCOMPARE(bar->value(), 0);
    help.follow(QUrl(QStringLiteral("#command-line")));
    QVERIFY(bar->value() > bar->maximum() / 2);
    help.follow(QUrl(QStringLiteral("#the-window")));
    QVERIFY(bar->value() < bar->maximum() / 2);
    QVERIFY(m_recorder.urls.isEmpty());
}

void TestHelpWindows::guideShowsThePicturesItNames()
{
    HelpWindow help(nullptr);
    static const QRegularExpression image(QStringLiteral("!\\[[^]]*\\]\\(([^)/]+\\.png)\\)"));
    int pictures = 0;
    for (auto match = image.globalMatch(guideSource()); match.hasNext(); ++pictures) {
        const QString name = match.next().captured(1);
        const QVariant loaded =
            help.browser()->loadResource(QTextDocument::ImageResource, QUrl(name));
        QImage picture;
        if (loaded.canConvert<QByteArray>())
            picture.loadFromData(loaded.toByteArray());
        if (loaded.canConvert<QImage>() && picture.isNull())
            picture = loaded.value<QImage>();
        QVERIFY2(!picture.isNull(), qPrintable(name));
    }
    QVERIFY(pictures > 5);
}

void TestHelpWindows::links_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("toBrowser");
    QTest::newRow("web page") << "https://www.example.org/guide" << true;
    QTest::newRow("plain web page") << "http://www.example.org/" << true;
    QTest::newRow("another document of the docs") << "settings.md#the-settings-file" << false;
    QTest::newRow("a file") << "file:///etc/passwd" << false;
    QTest::newRow("a mail address") << "mailto:someone@example.org" << false;
    QTest::newRow("a program's scheme") << "ssh://example.org" << false;
    QTest::newRow("a heading of another document") << "mime.md#top" << false;
}

void TestHelpWindows::links()
{
    QFETCH(QString, link);
    QFETCH(bool, toBrowser);
    HelpWindow help(nullptr);
    help.resize(800, 500);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QString before = help.browser()->toPlainText();
    help.follow(QUrl(link));
    QCOMPARE(m_recorder.urls.size(), toBrowser ? 1 : 0);
    if (toBrowser)
        QCOMPARE(m_recorder.urls.first(), QUrl(link));
    // The guide stays as it is, where it was.
    QCOMPARE(help.browser()->toPlainText(), before);
    QCOMPARE(help.browser()->verticalScrollBar()->value(), 0);
}

void TestHelpWindows::aboutNamesVersionAndLicences()
{
    AboutBox about(nullptr);
    QCOMPARE(about.windowTitle(), QStringLiteral("About Quillery"));
    const QString text = about.text();
    for (const QString& expected :
         {QStringLiteral("Version " QUILLERY_VERSION), QStringLiteral("proprietary"),
          QStringLiteral("Qt ") + QString::fromLatin1(qVersion()), QStringLiteral("LGPL-3"),
          QStringLiteral("GMime"), QStringLiteral("LGPL-2.1+"), QStringLiteral("Tahoma"),
          QStringLiteral("OFL-1.1"), QStringLiteral("URW base35"), QStringLiteral("Affero"),
          QStringLiteral("DejaVu"), QStringLiteral("Bitstream Vera")})
        QVERIFY2(text.contains(expected), qPrintable(expected + " missing in: " + text));
}

void TestHelpWindows::titlesInGerman()
{
    const AppTranslation translation(QStringList{QStringLiteral("de-DE")});
    HelpWindow help(nullptr);
    QCOMPARE(help.windowTitle(), QStringLiteral("Quillery-Benutzerhandbuch"));
    AboutBox about(nullptr);
    QCOMPARE(about.windowTitle(), QStringLiteral("Über Quillery"));
    QVERIFY(about.text().contains(QStringLiteral("Version " QUILLERY_VERSION)));
}

// A dialog in the system's face beside a window in Tahoma looks like another program's.
void TestHelpWindows::windowsUseTheWindowsFace()
{
    const QString window = QFontInfo(DialogStyle::font()).family();
    QWidget parent;
    HelpWindow help(&parent);
    QCOMPARE(QFontInfo(help.font()).family(), window);
    ShortcutOverview keys(parent, &parent);
    QCOMPARE(QFontInfo(keys.font()).family(), window);
    AboutBox about(&parent);
    QCOMPARE(QFontInfo(about.font()).family(), window);
}

QTEST_MAIN(TestHelpWindows)
#include "moc_urlrecorder.cpp"
#include "tst_helpwindows.moc"
