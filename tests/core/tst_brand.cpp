#include "core/brand/brandapply.h"
#include "core/brand/brandcolours.h"
#include "core/brand/brandkit.h"
#include "core/brand/brandstore.h"
#include "core/gallery/check/librarycheck.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/library/templatemessage.h"
#include "core/html/htmlscan.h"
#include "core/mime/mimecomponent.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

BrandKit validBrand()
{
    BrandKit brand;
    brand.name = QStringLiteral("Quince & Daughters");
    brand.tagline = QStringLiteral("Preserves since 1921");
    brand.main = QColor("#1f5fbf");
    brand.accent = QColor("#b8321a");
    brand.text = QColor("#222222");
    brand.background = QColor("#f4f4f0");
    brand.headingFonts = BrandFonts::stacks().at(6);
    brand.bodyFonts = BrandFonts::stacks().at(0);
    brand.address = QStringLiteral("12 Orchard Lane\nAppleby AB1 2CD");
    brand.website = QStringLiteral("https://quince.test/");
    brand.viewInBrowser = QStringLiteral("https://quince.test/web/{{id}}");
    brand.unsubscribe = QStringLiteral("https://quince.test/unsubscribe");
    brand.social.insert(QStringLiteral("instagram"),
                        QStringLiteral("https://instagram.test/quince"));
    brand.social.insert(QStringLiteral("mastodon"),
                        QStringLiteral("https://mastodon.test/@quince"));
    return brand;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(data);
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A page with one of every mark, as the generator writes them.
QByteArray markedPage()
{
    QFile file(QStringLiteral(QUILLERY_TEST_DATA "/brand/marked.html"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray composed(const QByteArray& html)
{
    TemplateMessage::Source source;
    source.from = QStringLiteral("Harbour <news@harbour.example>");
    source.subject = QStringLiteral("Hello");
    source.date = QStringLiteral("Mon, 02 Mar 2026 09:00:00 +0000");
    source.html = QString::fromUtf8(html);
    source.text = QStringLiteral("Hello");
    if (html.contains("images/logo.png"))
        source.images.append({QStringLiteral("logo.png"), "image/png",
                              pngBytes(QImage(8, 8, QImage::Format_ARGB32))});
    const Result<QByteArray> message = TemplateMessage::compose(source);
    return message ? *message : QByteArray();
}

QByteArray htmlOf(const QByteArray& message)
{
    for (const MimeComponent::TextPart& part : MimeComponent::readTextParts(message).parts)
        if (part.type == "text/html")
            return part.content;
    return {};
}

QString libraryFolder()
{
    return QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath();
}

} // namespace

class tst_Brand : public QObject
{
    Q_OBJECT

private slots:
    void problems_data();
    void problems();
    void storeRoundTrip();
    void brokenFileNamedOthersLoad();
    void invalidBrandSavesNothing();
    void logoRefused_data();
    void logoRefused();
    void logoDrawn_data();
    void logoDrawn();
    void newLogoReplacesOld();
    void applyFillsEveryMark();
    void unmarkedMessageUnchanged();
    void singlePartMessageGetsItsImages_data();
    void singlePartMessageGetsItsImages();
    void contrastAdjusted_data();
    void contrastAdjusted();
    void hostileMarksDoNoHarm();
    void everyShippedTemplateInThreeBrands();
};

void tst_Brand::problems_data()
{
    QTest::addColumn<std::function<void(BrandKit&)>>("change");
    QTest::addColumn<QString>("expected"); // empty: no problem

    using Change = std::function<void(BrandKit&)>;
    QTest::newRow("valid") << Change([](BrandKit&) {}) << QString();
    QTest::newRow("no name") << Change([](BrandKit& b) { b.name = QStringLiteral("  "); })
                             << QStringLiteral("needs a name");
    QTest::newRow("colour that does not parse")
        << Change([](BrandKit& b) { b.accent = QColor::fromString(QStringLiteral("#12")); })
        << QStringLiteral("accent colour is not a colour");
    QTest::newRow("address of 10,000 characters")
        << Change([](BrandKit& b) { b.address = QString(10000, u'x'); })
        << QStringLiteral("10000 characters long");
    QTest::newRow("address of many lines")
        << Change([](BrandKit& b) { b.address = QStringLiteral("a\n").repeated(12); })
        << QStringLiteral("at most 8 lines");
    QTest::newRow("javascript: website")
        << Change([](BrandKit& b) { b.website = QStringLiteral("javascript:alert(1)"); })
        << QStringLiteral("\"javascript:\" are refused");
    QTest::newRow("JavaScript: in capitals")
        << Change([](BrandKit& b) { b.unsubscribe = QStringLiteral("JavaScript:alert(1)"); })
        << QStringLiteral("\"javascript:\" are refused");
    QTest::newRow("file: unsubscribe")
        << Change([](BrandKit& b) { b.unsubscribe = QStringLiteral("file:///etc/passwd"); })
        << QStringLiteral("\"file:\" are refused");
    QTest::newRow("javascript: social") << Change([](BrandKit& b) {
        b.social.insert(QStringLiteral("x"), QStringLiteral("javascript:void(0)"));
    }) << QStringLiteral("X: links starting with \"javascript:\"");
    QTest::newRow("unknown network") << Change([](BrandKit& b) {
        b.social.insert(QStringLiteral("myspace"), QStringLiteral("https://a.test"));
    }) << QStringLiteral("\"myspace\" is not a social network");
    QTest::newRow("font not offered")
        << Change([](BrandKit& b) { b.bodyFonts = QStringLiteral("Comic Sans MS"); })
        << QStringLiteral("body fonts from the list");
    QTest::newRow("name with a line break")
        << Change([](BrandKit& b) { b.name = QStringLiteral("A\nB"); })
        << QStringLiteral("cannot hold line breaks");
    QTest::newRow("mailto: unsubscribe is fine")
        << Change([](BrandKit& b) { b.unsubscribe = QStringLiteral("mailto:off@quince.test"); })
        << QString();
}

void tst_Brand::problems()
{
    QFETCH(std::function<void(BrandKit&)>, change);
    QFETCH(QString, expected);
    BrandKit brand = validBrand();
    change(brand);
    const QStringList problems = brandProblems(brand);
    if (expected.isEmpty()) {
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    } else {
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().contains(expected), qPrintable(problems.first()));
    }
}

void tst_Brand::storeRoundTrip()
{
    QTemporaryDir dir;
    BrandStore store(dir.path() + QStringLiteral("/brands"));
    BrandKit brand = validBrand();
    brand.accent2 = QColor("#ffcc00");
    QVERIFY(store.save(brand).ok());
    QCOMPARE(brand.id, QStringLiteral("quince-daughters"));

    BrandKit second = validBrand();
    QVERIFY(store.save(second).ok());
    QCOMPARE(second.id, QStringLiteral("quince-daughters-2"));

    const BrandStore::Loaded loaded = store.load();
    QVERIFY2(loaded.problems.isEmpty(), qPrintable(loaded.problems.join(u'\n')));
    QCOMPARE(loaded.brands.size(), 2);
    QVERIFY(loaded.brands.contains(brand));
    QVERIFY(loaded.brands.contains(second));

    // The file is readable by a person, colours as #rrggbb.
    QFile file(store.folder() + QStringLiteral("/quince-daughters.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray json = file.readAll();
    QVERIFY(json.contains("\"accent2\": \"#ffcc00\""));
    QVERIFY(json.contains('\n'));

    QVERIFY(store.remove(second.id).ok());
    QCOMPARE(store.load().brands.size(), 1);
}

void tst_Brand::brokenFileNamedOthersLoad()
{
    QTemporaryDir dir;
    BrandStore store(dir.path());
    BrandKit good = validBrand();
    QVERIFY(store.save(good).ok());

    QJsonObject bad = QJsonDocument::fromJson(BrandStore::toJson(validBrand(), {})).object();
    QJsonObject colours = bad.value(QStringLiteral("colours")).toObject();
    colours.insert(QStringLiteral("main"), QStringLiteral("#zz0000"));
    bad.insert(QStringLiteral("colours"), colours);
    writeFile(dir.filePath(QStringLiteral("badcolour.json")), QJsonDocument(bad).toJson());
    writeFile(dir.filePath(QStringLiteral("truncated.json")), "{\"format\": 1, \"name\": \"Tr");
    QJsonObject hostile = QJsonDocument::fromJson(BrandStore::toJson(validBrand(), {})).object();
    hostile.insert(QStringLiteral("logo"), QStringLiteral("../../etc/passwd.png"));
    writeFile(dir.filePath(QStringLiteral("climbs.json")), QJsonDocument(hostile).toJson());

    const BrandStore::Loaded loaded = store.load();
    QCOMPARE(loaded.brands.size(), 1);
    QCOMPARE(loaded.brands.first(), good);
    QCOMPARE(loaded.problems.size(), 3);
    QVERIFY(loaded.problems.at(0).startsWith(dir.filePath(QStringLiteral("badcolour.json"))));
    QVERIFY(loaded.problems.at(0).contains(QStringLiteral("#zz0000")));
    QVERIFY(loaded.problems.at(1).startsWith(dir.filePath(QStringLiteral("climbs.json"))));
    QVERIFY(loaded.problems.at(2).startsWith(dir.filePath(QStringLiteral("truncated.json"))));
}

void tst_Brand::invalidBrandSavesNothing()
{
    QTemporaryDir dir;
    BrandStore store(dir.path());
    BrandKit brand = validBrand();
    brand.address = QString(10000, u'x');
    const Status saved = store.save(brand);
    QVERIFY(!saved.ok());
    QVERIFY(saved.message().contains(QStringLiteral("10000")));
    QVERIFY(brand.id.isEmpty());
    QCOMPARE(filesIn(dir.path()), QStringList());
}

void tst_Brand::logoRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    const QByteArray svgHead =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" viewBox=\"0 0 10 10\">";
    QTest::newRow("not an image") << QByteArray("just some words\n")
                                  << QStringLiteral("not a PNG, JPEG or SVG");
    QTest::newRow("svg with script")
        << svgHead + "<script>alert(1)</script><rect width=\"10\" height=\"10\"/></svg>"
        << QStringLiteral("holds a script");
    QTest::newRow("svg with handler")
        << svgHead + "<rect onload=\"alert(1)\" width=\"10\" height=\"10\"/></svg>"
        << QStringLiteral("event handler");
    QTest::newRow("svg with web image")
        << svgHead +
               "<image xlink:href=\"https://tracker.test/p.png\" width=\"10\" height=\"10\"/></svg>"
        << QStringLiteral("outside itself");
    QTest::newRow("svg with local file")
        << svgHead + "<image href=\"file:///etc/hostname\" width=\"10\" height=\"10\"/></svg>"
        << QStringLiteral("outside itself");
    QTest::newRow("svg with css url")
        << svgHead +
               "<rect style=\"fill:url(https://tracker.test/x)\" width=\"10\" height=\"10\"/></svg>"
        << QStringLiteral("outside itself");
    QTest::newRow("svg with entities")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY a \"aaaa\">]>") + svgHead +
               "</svg>"
        << QStringLiteral("declares entities");
    // 5000 x 5000 one-bit pixels: a small file, 25 megapixels.
    QImage huge(5000, 5000, QImage::Format_Mono);
    huge.fill(0);
    QTest::newRow("over 20 megapixels") << pngBytes(huge) << QStringLiteral("25 megapixels");
    QTest::newRow("over 10 MB") << QByteArray(11 * 1024 * 1024, 'a')
                                << QStringLiteral("larger than");
}

void tst_Brand::logoRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString logo = dir.filePath(QStringLiteral("logo.img"));
    writeFile(logo, content);
    BrandStore store(dir.filePath(QStringLiteral("brands")));

    // A brand saved before keeps its file and its logo as they were.
    BrandKit brand = validBrand();
    const QString goodLogo = dir.filePath(QStringLiteral("good.png"));
    writeFile(goodLogo, pngBytes(QImage(40, 20, QImage::Format_ARGB32)));
    QVERIFY(store.save(brand, goodLogo).ok());
    const QStringList before = filesIn(store.folder());
    const BrandKit saved = brand;

    brand.name = QStringLiteral("Renamed");
    const Status status = store.save(brand, logo);
    QVERIFY(!status.ok());
    QVERIFY2(status.message().startsWith(logo), qPrintable(status.message()));
    QVERIFY2(status.message().contains(expected), qPrintable(status.message()));
    QCOMPARE(brand.logoFile, saved.logoFile);
    QCOMPARE(filesIn(store.folder()), before);
    QCOMPARE(store.load().brands, QList<BrandKit>{saved});
}

void tst_Brand::logoDrawn_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("size");

    QImage wide(3000, 500, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QTest::newRow("png larger than kept") << pngBytes(wide) << QSize(1200, 200);
    QTest::newRow("small png as it is")
        << pngBytes(QImage(90, 30, QImage::Format_ARGB32)) << QSize(90, 30);
    QTest::newRow("svg drawn to fit")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 40 20\">"
                      "<defs><linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"red\"/>"
                      "</linearGradient></defs><rect width=\"40\" height=\"20\" "
                      "fill=\"url(#g)\"/></svg>")
        << QSize(1200, 600);
}

