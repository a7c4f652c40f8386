// Loads every template of the built library in the web engine, as the preview
// does, and every category page, as the left pane does, and checks what a
// reader would see: nothing wider than a phone screen, no missing image.

#include "fileio.h"
#include "mimecomponent.h"
#include "templatedecoding.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

namespace {

// The library is built beside the library tool.
QString libraryFolder()
{
    return QFileInfo(QStringLiteral(QUILLERY_TOOL)).absolutePath();
}

const char* const Measure = R"js(
    JSON.stringify({
        innerWidth: window.innerWidth,
        scrollWidth: document.documentElement.scrollWidth,
        images: Array.from(document.images).map(i => ({src: i.getAttribute('src'),
                                                      complete: i.complete,
                                                      width: i.naturalWidth}))
    })
)js";

QJsonObject evaluate(QWebEngineView& view)
{
    QJsonObject result;
    QEventLoop loop;
    view.page()->runJavaScript(QString::fromLatin1(Measure), [&](const QVariant& value) {
        result = QJsonDocument::fromJson(value.toString().toUtf8()).object();
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

// Resizes and waits until the page's layout viewport has followed.
QJsonObject measureAt(QWebEngineView& view, int width)
{
    view.resize(width, 900);
    QJsonObject m;
    for (int attempt = 0; attempt < 50; ++attempt) {
        m = evaluate(view);
        if (m.value(QLatin1String("innerWidth")).toInt() == width)
            break;
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m;
}

bool load(QWebEngineView& view, const QString& page)
{
    QSignalSpy finished(&view, &QWebEngineView::loadFinished);
    view.load(QUrl::fromLocalFile(page));
    return finished.wait(30000) && finished.first().first().toBool();
}

// Every <img> decoded with real pixels; returns the first one that is not.
QString missingImage(const QJsonObject& m)
{
    for (const QJsonValue& image : m.value(QLatin1String("images")).toArray()) {
        const QJsonObject i = image.toObject();
        if (!i.value(QLatin1String("complete")).toBool() ||
            i.value(QLatin1String("width")).toInt() <= 0)
            return i.value(QLatin1String("src")).toString();
    }
    return {};
}

} // namespace

class TestTemplateRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_view.setAttribute(Qt::WA_DontShowOnScreen);
        m_view.show();
    }

    void libraryIsComplete()
    {
        const QStringList templates = QDir(libraryFolder() + QLatin1String("/templates"))
                                          .entryList({QStringLiteral("*.dat")}, QDir::Files);
        const QStringList pages = QDir(libraryFolder() + QLatin1String("/categories"))
                                      .entryList({QStringLiteral("*.html")}, QDir::Files);
        QVERIFY2(templates.size() >= 30, qPrintable(QString::number(templates.size())));
        QVERIFY2(pages.size() >= 6, qPrintable(QString::number(pages.size())));
    }

    void templateRenders_data()
    {
        QTest::addColumn<QString>("path");
        const QFileInfoList files =
            QDir(libraryFolder() + QLatin1String("/templates"))
                .entryInfoList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
        for (const QFileInfo& file : files)
            QTest::newRow(qPrintable(file.completeBaseName())) << file.filePath();
    }

    // Loaded wide, then its files are deleted as the preview deletes them, and
    // only then narrowed: whatever the narrow layout needs must already be there.
    void templateRenders()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const std::optional<QByteArray> file = FileIo::readAll(path, &error);
        QVERIFY2(file, qPrintable(error));
        const std::optional<QByteArray> message = Module1::UnpackTemplate(*file, &error);
        QVERIFY2(message, qPrintable(error));
        MimeComponent mime;
        QVERIFY2(mime.LoadEmlData(*message), qPrintable(mime.lastError()));
        const QString html = mime.SaveHtmlToSubfolder(work.path(), QStringLiteral("msg"));
        QVERIFY2(mime.lastError().isEmpty(), qPrintable(mime.lastError()));
        const QString page = work.path() + QLatin1String("/msg/msg.html");
        QVERIFY(FileIo::writeAtomically(page, html.toUtf8()));

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
        }
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
    }

private:
    QWebEngineView m_view;
};

QTEST_MAIN(TestTemplateRender)
#include "tst_templaterender.moc"
