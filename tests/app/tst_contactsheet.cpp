// The contact sheet of a library: which templates it shows in which order,
// how the tiles are laid out, what the command does with a template it
// cannot draw, and the sheet of the Outlook model.

#include "app/galleryfixture.h"

#include "contactsheet.h"
#include "outlookcheck.h"

#include <QFile>
#include <QProcess>

using namespace ContactSheet;

namespace {

const QColor Ground(232, 232, 232);

QImage filled(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// How many pixels of `area` differ from the sheet's ground.
int inked(const QImage& sheet, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += sheet.pixelColor(x, y) != Ground;
    return count;
}

int sheetWidth(int width, int columns)
{
    return 2 * Margin + columns * tileWidth(width) + (columns - 1) * Gap;
}

// A template that is one block of colour, `height` css px tall.
QByteArray block(const QByteArray& colour, int height)
{
    return "MIME-Version: 1.0\r\nSubject: Block\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
           "<html><body style=\"margin:0\"><div style=\"height:" +
           QByteArray::number(height) + "px;background:" + colour + "\"></div></body></html>\r\n";
}

// Runs quillery-thumbnails; its exit code, or -1 when it did not finish.
int thumbnails(const QStringList& arguments, QStringList* captions = nullptr)
{
    QProcess tool;
    tool.start(QUILLERY_THUMBNAILS, arguments);
    if (!tool.waitForFinished(180000) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    if (captions)
        *captions = QString::fromUtf8(tool.readAllStandardOutput())
                        .split('\n')
                        .filter(QStringLiteral(" · "));
    return tool.exitCode();
}

} // namespace

class TestContactSheet : public QObject
{
    Q_OBJECT

private slots:
    void followsTheCategoryPages();
    void laysOutTheTiles_data();
    void laysOutTheTiles();
    void drawsTheLibrary_data();
    void drawsTheLibrary();
    void refusesAWidthOfNothing();
    void drawsTheOutlookModel();
};

// Category list order, then each page's link order, each template once; then
// the templates no page links to; a link to a missing template says so.
void TestContactSheet::followsTheCategoryPages()
{
    GalleryFixture fixture;
    fixture.addCategory("0Zeta.html", {"Orange", "Missing", "Orange"});
    fixture.addCategory("Alpha.html", {"Blue", "Orange"});
    for (const char* name : {"Orange", "Blue", "Loose", "Aloe"})
        fixture.addTemplate(name);

    QList<int> widths;
    const QList<Tile> tiles =
        renderLibrary(fixture.appFolder(), 320, [&](const QString& path, int width) {
            widths.append(width);
            return Result<QImage>(filled(width, path.endsWith("Blue.dat") ? 500 : 900, Qt::red));
        });

    QStringList captions;
    for (const Tile& tile : tiles)
        captions.append(tile.caption);
    QCOMPARE(captions,
             QStringList({QStringLiteral("Orange · Zeta"), QStringLiteral("Missing · Zeta"),
                          QStringLiteral("Blue · Alpha"), QStringLiteral("Aloe"),
                          QStringLiteral("Loose")}));
    QCOMPARE(widths, QList<int>({320, 320, 320, 320}));
    QVERIFY(tiles[1].image.isNull());
    QVERIFY2(tiles[1].problem.contains("Missing.dat"), qPrintable(tiles[1].problem));
    QCOMPARE(tiles[2].image.size(), QSize(320, 500));
}

void TestContactSheet::laysOutTheTiles_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::addRow("a phone's width, two columns") << 320 << 2;
    QTest::addRow("one column") << 320 << 1;
    QTest::addRow("more columns than tiles") << 320 << 5;
    QTest::addRow("a desktop's width, scaled down") << 600 << 2;
}

// Row by row under captions; a row as tall as its tallest tile; a template
// that could not be drawn gets a box with the reason in it.
void TestContactSheet::laysOutTheTiles()
{
    QFETCH(int, width);
    QFETCH(int, columns);
    const QList<Tile> tiles = {{"Tall", filled(width, 1200, Qt::blue), {}},
                               {"Short", filled(width, 300, Qt::green), {}},
                               {"Broken", {}, "Broken.dat: the file is damaged"}};
    const int used = qMin(columns, 3);
    const int column = tileWidth(width);
    QCOMPARE(column, width > MaxTileWidth ? MaxTileWidth : width);

    const QImage sheet = compose(tiles, width, columns);

    QList<int> heights = {column * 1200 / width, column * 300 / width, problemHeight(width)};
    int expectedHeight = 2 * Margin - Gap;
    QList<QPoint> corners;
    for (int row = 0, top = Margin; row * used < 3; ++row) {
        int tallest = 0;
        for (int i = row * used; i < qMin(3, (row + 1) * used); ++i) {
            corners.append({Margin + (i % used) * (column + Gap), top + CaptionHeight});
            tallest = qMax(tallest, heights[i]);
        }
        top += CaptionHeight + tallest + Gap;
        expectedHeight += CaptionHeight + tallest + Gap;
    }
    QCOMPARE(sheet.size(), QSize(sheetWidth(width, used), expectedHeight));

    const QList<QColor> colours = {Qt::blue, Qt::green};
    for (int i = 0; i < 3; ++i) {
        const QPoint centre = corners[i] + QPoint(column / 2, heights[i] / 2);
        if (i < 2)
            QCOMPARE(sheet.pixelColor(centre), colours[i]);
        else
            QCOMPARE(sheet.pixelColor(corners[i] + QPoint(6, heights[i] - 6)), QColor(Qt::white));
        const QRect caption(corners[i] - QPoint(0, CaptionHeight), QSize(column, CaptionHeight));
        QVERIFY2(inked(sheet, caption) > 40, qPrintable(tiles[i].caption));
    }
    // The reason is written into the box, not just a frame drawn round it.
    const QRect reason(corners[2] + QPoint(12, 12), QSize(column - 24, 40));
    QVERIFY(sheet.copy(reason) != filled(reason.width(), reason.height(), Qt::white));
}

void TestContactSheet::drawsTheLibrary_data()
{
    QTest::addColumn<bool>("withBroken");
    QTest::addRow("two templates") << false;
    QTest::addRow("and a damaged one") << true;
}

// The real command on a real engine: every template drawn whole at the width
// asked for, in page order, the damaged one as a box and an exit status of 1.
void TestContactSheet::drawsTheLibrary()
{
    QFETCH(bool, withBroken);
    GalleryFixture fixture;
    QStringList zeta = {"Orange"};
    if (withBroken) {
        zeta.append("Broken");
        fixture.addFile("templates/Broken.dat", "this is no template");
    }
    fixture.addCategory("0Zeta.html", zeta);
    fixture.addCategory("Alpha.html", {"Blue"});
    for (const auto& [name, message] :
         {std::pair{"Orange", block("#ff8000", 1400)}, std::pair{"Blue", block("#0000ff", 1000)}}) {
        const Result<QByteArray> packed = Module1::packTemplate(message);
        QVERIFY(packed);
        fixture.addFile(QStringLiteral("templates/%1.dat").arg(name), *packed);
    }
    const QString out = fixture.appFolder() + "/sheet.png";

    QProcess tool;
    tool.start(QUILLERY_THUMBNAILS, {"sheet", fixture.appFolder(), "320", out, "2"});
    QVERIFY(tool.waitForFinished(180000));
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), withBroken ? 1 : 0);
    QCOMPARE(err.contains("Broken.dat"), withBroken);

    const QStringList captions =
        QString::fromUtf8(tool.readAllStandardOutput()).split('\n').filter(QStringLiteral(" · "));
    QStringList expected = {QStringLiteral("Orange · Zeta"), QStringLiteral("Blue · Alpha")};
    if (withBroken)
        expected.insert(1, QStringLiteral("Broken · Zeta"));
    QCOMPARE(captions, expected);

    // Orange beside Blue, or beside the broken box with Blue in the next row.
    const QImage sheet(out);
    const int top = Margin + CaptionHeight;
    const int secondRow = top + 1400 + Gap + CaptionHeight;
    QCOMPARE(sheet.size(), QSize(sheetWidth(320, 2),
                                 withBroken ? secondRow + 1000 + Margin : top + 1400 + Margin));
    QCOMPARE(sheet.pixelColor(Margin + 160, top + 1390), QColor(255, 128, 0));
    const QPoint second(Margin + 320 + Gap + 160, top + 200);
    QCOMPARE(sheet.pixelColor(second), withBroken ? QColor(Qt::white) : QColor(Qt::blue));
    if (withBroken)
        QCOMPARE(sheet.pixelColor(Margin + 160, secondRow + 990), QColor(Qt::blue));
    else
        QCOMPARE(sheet.pixelColor(second + QPoint(0, 1000)), Ground);
}

