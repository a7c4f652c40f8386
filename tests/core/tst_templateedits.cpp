#include "core/brand/brandapply.h"
#include "core/gallery/check/librarycheck.h"
#include "core/gallery/library/templatemessage.h"
#include "core/gallery/userlibrary/templateedits.h"
#include "core/mime/mimecomponent.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TemplateEdits::Edit)

class TestTemplateEdits : public QObject
{
    Q_OBJECT

private slots:
    void findsSlots_data();
    void findsSlots();
    void checksLinks_data();
    void checksLinks();
    void editsThePage_data();
    void editsThePage();
    void refusesEditsThatDoNotFit_data();
    void refusesEditsThatDoNotFit();
    void preparesPictures_data();
    void preparesPictures();
    void numbersTheSlotsOfTheShownPage_data();
    void numbersTheSlotsOfTheShownPage();
    void editsAMessageAndComposesItAnew();
    void refusedEditLeavesNoMessage();
};

namespace {

using Kinds = QStringList;

const QByteArray MarkedPage =
    "<html><head><title>Hi</title></head><body>"
    "<div data-edit=\"preheader\" style=\"display:none\">Peek&#847;&zwnj;&nbsp;&#847;</div>"
    "<h1 data-edit=\"headline\">Big <em>sale</em></h1>"
    "<p data-edit=\"text\">First &amp; only</p>"
    "<a data-edit=\"button\" href=\"https://example.com\">Shop</a>"
    "<img data-edit=\"image\" src=\"images/hero.png\" width=\"300\" height=\"150\" alt=\"Hero\">"
    "<p>not marked</p>"
    "</body></html>";

QString writeImage(const QString& path, QSize size, const char* format, bool transparent = false)
{
    if (qstrcmp(format, "gif") == 0) {
        // Qt reads GIF but cannot write it: one white pixel, no transparency.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(
                QByteArray::fromHex("47494638396101000100800000000000ffffff2c0000000001000100"
                                    "0002024401003b")) < 0)
            return QString();
        return path;
    }
    QImage image(size, QImage::Format_ARGB32);
    image.fill(transparent ? QColor(255, 0, 0, 100) : QColor(30, 120, 200));
    QImageWriter writer(path, format);
    if (!writer.write(image))
        return QString();
    return path;
}

QByteArray smallMessage()
{
    QImage picture(QSize(600, 300), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    TemplateMessage::Source source;
    source.from = QStringLiteral("Shop <shop@example.com>");
    source.subject = QStringLiteral("Old subject");
    source.date = QStringLiteral("Fri, 11 Dec 2026 10:00:00 +0000");
    source.html = QStringLiteral(
        "<!DOCTYPE html><html><head><title>Old subject</title></head><body>"
        "<h1 data-edit=\"headline\">Old headline</h1>"
        "<p data-edit=\"text\">Old paragraph</p>"
        "<p><span data-brand=\"name\">Shop</span></p>"
        "<a data-edit=\"button\" href=\"https://example.com/old\">Old label</a>"
        "<img data-edit=\"image\" src=\"images/hero.png\" width=\"300\" height=\"150\" "
        "alt=\"Old alt\" style=\"width:300px;height:150px;\">"
        "</body></html>");
    source.text = QStringLiteral("Old headline\n\nOld paragraph\n");
    source.images.append({QStringLiteral("hero.png"), "image/png", png});
    const Result<QByteArray> message = TemplateMessage::compose(source);
    return message ? *message : QByteArray();
}

QByteArray partOf(const QByteArray& message, const QByteArray& type)
{
    for (const MimeComponent::TextPart& part : MimeComponent::readTextParts(message).parts)
        if (part.type == type)
            return part.content;
    return {};
}

} // namespace

