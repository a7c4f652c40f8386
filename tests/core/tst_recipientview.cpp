#include "core/html/cssurls.h"
#include "core/html/htmlscan.h"
#include "core/views/recipientview.h"

#include <QTest>

using namespace RecipientView;

namespace {

QByteArray range(const QByteArray& html, qsizetype begin, qsizetype end)
{
    return html.mid(begin, end - begin);
}

// Everything in a page that would make the engine fetch something, found
// without the code under test: source attributes by name and every URL of
// every style sheet and style attribute.
QStringList fetches(const QByteArray& html)
{
    static const QByteArrayList sourceNames = {"src",    "srcset",      "lowsrc",
                                               "dynsrc", "poster",      "background",
                                               "data",   "imagesrcset", "srcdoc"};
    QStringList found;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (tag.name == "style") {
            const qsizetype end =
                tag.contentEnd >= 0 ? tag.contentEnd : html.indexOf("</", tag.end);
            for (const CssUrls::Url& url :
                 CssUrls::Find(range(html, tag.end, end < 0 ? html.size() : end)))
                found.append(QStringLiteral("style: ") + QString::fromUtf8(url.url));
        }
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            const QByteArray value =
                Html::decodeEntities(range(html, attribute.valueBegin, attribute.valueEnd));
            const QString where = QString::fromUtf8(tag.name + ' ' + attribute.name + ": ");
            if (attribute.name == "style") {
                for (const CssUrls::Url& url : CssUrls::Find(value))
                    found.append(where + QString::fromUtf8(url.url));
            } else if (sourceNames.contains(attribute.name) ||
                       (tag.name.startsWith("v:") && attribute.name == "src") ||
                       (tag.name != "a" && tag.name != "area" && attribute.name.endsWith("href") &&
                        !value.trimmed().startsWith('#'))) {
                found.append(where + QString::fromUtf8(value));
            }
        }
    });
    return found;
}

} // namespace

class TestRecipientView : public QObject
{
    Q_OBJECT

private slots:
    void darkRules_data();
    void darkRules();
    void darkRulesKeepTheRestOfThePage();
    void imagesBlocked_data();
    void imagesBlocked();
    void imagesBlockedKeepsTheBoxes();
    void cutShortPagesEndAndFetchNothing();
    void inversion_data();
    void inversion();
    void pageForViewCombines();
};

