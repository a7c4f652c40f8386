#include "core/html/outlookmodel.h"

#include <QRandomGenerator>
#include <QTest>

// The model must drop what the Word engine ignores and nothing else, or the
// render check would pass templates that fall apart in Outlook. It reads
// untrusted pages, so hostile ones must give a page too, and in one pass.
class TestOutlookModelView : public QObject
{
    Q_OBJECT

private slots:
    void conditionalComments_data();
    void conditionalComments();
    void inlineStyles_data();
    void inlineStyles();
    void styleSheets_data();
    void styleSheets();
    void mediaBlockWithoutEnd_data();
    void mediaBlockWithoutEnd();
    void hostilePagesEndInOnePass_data();
    void hostilePagesEndInOnePass();
    void anySoupGivesAPage();
};

namespace {

// The current row's page as the model sees it is the row's expected page.
void compareViewOfRow()
{
    QFETCH(QString, page);
    QFETCH(QString, expected);
    const Result<QString> view = OutlookModel::outlookView(page);
    QVERIFY2(view.ok(), qPrintable(view.status().message()));
    QCOMPARE(*view, expected);
}

} // namespace

void TestOutlookModelView::conditionalComments_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");
    QTest::newRow("for Outlook") << "<p>a</p><!--[if mso]><table><tr><td><![endif]-->b"
                                 << "<p>a</p><table><tr><td>b";
    QTest::newRow("mso or IE") << "<!--[if mso | IE]><td width=\"270\"><![endif]-->"
                               << "<td width=\"270\">";
    QTest::newRow("Outlook 2007 on") << "<!--[if gte mso 9]>x<![endif]-->"
                                     << "x";
    QTest::newRow("brackets and capitals") << "<!--[if (MSO)|(IE)]>x<![endif]-->"
                                           << "x";
    QTest::newRow("hidden from Outlook")
        << "a<!--[if !mso]><!--><div>web only</div><!--<![endif]-->b"
        << "ab";
    QTest::newRow("revealed for Outlook too") << "a<!--[if mso]><!-->x<!--<![endif]-->b"
                                              << "axb";
    QTest::newRow("Internet Explorer only") << "a<!--[if IE]>x<![endif]-->b"
                                            << "ab";
    QTest::newRow("a word that holds mso") << "a<!--[if msoffice]>x<![endif]-->b"
                                           << "ab";
    QTest::newRow("not for Outlook") << "a<!--[if !mso]>x<![endif]-->b"
                                     << "ab";
    QTest::newRow("an ordinary comment stays") << "a<!-- note -->b"
                                               << "a<!-- note -->b";
    QTest::newRow("a conditional inside an ordinary comment stays hidden")
        << "a<!-- old: <!--[if mso]>x -->b<![endif]-->c"
        << "a<!-- old: <!--[if mso]>x -->b<![endif]-->c";
    QTest::newRow("the first end closes it") << "<!--[if mso]>a<!--[if gte mso 9]>b<![endif]-->c"
                                             << "a<!--[if gte mso 9]>bc";
    QTest::newRow("document settings")
        << "<!--[if mso]><xml><o:OfficeDocumentSettings><o:PixelsPerInch>96"
           "</o:PixelsPerInch></o:OfficeDocumentSettings></xml><![endif]-->"
        << "";
    QTest::newRow("document settings outside a conditional") << "a<XML><o:x/></Xml>b"
                                                             << "ab";
    QTest::newRow("settings without an end stay") << "a<xml><o:x/>b"
                                                  << "a<xml><o:x/>b";
    QTest::newRow("a conditional without an end stays a comment")
        << "a<!--[if mso]><td style=\"padding:4px\">b -->c"
        << "a<!--[if mso]><td style=\"padding:4px\">b -->c";
    QTest::newRow("a revealed block without an end is seen as a browser sees it")
        << "a<!--[if !mso]><!--><div style=\"padding:4px\">b</div>"
        << "a<!--[if !mso]><!--><div style=\"\">b</div>";
}

void TestOutlookModelView::conditionalComments()
{
    compareViewOfRow();
}