void TestTemplateEdits::findsSlots_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<Kinds>("kinds");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("marked: only the marks, in order")
        << MarkedPage << Kinds{"preheader", "headline", "text", "button", "image"}
        << QStringList{"Peek", "Big sale", "First & only", "Shop", ""};
    QTest::newRow("unmarked: headings, paragraphs, items, links, pictures")
        << QByteArray("<html><head><title>T</title></head><body><h2>Head</h2><p>Words</p>"
                      "<ul><li>One</li></ul><a href=\"https://example.com\">Go</a>"
                      "<img src=\"a.png\"></body></html>")
        << Kinds{"headline", "text", "item", "button", "image"}
        << QStringList{"Head", "Words", "One", "Go", ""};
    QTest::newRow("unmarked: a link inside words is part of them")
        << QByteArray("<body><p>Read <a href=\"https://example.com\">more</a></p></body>")
        << Kinds{"text"} << QStringList{"Read more"};
    QTest::newRow("unmarked: words around a picture are not a slot")
        << QByteArray("<body><p>Look <img src=\"a.png\"></p></body>") << Kinds{"image"}
        << QStringList{""};
    QTest::newRow("unmarked: a paragraph without its end tag is left alone")
        << QByteArray("<body><p>one<p>two</p></body>") << Kinds{"text"} << QStringList{"two"};
    QTest::newRow("marked: a mark nested in another is one slot")
        << QByteArray("<body><p data-edit=\"text\">a <span data-edit=\"text\">b</span></p></body>")
        << Kinds{"text"} << QStringList{"a b"};
    QTest::newRow("marked: same element nested")
        << QByteArray(
               "<body><div data-edit=\"text\">a<div>b</div>c</div><p data-edit=\"text\">d</p>"
               "</body>")
        << Kinds{"text", "text"} << QStringList{"a\nb\nc", "d"};
    QTest::newRow("marked: unknown kind and picture mark on words ignored")
        << QByteArray("<body><p data-edit=\"script\">a</p><p data-edit=\"image\">b</p>"
                      "<img data-edit=\"image\" src=\"x.png\"></body>")
        << Kinds{"image"} << QStringList{""};
}

void TestTemplateEdits::findsSlots()
{
    QFETCH(QByteArray, html);
    QFETCH(Kinds, kinds);
    QFETCH(QStringList, texts);
    Kinds foundKinds;
    QStringList foundTexts;
    for (const TemplateEdits::Slot& slot : TemplateEdits::slotsOf(html)) {
        QCOMPARE(slot.id, foundKinds.size());
        foundKinds << slot.kind;
        foundTexts << slot.text;
    }
    QCOMPARE(foundKinds, kinds);
    QCOMPARE(foundTexts, texts);
}

void TestTemplateEdits::checksLinks_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("https") << "https://example.com/a?b=c" << true;
    QTest::newRow("http") << "http://example.com" << true;
    QTest::newRow("mail") << "mailto:me@example.com" << true;
    QTest::newRow("telephone") << "tel:+441234" << true;
    QTest::newRow("place in the page") << "#top" << true;
    QTest::newRow("merge field") << "[unsubscribe_url]" << true;
    QTest::newRow("script") << "javascript:alert(1)" << false;
    QTest::newRow("script in capitals, spaced") << "  JavaScript:alert(1)" << false;
    QTest::newRow("script split by a tab") << "java\tscript:alert(1)" << false;
    QTest::newRow("vbscript") << "vbscript:msgbox" << false;
    QTest::newRow("data") << "data:text/html,<script>alert(1)</script>" << false;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("other scheme") << "ftp://example.com" << false;
    QTest::newRow("no scheme") << "example.com" << false;
    QTest::newRow("empty") << "   " << false;
}

void TestTemplateEdits::checksLinks()
{
    QFETCH(QString, link);
    QFETCH(bool, accepted);
    const Status status = TemplateEdits::checkLink(link);
    QCOMPARE(bool(status), accepted);
    if (!accepted && !link.trimmed().isEmpty())
        QVERIFY2(status.message().contains(link.trimmed()), qPrintable(status.message()));
}