void TestRecipientView::darkRules_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<bool>("hasDark");
    QTest::addColumn<QByteArray>("expected"); // withOwnDarkRules, or empty for "unchanged"

    QTest::newRow("dark rule turns on")
        << QByteArray("<style>@media (prefers-color-scheme: dark){body{color:#fff}}</style>")
        << true << QByteArray("<style>@media (min-width: 0px){body{color:#fff}}</style>");
    QTest::newRow("light rule turns off")
        << QByteArray("<style>@media (prefers-color-scheme: light){a{color:red}}</style>") << false
        << QByteArray("<style>@media (grid){a{color:red}}</style>");
    QTest::newRow("combined with a media type")
        << QByteArray("<style>@media screen and (prefers-color-scheme: dark){a{b:c}}</style>")
        << true << QByteArray("<style>@media screen and (min-width: 0px){a{b:c}}</style>");
    QTest::newRow("combined with a width")
        << QByteArray("<style>@media (max-width:600px) and (prefers-color-scheme:dark){}</style>")
        << true << QByteArray("<style>@media (max-width:600px) and (min-width: 0px){}</style>");
    QTest::newRow("negated")
        << QByteArray("<style>@media not all and (prefers-color-scheme: dark){}</style>") << true
        << QByteArray("<style>@media not all and (min-width: 0px){}</style>");
    QTest::newRow("comma list")
        << QByteArray("<style>@media print, (prefers-color-scheme: light), (prefers-color-scheme:"
                      " dark){}</style>")
        << true << QByteArray("<style>@media print, (grid), (min-width: 0px){}</style>");
    QTest::newRow("case, blanks and comments")
        << QByteArray("<style>@MEDIA ( Prefers-Color-Scheme /* x */ :\n DARK ){}</style>") << true
        << QByteArray("<style>@MEDIA (min-width: 0px){}</style>");
    QTest::newRow("escaped name")
        << QByteArray("<style>@\\6d edia (prefers-color-sch\\65me: dark){}</style>") << true
        << QByteArray("<style>@\\6d edia (min-width: 0px){}</style>");
    QTest::newRow("nested in @supports")
        << QByteArray("<style>@supports (display:grid){@media (prefers-color-scheme: dark){}}"
                      "</style>")
        << true << QByteArray("<style>@supports (display:grid){@media (min-width: 0px){}}</style>");
    QTest::newRow("level 4 condition")
        << QByteArray("<style>@media ((prefers-color-scheme: dark) or (hover)){}</style>") << true
        << QByteArray("<style>@media ((min-width: 0px) or (hover)){}</style>");
    QTest::newRow("import prelude")
        << QByteArray("<style>@import url(d.css) (prefers-color-scheme: dark);</style>") << true
        << QByteArray("<style>@import url(d.css) (min-width: 0px);</style>");
    QTest::newRow("style media attribute")
        << QByteArray("<style media=\"(prefers-color-scheme: dark)\">a{}</style>") << true
        << QByteArray("<style media=\"(min-width: 0px)\">a{}</style>");
    QTest::newRow("picture source for dark mode")
        << QByteArray("<picture><source srcset=\"d.png\" media='(prefers-color-scheme:dark)'>"
                      "<img src=\"l.png\"></picture>")
        << true
        << QByteArray("<picture><source srcset=\"d.png\" media=\"(min-width: 0px)\">"
                      "<img src=\"l.png\"></picture>");
    QTest::newRow("svg style")
        << QByteArray("<svg><style>@media (prefers-color-scheme: dark){}</style></svg>") << true
        << QByteArray("<svg><style>@media (min-width: 0px){}</style></svg>");
    QTest::newRow("none") << QByteArray("<style>@media (max-width:600px){a{b:c}}</style>") << false
                          << QByteArray();
    QTest::newRow("boolean feature is left alone")
        << QByteArray("<style>@media (prefers-color-scheme){}</style>") << false << QByteArray();
    QTest::newRow("in a string")
        << QByteArray("<style>a::after{content:\"@media (prefers-color-scheme: dark)\"}</style>")
        << false << QByteArray();
    QTest::newRow("in a comment")
        << QByteArray("<style>/* @media (prefers-color-scheme: dark){} */</style>") << false
        << QByteArray();
    QTest::newRow("in a selector, not a prelude")
        << QByteArray("<style>a[title='(prefers-color-scheme: dark)']{}</style>") << false
        << QByteArray();
    QTest::newRow("in the text of the page")
        << QByteArray("<p>@media (prefers-color-scheme: dark){}</p>") << false << QByteArray();
    QTest::newRow("in a script")
        << QByteArray("<script>'<style>@media (prefers-color-scheme: dark){}'</script>") << false
        << QByteArray();
    QTest::newRow("unterminated comment before")
        << QByteArray("<style>/* @media (prefers-color-scheme: dark){}") << false << QByteArray();
    QTest::newRow("unterminated string in prelude")
        << QByteArray("<style>@media \"x (prefers-color-scheme: dark){}</style>") << false
        << QByteArray();
    QTest::newRow("unbalanced parentheses")
        << QByteArray("<style>@media ((((prefers-color-scheme: dark){a{</style>") << true
        << QByteArray("<style>@media ((((min-width: 0px){a{</style>");
    QTest::newRow("feature cut short")
        << QByteArray("<style>@media (prefers-color-scheme: dark") << false << QByteArray();
}