void tst_Brand::logoDrawn()
{
    QFETCH(QByteArray, content);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString logo = dir.filePath(QStringLiteral("logo.file"));
    writeFile(logo, content);
    BrandStore store(dir.filePath(QStringLiteral("brands")));
    BrandKit brand = validBrand();
    const Status status = store.save(brand, logo);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QVERIFY(brand.logoFile.startsWith(store.folder() + u'/'));
    QImage stored(brand.logoFile, "PNG");
    QCOMPARE(stored.size(), size);
}

void tst_Brand::newLogoReplacesOld()
{
    QTemporaryDir dir;
    BrandStore store(dir.filePath(QStringLiteral("brands")));
    const QString first = dir.filePath(QStringLiteral("a.png"));
    const QString second = dir.filePath(QStringLiteral("b.png"));
    writeFile(first, pngBytes(QImage(10, 10, QImage::Format_RGB32)));
    QImage other(20, 10, QImage::Format_RGB32);
    other.fill(Qt::blue);
    writeFile(second, pngBytes(other));

    BrandKit brand = validBrand();
    QVERIFY(store.save(brand, first).ok());
    const QString oldLogo = brand.logoFile;
    QVERIFY(store.save(brand, second).ok());
    QVERIFY(brand.logoFile != oldLogo);
    QVERIFY(!QFile::exists(oldLogo));
    QCOMPARE(filesIn(store.folder()),
             QStringList({QFileInfo(brand.logoFile).fileName(), brand.id + ".json"}));
    // Saved again without a new logo, it keeps the one it has.
    brand.tagline = QStringLiteral("Changed");
    QVERIFY(store.save(brand).ok());
    QVERIFY(QFile::exists(brand.logoFile));
    QCOMPARE(store.load().brands.first().logoFile, brand.logoFile);
}

