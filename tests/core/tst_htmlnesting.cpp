#include "core/html/htmlnesting.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray repeated(const char* piece, int count)
{
    return QByteArray(piece).repeated(count);
}

} // namespace

class TestHtmlNesting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void depth_data();
    void depth();
    void flattenKeepsShallowPagesAsTheyAre();
    void flattenTakesOutTheTagsPastTheLimit();
    void flattenKeepsLeaves_data();
    void flattenKeepsLeaves();
    void flattenKeepsWhatADroppedTagClosedClosed();
    void flattenJoinsNoTextIntoATag();
    void flattenedPagesAreNeverTooDeep();
    void hostileShapesTakeLinearTime_data();
    void hostileShapesTakeLinearTime();
};

void TestHtmlNesting::depth_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("text") << QByteArray("just < text &") << 0;
    QTest::newRow("html and body are not counted")
        << QByteArray("<!DOCTYPE html><html><head><title>t</title></head><body><div>x</div>"
                      "</body></html>")
        << 1;
    QTest::newRow("void elements do not nest") << QByteArray("<div><img><br><img></div>") << 1;
    QTest::newRow("html self-closing is ignored") << QByteArray("<div/><div/><div/>") << 3;
    QTest::newRow("svg self-closing is honoured")
        << QByteArray("<svg><path/><path/><g><rect/></g></svg>") << 2;
    QTest::newRow("end tag closes up to its element")
        << QByteArray("<div><span><i></div><div><span></span></div>") << 3;
    QTest::newRow("unknown end tag is ignored") << QByteArray("<div></p></li><div>") << 2;
    QTest::newRow("paragraphs close each other") << QByteArray("<p>a<p>b<p>c<p>d") << 1;
    QTest::newRow("a block closes the paragraph") << QByteArray("<p>a<div>b<p>c<div>d") << 2;
    QTest::newRow("list items close each other")
        << QByteArray("<ul><li>a<li>b<li><b>c</b><li>d</ul>") << 3;
    QTest::newRow("nested lists nest")
        << QByteArray("<ul><li>a<ul><li>b<ul><li>c</ul></ul></ul>") << 6;
    QTest::newRow("definitions close each other") << QByteArray("<dl><dt>a<dd>b<dt>c<dd>d") << 2;
    QTest::newRow("options close each other")
        << QByteArray("<select><option>a<option>b<optgroup><option>c</select>") << 3;
    QTest::newRow("table gets its section and row")
        << QByteArray("<table><td>a<td>b<tr><td>c</table>") << 4;
    QTest::newRow("explicit table parts")
        << QByteArray("<table><tbody><tr><td>a</td></tr></tbody></table>") << 4;
    QTest::newRow("cells close across their content")
        << QByteArray("<table><tr><td><div><span>a<td>b<tr><td>c</table>") << 6;
    QTest::newRow("table parts outside a table open nothing")
        << QByteArray("<td><tr><tbody><td>x") << 0;
    QTest::newRow("an end tag does not close across a cell")
        << QByteArray("<div><table><tr><td></div><div>") << 6;
    QTest::newRow("a formatting end tag leaves the blocks open")
        << QByteArray("<b><div></b><div></b><div>") << 4;
    QTest::newRow("script text is text")
        << QByteArray("<script><div><div><div></script><div>") << 1;
    QTest::newRow("raw text ends only at its own end tag")
        << QByteArray("<style></styles><div></style><div>") << 1;
    QTest::newRow("svg title content is markup")
        << QByteArray("<svg><title><div><div></div></div></title></svg>") << 4;
    QTest::newRow("comment") << QByteArray("<!-- <div><div> --><div>") << 1;
    QTest::newRow("comment closed at once") << QByteArray("<!--><div>--><div>") << 2;
    QTest::newRow("comment closed with bang") << QByteArray("<!-- x --!><div><div>") << 2;
    QTest::newRow("quoted greater-than") << QByteArray("<div title=\"a>b\"><div>") << 2;
    QTest::newRow("end tag with a quoted greater-than")
        << QByteArray("<div></div title=\"><div><div>\"><div>") << 1;
    QTest::newRow("deep") << repeated("<div>", 5000) << 5000;
}

void TestHtmlNesting::depth()
{
    QFETCH(QByteArray, html);
    QFETCH(int, expected);
    QCOMPARE(HtmlNesting::depth(html), expected);
}

void TestHtmlNesting::flattenKeepsShallowPagesAsTheyAre()
{
    const QByteArray page = "<html><body>" + repeated("<div>", HtmlNesting::MaxDepth - 1) +
                            "<img src=\"a.png\">x" + repeated("</div>", HtmlNesting::MaxDepth - 1) +
                            "</body></html>";
    int removed = -1;
    QCOMPARE(HtmlNesting::flatten(page, &removed), page);
    QCOMPARE(removed, 0);
}

void TestHtmlNesting::flattenTakesOutTheTagsPastTheLimit()
{
    const int limit = HtmlNesting::MaxDepth;
    const QByteArray page = repeated("<div>", 200) + "<img src=\"a.png\">deep text" +
                            repeated("</div>", 200) + "<p>after</p>";
    int removed = -1;
    const QByteArray flat = HtmlNesting::flatten(page, &removed);
    QCOMPARE(flat, repeated("<div>", limit) + "<img src=\"a.png\">deep text" +
                       repeated("</div>", limit) + "<p>after</p>");
    QCOMPARE(removed, 2 * (200 - limit));
    QCOMPARE(HtmlNesting::depth(flat), limit);
}

