#include "core/gallery/library/templatestaging.h"
#include "core/html/cssurls.h"
#include "core/html/htmlscan.h"
#include "core/views/recipientview.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

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
    // The elements whose href loads something instead of leading somewhere.
    static const QByteArrayList hrefFetchers = {"link", "image", "img", "use", "feimage"};
    QStringList found;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (tag.name == "style") {
            const qsizetype end =
                tag.contentEnd >= 0 ? tag.contentEnd : html.indexOf("</", tag.end);
            for (const CssUrls::Url& url :
                 CssUrls::find(range(html, tag.end, end < 0 ? html.size() : end)))
                found.append(QStringLiteral("style: ") + QString::fromUtf8(url.url));
        }
        for (const Html::HtmlAttribute& attribute : tag.attributes) {
            const QByteArray value =
                Html::decodeEntities(range(html, attribute.valueBegin, attribute.valueEnd));
            const QString where = QString::fromUtf8(tag.name + ' ' + attribute.name + ": ");
            if (attribute.name == "style") {
                for (const CssUrls::Url& url : CssUrls::find(value))
                    found.append(where + QString::fromUtf8(url.url));
            } else if (sourceNames.contains(attribute.name) ||
                       (tag.name.startsWith("v:") && attribute.name == "src") ||
                       (hrefFetchers.contains(tag.name) && attribute.name.endsWith("href") &&
                        !value.trimmed().startsWith('#'))) {
                found.append(where + QString::fromUtf8(value));
            }
        }
    });
    return found;
}

// The page without the style element a view added, and that element's CSS.
std::pair<QByteArray, QByteArray> splitViewStyle(const QByteArray& page, const char* id)
{
    for (const Html::HtmlTag& style : Html::findTags(page, {"style"})) {
        if (style.attribute(page, "id") == id && style.contentEnd >= 0) {
            const qsizetype end = page.indexOf('>', style.contentEnd) + 1;
            return {QByteArray(page).remove(style.begin, end - style.begin),
                    range(page, style.end, style.contentEnd)};
        }
    }
    return {page, QByteArray()};
}