void tst_Brand::applyFillsEveryMark()
{
    QTemporaryDir dir;
    BrandStore store(dir.path());
    BrandKit brand = validBrand();
    brand.name = QStringLiteral("Quince <&> \"Daughters\"");
    const QString logo = dir.filePath(QStringLiteral("wide.png"));
    writeFile(logo, pngBytes(QImage(300, 100, QImage::Format_ARGB32)));
    QVERIFY(store.save(brand, logo).ok());

    const QByteArray message = composed(markedPage());
    QVERIFY(!message.isEmpty());
    const Result<BrandApply::Branded> branded = BrandApply::applyToMessage(message, brand);
    QVERIFY2(branded.ok(), qPrintable(branded.status().message()));
    const QByteArray html = htmlOf(branded->message);

    QVERIFY(html.contains("data-brand=\"name\" style=\"font-family:Georgia, 'Times New Roman', "
                          "Times, serif;color:#ffffff;\" data-brand-colours=\"on-band\">Quince "
                          "&lt;&amp;&gt; &quot;Daughters&quot;</td>"));
    QVERIFY(html.contains("Preserves since 1921</td>"));
    QVERIFY(html.contains(">12 Orchard Lane, Appleby AB1 2CD</span>"));
    QVERIFY(html.contains("href=\"https://quince.test/unsubscribe\""));
    QVERIFY(html.contains("href=\"https://quince.test/web/{{id}}\""));
    QVERIFY(html.contains("href=\"https://instagram.test/quince\""));
    QVERIFY(html.contains("alt=\"Instagram\""));
    QVERIFY(html.contains("alt=\"Mastodon\""));
    QVERIFY(html.contains(">quince.test</a>"));
    QVERIFY(!html.contains("Harbour"));
    // The logo keeps its slot's height; its proportions give the width.
    QVERIFY(html.contains("src=\"cid:brand-logo@quillery\" width=\"132\" height=\"44\" "
                          "alt=\"Quince &lt;&amp;&gt; &quot;Daughters&quot;\" "
                          "style=\"display:block;width:132px;height:44px;color:#ffffff;\""));
    // Colours by role, a colour of the template's own kept, monospace kept.
    QVERIFY(html.contains("bgcolor=\"#f4f4f0\""));
    QVERIFY(html.contains("background-color:#1f5fbf;color:#123456;"));
    QVERIFY(html.contains("h1 style=\"font-family:Georgia, 'Times New Roman', Times, "
                          "serif;color:#1f5fbf;\""));
    QVERIFY(html.contains("background-color:#b8321a;color:#ffffff;font-family:Courier "
                          "New,Courier,monospace;"));
    QVERIFY(!html.contains("#101010"));
    QVERIFY(!html.contains("#eeeeee"));

    const MimeComponent::TextParts parts = MimeComponent::readTextParts(branded->message);
    QVERIFY(parts.contentIds.contains("brand-logo@quillery"));
    QVERIFY(parts.contentIds.contains("brand-instagram@quillery"));
    QVERIFY(parts.contentIds.contains("brand-mastodon@quillery"));
    QVERIFY(!parts.contentIds.contains("brand-x@quillery"));
    QCOMPARE(LibraryCheck::checkMessage(QStringLiteral("branded"), branded->message),
             LibraryCheck::Problems());

    // The logo part is drawn at twice the size it is shown at.
    MimeComponent mime;
    QVERIFY(mime.LoadEmlData(branded->message));
    QTemporaryDir out;
    mime.SaveHtmlAndImages(out.path(), QStringLiteral("images"));
    QCOMPARE(QImage(out.filePath(QStringLiteral("images/brand-logo.png"))).size(), QSize(264, 88));
}

