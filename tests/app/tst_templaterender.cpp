// Loads every template of the built library in the web engine, as the preview
// does, and every category page, as the left pane does, and checks what a
// reader would see: nothing wider than a phone screen, no missing image, text
// that stands out from its background.

#include "templaterender.h"

#include <QTemporaryDir>
#include <QWebEngineSettings>

using namespace TemplateRender;

class TestTemplateRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_view.setAttribute(Qt::WA_DontShowOnScreen);
        m_view.show();
        // No scroll bar narrows the page: the width is all the template's.
        m_bare.settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        m_bare.setAttribute(Qt::WA_DontShowOnScreen);
        m_bare.show();
    }

    void libraryIsComplete()
    {
        const QStringList pages = QDir(libraryFolder() + QLatin1String("/categories"))
                                      .entryList({QStringLiteral("*.html")}, QDir::Files);
        QVERIFY2(templateFiles().size() >= 30, qPrintable(QString::number(templateFiles().size())));
        QVERIFY2(pages.size() >= 6, qPrintable(QString::number(pages.size())));
    }

    void templateRenders_data()
    {
        QTest::addColumn<QString>("path");
        for (const QFileInfo& file : templateFiles())
            QTest::newRow(qPrintable(file.completeBaseName())) << file.filePath();
    }

    // Loaded wide, then its files are deleted as the preview deletes them, and
    // only then narrowed: whatever the narrow layout needs must already be there.
    void templateRenders()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));

        m_view.resize(800, 900);
        QVERIFY(load(m_view, page));
        QVERIFY(QDir(work.path() + QLatin1String("/msg")).removeRecursively());

        for (int width : {800, 600, 320}) {
            const QJsonObject m = measureAt(m_view, width);
            QCOMPARE(m.value(QLatin1String("innerWidth")).toInt(), width);
            QVERIFY2(m.value(QLatin1String("images")).toArray().size() >= 2,
                     "a template shows its images");
            const QString missing = missingImage(m);
            QVERIFY2(missing.isEmpty(),
                     qPrintable(QStringLiteral("at %1 px: %2 not shown").arg(width).arg(missing)));
            const int scrollWidth = m.value(QLatin1String("scrollWidth")).toInt();
            QVERIFY2(
                scrollWidth <= width,
                qPrintable(
                    QStringLiteral("at %1 px the page is %2 px wide").arg(width).arg(scrollWidth)));
            QVERIFY2(lowContrast(m).isEmpty(), qPrintable(lowContrast(m)));
        }
    }

    // A window of the template's own width shows its design, not the phone's:
    // what it lays out side by side stays side by side.
    void columnsSitSideBySide_data() { templateRenders_data(); }

    void columnsSitSideBySide()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));
        m_bare.resize(600, 900);
        QVERIFY(load(m_bare, page));
        const QJsonObject m = measureAt(m_bare, 600);
        const QJsonArray stacked = m.value(QLatin1String("stackedColumns")).toArray();
        QVERIFY2(stacked.isEmpty(), QJsonDocument(stacked).toJson(QJsonDocument::Compact));
    }

    // What screen readers and clients that strip styles rely on.
    void templateIsAccessible_data() { templateRenders_data(); }

    void templateIsAccessible()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));
        QVERIFY(load(m_view, page));
        const QJsonObject m = evaluate(m_view);
        QVERIFY(!m.value(QLatin1String("lang")).toString().isEmpty());
        QCOMPARE(m.value(QLatin1String("layoutTablesWithoutRole")).toInt(), 0);
        QCOMPARE(m.value(QLatin1String("imagesWithoutAlt")).toInt(), 0);
    }

    void categoryPageRenders_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        const QFileInfoList pages =
            QDir(libraryFolder() + QLatin1String("/categories"))
                .entryInfoList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
        for (const QFileInfo& page : pages)
            for (int width : {235, 880})
                QTest::addRow("%s at %d", qPrintable(page.completeBaseName()), width)
                    << page.filePath() << width;
    }

    // The left pane ranges from about 235 to 880 px wide.
    void categoryPageRenders()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        m_view.resize(width, 700);
        QVERIFY(load(m_view, path));
        const QJsonObject m = measureAt(m_view, width);
        QVERIFY(m.value(QLatin1String("images")).toArray().size() >= 5);
        const QString missing = missingImage(m);
        QVERIFY2(missing.isEmpty(), qPrintable(missing + QLatin1String(" not shown")));
        QVERIFY(m.value(QLatin1String("scrollWidth")).toInt() <= width);
        QVERIFY2(lowContrast(m).isEmpty(), qPrintable(lowContrast(m)));
    }

private:
    QWebEngineView m_view;
    QWebEngineView m_bare;
};

QTEST_MAIN(TestTemplateRender)
#include "tst_templaterender.moc"