void TestRecipientView::darkRules()
{
    QFETCH(QByteArray, html);
    QFETCH(bool, hasDark);
    QFETCH(QByteArray, expected);

    QCOMPARE(hasOwnDarkRules(html), hasDark);
    QCOMPARE(withOwnDarkRules(html), expected.isEmpty() ? html : expected);
}

void TestRecipientView::darkRulesKeepTheRestOfThePage()
{
    const QByteArray page =
        "<!DOCTYPE html><html><head><meta name=\"color-scheme\" content=\"light dark\">"
        "<meta name=\"supported-color-schemes\" content=\"light dark\">"
        "<style>body{color:#000}@media (prefers-color-scheme: dark){body{color:#fff}}</style>"
        "</head><body style=\"margin:0\"><img src=\"a.png\" alt=\"A\"></body></html>";
    QByteArray expected = page;
    expected.replace("(prefers-color-scheme: dark)", "(min-width: 0px)");
    QCOMPARE(withOwnDarkRules(page), expected);
}

void TestRecipientView::imagesBlocked_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("img src and srcset")
        << QByteArray("<img src=\"a.png\" srcset=\"a2.png 2x\" alt=\"Logo\" width=\"120\">")
        << QByteArray("<img   alt=\"Logo\" width=\"120\">");
    QTest::newRow("unquoted and uppercase")
        << QByteArray("<IMG SRC=a.png ALT=Logo>") << QByteArray("<IMG  ALT=Logo>");
    QTest::newRow("picture sources")
        << QByteArray("<picture><source srcset=\"b.webp\" type=\"image/webp\"><img src=\"b.jpg\">"
                      "</picture>")
        << QByteArray("<picture><source  type=\"image/webp\"><img ></picture>");
    QTest::newRow("background attribute")
        << QByteArray("<body background=\"bg.png\"><table background='t.png'><td "
                      "background=c.png bgcolor=\"#fff\">")
        << QByteArray("<body ><table ><td  bgcolor=\"#fff\">");
    QTest::newRow("style block")
        << QByteArray("<style>.hero{background:#123 url(hero.jpg) no-repeat}</style>")
        << QByteArray("<style>.hero{background:#123 none no-repeat}</style>");
    QTest::newRow("quoted url, image-set and escapes")
        << QByteArray("<style>a{background-image:URL( \"a.png\" ),image-set(\"b.png\" 1x);"
                      "list-style:\\75 rl(c.png)}</style>")
        << QByteArray("<style>a{background-image:none,none;list-style:none}</style>");
    QTest::newRow("prefixed image-set and src()")
        << QByteArray(
               "<style>a{background:-webkit-image-set('a.png' 1x)}b{c:src(\"d.png\")}</style>")
        << QByteArray("<style>a{background:none}b{c:none}</style>");
    QTest::newRow("import and font")
        << QByteArray("<style>@import \"s.css\";@import url(t.css);@font-face{src:url(f.woff)}"
                      "</style>")
        << QByteArray("<style>@import none;@import none;@font-face{src:none}</style>");
    QTest::newRow("style attribute with references")
        << QByteArray("<td style=\"background-image:url(&quot;x.png&quot;);color:red\">")
        << QByteArray("<td style=\"background-image:none;color:red\">");
    QTest::newRow("style attribute without url is untouched")
        << QByteArray("<td style='color:red'>") << QByteArray("<td style='color:red'>");
    QTest::newRow("input image") << QByteArray("<input type=\"image\" src=\"go.png\" alt=\"Go\">")
                                 << QByteArray("<input type=\"image\"  alt=\"Go\">");
    QTest::newRow("video poster")
        << QByteArray("<video poster=\"p.jpg\" src=\"v.mp4\" width=\"300\"></video>")
        << QByteArray("<video   width=\"300\"></video>");
    QTest::newRow("svg image and use")
        << QByteArray("<svg><image href=\"a.png\" width=\"9\"/><image xlink:href=\"b.png\"/>"
                      "<use href=\"#dot\"/><use href=\"s.svg#dot\"/></svg>")
        << QByteArray("<svg><image  width=\"9\"/><image /><use href=\"#dot\"/><use /></svg>");
    QTest::newRow("svg style") << QByteArray("<svg><style>rect{fill:url(p.png)}</style></svg>")
                               << QByteArray("<svg><style>rect{fill:none}</style></svg>");
    QTest::newRow("vml fill and image")
        << QByteArray("<v:rect><v:fill type=\"tile\" src=\"bg.png\"/></v:rect>"
                      "<v:image src=\"i.png\"/>")
        << QByteArray("<v:rect><v:fill type=\"tile\" /></v:rect><v:image />");
    QTest::newRow("linked style sheet and icon")
        << QByteArray("<link rel=\"stylesheet\" href=\"s.css\"><link rel=\"icon\" href=\"i.ico\">")
        << QByteArray("<link rel=\"stylesheet\" ><link rel=\"icon\" >");
    QTest::newRow("embedded objects")
        << QByteArray("<object data=\"a.svg\"></object><embed src=\"b.png\">"
                      "<iframe srcdoc=\"&lt;img src=x&gt;\"></iframe>")
        << QByteArray("<object ></object><embed ><iframe ></iframe>");
    QTest::newRow("links stay") << QByteArray("<a href=\"https://example.com/\">Read</a>")
                                << QByteArray("<a href=\"https://example.com/\">Read</a>");
    QTest::newRow("text that looks like a source stays")
        << QByteArray("<p>src=\"a.png\" url(b.png)</p>")
        << QByteArray("<p>src=\"a.png\" url(b.png)</p>");
}