void TestContactSheet::refusesAWidthOfNothing()
{
    GalleryFixture fixture;
    fixture.addTemplate("Orange");
    const QString out = fixture.appFolder() + "/sheet.png";
    QProcess tool;
    tool.start(QUILLERY_THUMBNAILS, {"sheet", fixture.appFolder(), "0", out});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 2);
    QVERIFY(!QFile::exists(out));
}

// With --outlook every tile is the template as the Outlook model shows it,
// and its caption says so: two boxes a browser sets side by side stack.
void TestContactSheet::drawsTheOutlookModel()
{
    GalleryFixture fixture;
    fixture.addCategory("0Zeta.html", {"Boxes"});
    const QByteArray box = "<div style=\"display:inline-block;width:120px;height:80px;background:";
    const Result<QByteArray> packed = Module1::packTemplate(
        "MIME-Version: 1.0\r\nSubject: Boxes\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
        "<html><body style=\"margin:0\">" +
        box + "#ff8000\"></div>" + box + "#0000ff\"></div></body></html>\r\n");
    QVERIFY(packed);
    fixture.addFile("templates/Boxes.dat", *packed);
    const QString templatePath = fixture.appFolder() + "/templates/Boxes.dat";
    const QString outlookOut = fixture.appFolder() + "/outlook.png";
    const QString previewOut = fixture.appFolder() + "/preview.png";

    QStringList captions;
    QCOMPARE(
        thumbnails({"sheet", "--outlook", fixture.appFolder(), "320", outlookOut, "1"}, &captions),
        0);
    QCOMPARE(captions, QStringList{QStringLiteral("Boxes · Zeta · Outlook model")});
    QCOMPARE(thumbnails({"sheet", fixture.appFolder(), "320", previewOut, "1"}, &captions), 0);
    QCOMPARE(captions, QStringList{QStringLiteral("Boxes · Zeta")});

    OutlookCheck check;
    const Result<QImage> model = check.render(templatePath, 320);
    QVERIFY2(model, qPrintable(model.status().message()));
    const QImage sheet(outlookOut);
    const QPoint corner(Margin, Margin + CaptionHeight);
    QCOMPARE(sheet.copy(QRect(corner, model->size())).convertToFormat(QImage::Format_RGB32),
             model->convertToFormat(QImage::Format_RGB32));

    // The preview keeps the blue box beside the orange one; the model puts it under.
    const QImage preview(previewOut);
    const QPoint beside = corner + QPoint(180, 40);
    const QPoint under = corner + QPoint(60, 120);
    QCOMPARE(preview.pixelColor(beside), QColor(Qt::blue));
    QVERIFY(preview.pixelColor(under) != QColor(Qt::blue));
    QVERIFY(sheet.pixelColor(beside) != QColor(Qt::blue));
    QCOMPARE(sheet.pixelColor(under), QColor(Qt::blue));
}

QTEST_MAIN(TestContactSheet)
#include "tst_contactsheet.moc"