void TestTemplateEdits::editsThePage_data()
{
    QTest::addColumn<QList<TemplateEdits::Edit>>("edits");
    QTest::addColumn<QByteArrayList>("contains");
    QTest::addColumn<QByteArrayList>("lacks");

    using E = TemplateEdits::Edit;
    QTest::newRow("headline") << QList<E>{{1, QStringLiteral("New headline"), {}, {}, {}}}
                              << QByteArrayList{"<h1 data-edit=\"headline\">New headline</h1>"}
                              << QByteArrayList{"<em>sale</em>"};
    QTest::newRow("pasted markup stays text")
        << QList<E>{{2, QStringLiteral("<script>alert(1)</script> & <b>x</b>"), {}, {}, {}}}
        << QByteArrayList{"&lt;script&gt;alert(1)&lt;/script&gt; &amp; &lt;b&gt;x&lt;/b&gt;"}
        << QByteArrayList{"<script>", "<b>"};
    QTest::newRow("line breaks") << QList<E>{{2, QStringLiteral("one\r\ntwo"), {}, {}, {}}}
                                 << QByteArrayList{">one<br>two</p>"} << QByteArrayList{};
    QTest::newRow("preheader keeps its padding")
        << QList<E>{{0, QStringLiteral("New peek"), {}, {}, {}}}
        << QByteArrayList{">New peek&#847;&zwnj;&nbsp;&#847;</div>"} << QByteArrayList{"Peek&"};
    QTest::newRow("button label and link")
        << QList<E>{{3,
                     QStringLiteral("Buy"),
                     QStringLiteral(" https://shop.example/?a=1&b=\"2\" "),
                     {},
                     {}}}
        << QByteArrayList{"href=\"https://shop.example/?a=1&amp;b=&quot;2&quot;\">Buy</a>"}
        << QByteArrayList{"example.com\""};
    QTest::newRow("alt text") << QList<E>{{4, {}, {}, QStringLiteral("A \"sunny\" day"), {}}}
                              << QByteArrayList{"alt=\"A &quot;sunny&quot; day\""}
                              << QByteArrayList{"alt=\"Hero\""};
    QTest::newRow("later edit of a slot wins")
        << QList<E>{{1, QStringLiteral("first"), {}, {}, {}},
                    {1, QStringLiteral("second"), {}, {}, {}}}
        << QByteArrayList{">second</h1>"} << QByteArrayList{"first"};
}

void TestTemplateEdits::editsThePage()
{
    QFETCH(QList<TemplateEdits::Edit>, edits);
    QFETCH(QByteArrayList, contains);
    QFETCH(QByteArrayList, lacks);
    QTemporaryDir folder;
    const Result<QByteArray> page = TemplateEdits::applyToPage(MarkedPage, edits, folder.path());
    QVERIFY2(page, qPrintable(page.status().message()));
    for (const QByteArray& text : contains)
        QVERIFY2(page->contains(text), page->constData());
    for (const QByteArray& text : lacks)
        QVERIFY2(!page->contains(text), page->constData());
    // What is not edited stays byte for byte.
    QVERIFY(page->contains("<p>not marked</p>"));
    QVERIFY(page->startsWith("<html><head><title>Hi</title></head><body>"));
}

void TestTemplateEdits::refusesEditsThatDoNotFit_data()
{
    QTest::addColumn<QList<TemplateEdits::Edit>>("edits");
    QTest::addColumn<QString>("reason");

    using E = TemplateEdits::Edit;
    QTest::newRow("no such slot") << QList<E>{{9, QStringLiteral("x"), {}, {}, {}}}
                                  << QStringLiteral("no part 9");
    QTest::newRow("words for a picture")
        << QList<E>{{4, QStringLiteral("x"), {}, {}, {}}} << QStringLiteral("picture");
    QTest::newRow("link on words") << QList<E>{{2, {}, QStringLiteral("https://a.example"), {}, {}}}
                                   << QStringLiteral("not a link");
    QTest::newRow("script link after a good edit")
        << QList<E>{{1, QStringLiteral("ok"), {}, {}, {}},
                    {3, {}, QStringLiteral("javascript:alert(1)"), {}, {}}}
        << QStringLiteral("run a script");
    QTest::newRow("picture that is no picture")
        << QList<E>{{4, {}, {}, {}, QStringLiteral("NOTAPICTURE")}}
        << QStringLiteral("not a picture");
}