void TestRecipientView::imagesBlocked()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, expected);

    const QByteArray blocked = withImagesBlocked(html);
    QCOMPARE(blocked, expected);
    QCOMPARE(fetches(blocked), QStringList());
}

void TestRecipientView::imagesBlockedKeepsTheBoxes()
{
    const QByteArray page =
        "<html><body><table width=\"600\"><tr><td><img src=\"cid:logo\" alt=\"Northwind &amp; "
        "Co\" width=\"200\" height=\"60\" style=\"display:block;border:0;font:bold 20px Arial\">"
        "</td></tr></table></body></html>";
    const QByteArray blocked = withImagesBlocked(page);
    const std::vector<Html::HtmlTag> images = Html::findTags(blocked, {"img"});
    QCOMPARE(images.size(), size_t(1));
    const Html::HtmlTag& image = images.front();
    QCOMPARE(image.attribute(blocked, "alt"), QByteArray("Northwind & Co"));
    QCOMPARE(image.attribute(blocked, "width"), QByteArray("200"));
    QCOMPARE(image.attribute(blocked, "height"), QByteArray("60"));
    QCOMPARE(image.attribute(blocked, "style"),
             QByteArray("display:block;border:0;font:bold 20px Arial"));
    QVERIFY(image.attribute(blocked, "src").isNull());
}

// Every prefix of a page full of tricks: each one is a page cut short
// somewhere inside a comment, a string, a tag or a rule. Rewriting must end,
// and the blocked page must still fetch nothing.
void TestRecipientView::cutShortPagesEndAndFetchNothing()
{
    const QByteArray page =
        "<!DOCTYPE html><html><head><style media=\"screen and (prefers-color-scheme: dark)\">"
        "/* c */ @media (prefers-color-scheme: dark) { .a { background: url('a\\'.png') } }"
        "@import \"i.css\" screen; .b{background:image-set(\"b.png\" 1x, url(c.png) 2x)}"
        ".c{background:u\\rl(d.png)}</style></head><body background=e.png>"
        "<svg><style>r{fill:url(f.png)}</style><image href='g.png'/></svg>"
        "<div style=\"background:url(&#x68;.png)\"><img src=\"i.png\" srcset='j.png 2x' alt=x>"
        "<picture><source srcset=k.png media=\"(prefers-color-scheme: dark)\"><img src=l.png>"
        "</picture><!-- <img src=m.png> --><v:fill src=\"n.png\"/></div></body></html>";
    for (qsizetype length = 0; length <= page.size(); ++length) {
        const QByteArray cut = page.left(length);
        const QByteArray blocked = withImagesBlocked(cut);
        const QStringList left = fetches(blocked);
        QVERIFY2(left.isEmpty(), qPrintable(QString::fromUtf8(cut) + QStringLiteral(" -> ") +
                                            left.join(QStringLiteral(", "))));
        QVERIFY(!withOwnDarkRules(cut).contains("prefers-color-scheme: dark)"));
        QVERIFY(fetches(pageForView(cut, Colours::Inverted, true)).isEmpty());
    }
}

