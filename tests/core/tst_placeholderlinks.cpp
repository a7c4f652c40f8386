#include "core/gallery/check/placeholderlinks.h"

#include <QTest>

class TestPlaceholderLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void isPlaceholder_data();
    void isPlaceholder();
    void findNamesEachLinkByLineAndWords();
};

void TestPlaceholderLinks::isPlaceholder_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("placeholder");
    QTest::newRow("example.com") << "https://example.com" << true;
    QTest::newRow("subdomain of example.org") << "http://shop.example.org/deals?x=1" << true;
    QTest::newRow(".example sender") << "https://harbourpine.example/sale" << true;
    QTest::newRow(".test") << "https://news.test/" << true;
    QTest::newRow("localhost") << "http://localhost:8080/" << true;
    QTest::newRow("mail to an example address") << "mailto:hello@northwind.example" << true;
    QTest::newRow("merge field in brackets") << "[unsubscribe_url]" << true;
    QTest::newRow("merge field in braces") << "{{ web_version }}" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("bare hash") << " # " << true;
    QTest::newRow("a real shop") << "https://www.harbourandpine.ie/sale" << false;
    QTest::newRow("a name that only starts like one") << "https://example.company.ie/" << false;
    QTest::newRow("a name that only ends like one") << "https://myexample.com/" << false;
    QTest::newRow("real mail address") << "mailto:hello@harbourandpine.ie" << false;
    QTest::newRow("telephone") << "tel:+35312345678" << false;
    QTest::newRow("anchor in the page") << "#menu" << false;
}

void TestPlaceholderLinks::isPlaceholder()
{
    QFETCH(QString, url);
    QFETCH(bool, placeholder);
    QCOMPARE(PlaceholderLinks::isPlaceholder(url), placeholder);
}

void TestPlaceholderLinks::findNamesEachLinkByLineAndWords()
{
    const QByteArray html =
        "<html><body>\n"
        "<a href=\"https://example.com\" style=\"x\">Shop <b>the</b>\n sale</a>\n"
        "<a href=\"https://www.real-shop.ie/\">ours</a>\n"
        "\n"
        "<a href=\"https://example.com/a?b=1&amp;c=2\"><img src=\"logo.png\" "
        "alt=\"Harbour &amp; Pine\"></a>\n"
        "<map><area href=\"[unsubscribe_url]\" alt=\"Unsubscribe\"></map>\n"
        "<a name=\"top\">no target</a>\n"
        "</body></html>\n";
    const QList<PlaceholderLinks::Link> expected{
        {QStringLiteral("https://example.com"), QStringLiteral("Shop the sale"), 2},
        {QStringLiteral("https://example.com/a?b=1&c=2"), QStringLiteral("Harbour & Pine"), 6},
        {QStringLiteral("[unsubscribe_url]"), QStringLiteral("Unsubscribe"), 7},
    };
    QCOMPARE(PlaceholderLinks::find(html), expected);
}

QTEST_APPLESS_MAIN(TestPlaceholderLinks)
#include "tst_placeholderlinks.moc"