void TestTemplateEdits::refusesEditsThatDoNotFit()
{
    QFETCH(QList<TemplateEdits::Edit>, edits);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    for (TemplateEdits::Edit& edit : edits)
        if (edit.pictureFile == QLatin1String("NOTAPICTURE")) {
            edit.pictureFile = folder.filePath(QStringLiteral("photo.png"));
            QFile file(edit.pictureFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<script>alert(1)</script>");
        }
    const Result<QByteArray> page = TemplateEdits::applyToPage(MarkedPage, edits, folder.path());
    QVERIFY(!page);
    QVERIFY2(page.status().message().contains(reason), qPrintable(page.status().message()));
}

void TestTemplateEdits::preparesPictures_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QByteArray>("mimeType"); // empty: refused
    QTest::addColumn<QSize>("drawn");

    QTest::newRow("photo to JPEG at twice the box")
        << QByteArray("jpeg") << QSize(1000, 1000) << false << QSize(300, 150)
        << QByteArray("image/jpeg") << QSize(600, 300);
    QTest::newRow("transparent PNG stays PNG")
        << QByteArray("png") << QSize(100, 100) << true << QSize(50, 50) << QByteArray("image/png")
        << QSize(100, 100);
    QTest::newRow("GIF converted") << QByteArray("gif") << QSize(40, 20) << false << QSize(100, 50)
                                   << QByteArray("image/jpeg") << QSize(200, 100);
    QTest::newRow("no box: column width, own proportions")
        << QByteArray("png") << QSize(1200, 300) << false << QSize() << QByteArray("image/jpeg")
        << QSize(1200, 300);
    if (QImageReader::supportedImageFormats().contains("webp"))
        QTest::newRow("WebP converted")
            << QByteArray("webp") << QSize(64, 64) << false << QSize(32, 32)
            << QByteArray("image/jpeg") << QSize(64, 64);
    QTest::newRow("huge refused") << QByteArray("png") << QSize(9000, 2) << false << QSize(300, 150)
                                  << QByteArray() << QSize();
    QTest::newRow("BMP refused") << QByteArray("bmp") << QSize(10, 10) << false << QSize(300, 150)
                                 << QByteArray() << QSize();
}

void TestTemplateEdits::preparesPictures()
{
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);
    QFETCH(QSize, box);
    QFETCH(QByteArray, mimeType);
    QFETCH(QSize, drawn);
    QTemporaryDir folder;
    const QString file = writeImage(folder.filePath(QStringLiteral("in.") + format), size,
                                    format.constData(), transparent);
    QVERIFY(!file.isEmpty());
    const Result<TemplateEdits::Picture> picture = TemplateEdits::preparePicture(file, box);
    if (mimeType.isEmpty()) {
        QVERIFY(!picture);
        QVERIFY2(picture.status().message().contains(QStringLiteral("in.") + format),
                 qPrintable(picture.status().message()));
        return;
    }
    QVERIFY2(picture, qPrintable(picture.status().message()));
    QCOMPARE(picture->mimeType, mimeType);
    const QImage image = QImage::fromData(picture->data);
    QCOMPARE(image.size(), drawn);
}