void TestRecipientView::inversion_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("before"); // what the inversion style follows

    QTest::newRow("head") << QByteArray("<!DOCTYPE html><html><head><title>t</title></head>")
                          << QByteArray("<!DOCTYPE html><html><head>");
    QTest::newRow("head with attributes")
        << QByteArray("<html lang=en><HEAD profile=x><style>a{}</style>")
        << QByteArray("<html lang=en><HEAD profile=x>");
    QTest::newRow("no head") << QByteArray("<html><body>x</body></html>") << QByteArray("<html>");
    QTest::newRow("doctype only") << QByteArray("<!doctype html><p>x")
                                  << QByteArray("<!doctype html>");
    QTest::newRow("fragment") << QByteArray("<p>x</p>") << QByteArray();
    QTest::newRow("head in a comment is not the head")
        << QByteArray("<!-- <head> --><html><head>") << QByteArray("<!-- <head> --><html><head>");
}

void TestRecipientView::inversion()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, before);

    const QByteArray inverted = withColoursInverted(html);
    QVERIFY(inverted.startsWith(before));
    const std::vector<Html::HtmlTag> styles = Html::findTags(inverted, {"style"});
    QVERIFY(!styles.empty());
    const Html::HtmlTag& style = styles.front();
    QCOMPARE(style.begin, before.size());
    QCOMPARE(style.attribute(inverted, "id"), QByteArray("quillery-view-inverted"));
    const QByteArray css = range(inverted, style.end, style.contentEnd);
    QVERIFY(css.contains("html{filter:invert(1) hue-rotate(180deg)"));
    // Pictures turn back to their own colours.
    QVERIFY(css.contains("img[src]"));
    QVERIFY(css.contains("video"));
    QVERIFY(css.contains("[background]"));
    // Nothing else of the page changed.
    QCOMPARE(QByteArray(inverted).remove(style.begin, style.contentEnd + 8 - style.begin), html);
}

void TestRecipientView::pageForViewCombines()
{
    const QByteArray page = "<html><head><style>@media (prefers-color-scheme: dark){a{"
                            "background:url(d.png)}}</style></head><body><img src=a.png alt=A>";
    QCOMPARE(pageForView(page, Colours::Light, false), page);
    QCOMPARE(pageForView(page, Colours::Dark, false), withOwnDarkRules(page));
    QCOMPARE(pageForView(page, Colours::Inverted, false), withColoursInverted(page));
    QCOMPARE(pageForView(page, Colours::Light, true), withImagesBlocked(page));

    const QByteArray darkBlocked = pageForView(page, Colours::Dark, true);
    QCOMPARE(fetches(darkBlocked), QStringList());
    QVERIFY(darkBlocked.contains("@media (min-width: 0px){a{background:none}}"));

    const QByteArray invertedBlocked = pageForView(page, Colours::Inverted, true);
    QCOMPARE(fetches(invertedBlocked), QStringList());
    QVERIFY(invertedBlocked.contains("quillery-view-inverted"));
}

QTEST_GUILESS_MAIN(TestRecipientView)
#include "tst_recipientview.moc"