QByteArray readFixture(const char* name)
{
    QFile file(QStringLiteral(QUILLERY_TEST_DATA "/recipientview/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A message of the given headers and one body part.
QByteArray message(const QByteArray& headers, const QByteArray& type, const QByteArray& body)
{
    return headers + "MIME-Version: 1.0\r\nContent-Type: " + type + "\r\n\r\n" + body;
}

QByteArray alternative(const QByteArray& plainType, const QByteArray& plain)
{
    return message("From: a@example.com\r\n", "multipart/alternative; boundary=b",
                   "--b\r\nContent-Type: " + plainType + "\r\n\r\n" + plain +
                       "\r\n--b\r\nContent-Type: text/html\r\n\r\n<p>HTML</p>\r\n--b--\r\n");
}

const QString ellipsis = QStringLiteral("\u2026");

} // namespace

class TestRecipientView : public QObject
{
    Q_OBJECT

private slots:
    void darkRules_data();
    void darkRules();
    void darkRulesKeepTheRestOfThePage();
    void phoneMedia_data();
    void phoneMedia();
    void imagesBlocked_data();
    void imagesBlocked();
    void imagesBlockedKeepsTheBoxes();
    void cutShortPagesEndAndFetchNothing();
    void randomPagesEndAndFetchNothing();
    void inversion_data();
    void inversion();
    void inversionTurnsBackStyleSheetBackgrounds();
    void pageForViewCombines();
    void headers_data();
    void headers();
    void preheader_data();
    void preheader();
    void newsletterEndToEnd();
    void cuts_data();
    void cuts();
    void cutsFitTheirRoom();
    void inboxPageEscapesAndFetchesNothing_data();
    void inboxPageEscapesAndFetchesNothing();
    void plainText_data();
    void plainText();
    void plainTextIsBounded();
    void plainTextPage_data();
    void plainTextPage();
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

void TestRecipientView::phoneMedia_data()
{
    QTest::addColumn<QByteArray>("media");
    QTest::addColumn<QByteArray>("expected"); // as the Phone view reads it

    QTest::newRow("narrow device")
        << QByteArray("(max-device-width: 480px)") << QByteArray("(min-width: 0px)");
    QTest::newRow("device narrower than the phone")
        << QByteArray("screen and (max-device-width:320px)") << QByteArray("screen and (grid)");
    QTest::newRow("em and rem at 16 px")
        << QByteArray("(max-device-width: 29.9375em), (min-device-width: 40rem)")
        << QByteArray("(min-width: 0px), (grid)");
    QTest::newRow("exactly the phone's width")
        << QByteArray("(device-width: 375px) and (min-device-width:375px)")
        << QByteArray("(min-width: 0px) and (min-width: 0px)");
    QTest::newRow("a unit read by the engine")
        << QByteArray("(max-device-width: 10cm)") << QByteArray("(max-device-width: 10cm)");
    QTest::newRow("finger, no hover")
        << QByteArray("(pointer: coarse) and (hover: none), (any-pointer:fine), (any-hover:hover)")
        << QByteArray("(min-width: 0px) and (min-width: 0px), (grid), (grid)");
    QTest::newRow("features without a value")
        << QByteArray("(pointer), (hover), not all and (any-hover)")
        << QByteArray("(min-width: 0px), (grid), not all and (grid)");
    QTest::newRow("case, comments and escapes")
        << QByteArray("(HOVER /* x */ : NONE) and (\\70 ointer: co\\61rse)")
        << QByteArray("(min-width: 0px) and (min-width: 0px)");
    QTest::newRow("the page's own width stays the engine's")
        << QByteArray("(max-width: 600px), (prefers-color-scheme: dark)")
        << QByteArray("(max-width: 600px), (prefers-color-scheme: dark)");
}

void TestRecipientView::phoneMedia()
{
    QFETCH(QByteArray, media);
    QFETCH(QByteArray, expected);
    const QByteArray sheet = "@media " + media + "{a{b:c}}";
    QCOMPARE(withPhoneMedia("<style>" + sheet + "</style>"),
             "<style>@media " + expected + "{a{b:c}}</style>");
    // And in a media attribute, as a <picture> source for phones has it.
    QCOMPARE(withPhoneMedia("<source media=\"" + media + "\">"),
             media == expected ? "<source media=\"" + media + "\">"
                               : "<source media=\"" + expected + "\">");
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
        << QByteArray("<style>@blocked-import \"s.css\";@blocked-import none;@font-face{src:none}"
                      "</style>");
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
    QTest::newRow("svg style in CDATA")
        << QByteArray("<svg><style> <![CDATA[a>b{fill:url(p.png)}]]> </style></svg>")
        << QByteArray("<svg><style> <![CDATA[a>b{fill:none}]]> </style></svg>");
    // Read as markup, it could hide a style sheet of its own.
    QTest::newRow("svg style holding markup is emptied")
        << QByteArray("<svg><style>a{content:\"<style>b{fill:url(p.png)}\"}</style></svg>")
        << QByteArray("<svg><style></style></svg>");
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
    const auto [rest, css] = splitViewStyle(blocked, "quillery-view-images-blocked");
    QCOMPARE(rest, expected);
    // Pictures without a source keep their boxes, with the alt text inside.
    QVERIFY(css.contains("img:not([src]){display:inline-block;overflow:hidden}"));
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

// Pages thrown together from the pieces that trip up readers of HTML and CSS.
void TestRecipientView::randomPagesEndAndFetchNothing()
{
    static const char* const pieces[] = {"<style>",
                                         "</style>",
                                         "<svg>",
                                         "</svg>",
                                         "<img src=a.png ",
                                         "srcset='b.png'",
                                         ">",
                                         "<div style=\"",
                                         "\"",
                                         "'",
                                         "display:none",
                                         "background:url(",
                                         ")",
                                         "(",
                                         "{",
                                         "}",
                                         ";",
                                         "/*",
                                         "*/",
                                         "\\",
                                         "\\75 rl(",
                                         "@media ",
                                         "@import ",
                                         "prefers-color-scheme",
                                         ":",
                                         "dark",
                                         "light",
                                         ",",
                                         "<!--",
                                         "-->",
                                         "<body>",
                                         "</div>",
                                         "<p>",
                                         "text ",
                                         "&nbsp;",
                                         "&zwnj;",
                                         "image-set(",
                                         "<image href=",
                                         "<v:fill src=",
                                         "<td background=",
                                         " ",
                                         "\n",
                                         "<script>",
                                         "</script>",
                                         "&quot;",
                                         "url(\"x.png\")",
                                         "<head>",
                                         "<picture>"};
    QRandomGenerator random(2026);
    for (int round = 0; round < 3000; ++round) {
        QByteArray page;
        const int count = int(random.bounded(1, 40));
        for (int i = 0; i < count; ++i)
            page += pieces[random.bounded(int(std::size(pieces)))];
        const QByteArray blocked = pageForView(page, Colours::Dark, true);
        const QStringList left = fetches(blocked);
        QVERIFY2(left.isEmpty(),
                 qPrintable(QString::fromUtf8(page.toPercentEncoding()) + QStringLiteral(" -> ") +
                            left.join(QStringLiteral(", "))));
        QVERIFY(fetches(pageForView(page, Colours::Inverted, true)).isEmpty());
        readInboxLine(QByteArray(), page);
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

// Pictures given by the page's own style sheet turn back as well.
void TestRecipientView::inversionTurnsBackStyleSheetBackgrounds()
{
    const QByteArray page =
        "<html><head><style>/* hero */ .hero, td.band { background: #fff url(h.png) } p{color:red}"
        "@media (max-width:600px){.m{background:url(m.png)}} i[title='x']{background:url(q.png)}"
        ".after{background:url(a.png)} a\\{b{background:url(e.png)}</style><body>";
    const QByteArray inverted = withColoursInverted(page);
    const QByteArray css = splitViewStyle(inverted, "quillery-view-inverted").second;
    QVERIFY(css.contains(".hero, td.band{filter:invert(1) hue-rotate(180deg)}"));
    QVERIFY(!css.contains("p{"));
    QVERIFY(!css.contains(".m{"));
    QVERIFY(!css.contains("a\\"));
    QVERIFY(!css.contains("title"));
    QVERIFY(css.contains(".after{filter"));
    QVERIFY(css.endsWith("hue-rotate(180deg)}"));

    // Blocked, the backgrounds are gone, and so are the rules turning them back.
    const QByteArray blocked = pageForView(page, Colours::Inverted, true);
    QVERIFY(!splitViewStyle(blocked, "quillery-view-inverted").second.contains(".hero"));
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

void TestRecipientView::headers_data()
{
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QString>("senderName");
    QTest::addColumn<QString>("senderAddress");
    QTest::addColumn<QString>("subject");

    const QString address = QStringLiteral("news@shop.example");
    QTest::newRow("name and address")
        << QByteArray("From: Northwind Shop <news@shop.example>\r\nSubject: Hello\r\n")
        << QStringLiteral("Northwind Shop") << address << QStringLiteral("Hello");
    QTest::newRow("quoted name") << QByteArray("From: \"Northwind, Shop\" <news@shop.example>\r\n")
                                 << QStringLiteral("Northwind, Shop") << address << QString();
    QTest::newRow("quotes inside the quotes")
        << QByteArray("From: \"'Northwind'\" <news@shop.example>\r\n")
        << QStringLiteral("Northwind") << address << QString();
    QTest::newRow("encoded words")
        << QByteArray("From: =?UTF-8?B?Q2Fmw6kgQ3LDqG1l?= <news@shop.example>\r\n"
                      "Subject: =?ISO-8859-1?Q?Caf=E9_news?= =?UTF-8?Q?_=E2=98=95?=\r\n")
        << QStringLiteral("Caf\u00e9 Cr\u00e8me") << address
        << QStringLiteral("Caf\u00e9 news \u2615");
    QTest::newRow("address only") << QByteArray("From: news@shop.example\r\n") << address << address
                                  << QString();
    QTest::newRow("address in angles only")
        << QByteArray("From: <news@shop.example>\r\n") << address << address << QString();
    QTest::newRow("group") << QByteArray("From: Team: news@shop.example, b@shop.example;\r\n")
                           << address << address << QString();
    QTest::newRow("folded subject")
        << QByteArray("Subject: Our autumn\r\n   menu is here\r\n") << QString() << QString()
        << QStringLiteral("Our autumn menu is here");
    QTest::newRow("none") << QByteArray("To: reader@example.com\r\n") << QString() << QString()
                          << QString();
}

void TestRecipientView::headers()
{
    QFETCH(QByteArray, headers);
    QFETCH(QString, senderName);
    QFETCH(QString, senderAddress);
    QFETCH(QString, subject);

    const InboxLine line =
        readInboxLine(message(headers, "text/html", "<p>Hi</p>"), QByteArray("<p>Hi</p>"));
    QCOMPARE(line.senderName, senderName);
    QCOMPARE(line.senderAddress, senderAddress);
    QCOMPARE(line.subject, subject);

    // What a list shows where a header is missing.
    const InboxCut phone = cutForPhone(line);
    QCOMPARE(phone.sender, senderName.isEmpty() ? QStringLiteral("(no sender)") : senderName);
    QCOMPARE(phone.subject, subject.isEmpty() ? QStringLiteral("(no subject)") : subject);
    QCOMPARE(cutForDesktop(line).subject, phone.subject);
}

void TestRecipientView::preheader_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("preheader");
    QTest::addColumn<bool>("missing");

    QTest::newRow("display none with fillers")
        << QByteArray("<body><div style=\"display:none\">Up to 50% off&nbsp;&zwnj;&nbsp;&zwnj;"
                      "&#847;&#8199;&#65279;&shy;&#8203; &nbsp;&nbsp;</div><p>Hello</p>")
        << QStringLiteral("Up to 50% off") << false;
    QTest::newRow("zero height, overflow hidden")
        << QByteArray("<body><div style=\"max-height: 0px; overflow: hidden;\">Pre</div>V")
        << QStringLiteral("Pre") << false;
    QTest::newRow("zero height alone still shows")
        << QByteArray("<body><div style=\"max-height:0\">Shown</div>") << QStringLiteral("Shown")
        << true;
    QTest::newRow("opacity") << QByteArray("<body><span style=\"opacity:0\">Pre</span>x")
                             << QStringLiteral("Pre") << false;
    QTest::newRow("font size zero") << QByteArray("<body><span style=\"font-size:0\">Pre</span>x")
                                    << QStringLiteral("Pre") << false;
    QTest::newRow("font size one pixel")
        << QByteArray("<body><span style=\"FONT-SIZE:1px\">Pre</span>x") << QStringLiteral("Pre")
        << false;
    QTest::newRow("font size two pixels shows")
        << QByteArray("<body><span style=\"font-size:2px\">Tiny</span>") << QStringLiteral("Tiny")
        << true;
    QTest::newRow("mso-hide and important")
        << QByteArray("<body><td style=\"mso-hide: all !important\">Pre</td>x")
        << QStringLiteral("Pre") << false;
    QTest::newRow("visibility") << QByteArray("<body><p style='visibility:hidden'>Pre</p>x")
                                << QStringLiteral("Pre") << false;
    QTest::newRow("hidden attribute")
        << QByteArray("<body><div hidden>Pre</div>x") << QStringLiteral("Pre") << false;
    QTest::newRow("style with references")
        << QByteArray("<body><div style=\"display&colon;none\">Pre</div>x") << QStringLiteral("Pre")
        << false;
    QTest::newRow("class hidden by the style sheet")
        << QByteArray("<style>/* x */ body{margin:0} span.preheader, .other { display: none "
                      "!important; mso-hide: all }</style><body><span class=\"x  preheader\">"
                      "Pre</span>Visible")
        << QStringLiteral("Pre") << false;
    QTest::newRow("id hidden by the style sheet")
        << QByteArray("<style>#pre{max-height:0;overflow:hidden}</style><body><div id=pre>Pre"
                      "</div>Visible")
        << QStringLiteral("Pre") << false;
    QTest::newRow("class hidden only on some screens shows")
        << QByteArray("<style>@media (max-width:600px){.desktop{display:none}}</style><body>"
                      "<div class=desktop>Shown</div>")
        << QStringLiteral("Shown") << true;
    QTest::newRow("class hidden in a complex selector shows")
        << QByteArray("<style>table .pre{display:none}</style><body><div class=pre>Shown</div>")
        << QStringLiteral("Shown") << true;
    QTest::newRow("style sheet cut short")
        << QByteArray("<style>.a{color:red} .pre{display:none") << QString() << true;
    QTest::newRow("inside a table cell")
        << QByteArray("<body><table><tr><td><span style=\"display:none!important\">Pre <b>bold"
                      "</b> end</span><p>Visible</p>")
        << QStringLiteral("Pre bold end") << false;
    QTest::newRow("entities and blocks")
        << QByteArray("<body><div style=\"display:none\"><p>Caf&eacute; &amp; more&hellip;</p>"
                      "<p>&amp;nbsp; stays</p></div>")
        << QStringLiteral("Caf\u00e9 & more\u2026 &nbsp; stays") << false;
    QTest::newRow("comment inside") << QByteArray("<body><div style=display:none>A<!-- B -->C"
                                                  "</div>x")
                                    << QStringLiteral("AC") << false;
    QTest::newRow("empty hidden element is passed over")
        << QByteArray("<body><div style=\"display:none\"> &zwnj; </div>"
                      "<div style=\"display:none\">Real</div>x")
        << QStringLiteral("Real") << false;
    QTest::newRow("paragraph closed by the next one")
        << QByteArray("<body><p style=\"display:none\">Pre<p>Visible") << QStringLiteral("Pre")
        << false;
    QTest::newRow("no body tag") << QByteArray("<title>T</title><div hidden>Pre</div>x")
                                 << QStringLiteral("Pre") << false;
    QTest::newRow("missing: the visible text instead")
        << QByteArray("<html><head><title>Title</title><style>p{color:red}</style></head><body>"
                      "<script>var x;</script><h1>Welcome</h1>\n  <p>Our\tnews</p></body>")
        << QStringLiteral("Welcome Our news") << true;
    QTest::newRow("missing: hidden elements left out of the visible text")
        << QByteArray("<body><h1>Welcome</h1><div style=\"display:none\">Mobile menu</div>"
                      "<p>News</p>")
        << QStringLiteral("Welcome News") << true;
    QTest::newRow("missing: head text left out")
        << QByteArray("<html><head><meta name=x></head><body>Body text")
        << QStringLiteral("Body text") << true;
    QTest::newRow("missing: inline elements join words")
        << QByteArray("<body><p><b>Bo</b>ld <a href=\"#\">li<img alt=\"\">nk</a></p>")
        << QStringLiteral("Bold link") << true;
    QTest::newRow("empty body") << QByteArray("<body></body>") << QString() << true;
    QTest::newRow("unterminated hidden element")
        << QByteArray("<body><div style=\"display:none\">Pre") << QStringLiteral("Pre") << false;
    QTest::newRow("unterminated comment")
        << QByteArray("<body>Text<!-- <div hidden>Pre") << QStringLiteral("Text") << true;
}

void TestRecipientView::preheader()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, preheader);
    QFETCH(bool, missing);

    const InboxLine line = readInboxLine(QByteArray("Subject: s\r\n\r\nx"), html);
    QCOMPARE(line.preheader, preheader);
    QCOMPARE(line.preheaderMissing, missing);
}

// The fixture through the path the preview takes: staged, then read.
void TestRecipientView::newsletterEndToEnd()
{
    const QByteArray newsletter = readFixture("newsletter.eml");
    QVERIFY(!newsletter.isEmpty());
    QTemporaryDir dir;
    const Result<TemplateStaging::StagedPage> staged = TemplateStaging::stageMessage(
        newsletter, dir.filePath(QStringLiteral("p")), QStringLiteral("page.html"));
    QVERIFY2(staged, qPrintable(staged.status().message()));

    const InboxLine line = readInboxLine(newsletter, staged->html);
    QCOMPARE(line.senderName, QStringLiteral("Caf\u00e9 Cr\u00e8me"));
    QCOMPARE(line.senderAddress, QStringLiteral("hello@cafe-creme.example"));
    QCOMPARE(line.subject, QStringLiteral("Our autumn menu is here and a caf\u00e9 is on us"));
    QCOMPARE(line.preheader,
             QStringLiteral("Pumpkin soup, chestnut cake and a free coffee this week"));
    QVERIFY(!line.preheaderMissing);

    const InboxCut phone = cutForPhone(line);
    QCOMPARE(phone.subject, QStringLiteral("Our autumn menu is here and a\u2026"));
    QCOMPARE(phone.preheader, line.preheader);

    QVERIFY(hasOwnDarkRules(staged->html));
    QCOMPARE(fetches(withImagesBlocked(staged->html)), QStringList());
    QVERIFY(!fetches(staged->html).isEmpty());

    const std::optional<QString> text = readPlainText(newsletter);
    QVERIFY(text);
    QVERIFY(text->startsWith(QStringLiteral("Our autumn menu is here\n\nPumpkin soup, chestnut "
                                            "cake and a caf\u00e9 on us this week.\n")));
    QVERIFY(text->contains(QStringLiteral("\n  Indented  line   with   spaces\n")));
    QVERIFY(!text->contains(QLatin1Char('\r')));
}

void TestRecipientView::cuts_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("preheader");
    QTest::addColumn<QStringList>("phone");   // sender, subject, preheader
    QTest::addColumn<QStringList>("desktop"); // sender, subject, preheader

    QTest::newRow("short texts stay whole")
        << QStringLiteral("Shop") << QStringLiteral("Hi") << QStringLiteral("Read on")
        << QStringList{"Shop", "Hi", "Read on"} << QStringList{"Shop", "Hi", "Read on"};
    // Room 28: a word ends at 26, inside the last 30%.
    QTest::newRow("cut at a word")
        << QStringLiteral("Northwind Traders and Sons Newsletter") << QStringLiteral("Hi")
        << QString() << QStringList{"Northwind Traders and Sons" + ellipsis, "Hi", ""}
        << QStringList{"Northwind Traders and" + ellipsis, "Hi", ""};
    // The last blank before the cut is too far back: the word is cut.
    QTest::newRow("cut inside a long word")
        << QStringLiteral("Northwind Internationalisationdepartment") << QStringLiteral("Hi")
        << QString() << QStringList{"Northwind Internationalisat" + ellipsis, "Hi", ""}
        << QStringList{"Northwind International" + ellipsis, "Hi", ""};
    QTest::newRow("no punctuation before the ellipsis")
        << QStringLiteral("Shop") << QStringLiteral("Pumpkin soup, chestnut cake, apples")
        << QString() << QStringList{"Shop", "Pumpkin soup, chestnut cake" + ellipsis, ""}
        << QStringList{"Shop", "Pumpkin soup, chestnut cake, apples", ""};
    const QString subject100 = QStringLiteral("word ").repeated(20).trimmed() + "s";
    const QString preheader = QStringLiteral("Pumpkin soup and chestnut cake this week");
    // 100 + 3 for the separator leaves 17 for the preheader.
    QTest::newRow("desktop preheader takes what the subject leaves")
        << QStringLiteral("Shop") << subject100 << preheader
        << QStringList{"Shop", "word word word word word word" + ellipsis, preheader}
        << QStringList{"Shop", subject100, "Pumpkin soup and" + ellipsis};
    const QString subject115 = subject100 + QStringLiteral(" more words");
    QTest::newRow("no room left for the preheader")
        << QStringLiteral("Shop") << subject115 << preheader
        << QStringList{"Shop", "word word word word word word" + ellipsis, preheader}
        << QStringList{"Shop", subject115, ""};
    // U+1F383 is two UTF-16 units; the cut never splits it.
    const QString pumpkin = QString::fromUcs4(U"\U0001F383");
    QTest::newRow("character outside the basic plane")
        << QStringLiteral("Shop") << QStringLiteral("a").repeated(32) + pumpkin + "b" << QString()
        << QStringList{"Shop", QStringLiteral("a").repeated(32) + ellipsis, ""}
        << QStringList{"Shop", QStringLiteral("a").repeated(32) + pumpkin + "b", ""};
}

void TestRecipientView::cuts()
{
    QFETCH(QString, sender);
    QFETCH(QString, subject);
    QFETCH(QString, preheader);
    QFETCH(QStringList, phone);
    QFETCH(QStringList, desktop);

    InboxLine line;
    line.senderName = sender;
    line.subject = subject;
    line.preheader = preheader;
    const InboxCut onPhone = cutForPhone(line);
    QCOMPARE((QStringList{onPhone.sender, onPhone.subject, onPhone.preheader}), phone);
    const InboxCut onDesktop = cutForDesktop(line);
    QCOMPARE((QStringList{onDesktop.sender, onDesktop.subject, onDesktop.preheader}), desktop);
}

// Whatever the text, a cut fits its room and says so with its ellipsis.
void TestRecipientView::cutsFitTheirRoom()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 500; ++round) {
        QString text;
        const int length = int(random.bounded(200));
        while (text.size() < length)
            text += random.bounded(6) == 0 ? QStringLiteral(" ") : QStringLiteral("x");
        InboxLine line;
        line.senderName = line.subject = line.preheader =
            text.trimmed().isEmpty() ? QStringLiteral("x") : text.trimmed();
        const InboxCut phone = cutForPhone(line);
        const InboxCut desktop = cutForDesktop(line);
        const QList<std::pair<QString, qsizetype>> shown = {{phone.sender, 28},
                                                            {phone.subject, 34},
                                                            {phone.preheader, 90},
                                                            {desktop.sender, 24},
                                                            {desktop.subject, 120}};
        for (const auto& [cut, room] : shown) {
            QVERIFY2(cut.size() <= room, qPrintable(cut));
            QCOMPARE(cut.endsWith(ellipsis), line.subject.size() > room);
            QVERIFY(line.subject.startsWith(cut.chopped(cut.endsWith(ellipsis) ? 1 : 0)));
        }
        QVERIFY(desktop.preheader.isEmpty() ||
                desktop.subject.size() + desktop.preheader.size() + 3 <= 120);
    }
}

void TestRecipientView::inboxPageEscapesAndFetchesNothing_data()
{
    QTest::addColumn<bool>("missing");
    QTest::newRow("preheader") << false;
    QTest::newRow("preheader missing") << true;
}

void TestRecipientView::inboxPageEscapesAndFetchesNothing()
{
    QFETCH(bool, missing);

    InboxLine line;
    line.senderName = QStringLiteral("<img src=x onerror=alert(1)>");
    line.subject = QStringLiteral("</title><script>alert(1)</script>");
    line.preheader = QStringLiteral("</pre><a href=\"file:///etc/passwd\">%1 & %2</a>");
    line.preheaderMissing = missing;
    const QByteArray page = inboxPage(line);

    QVERIFY(page.startsWith("<!DOCTYPE html>"));
    QVERIFY(page.contains("<meta charset=\"utf-8\">"));
    QVERIFY(!page.contains("<script"));
    QVERIFY(!page.contains("<img"));
    QVERIFY(!page.contains("<a "));
    QVERIFY(page.contains("&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;"));
    QVERIFY(page.contains("%1 &amp; %2"));
    QCOMPARE(fetches(page), QStringList());
    QCOMPARE(page.contains("This template has no preheader"), missing);
    QVERIFY(page.contains("On a phone"));
    QVERIFY(page.contains("On a desktop"));
}

void TestRecipientView::plainText_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<std::optional<QString>>("text");

    QTest::newRow("alternative") << alternative("text/plain; charset=utf-8",
                                                "Line one\r\n\r\n  Line two")
                                 << std::optional(QStringLiteral("Line one\n\n  Line two"));
    QTest::newRow("charset and transfer encoding")
        << alternative("text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: "
                       "quoted-printable",
                       "Caf=E9 cr=E8me=\r\n on us")
        << std::optional(QStringLiteral("Caf\u00e9 cr\u00e8me on us"));
    QTest::newRow("invalid UTF-8") << alternative("text/plain; charset=utf-8", "a\xff\xfe b")
                                   << std::optional(QStringLiteral("a\ufffd\ufffd b"));
    QTest::newRow("only plain text") << message("Subject: s\r\n", "text/plain", "Just text\r\n")
                                     << std::optional(QStringLiteral("Just text\n"));
    QTest::newRow("only HTML") << message("Subject: s\r\n", "text/html", "<p>Hi</p>")
                               << std::optional<QString>();
    QTest::newRow("attached text file is not the text")
        << message("Subject: s\r\n", "multipart/mixed; boundary=m",
                   "--m\r\nContent-Type: text/html\r\n\r\n<p>Hi</p>\r\n--m\r\n"
                   "Content-Type: text/plain\r\nContent-Disposition: attachment; "
                   "filename=notes.txt\r\n\r\nNotes\r\n--m--\r\n")
        << std::optional<QString>();
    QTest::newRow("alternative around related HTML, in a mixed")
        << message("Subject: s\r\n", "multipart/mixed; boundary=m",
                   "--m\r\nContent-Type: multipart/alternative; boundary=a\r\n\r\n"
                   "--a\r\nContent-Type: text/plain\r\n\r\nThe text\r\n"
                   "--a\r\nContent-Type: multipart/related; boundary=r\r\n\r\n"
                   "--r\r\nContent-Type: text/html\r\n\r\n<p>Hi</p>\r\n--r--\r\n"
                   "--a--\r\n--m\r\nContent-Type: text/plain\r\n\r\nFooter\r\n--m--\r\n")
        << std::optional(QStringLiteral("The text"));
    QTest::newRow("not a message") << QByteArray() << std::optional<QString>();
}

