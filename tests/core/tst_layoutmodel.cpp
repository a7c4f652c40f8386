#include "core/window/hovertable.h"
#include "core/window/layoutmodel.h"

#include <QTest>

using namespace LayoutModel;

using Expected = QList<std::pair<QString, float>>;
Q_DECLARE_METATYPE(Expected)

namespace {

float valueOf(const Form1Geometry& g, const QString& key)
{
    const auto field = [](const TwipRect& r, QChar c) {
        return c == u'L' ? r.left : c == u'T' ? r.top : c == u'W' ? r.width : r.height;
    };
    const QString control = key.chopped(2);
    const QChar c = key.back();
    static const QHash<QString, TwipRect Form1Geometry::*> rects{
        {"picSplitter", &Form1Geometry::picSplitter}, {"cboCategory", &Form1Geometry::cboCategory},
        {"Picture1", &Form1Geometry::Picture1},       {"Picture2", &Form1Geometry::Picture2},
        {"WebBrowser1", &Form1Geometry::WebBrowser1}, {"WebBrowser2", &Form1Geometry::WebBrowser2},
        {"Shape1", &Form1Geometry::Shape1},           {"Shape2", &Form1Geometry::Shape2}};
    if (rects.contains(control))
        return field(g.*rects.value(control), c);
    const int index = control.back().digitValue();
    if (control.startsWith("cmdButton"))
        return field(g.cmdButton[index], c);
    if (control.startsWith("shpTitle"))
        return field(g.shpTitle[index], c);
    return field(g.lblTitle[index], c);
}

} // namespace

class TestLayoutModel : public QObject
{
    Q_OBJECT

private slots:
    void paintUI_data();
    void paintUI();
    void splitFromSetting_data();
    void splitFromSetting();
    void dragColumn();
    void hoverTable();
};

// Each row lays out the designed window first, then the size under test, so a
// refused step shows up as the value of the first pass.
void TestLayoutModel::paintUI_data()
{
    QTest::addColumn<int>("split");
    QTest::addColumn<float>("sw");
    QTest::addColumn<float>("sh");
    QTest::addColumn<Expected>("expected");

    QTest::newRow("design size")
        << 450 << 19755.f << 10125.f
        << Expected{{"picSplitter.H", 9045}, {"Picture1.W", 6495},    {"Picture1.H", 8205},
                    {"cboCategory.W", 6495}, {"Picture2.L", 7005},    {"Picture2.H", 8205},
                    {"Picture2.W", 10335},   {"cmdButton0.L", 17580}, {"cmdButton1.L", 17580},
                    {"cmdButton2.L", 17580}, {"cmdButton3.L", 17580}, {"cmdButton3.T", 8070},
                    {"cmdButton4.W", 19275}, {"shpTitle1.L", 7005},   {"shpTitle1.W", 10335},
                    {"shpTitle1.H", 450},    {"lblTitle1.L", 7005},   {"shpTitle2.L", 17580},
                    {"shpTitle2.H", 450},    {"lblTitle2.L", 17580},  {"Shape1.L", 225},
                    {"Shape1.T", 1665},      {"Shape1.W", 6525},      {"Shape1.H", 8235},
                    {"Shape2.L", 6990},      {"Shape2.T", 1665},      {"Shape2.W", 10365},
                    {"Shape2.H", 8235},      {"WebBrowser1.L", -30},  {"WebBrowser1.T", -30},
                    {"WebBrowser1.W", 6555}, {"WebBrowser1.H", 8265}, {"WebBrowser2.W", 10395},
                    {"lblTitle0.L", 240}};
    QTest::newRow("300 twips wider")
        << 450 << 20055.f << 10125.f
        << Expected{{"Picture2.W", 10635},   {"shpTitle1.W", 10635},  {"cmdButton4.W", 19575},
                    {"cmdButton0.L", 17880}, {"cmdButton3.L", 17880}, {"shpTitle2.L", 17880},
                    {"lblTitle2.L", 17880},  {"Picture1.W", 6495},    {"Picture2.L", 7005}};
    QTest::newRow("taller") << 450 << 19755.f << 11125.f
                            << Expected{{"cmdButton3.T", 9070}, {"Picture1.H", 9205},
                                        {"Picture2.H", 9205},   {"picSplitter.H", 10045},
                                        {"cmdButton0.T", 1680}, {"cmdButton2.T", 5520}};
    QTest::newRow("too narrow for the preview")
        << 450 << 9000.f << 10125.f
        << Expected{{"Picture2.W", 10335},  {"shpTitle1.W", 10335}, {"WebBrowser2.W", 10395},
                    {"cmdButton0.L", 6825}, {"cmdButton4.W", 8520}, {"shpTitle2.L", 6825}};
    QTest::newRow("minimised") << 450 << 0.f << 0.f
                               << Expected{{"picSplitter.H", 9045}, {"Picture1.H", 8205},
                                           {"Picture2.H", 8205},    {"Picture2.W", 10335},
                                           {"cmdButton0.L", -2175}, {"cmdButton3.T", -2055},
                                           {"cmdButton4.W", 19275}, {"shpTitle2.L", -2175}};
    QTest::newRow("splitter at 500") << 500 << 19755.f << 10125.f
                                     << Expected{{"Picture1.W", 7245},
                                                 {"Picture2.L", 7755},
                                                 {"cboCategory.W", 7245},
                                                 {"Picture2.W", 9585}};
}