void TestOutlookModelView::inlineStyles_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inline-block column")
        << "div"
        << "display:inline-block;width:100%;max-width:270px;vertical-align:top;"
        << "width:100%;vertical-align:top";
    QTest::newRow("flex row") << "div"
                              << "display: flex; gap:8px"
                              << "gap:8px";
    QTest::newRow("important changes nothing") << "div"
                                               << "DISPLAY: Inline-Block !important;color:red"
                                               << "color:red";
    QTest::newRow("padding on a div") << "div"
                                      << "padding:12px 16px;text-align:left"
                                      << "text-align:left";
    QTest::newRow("padding on a cell") << "td"
                                       << "padding:12px 16px;text-align:left"
                                       << "padding:12px 16px;text-align:left";
    QTest::newRow("button link") << "a"
                                 << "display:inline-block;padding:14px 28px;color:#fff;"
                                    "border-radius:8px"
                                 << "color:#fff";
    QTest::newRow("one side of padding on a link") << "a"
                                                   << "padding-left:9px;color:#fff"
                                                   << "color:#fff";
    QTest::newRow("button cell") << "td"
                                 << "padding:2px;border-radius:8px;background-color:#c00;"
                                    "mso-padding-alt:14px 28px;"
                                 << "background-color:#c00;padding:14px 28px";
    QTest::newRow("background pictures")
        << "td"
        << "background-image:url(a.png);background:#fff url(b.png);color:#000"
        << "color:#000";
    QTest::newRow("a picture the engine reads through an escape")
        << "td"
        << "background:#fff \\75 rl(b.png);color:#000"
        << "color:#000";
    QTest::newRow("plain background") << "td"
                                      << "background:#ffffff"
                                      << "background:#ffffff";
    QTest::newRow("fluid image") << "img"
                                 << "display:block;width:100%;max-width:600px;"
                                    "height:auto;border:0"
                                 << "display:block;border:0";
    QTest::newRow("hidden preheader")
        << "div"
        << "display:none;max-height:0;overflow:hidden;opacity:0;mso-hide:all"
        << "display:none;display:none";
    QTest::newRow("block span") << "span"
                                << "display:block;font-size:13px"
                                << "font-size:13px";
    QTest::newRow("hidden span") << "span"
                                 << "display:none"
                                 << "display:none";
    QTest::newRow("margin on a span") << "span"
                                      << "margin:4px;color:red"
                                      << "color:red";
    QTest::newRow("centring margin") << "table"
                                     << "margin:8px auto 0"
                                     << "margin:8px 0 0";
    QTest::newRow("margin on a paragraph stays") << "p"
                                                 << "margin:0 0 16px;line-height:26px"
                                                 << "margin:0 0 16px;line-height:26px";
    QTest::newRow("a semicolon in a string splits nothing")
        << "td"
        << "font-family:'A;B', serif;padding:4px"
        << "font-family:'A;B', serif;padding:4px";
    QTest::newRow("a comment hides no declaration") << "a"
                                                    << "/* x */padding:4px;color:red"
                                                    << "color:red";
}

void TestOutlookModelView::inlineStyles()
{
    QFETCH(QString, tag);
    QFETCH(QString, style);
    QFETCH(QString, expected);
    const QString page = QStringLiteral("<%1 style=\"%2\">x</%1>").arg(tag, style);
    const Result<QString> view = OutlookModel::outlookView(page);
    QVERIFY2(view.ok(), qPrintable(view.status().message()));
    QCOMPARE(*view, QStringLiteral("<%1 style=\"%2\">x</%1>").arg(tag, expected));
}

void TestOutlookModelView::styleSheets_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");
    QTest::newRow("media blocks go, the rest stays")
        << "<style>\n.a { color: red; }\n@media (max-width: 480px) { .b { padding: 0; } }\n"
           "@media (prefers-color-scheme: dark) { .c { color: #fff; } .d { color: #000; } }\n"
           "</style><div class=\"q-col\" style=\"display:inline-block;max-width:270px;\">"
           "<img src=\"x.png\" width=\"238\" height=\"153\" style=\"width:100%;height:auto;\">"
           "</div>"
        << "<style>\n.a { color: red; }\n\n\n</style><div class=\"q-col\" style=\"\">"
           "<img src=\"x.png\" width=\"238\" height=\"153\" style=\"\"></div>";
    QTest::newRow("braces in strings and comments")
        << "<style>@MEDIA screen { .a::after { content: \"}\" } /* } */ } .b{}</style>"
        << "<style> .b{}</style>";
    QTest::newRow("@media in a string or comment is no block")
        << "<style>.a::after { content: \"@media {\" } /* @media { */</style>"
        << "<style>.a::after { content: \"@media {\" } /* @media { */</style>";
    QTest::newRow("another at-rule stays") << "<style>@media-x { } @font-face { }</style>"
                                           << "<style>@media-x { } @font-face { }</style>";
    QTest::newRow("a style element in a conditional")
        << "<!--[if mso]><style>@media all { .a{} } .b{}</style><![endif]-->"
        << "<style> .b{}</style>";
    QTest::newRow("a tag with a '>' in a value before its style")
        << "<a title=\"1 > 0\" style=\"padding:4px\">x</a>"
        << "<a title=\"1 > 0\" style=\"\">x</a>";
    QTest::newRow("a style in single quotes with a double quote inside")
        << "<td style='font-family:\"A\";padding:2px'>x</td>"
        << "<td style=\"font-family:&quot;A&quot;;padding:2px\">x</td>";
    QTest::newRow("character references in a style")
        << "<a style=\"font-family:&quot;A&quot;;padding:4px\">x</a>"
        << "<a style=\"font-family:&quot;A&quot;\">x</a>";
    QTest::newRow("an unquoted style") << "<div style=max-width:9px>x</div>"
                                       << "<div style=\"\">x</div>";
    QTest::newRow("markup in a script's text is text")
        << "<script>'<div style=\"padding:4px\">'</script>"
        << "<script>'<div style=\"padding:4px\">'</script>";
}