void tst_Brand::unmarkedMessageUnchanged()
{
    const QByteArray message = composed("<!DOCTYPE html><html><head><title>t</title></head>"
                                        "<body style=\"color:#17403a\"><p>Mine</p></body></html>");
    const Result<BrandApply::Branded> branded = BrandApply::applyToMessage(message, validBrand());
    QVERIFY(branded.ok());
    QCOMPARE(branded->message, message);
    QVERIFY(!BrandApply::hasSlots(htmlOf(message)));
    QVERIFY(BrandApply::hasSlots(htmlOf(composed(markedPage()))));
}

void tst_Brand::singlePartMessageGetsItsImages_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("CRLF") << QByteArray("\r\n");
    QTest::newRow("LF, as a file saved by hand") << QByteArray("\n");
}

// A marked page that is the whole message (an exported template made one of
// the user's own, say): the logo and icons need a multipart/related around it,
// and the mail headers stay at the top.
void tst_Brand::singlePartMessageGetsItsImages()
{
    QFETCH(QByteArray, lineEnd);
    QTemporaryDir dir;
    BrandStore store(dir.path());
    BrandKit brand = validBrand();
    const QString logo = dir.filePath(QStringLiteral("logo.png"));
    writeFile(logo, pngBytes(QImage(20, 20, QImage::Format_ARGB32)));
    QVERIFY(store.save(brand, logo).ok());

    QByteArray page = markedPage();
    page.replace("src=\"images/logo.png\"", "src=\"https://harbour.example/logo.png\"");
    QByteArray message = "From: Harbour <news@harbour.example>\r\nSubject: Spring\r\n"
                         "MIME-Version: 1.0\r\nContent-Type: text/html; charset=utf-8\r\n"
                         "Content-Transfer-Encoding: 8bit\r\n\r\n" +
                         page;
    message.replace("\r\n", lineEnd);

    const Result<BrandApply::Branded> branded = BrandApply::applyToMessage(message, brand);
    QVERIFY2(branded.ok(), qPrintable(branded.status().message()));
    QVERIFY(branded->message.startsWith("From: Harbour <news@harbour.example>" + lineEnd));
    const MimeComponent::TextParts parts = MimeComponent::readTextParts(branded->message);
    QVERIFY(parts.parsed);
    QVERIFY2(parts.problems.isEmpty(), qPrintable(parts.problems.join(u'\n')));
    QVERIFY(parts.contentIds.contains("brand-logo@quillery"));
    QVERIFY(parts.contentIds.contains("brand-instagram@quillery"));
    QVERIFY(htmlOf(branded->message).contains("Quince &amp; Daughters"));
    QCOMPARE(MimeComponent::readListHeaders(branded->message).subject, QStringLiteral("Spring"));
}