void TestLayoutModel::paintUI()
{
    QFETCH(int, split);
    QFETCH(float, sw);
    QFETCH(float, sh);
    QFETCH(Expected, expected);

    Form1Geometry g = Form1Geometry::design();
    g.picSplitter.left = split * TwipsPerPixel;
    PaintUI(g, DesignScaleWidth, DesignScaleHeight);
    PaintUI(g, sw, sh);
    for (const auto& [key, value] : expected)
        QVERIFY2(
            valueOf(g, key) == value,
            qPrintable(QString("%1 is %2, expected %3").arg(key).arg(valueOf(g, key)).arg(value)));
    QCOMPARE(g.picSplitter.left, split * TwipsPerPixel);
    QCOMPARE(g.lblTitle[0], Form1Geometry::design().lblTitle[0]);
}

void TestLayoutModel::splitFromSetting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::newRow("missing") << QString() << 450;
    QTest::newRow("250") << "250" << 450;
    QTest::newRow("251") << "251" << 251;
    QTest::newRow("899") << "899" << 899;
    QTest::newRow("900") << "900" << 450;
    QTest::newRow("reset") << "0" << 450;
    QTest::newRow("unit after the number") << "300px" << 300;
    QTest::newRow("half to even, down") << "300.5" << 300;
    QTest::newRow("half to even, up") << "301.5" << 302;
    QTest::newRow("250.5 rounds to 250") << "250.5" << 450;
    QTest::newRow("250.6 rounds to 251") << "250.6" << 251;
    QTest::newRow("leading blanks and sign") << "  +612" << 612;
    QTest::newRow("negative") << "-500" << 450;
    QTest::newRow("not a number") << "wide" << 450;
    QTest::newRow("huge") << QString(400, u'9') << 450;
    QTest::newRow("second point stops") << "400.5.5" << 400;
}

void TestLayoutModel::splitFromSetting()
{
    QFETCH(QString, text);
    QFETCH(int, pixels);
    QCOMPARE(LayoutModel::splitFromSetting(text), pixels);
}

void TestLayoutModel::dragColumn()
{
    // The column is the bar's left edge plus the pointer's offset, rounded
    // halves to even; the stored text is the bar's edge in whole pixels.
    QCOMPARE(LayoutModel::dragColumn(4500, 7.5f * 15), 308);
    QCOMPARE(LayoutModel::dragColumn(4500, 8.5f * 15), 308);
    QCOMPARE(LayoutModel::dragColumn(4500, -200 * 15), 100);
    QVERIFY(!isSplitAccepted(250) && isSplitAccepted(251));
    QVERIFY(isSplitAccepted(899) && !isSplitAccepted(900));
    QCOMPARE(splitSettingText(7500), QStringLiteral("500"));
    QCOMPARE(splitSettingText(6750), QStringLiteral("450"));
}

void TestLayoutModel::hoverTable()
{
    QCOMPARE(HoverTable::hoverColourOf(HoverTable::Orange), 0x0040A0FFu);
    QCOMPARE(HoverTable::hoverColourOf(HoverTable::Grey), 0x00909090u);
    QCOMPARE(HoverTable::baseColourOf(0x00909090), HoverTable::Grey);
    QCOMPARE(HoverTable::baseColourOf(0x0000D000), HoverTable::Green);
    QVERIFY(!HoverTable::hoverColourOf(0x00FFFFFF));
    // A hover shade is not a base: entering twice never lightens further.
    QVERIFY(!HoverTable::hoverColourOf(0x0040A0FF));
    QVERIFY(!HoverTable::baseColourOf(HoverTable::Orange));
}

QTEST_APPLESS_MAIN(TestLayoutModel)
#include "tst_layoutmodel.moc"
