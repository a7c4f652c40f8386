#include "core/gallery/check/sendcheck.h"
#include "core/gallery/check/spamcheck.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace SendCheck;

namespace {

struct Picture
{
    QByteArray contentId;
    QByteArray png;
};

QByteArray png(int width, int height, bool noisy)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (noisy) {
        QRandomGenerator random(7);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, random.generate());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A message as a template decodes to: the HTML, a plain-text alternative
// when given, and pictures the HTML names by cid:.
QByteArray message(const QByteArray& html, const QByteArray& plain = "The words.\n",
                   const QList<Picture>& pictures = {},
                   const QByteArray& subject = "Our autumn letter")
{
    QByteArray htmlPart = "Content-Type: text/html; charset=UTF-8\r\n"
                          "Content-Transfer-Encoding: 8bit\r\n\r\n" +
                          html + "\r\n";
    if (!pictures.isEmpty()) {
        QByteArray related =
            "Content-Type: multipart/related; boundary=\"rel\"\r\n\r\n--rel\r\n" + htmlPart;
        for (const Picture& picture : pictures)
            related += "--rel\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n"
                       "Content-ID: <" +
                       picture.contentId + ">\r\n\r\n" + picture.png.toBase64() + "\r\n";
        htmlPart = related + "--rel--\r\n";
    }
    QByteArray body;
    if (plain.isNull()) {
        body = htmlPart;
    } else {
        body = "Content-Type: multipart/alternative; boundary=\"alt\"\r\n\r\n"
               "--alt\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n" +
               plain + "\r\n--alt\r\n" + htmlPart + "--alt--\r\n";
    }
    return "From: \"Crumb\" <bread@crumb.example>\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\n" + body;
}

QByteArray page(const QByteArray& body)
{
    return "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"></head><body>" + body +
           "</body></html>";
}

Options withoutSpam()
{
    Options options;
    options.spam = false;
    return options;
}

const Finding* find(const Report& report, Kind kind)
{
    for (const Finding& finding : report.findings) {
        if (finding.kind == kind)
            return &finding;
    }
    return nullptr;
}

QString writeScript(const QTemporaryDir& folder, const QByteArray& text)
{
    const QString path = folder.filePath(QStringLiteral("spamassassin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + text);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class TestSendCheck : public QObject
{
    Q_OBJECT

private slots:
    void cleanPagePasses()
    {
        const Report report =
            check(message(page("<table role=\"presentation\"><tr><td><h1>Autumn</h1>"
                               "<p>Our seasonal menu.</p><a href=\"https://crumb.org/menu\">"
                               "See the menu</a></td></tr></table>")),
                  withoutSpam());
        for (const Section section : AllSections) {
            if (section != Section::Spam)
                QVERIFY2(report.verdict(section) == Verdict::Passes,
                         qPrintable(toText(report, "clean")));
        }
        QCOMPARE(report.subject, QStringLiteral("Our autumn letter"));
        QCOMPARE(report.links.size(), 1);
        QCOMPARE(report.links.first().text, QStringLiteral("See the menu"));
        QVERIFY(!report.links.first().placeholder);
    }

    // Each row trips one check with the smallest page that shows it, and
    // names the element the view scrolls to.
    void findings_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("severity");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("index");

        QTest::newRow("unsupported CSS feature")
            << page("<p>a</p><p style=\"display:flex\">b</p>") << int(Kind::UnsupportedFeature)
            << int(Severity::Problem) << "p" << 1;
        QTest::newRow("missing alt")
            << page("<img src=\"https://crumb.org/a.png\" width=\"80\">") << int(Kind::MissingAlt)
            << int(Severity::Problem) << "img" << 0;
        QTest::newRow("decorative picture with words")
            << page("<img src=\"https://crumb.org/s.gif\" width=\"1\" height=\"1\" alt=\"spacer\">")
            << int(Kind::DecorativeAlt) << int(Severity::Warning) << "img" << 0;
        QTest::newRow("layout table")
            << page("<table><tr><td>x</td></tr></table>") << int(Kind::LayoutTable)
            << int(Severity::Warning) << "table" << 0;
        QTest::newRow("skipped heading level")
            << page("<h1>a</h1><h2>b</h2><h4>c</h4>") << int(Kind::HeadingOrder)
            << int(Severity::Warning) << "h4" << 0;
        QTest::newRow("click here")
            << page("<a href=\"https://crumb.org/\">Click here!</a>") << int(Kind::VagueLinkText)
            << int(Severity::Warning) << "a" << 0;
        QTest::newRow("link without words")
            << page("<a href=\"https://crumb.org/\"><img src=\"https://crumb.org/a.png\" "
                    "alt=\"\"></a>")
            << int(Kind::EmptyLinkText) << int(Severity::Problem) << "a" << 0;
        QTest::newRow("placeholder link")
            << page("<a href=\"https://crumb.org/\">Menu</a><a href=\"https://example.com\">Shop"
                    "</a>")
            << int(Kind::PlaceholderLink) << int(Severity::Warning) << "a" << 1;
        QTest::newRow("no language")
            << QByteArray("<html><body><p>x</p></body></html>") << int(Kind::NoLanguage)
            << int(Severity::Warning) << "html" << 0;
        QTest::newRow("right-to-left text without dir")
            << page("<p>\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d</p>") << int(Kind::NoDirection)
            << int(Severity::Warning) << "html" << 0;
        QTest::newRow("clipped by Gmail")
            << page("<p>" + QByteArray(110 * 1024, 'x') + "</p>") << int(Kind::HtmlSize)
            << int(Severity::Problem) << QString() << -1;
    }

    void findings()
    {
        QFETCH(QByteArray, html);
        QFETCH(int, kind);
        QFETCH(int, severity);
        QFETCH(QString, tag);
        QFETCH(int, index);
        const Report report = check(message(html), withoutSpam());
        const Finding* finding = find(report, Kind(kind));
        QVERIFY2(finding, qPrintable(toText(report, "page")));
        QCOMPARE(int(finding->severity), severity);
        QCOMPARE(finding->where.tag, tag);
        QCOMPARE(finding->where.index, index);
        QVERIFY(!finding->text.isEmpty());
        QCOMPARE(report.verdict(finding->section),
                 severity == int(Severity::Problem) ? Verdict::Problems : Verdict::Warnings);
    }

    // Pages that look like the rows above but are fine.
    void noFinding_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<int>("kind");
        QTest::newRow("data table with headers")
            << page("<table><tr><th>Day</th></tr><tr><td>Mon</td></tr></table>")
            << int(Kind::LayoutTable);
        QTest::newRow("decorative picture with empty alt")
            << page("<img src=\"https://crumb.org/s.gif\" width=\"1\" height=\"1\" alt=\"\">")
            << int(Kind::DecorativeAlt);
        QTest::newRow("link named by aria-label")
            << page("<a href=\"https://crumb.org/\" aria-label=\"Our menu\">here</a>")
            << int(Kind::VagueLinkText);
        QTest::newRow("link named by its picture")
            << page("<a href=\"https://crumb.org/\"><img src=\"https://crumb.org/a.png\" "
                    "alt=\"Our menu\"></a>")
            << int(Kind::EmptyLinkText);
        QTest::newRow("excused feature is no problem")
            << page("<div style=\"border-radius:4px\">x</div>") << int(Kind::UnsupportedFeature);
        QTest::newRow("a conditional comment for Outlook is not linted")
            << page("<!--[if mso]><p style=\"display:flex\">x</p><![endif]-->")
            << int(Kind::UnsupportedFeature);
    }

    void noFinding()
    {
        QFETCH(QByteArray, html);
        QFETCH(int, kind);
        const Report report = check(message(html), withoutSpam());
        QVERIFY2(!find(report, Kind(kind)), qPrintable(toText(report, "page")));
    }

    void plainTextPart()
    {
        const QByteArray html = page("<p>Words</p>");
        QVERIFY(!find(check(message(html), withoutSpam()), Kind::NoPlainText));
        const Report htmlOnly = check(message(html, QByteArray()), withoutSpam());
        QVERIFY(find(htmlOnly, Kind::NoPlainText));
    }

    void pictures()
    {
        // 1600 px of noise is well over 100 KB; shown at 200 px it is
        // oversized. 100 px shown at 300 px is blurred everywhere.
        const QList<Picture> pictures{{"big", png(1600, 400, true)},
                                      {"small", png(100, 40, false)}};
        const Report report =
            check(message(page("<img src=\"cid:big\" width=\"200\" alt=\"Loaves\">"
                               "<img src=\"cid:small\" style=\"width:300px\" alt=\"Logo\">"),
                          "Loaves.\n", pictures),
                  withoutSpam());
        const Finding* oversized = find(report, Kind::OversizedImage);
        QVERIFY2(oversized, qPrintable(toText(report, "pictures")));
        QCOMPARE(oversized->where, (Locator{"img", 0, 1}));
        const Finding* blurry = find(report, Kind::BlurryImage);
        QVERIFY2(blurry, qPrintable(toText(report, "pictures")));
        QCOMPARE(blurry->where.index, 1);
        QCOMPARE(blurry->severity, Severity::Warning);
        const Finding* weight = find(report, Kind::ImageWeight);
        QVERIFY(weight);
        QVERIFY2(weight->severity >= Severity::Warning, qPrintable(weight->text));
    }

    // A hostile page costs bounded work and says what it left out.
    void bounded_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<int>("section");
        QByteArray links;
        for (int i = 0; i < 10000; ++i)
            links += "<a href=\"https://crumb.org/" + QByteArray::number(i) + "\">Item " +
                     QByteArray::number(i) + "</a>\n";
        QTest::newRow("10,000 links") << page(links) << int(Section::Links);
        QTest::newRow("deep nesting")
            << page(QByteArray("<div>").repeated(150000) + "x") << int(Section::Accessibility);
    }

    void bounded()
    {
        QFETCH(QByteArray, html);
        QFETCH(int, section);
        const Report report = check(message(html), withoutSpam());
        QVERIFY(!report.complete(Section(section)));
        QVERIFY(report.links.size() <= Options().maxLinks);
        QVERIFY(report.complete(Section::MailPrograms));
    }

    void hugeHtmlIsNotRead()
    {
        Options options = withoutSpam();
        options.maxHtmlBytes = 200 * 1024;
        const Report report =
            check(message(page("<p>" + QByteArray(300 * 1024, 'x') + "</p>")), options);
        QVERIFY(!report.complete(Section::MailPrograms));
        QVERIFY(report.complete(Section::Size));
        QCOMPARE(find(report, Kind::HtmlSize)->severity, Severity::Problem);
    }

    void spamNotInstalled()
    {
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", empty.path().toUtf8());
        const Report report = check(message(page("<p>x</p>")));
        qputenv("PATH", path);
        QVERIFY(!report.complete(Section::Spam));
        QVERIFY(!report.spamScore);
        const auto gap = std::find_if(report.notChecked.begin(), report.notChecked.end(),
                                      [](const Gap& g) { return g.section == Section::Spam; });
        QVERIFY(gap->what.contains("apt install spamassassin"));
        // The rest of the report is whole, and the section has no verdict.
        QVERIFY(report.complete(Section::Accessibility));
        QVERIFY2(toText(report, "t").contains("\nSpam: not checked\n"),
                 qPrintable(toText(report, "t")));
    }

    void spamThatNeverEnds()
    {
        QTemporaryDir folder;
        Options options;
        options.spamProgram = writeScript(folder, "cat > /dev/null\nexec sleep 300\n");
        options.spamSeconds = 1;
        QElapsedTimer timer;
        timer.start();
        const Report report = check(message(page("<p>x</p>")), options);
        QVERIFY(timer.elapsed() < 60000);
        QVERIFY(!report.spamScore);
        QVERIFY(!report.complete(Section::Spam));
        QVERIFY(report.complete(Section::Links));
    }

    void spamReportParsed()
    {
        const QByteArray output =
            "X-Spam-Status: Yes\n\nContent analysis details:   (7.3 points, 5.0 required)\n\n"
            " pts rule name              description\n"
            "---- ---------------------- --------------------------------------------------\n"
            " 0.6 MISSING_MID            Missing Message-Id: header\n"
            "-0.0 NO_RELAYS              Informational: message was not relayed via SMTP\n"
            " 2.9 MONEY_BACK             BODY: Money back guarantee\n"
            " 1.0 ADVANCE_FEE_2_NEW_MONEY Advance Fee fraud and lots of money\n"
            " 2.8 LONG_RULE              A description that goes on\n"
            "                            in a second line\n"
            "\nThe original message was not completely plain text\n";
        const SpamCheck::Result result = SpamCheck::parseReport(output);
        QCOMPARE(result.score.value_or(-1), 7.3);
        QCOMPARE(result.required, 5.0);
        QCOMPARE(result.rules.size(), 5);
        QCOMPARE(result.rules[3].name, QStringLiteral("ADVANCE_FEE_2_NEW_MONEY"));
        QCOMPARE(result.rules[4].description,
                 QStringLiteral("A description that goes on in a second line"));
        QVERIFY(!SpamCheck::parseReport("garbage").score);
    }

    // The real SpamAssassin, with local tests only, on a spammy subject and
    // body and on a plain letter.
    void spamAssassinScores()
    {
        if (SpamCheck::findProgram().isEmpty())
            QFAIL("SpamAssassin is missing; scripts/install-deps installs it");
        const Report spammy = check(message(page("<p>DEAR FRIEND, CONGRATULATIONS! You have been "
                                                 "SELECTED to receive $1,000,000 USD. 100% FREE, "
                                                 "NO RISK, MONEY BACK GUARANTEE. Act now!</p>"),
                                            "DEAR FRIEND, MONEY BACK GUARANTEE. 100% GUARANTEED.\n",
                                            {}, "FREE!!! Make MONEY fast - 100% GUARANTEED"));
        QVERIFY2(spammy.spamScore, qPrintable(toText(spammy, "spammy")));
        QCOMPARE(spammy.verdict(Section::Spam), Verdict::Problems);
        const auto rule =
            std::find_if(spammy.findings.begin(), spammy.findings.end(), [](const Finding& f) {
                return f.kind == Kind::SpamRule && f.text.startsWith("MONEY_BACK");
            });
        QVERIFY2(rule != spammy.findings.end(), qPrintable(toText(spammy, "spammy")));
        QCOMPARE(rule->severity, Severity::Warning);

        const Report plain = check(message(page("<p>Our seasonal menu is here.</p>")));
        QVERIFY(plain.spamScore);
        QVERIFY2(plain.verdict(Section::Spam) != Verdict::Problems,
                 qPrintable(toText(plain, "plain")));
    }

    void contrast_data()
    {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<double>("px");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("finding");
        QTest::newRow("black on white")
            << QColor(Qt::black) << QColor(Qt::white) << 14.0 << false << false;
        QTest::newRow("grey on white, small")
            << QColor("#777777") << QColor(Qt::white) << 14.0 << false << true;
        QTest::newRow("grey on white, large")
            << QColor("#777777") << QColor(Qt::white) << 24.0 << false << false;
        QTest::newRow("grey on white, bold 19px")
            << QColor("#777777") << QColor(Qt::white) << 19.0 << true << false;
        QTest::newRow("light grey on white, large")
            << QColor("#bbbbbb") << QColor(Qt::white) << 30.0 << false << true;
    }

    void contrast()
    {
        QFETCH(QColor, text);
        QFETCH(QColor, background);
        QFETCH(double, px);
        QFETCH(bool, bold);
        QFETCH(bool, finding);
        QCOMPARE(contrastFinding(text, background, px, bold, {"p", 0, 1}).has_value(), finding);
        QVERIFY(qAbs(contrastRatio(Qt::black, Qt::white) - 21.0) < 0.01);
        QVERIFY(smallTextFinding(13.0, {}).has_value());
        QVERIFY(!smallTextFinding(14.0, {}).has_value());
    }

    void json()
    {
        const Report report =
            check(message(page("<img src=\"https://crumb.org/a.png\"><a href=\"[unsubscribe_url]\">"
                               "Unsubscribe</a>")),
                  withoutSpam());
        const QJsonObject root = QJsonDocument::fromJson(toJson(report, "T.dat")).object();
        QCOMPARE(root["template"].toString(), QStringLiteral("T.dat"));
        QCOMPARE(root["verdict"].toString(), QStringLiteral("problems"));
        const QJsonArray sections = root["sections"].toArray();
        QCOMPARE(sections.size(), 5);
        QJsonObject accessibility;
        QJsonObject links;
        for (const QJsonValue& section : sections) {
            if (section["section"] == "accessibility")
                accessibility = section.toObject();
            if (section["section"] == "links")
                links = section.toObject();
        }
        QCOMPARE(accessibility["verdict"].toString(), QStringLiteral("problems"));
        const QJsonObject missingAlt = accessibility["findings"].toArray().first().toObject();
        QCOMPARE(missingAlt["kind"].toString(), QStringLiteral("missing-alt"));
        QCOMPARE(missingAlt["element"]["tag"].toString(), QStringLiteral("img"));
        QCOMPARE(missingAlt["element"]["index"].toInt(), 0);
        QCOMPARE(links["links"].toArray().first()["placeholder"].toBool(), true);
        QCOMPARE(links["complete"].toBool(), true);
    }
};

QTEST_GUILESS_MAIN(TestSendCheck)
#include "tst_sendcheck.moc"