void TestTemplateEdits::numbersTheSlotsOfTheShownPage_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("shown");

    QTest::newRow("marked")
        << QByteArray("<body><h1 data-edit=\"headline\">A</h1><p>b</p>"
                      "<img data-edit=\"image\" src=\"x.png\"/></body>")
        << QByteArray("<body><h1 data-edit-slot=\"0\" data-edit=\"headline\">A</h1><p>b</p>"
                      "<img data-edit-slot=\"1\" data-edit=\"image\" src=\"x.png\"/></body>");
    QTest::newRow("unmarked, bare tags")
        << QByteArray("<body><p>a</p><img src=x.png><li>c</li></body>")
        << QByteArray("<body><p data-edit-slot=\"0\">a</p><img data-edit-slot=\"1\" src=x.png>"
                      "<li data-edit-slot=\"2\">c</li></body>");
    QTest::newRow("ids the page brings are taken out")
        << QByteArray("<body><p data-edit-slot=\"7\">a</p><div data-edit-slot=\"0\">z</div></body>")
        << QByteArray("<body><p data-edit-slot=\"0\" >a</p><div >z</div></body>");
}

void TestTemplateEdits::numbersTheSlotsOfTheShownPage()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, shown);
    QCOMPARE(TemplateEdits::withSlotIds(html), shown);
}

void TestTemplateEdits::editsAMessageAndComposesItAnew()
{
    const QByteArray message = smallMessage();
    QVERIFY(!message.isEmpty());
    QTemporaryDir folder;
    const QString photo =
        writeImage(folder.filePath(QStringLiteral("photo.jpg")), QSize(800, 800), "jpeg");
    const QList<TemplateEdits::Edit> edits = {
        {0, QStringLiteral("Fresh headline"), {}, {}, {}},
        {1, QStringLiteral("<script>alert(1)</script>"), {}, {}, {}},
        {2, QStringLiteral("Buy now"), QStringLiteral("https://shop.example/new"), {}, {}},
        {3, {}, {}, QStringLiteral("A new photo"), photo},
    };
    const Result<QByteArray> edited = TemplateEdits::applyToMessage(
        message, edits, QStringLiteral("My Sale"), QStringLiteral("New subject"));
    QVERIFY2(edited, qPrintable(edited.status().message()));
    QVERIFY(LibraryCheck::checkMessage(QStringLiteral("edited"), *edited).isEmpty());

    const QByteArray html = partOf(*edited, "text/html");
    QVERIFY2(html.contains(">Fresh headline</h1>"), html.constData());
    QVERIFY(html.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
    QVERIFY(!html.contains("<script"));
    QVERIFY(html.contains("href=\"https://shop.example/new\""));
    QVERIFY(html.contains("alt=\"A new photo\""));
    QVERIFY(html.contains("src=\"cid:picture-3.jpg"));
    QVERIFY(!html.contains("hero.png"));
    // The slot keeps its size.
    QVERIFY(html.contains("width=\"300\" height=\"150\""));

    // The brand kit finds its slots in a customised template too.
    QCOMPARE(BrandApply::slotsOf(html).slotNames, QStringList{QStringLiteral("name")});

    QVERIFY(edited->contains("Subject: New subject"));
    QVERIFY(edited->contains("Content-Type: image/jpeg"));
    const MimeComponent::ListHeaders headers = MimeComponent::readListHeaders(*edited);
    QCOMPARE(headers.subject, QStringLiteral("New subject"));
    // The plain-text part is made from the new page.
    QVERIFY(edited->contains("Fresh headline\r\n"));
    QVERIFY(!edited->contains("Old paragraph"));
    // The edits are counted on the page as it was shown.
    QCOMPARE(TemplateEdits::slotsOf(partOf(message, "text/html")).size(), size_t(4));
}

void TestTemplateEdits::refusedEditLeavesNoMessage()
{
    const Result<QByteArray> edited =
        TemplateEdits::applyToMessage(smallMessage(),
                                      {{0, QStringLiteral("fine"), {}, {}, {}},
                                       {2, {}, QStringLiteral("data:text/html,hi"), {}, {}}},
                                      QStringLiteral("My Sale"));
    QVERIFY(!edited);
    QVERIFY2(edited.status().message().contains(QStringLiteral("data:")),
             qPrintable(edited.status().message()));
}

QTEST_GUILESS_MAIN(TestTemplateEdits)
#include "tst_templateedits.moc"