void TestOutlookModelView::styleSheets()
{
    compareViewOfRow();
}

void TestOutlookModelView::mediaBlockWithoutEnd_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("inner block closed, outer not")
        << "<style>@media screen { .a { color: red; }</style>";
    QTest::newRow("no block at all") << "<style>.a{} @media screen</style>";
    QTest::newRow("its end in a comment") << "<style>@media screen { .a{} /* } */</style>";
}

void TestOutlookModelView::mediaBlockWithoutEnd()
{
    QFETCH(QString, page);
    const Result<QString> view = OutlookModel::outlookView(page);
    QVERIFY(!view.ok());
    QCOMPARE(view.status().message(),
             QStringLiteral("an @media block in the style sheet has no end"));
}

void TestOutlookModelView::hostilePagesEndInOnePass_data()
{
    // Large enough that reading the rest of the page again at every opening
    // would not finish within the test's time.
    const qsizetype n = 200000;
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");
    const QString unclosed = QStringLiteral("<!--[if mso]>x").repeated(n);
    QTest::newRow("openings without an end") << unclosed << unclosed;
    const QString revealed = QStringLiteral("<!--[if !mso]><!-->x").repeated(n);
    QTest::newRow("revealed openings without an end") << revealed << revealed;
    const QString conditions = QStringLiteral("<!--[if ").repeated(n) + QStringLiteral("mso]>");
    QTest::newRow("conditions that end far away") << conditions << conditions;
    const QString settings = QStringLiteral("<xml>").repeated(n);
    QTest::newRow("settings without an end") << settings << settings;
    const QString closed =
        QStringLiteral("<!--[if mso]><td style=\"padding:1px;max-width:2px\"><![endif]-->")
            .repeated(n / 10);
    QTest::newRow("many closed conditionals")
        << closed << QStringLiteral("<td style=\"padding:1px\">").repeated(n / 10);
    const QString media = QStringLiteral("<style>") + QStringLiteral("@media a{.b{}}").repeated(n) +
                          QStringLiteral(".c{}</style>");
    QTest::newRow("many media blocks") << media << QStringLiteral("<style>.c{}</style>");
}

void TestOutlookModelView::hostilePagesEndInOnePass()
{
    QFETCH(QString, page);
    QFETCH(QString, expected);
    const Result<QString> view = OutlookModel::outlookView(page);
    QVERIFY2(view.ok(), qPrintable(view.status().message()));
    QVERIFY(*view == expected);
}

void TestOutlookModelView::anySoupGivesAPage()
{
    // Pieces of every construct the model reads, in random order: whatever
    // they add up to, the model ends with a whole page, or with the one error
    // when a style sheet's @media block is cut off.
    const QStringList pieces = {"<!--[if mso]>",
                                "<![endif]-->",
                                "<!--[if !mso]><!-->",
                                "<!--<![endif]-->",
                                "<!--",
                                "-->",
                                "<xml>",
                                "</xml>",
                                "<style>",
                                "</style>",
                                "@media x{",
                                "}",
                                "{",
                                "\"",
                                "'",
                                "/*",
                                "*/",
                                "<td style=\"padding:1px;",
                                "\">",
                                "<a style='",
                                "'>",
                                "x",
                                ">",
                                "<",
                                "]",
                                "&quot;",
                                "\\",
                                "é"};
    QRandomGenerator random(7);
    for (int round = 0; round < 2000; ++round) {
        QString page;
        const int length = random.bounded(1, 40);
        for (int i = 0; i < length; ++i)
            page += pieces[random.bounded(int(pieces.size()))];
        const Result<QString> view = OutlookModel::outlookView(page);
        if (!view.ok())
            QVERIFY2(page.contains(QLatin1String("@media")), qPrintable(page));
        else // cut only between whole characters
            QVERIFY2(!view->contains(QChar::ReplacementCharacter), qPrintable(page));
    }
}

QTEST_MAIN(TestOutlookModelView)
#include "tst_outlookmodelview.moc"