void tst_Brand::contrastAdjusted_data()
{
    QTest::addColumn<QColor>("main");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QString>("onBand");
    QTest::addColumn<QString>("adjustment");

    QTest::newRow("pale yellow band")
        << QColor("#fff3a0") << QColor("#ffffff") << QStringLiteral("#1a1a1a")
        << QStringLiteral("the header uses dark text");
    QTest::newRow("near-black band")
        << QColor("#111111") << QColor("#ffffff") << QStringLiteral("#ffffff") << QString();
    // Neither white nor near-black reaches 4.5:1 on this blue.
    QTest::newRow("saturated mid-blue band")
        << QColor("#1e6fff") << QColor("#ffffff") << QStringLiteral("#000000")
        << QStringLiteral("the header uses dark text");
    QTest::newRow("deep blue band")
        << QColor("#1f5fbf") << QColor("#ffffff") << QStringLiteral("#ffffff") << QString();
}

void tst_Brand::contrastAdjusted()
{
    QFETCH(QColor, main);
    QFETCH(QColor, background);
    QFETCH(QString, onBand);
    QFETCH(QString, adjustment);
    BrandKit brand = validBrand();
    brand.main = main;
    brand.background = background;
    const BrandColours::Palette palette = BrandColours::derive(brand);
    QCOMPARE(palette.roles.value(QStringLiteral("on-band")).name(), onBand);
    if (adjustment.isEmpty())
        QVERIFY2(!palette.adjustments.join(u' ').contains(QStringLiteral("header")),
                 qPrintable(palette.adjustments.join(u'\n')));
    else
        QVERIFY2(palette.adjustments.join(u' ').contains(adjustment),
                 qPrintable(palette.adjustments.join(u'\n')));
    for (const auto& [text, on] : BrandColours::textPairs())
        QVERIFY2(BrandColours::contrast(palette.roles.value(text), palette.roles.value(on)) >=
                     BrandColours::MinContrast,
                 qPrintable(text + QStringLiteral(" on ") + on));
}

