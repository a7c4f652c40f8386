// Shows every template as Outlook for Windows reads it, through OutlookCheck,
// and checks what that engine is known to break: columns that stack because
// it knows no inline-block, buttons that lose their padding, a tagline that
// runs into the brand name. A model, not Outlook.

#include "outlookcheck.h"
#include "templaterender.h"

#include <QTemporaryDir>

using namespace TemplateRender;

namespace {

QString column(int width, const QString& content)
{
    return QStringLiteral("<div class=\"q-col\" style=\"display:inline-block;width:100%;"
                          "max-width:%1px;vertical-align:top;\">%2</div>")
        .arg(width)
        .arg(content);
}

QString fixture(const QString& rows)
{
    return QStringLiteral("<!DOCTYPE html><html><body><table width=\"600\"><tr>"
                          "<td class=\"q-panel\" style=\"font-size:0;\">%1</td></tr></table>"
                          "</body></html>")
        .arg(rows);
}

// An author's page: none of the shipped templates' classes.
QString authorPage(const QString& body)
{
    return QStringLiteral("<!DOCTYPE html><html><body style=\"margin:0\"><table width=\"600\" "
                          "role=\"presentation\"><tr><td>%1</td></tr></table></body></html>")
        .arg(body);
}

QString box(const QString& style, const QString& text)
{
    return QStringLiteral("<div style=\"%1width:180px;\"><p style=\"font-size:16px;\">%2</p></div>")
        .arg(style, text);
}

const QString Button =
    QStringLiteral("<table><tr><td class=\"q-button\" style=\"background-color:#c00;%1\">"
                   "<a href=\"#\" style=\"display:inline-block;padding:14px 28px;font-size:16px;"
                   "line-height:20px;\">Buy</a></td></tr></table>");

const QString AuthorLink =
    QStringLiteral("<a href=\"#\" style=\"display:inline-block;padding:12px 24px;"
                   "background-color:#0a5;color:#fff;font-size:16px;line-height:20px;\">"
                   "Shop now</a>");

} // namespace

class TestOutlookModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The check itself must see each fault the model is there to show.
    void checkSeesFaults_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("fault");
        const QString a = QStringLiteral("<p style=\"font-size:16px;\">a</p>");
        const QString two = column(270, a) + column(270, a);
        QTest::newRow("columns without a table for Outlook")
            << fixture(two) << QStringLiteral("row 0: its 2 columns stack");
        QTest::newRow("columns held by a table for Outlook")
            << fixture(QStringLiteral("<!--[if mso]><table><tr><td width=\"270\"><![endif]-->") +
                       column(270, a) +
                       QStringLiteral("<!--[if mso]></td><td width=\"270\"><![endif]-->") +
                       column(270, a) +
                       QStringLiteral("<!--[if mso]></td></tr></table><![endif]-->"))
            << QString();
        QTest::newRow("button padded on its link only")
            << fixture(Button.arg(QString())) << QStringLiteral("button \"Buy\" lost its padding");
        QTest::newRow("button padded on its cell for Outlook")
            << fixture(Button.arg(QStringLiteral("mso-padding-alt:14px 28px;"))) << QString();
        QTest::newRow("tagline in a span after the name")
            << fixture(QStringLiteral("<span class=\"q-brand\" style=\"font-size:20px;\">Harbour"
                                      "</span><span style=\"display:block;font-size:13px;\">"
                                      "Gear</span>"))
            << QStringLiteral("the tagline runs into the brand name");
        QTest::newRow("tagline in a row of its own")
            << fixture(QStringLiteral("<table><tr><td class=\"q-brand\" style=\"font-size:20px;\">"
                                      "Harbour</td></tr><tr><td style=\"font-size:13px;\">Gear"
                                      "</td></tr></table>"))
            << QString();

        // An author's template, without the shipped classes.
        const QString inlineBlock = QStringLiteral("display:inline-block;vertical-align:top;");
        QTest::newRow("author's inline-block row")
            << authorPage(box(inlineBlock, QStringLiteral("Boots")) +
                          box(inlineBlock, QStringLiteral("Socks")) +
                          box(inlineBlock, QStringLiteral("Laces")))
            << QStringLiteral("the 3 boxes side by side from \"Boots\" stack");
        QTest::newRow("author's flexbox row")
            << authorPage(QStringLiteral("<div style=\"display:flex;\">") +
                          box(QString(), QStringLiteral("Left")) +
                          box(QString(), QStringLiteral("Right")) + QStringLiteral("</div>"))
            << QStringLiteral("the 2 boxes side by side from \"Left\" stack");
        QTest::newRow("author's row in a table for Outlook")
            << authorPage(QStringLiteral("<!--[if mso]><table role=\"presentation\"><tr><td "
                                         "width=\"180\"><![endif]-->") +
                          box(inlineBlock, QStringLiteral("Boots")) +
                          QStringLiteral("<!--[if mso]></td><td width=\"180\"><![endif]-->") +
                          box(inlineBlock, QStringLiteral("Socks")) +
                          QStringLiteral("<!--[if mso]></td></tr></table><![endif]-->"))
            << QString();
        QTest::newRow("author's button padded on its link only")
            << authorPage(AuthorLink) << QStringLiteral("button \"Shop now\" lost its padding");
        QTest::newRow("author's button coloured by its cell, padded on its link")
            << authorPage(QStringLiteral(
                   "<table role=\"presentation\"><tr><td style=\"background-color:#0a5;\">"
                   "<a href=\"#\" style=\"display:inline-block;padding:12px 24px;color:#fff;"
                   "font-size:16px;line-height:20px;\">Book</a></td></tr></table>"))
            << QStringLiteral("button \"Book\" lost its padding");
        QTest::newRow("author's label that reads like a placeholder")
            << authorPage(QString(AuthorLink)
                              .replace(QStringLiteral("Shop now"), QStringLiteral("Save %2 now")))
            << QStringLiteral("button \"Save %2 now\" lost its padding (0 x ");
        QTest::newRow("author's button padded on its cell for Outlook")
            << authorPage(QStringLiteral("<table role=\"presentation\"><tr><td style=\""
                                         "background-color:#0a5;mso-padding-alt:12px 24px;\">") +
                          AuthorLink + QStringLiteral("</td></tr></table>"))
            << QString();
    }

    void checkSeesFaults()
    {
        QFETCH(QString, page);
        QFETCH(QString, fault);
        QTemporaryDir work;
        QFile file(work.filePath(QStringLiteral("page.html")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(page.toUtf8());
        file.close();
        const Result<OutlookCheck::Findings> findings = m_check.checkPage(file.fileName());
        QVERIFY2(findings.ok(), qPrintable(findings.status().message()));
        QVERIFY2(findings->checked > 0, "the check found something to look at");
        const QString found = findings->faults.join(QLatin1String("; "));
        if (fault.isEmpty())
            QVERIFY2(found.isEmpty(), qPrintable(found));
        else
            QVERIFY2(found.contains(fault), qPrintable(found));
    }

    void templateHoldsInOutlook_data()
    {
        QTest::addColumn<QString>("path");
        for (const QFileInfo& file : templateFiles())
            QTest::newRow(qPrintable(file.completeBaseName())) << file.filePath();
        QVERIFY(templateFiles().size() >= 30);
    }

    void templateHoldsInOutlook()
    {
        QFETCH(QString, path);
        const Result<OutlookCheck::Findings> findings = m_check.checkTemplate(path);
        QVERIFY2(findings.ok(), qPrintable(findings.status().message()));
        QVERIFY2(findings->checked > 0, "a template has buttons or columns to check");
        QVERIFY2(findings->faults.isEmpty(),
                 qPrintable(findings->faults.join(QLatin1String("; "))));
    }

    void brokenTemplateSaysWhy()
    {
        QTemporaryDir work;
        const QString path = work.filePath(QStringLiteral("Broken.dat"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a template");
        file.close();
        const Result<QStringList> faults = m_check.faults(path);
        QVERIFY(!faults.ok());
        QVERIFY2(faults.status().message().startsWith(path + QLatin1String(": ")),
                 qPrintable(faults.status().message()));
    }

private:
    OutlookCheck m_check;
};

QTEST_MAIN(TestOutlookModel)
#include "tst_outlookmodel.moc"