void TestHtmlNesting::flattenKeepsLeaves_data()
{
    QTest::addColumn<QByteArray>("container");
    QTest::addColumn<QByteArray>("leaf");

    const QByteArray div = "<div>";
    QTest::newRow("image") << div << QByteArray("<img src=\"a.png\">");
    QTest::newRow("meta") << div << QByteArray("<meta charset=\"utf-8\">");
    QTest::newRow("textarea") << div << QByteArray("<textarea><b>x</b>&amp;</textarea>");
    QTest::newRow("script") << div << QByteArray("<script>alert('<div>')</script>");
    QTest::newRow("style") << div << QByteArray("<style>p{}</style >");
    QTest::newRow("svg shape") << QByteArray("<svg>") << QByteArray("<circle r=\"1\"/>");
}

// Past the limit, a leaf is kept with its content, and what would open an
// element is taken out.
void TestHtmlNesting::flattenKeepsLeaves()
{
    QFETCH(QByteArray, container);
    QFETCH(QByteArray, leaf);
    const QByteArray outer = repeated("<div>", HtmlNesting::MaxDepth - 1) + container;
    const QByteArray flat = HtmlNesting::flatten(outer + "<i>" + leaf + "after</i>");
    QCOMPARE(flat, outer + leaf + "after");
    QCOMPARE(HtmlNesting::depth(flat), HtmlNesting::MaxDepth);
}

// A table part that implies a closing but is itself too deep: the closing
// must stay, or the rest of the page would nest deeper than the check said.
void TestHtmlNesting::flattenKeepsWhatADroppedTagClosedClosed()
{
    const QByteArray page = repeated("<div>", HtmlNesting::MaxDepth - 2) +
                            "<table><caption>c<td>x" + repeated("<span>", 5);
    int removed = 0;
    const QByteArray flat = HtmlNesting::flatten(page, &removed);
    QVERIFY(flat.contains("c</caption>x"));
    QCOMPARE(HtmlNesting::depth(flat), HtmlNesting::MaxDepth);
}

void TestHtmlNesting::flattenJoinsNoTextIntoATag()
{
    const QByteArray outer = repeated("<div>", HtmlNesting::MaxDepth);
    const QByteArray flat = HtmlNesting::flatten(outer + "<<i>div>a<<b></b>/div>");
    QCOMPARE(flat, outer + "&lt;div>a&lt;/div>");
}

// Whatever the mix of tags, the flattened page is within the limit.
void TestHtmlNesting::flattenedPagesAreNeverTooDeep()
{
    static const char* const pieces[] = {
        "<div>",      "</div>",   "<p>",      "</p>",     "<li>",      "<ul>",      "</ul>",
        "<table>",    "</table>", "<tr>",     "<td>",     "</td>",     "<caption>", "<tbody>",
        "<b>",        "</b>",     "<i>",      "<span>",   "</span>",   "<dd>",      "<dt>",
        "<dl>",       "<svg>",    "</svg>",   "<g>",      "<path/>",   "<div/>",    "<img>",
        "<option>",   "<select>", "<title>x", "</title>", "<script>y", "</script>", "<!--",
        "-->",        "<body>",   "</html>",  "<a>",      "</a>",      "text ",     "<textarea>",
        "</textarea>"};
    QRandomGenerator random(1234);
    for (int page = 0; page < 300; ++page) {
        QByteArray html;
        const int count = 200 + int(random.bounded(3000));
        for (int i = 0; i < count; ++i) {
            // Mostly openings, so that the pages get deep.
            const int pick = random.bounded(4) == 0 ? int(random.bounded(int(std::size(pieces))))
                                                    : int(random.bounded(3)) * 7 % 28;
            html += pieces[pick];
        }
        const QByteArray flat = HtmlNesting::flatten(html);
        const int depth = HtmlNesting::depth(flat);
        if (depth > HtmlNesting::MaxDepth)
            QFAIL(qPrintable(QStringLiteral("page %1 is %2 deep after flattening:\n%3")
                                 .arg(page)
                                 .arg(depth)
                                 .arg(QString::fromUtf8(html))));
        QCOMPARE(HtmlNesting::flatten(flat), flat);
    }
}

void TestHtmlNesting::hostileShapesTakeLinearTime_data()
{
    const int n = 200000;
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<int>("expected");

    QTest::newRow("deep divs") << repeated("<div>", n) + repeated("</div>", n) << n;
    QTest::newRow("unmatched end tags") << repeated("<div>", n) + repeated("</span>", n) << n;
    QTest::newRow("items far from their list")
        << "<ul>" + repeated("<div>", n) + repeated("<li>", n) << n + 2;
    QTest::newRow("cells far from their table")
        << "<table>" + repeated("<span>", n) + repeated("<td>", n) << n + 1;
    QTest::newRow("unclosed comments") << repeated("<!--", n) << 0;
    QTest::newRow("unclosed raw text") << repeated("<div><style>", n) << 1;
}

void TestHtmlNesting::hostileShapesTakeLinearTime()
{
    QFETCH(QByteArray, html);
    QFETCH(int, expected);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(HtmlNesting::depth(html), expected);
    int removed = 0;
    const QByteArray flat = HtmlNesting::flatten(html, &removed);
    QVERIFY(HtmlNesting::depth(flat) <= HtmlNesting::MaxDepth);
    // Quadratic work on these shapes takes minutes.
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestHtmlNesting)
#include "tst_htmlnesting.moc"