void tst_Brand::hostileMarksDoNoHarm()
{
    // Slots never closed, more roles than colours, roles nobody knows, a
    // slot inside a slot: the page comes back branded where it can be, and
    // nothing of the brand lands outside an element it marked.
    const QByteArray page =
        "<html><body data-brand-colours=\"page panel text text text\" bgcolor=\"#000000\">"
        "<td data-brand-colours=\"nonsense\" style=\"color:#abcdef\">x</td>"
        "<span data-brand=\"name\"><span data-brand=\"tagline\">inner</span>"
        "<p data-brand=\"address\">never closed";
    const QByteArray message = composed(page);
    const Result<BrandApply::Branded> branded = BrandApply::applyToMessage(message, validBrand());
    QVERIFY(branded.ok());
    const QByteArray html = htmlOf(branded->message);
    QVERIFY(html.contains("bgcolor=\"#f4f4f0\""));
    QVERIFY(html.contains("color:#abcdef"));
    QVERIFY(html.contains("never closed"));
    QCOMPARE(html.count("Quince"), 1);
}

void tst_Brand::everyShippedTemplateInThreeBrands()
{
    const QDir templates(libraryFolder() + QStringLiteral("/templates"));
    const QStringList files = templates.entryList({QStringLiteral("*.dat")}, QDir::Files);
    QVERIFY2(files.size() >= 35, qPrintable(templates.path()));

    QTemporaryDir dir;
    const QString logo = dir.filePath(QStringLiteral("logo.svg"));
    writeFile(logo, "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 60 20\">"
                    "<rect width=\"60\" height=\"20\" rx=\"4\" fill=\"#c33\"/></svg>");
    const QList<std::pair<const char*, QColor>> mains{
        {"pale yellow", QColor("#fff4a3")},
        {"near-black", QColor("#121212")},
        {"saturated mid-blue", QColor("#1565ff")},
    };
    for (const auto& [label, main] : mains) {
        BrandKit brand = validBrand();
        brand.name = QString::fromLatin1(label);
        brand.main = main;
        brand.accent = main;
        // The near-black brand writes on a near-black page too.
        if (main.lightness() < 40) {
            brand.background = QColor("#0d0d0d");
            brand.text = QColor("#eeeeee");
        }
        BrandStore store(dir.filePath(QString::fromLatin1(label)));
        QVERIFY(store.save(brand, logo).ok());
        const BrandColours::Palette palette = BrandColours::derive(brand);
        for (const auto& [text, on] : BrandColours::textPairs())
            QVERIFY2(BrandColours::contrast(palette.roles.value(text), palette.roles.value(on)) >=
                         BrandColours::MinContrast,
                     qPrintable(QStringLiteral("%1: %2 on %3").arg(label, text, on)));

        for (const QString& file : files) {
            const QString where = QStringLiteral("%1 in %2").arg(file, label);
            QFile dat(templates.filePath(file));
            QVERIFY(dat.open(QIODevice::ReadOnly));
            const Result<QByteArray> message = Module1::unpackTemplate(dat.readAll());
            QVERIFY(message.ok());
            const BrandApply::Slots slots_ = BrandApply::slotsOf(htmlOf(*message));
            QVERIFY2(slots_.slotNames.contains(QStringLiteral("logo")), qPrintable(where));
            QVERIFY2(slots_.colourRoles.contains(QStringLiteral("dark-page")), qPrintable(where));

            const Result<BrandApply::Branded> branded = BrandApply::applyToMessage(*message, brand);
            QVERIFY2(branded.ok(), qPrintable(where + u' ' + branded.status().message()));
            const LibraryCheck::Problems problems =
                LibraryCheck::checkMessage(where, branded->message);
            QVERIFY2(problems.isEmpty(),
                     qPrintable(problems.isEmpty() ? QString() : problems.first().toString()));

            // Every marked colour is now the brand's, and with images off
            // every picture keeps its box and says what it shows.
            const QByteArray html = htmlOf(branded->message);
            QVERIFY2(html.contains(brand.name.toUtf8()), qPrintable(where));
            QSet<QString> allowed;
            for (const QColor& colour : palette.roles)
                allowed.insert(colour.name());
            Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
                if (tag.name == "img") {
                    QVERIFY2(!tag.attribute(html, "alt").isNull(), qPrintable(where));
                    QVERIFY2(!tag.attribute(html, "width").isEmpty(), qPrintable(where));
                    QVERIFY2(!tag.attribute(html, "height").isEmpty(), qPrintable(where));
                }
                const QByteArray marks = tag.attribute(html, "data-brand-colours");
                if (marks.isNull() || marks.contains('-'))
                    return;
                const QByteArray text =
                    QByteArrayView(html).sliced(tag.begin, tag.end - tag.begin).toByteArray();
                qsizetype at = 0;
                while ((at = text.indexOf('#', at)) >= 0) {
                    const QString hex = QString::fromLatin1(text.mid(at, 7)).toLower();
                    if (hex.size() == 7 && QColor::isValidColorName(hex))
                        QVERIFY2(allowed.contains(hex), qPrintable(where + u' ' + hex));
                    ++at;
                }
            });
        }
    }
}

QTEST_GUILESS_MAIN(tst_Brand)
#include "tst_brand.moc"