void TestRecipientView::plainText()
{
    QFETCH(QByteArray, message);
    QFETCH(std::optional<QString>, text);

    const std::optional<QString> read = readPlainText(message);
    QCOMPARE(read.has_value(), text.has_value());
    if (text)
        QCOMPARE(*read, *text);
}

void TestRecipientView::plainTextIsBounded()
{
    // Two-byte characters throughout, so that the bound falls inside one.
    const QByteArray huge = QByteArray("\xc3\xa9").repeated(700 * 1024);
    const std::optional<QString> text =
        readPlainText(message("Subject: s\r\n", "text/plain; charset=utf-8", huge));
    QVERIFY(text);
    const qsizetype shown = text->indexOf(QLatin1Char('\n'));
    QCOMPARE(shown, 512 * 1024);
    QCOMPARE(text->left(shown), QString(shown, QChar(0xe9)));
    QVERIFY(text->mid(shown + 1).contains(QStringLiteral("too long")));
}

void TestRecipientView::plainTextPage_data()
{
    QTest::addColumn<std::optional<QString>>("text");
    QTest::addColumn<QByteArrayList>("shown");

    QTest::newRow("text") << std::optional(QStringLiteral("Hello\n  world"))
                          << QByteArrayList{"<pre class=\"text\">Hello\n  world</pre>"};
    QTest::newRow("hostile text")
        << std::optional(QStringLiteral("</pre><script>alert(1)</script><img src=x>"))
        << QByteArrayList{"&lt;/pre&gt;&lt;script&gt;alert(1)&lt;/script&gt;&lt;img src=x&gt;"};
    QTest::newRow("none") << std::optional<QString>()
                          << QByteArrayList{"This template has no plain-text part."};
    QTest::newRow("empty") << std::optional(QStringLiteral("\n  \n"))
                           << QByteArrayList{"The plain-text part of this template is empty."};
    QTest::newRow("not Latin") << std::optional(
                                      QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442 \u2615"))
                               << QByteArrayList{"\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 "
                                                 "\xe2\x98\x95"};
}

void TestRecipientView::plainTextPage()
{
    QFETCH(std::optional<QString>, text);
    QFETCH(QByteArrayList, shown);

    const QByteArray page =
        RecipientView::plainTextPage(QStringLiteral("Autumn <b>&</b> %1"), text);
    QVERIFY(page.startsWith("<!DOCTYPE html>"));
    QVERIFY(page.contains("<meta charset=\"utf-8\">"));
    QVERIFY(page.contains("Autumn &lt;b&gt;&amp;&lt;/b&gt; %1"));
    QVERIFY(!page.contains("<script"));
    QVERIFY(!page.contains("<img"));
    QVERIFY(!page.contains("<b>"));
    QCOMPARE(fetches(page), QStringList());
    for (const QByteArray& piece : shown)
        QVERIFY2(page.contains(piece), piece.constData());
    QVERIFY(page.contains("monospace"));
}

QTEST_GUILESS_MAIN(TestRecipientView)
#include "tst_recipientview.moc"
