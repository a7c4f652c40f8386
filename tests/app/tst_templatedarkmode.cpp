// Every template and category page again, with the engine asking for a dark
// colour scheme: the dark-mode colours of the templates' style sheets must
// keep every text readable.

#include "templaterender.h"

#include <QApplication>
#include <QTemporaryDir>

using namespace TemplateRender;

class TestTemplateDarkMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_view.setAttribute(Qt::WA_DontShowOnScreen);
        m_view.resize(600, 900);
        m_view.show();
    }

    void engineIsDark()
    {
        QVERIFY(load(m_view, QDir(libraryFolder() + QLatin1String("/categories"))
                                 .entryInfoList({QStringLiteral("*.html")}, QDir::Files)
                                 .first()
                                 .filePath()));
        QEventLoop loop;
        bool dark = false;
        m_view.page()->runJavaScript(
            QStringLiteral("matchMedia('(prefers-color-scheme: dark)').matches"),
            [&](const QVariant& value) {
                dark = value.toBool();
                loop.quit();
            });
        loop.exec();
        QVERIFY2(dark, "the engine did not take the dark colour scheme");
    }

    void readableInDarkMode_data()
    {
        QTest::addColumn<QString>("path");
        for (const QFileInfo& file : templateFiles())
            QTest::newRow(qPrintable(file.completeBaseName())) << file.filePath();
    }

    void readableInDarkMode()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));
        QVERIFY(load(m_view, page));
        for (int width : {600, 320}) {
            const QJsonObject m = measureAt(m_view, width);
            QVERIFY2(lowContrast(m).isEmpty(), qPrintable(lowContrast(m)));
        }
    }

private:
    QWebEngineView m_view;
};

int main(int argc, char* argv[])
{
    // The colour scheme is a setting of the whole engine, so it is chosen
    // before the engine starts.
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --blink-settings=preferredColorScheme=0");
    QApplication app(argc, argv);
    TestTemplateDarkMode test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_templatedarkmode.moc"
