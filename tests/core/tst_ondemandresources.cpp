#include "core/gallery/check/ondemandresources.h"

#include <QTest>

using OnDemandResources::Reference;

class TestOnDemandResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QList<Reference>>("expected");

        const auto page = [](const QString& css) {
            return QStringLiteral("<html><head>\n<style>\n%1\n</style>").arg(css);
        };
        QTest::newRow("plain rule is fetched while loading")
            << page(".hero { background: url(hero.png); }") << QList<Reference>{};
        QTest::newRow("background under :hover")
            << page("a.button:hover { background-image: url('glow.png'); }")
            << QList<Reference>{{3, QStringLiteral("a.button:hover"), QStringLiteral("glow.png")}};
        QTest::newRow("one selector of a list under :focus")
            << page("a, a:FOCUS { background: url(\"f.png\") }")
            << QList<Reference>{{3, QStringLiteral("a, a:FOCUS"), QStringLiteral("f.png")}};
        QTest::newRow("inside @media, nested deeper")
            << page("@media (max-width: 480px) {\n  @supports (display: grid) {\n    .x { "
                    "background: URL(small.png) }\n  }\n}")
            << QList<Reference>{
                   {5, QStringLiteral("@media (max-width: 480px)"), QStringLiteral("small.png")}};
        QTest::newRow("dark-mode colours without url() are fine")
            << page("@media (prefers-color-scheme: dark) { .q { background-color: rgb(0,0,0) "
                    "!important; } }")
            << QList<Reference>{};
        QTest::newRow("url( in a comment or a string is not a fetch")
            << page("/* a:hover { background: url(x.png) } */ a:hover { content: \"url(y.png)\"; }")
            << QList<Reference>{};
        QTest::newRow("brace in a string does not close the block")
            << page("@media screen { .a { content: \"}\"; } .b { background: url(b.png) } }")
            << QList<Reference>{{3, QStringLiteral("@media screen"), QStringLiteral("b.png")}};
        QTest::newRow("second style block, after the @media block has closed")
            << QStringLiteral("<style>@media print { .p { color: red } }</style>\n<style>\n.q { "
                              "background: url(q.png) }\n"
                              ".r:active { background: url(r.png) }</style>")
            << QList<Reference>{{4, QStringLiteral(".r:active"), QStringLiteral("r.png")}};
        QTest::newRow("unterminated style block is scanned to the end")
            << QStringLiteral("<STYLE type=\"text/css\">a:hover{background:url(h.png)")
            << QList<Reference>{{1, QStringLiteral("a:hover"), QStringLiteral("h.png")}};
        QTest::newRow("a :hover word in an attribute outside style is ignored")
            << QStringLiteral(
                   "<div style=\"background:url(a.png)\">a:hover { background: url(b.png) }</div>")
            << QList<Reference>{};
    }

    void find()
    {
        QFETCH(QString, html);
        QFETCH(QList<Reference>, expected);
        QCOMPARE(OnDemandResources::find(html), expected);
    }
};

QTEST_GUILESS_MAIN(TestOnDemandResources)
#include "tst_ondemandresources.moc"
