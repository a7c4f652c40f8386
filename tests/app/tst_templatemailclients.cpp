// What the shipped templates carry for mail programs the engine does not
// imitate on its own: a reader who blocks images, Outlook.com's dark mode, and
// the head that phones and Outlook read.

#include "templaterender.h"

#include <QDirIterator>
#include <QTemporaryDir>

using namespace TemplateRender;

namespace {

const char* const Inspect = R"js(
(() => {
  const rgb = s => { const m = s.match(/rgba?\(([^)]+)\)/); if (!m) return null;
                     const p = m[1].split(',').map(Number);
                     return {r: p[0], g: p[1], b: p[2], a: p.length > 3 ? p[3] : 1}; };
  const channel = v => { v /= 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); };
  const lum = c => 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
  const behind = el => { for (let e = el.parentElement; e; e = e.parentElement) {
                           const c = rgb(getComputedStyle(e).backgroundColor);
                           if (c && c.a > 0.5) return c; }
                         return {r: 255, g: 255, b: 255, a: 1}; };
  const contrast = (a, b) => { const x = lum(a), y = lum(b);
                               return (Math.max(x, y) + 0.05) / (Math.min(x, y) + 0.05); };
  const images = [...document.images].map(i => {
    const r = i.getBoundingClientRect(), s = getComputedStyle(i);
    return {src: i.getAttribute('src'), alt: i.alt,
            width: +i.getAttribute('width'), height: +i.getAttribute('height'),
            shownWidth: r.width, shownHeight: r.height,
            naturalWidth: i.naturalWidth, naturalHeight: i.naturalHeight,
            altFont: s.fontFamily, altContrast: contrast(rgb(s.color), behind(i))};
  });
  const cells = [...document.querySelectorAll('td, table, body')]
      .filter(e => e.style.backgroundColor && !e.getAttribute('bgcolor'))
      .map(e => e.outerHTML.slice(0, 80));
  const rules = sheet => [...sheet.cssRules];
  const dark = [], mirrored = new Set();
  for (const sheet of document.styleSheets) {
    for (const rule of rules(sheet)) {
      if (rule.media && rule.media.mediaText.includes('prefers-color-scheme: dark'))
        for (const inner of rules(rule)) dark.push(inner);
      else if (rule.selectorText && /\[data-ogs[bc]\]/.test(rule.selectorText))
        mirrored.add(rule.selectorText.replace(/\[data-ogs[bc]\] /g, '') + '{' + rule.style.cssText + '}');
    }
  }
  const unmirrored = dark.filter(r => r.selectorText !== 'body')
                         .map(r => r.selectorText + '{' + r.style.cssText + '}')
                         .filter(r => !mirrored.has(r));
  const meta = name => document.querySelector(`meta[name="${name}"]`)?.getAttribute('content') ?? null;
  return JSON.stringify({images, cells, darkRules: dark.length, unmirrored,
                         colorScheme: meta('color-scheme'),
                         supportedColorSchemes: meta('supported-color-schemes'),
                         noReformatting: document.querySelector('meta[name="x-apple-disable-message-reformatting"]') !== null});
})()
)js";

QJsonObject inspect(QWebEngineView& view)
{
    QJsonObject result;
    QEventLoop loop;
    view.page()->runJavaScript(QString::fromLatin1(Inspect), [&](const QVariant& value) {
        result = QJsonDocument::fromJson(value.toString().toUtf8()).object();
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

QString describe(const QJsonObject& image)
{
    return QStringLiteral("%1 (%2x%3)")
        .arg(image.value(QLatin1String("src")).toString())
        .arg(image.value(QLatin1String("width")).toInt())
        .arg(image.value(QLatin1String("height")).toInt());
}

} // namespace

class TestTemplateMailClients : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_view.setAttribute(Qt::WA_DontShowOnScreen);
        m_view.resize(800, 900);
        m_view.show();
    }

    void templates_data()
    {
        QTest::addColumn<QString>("path");
        for (const QFileInfo& file : templateFiles())
            QTest::newRow(qPrintable(file.completeBaseName())) << file.filePath();
        QVERIFY(templateFiles().size() >= 30);
    }

    // Each image's size attributes keep its own shape, so the layout does not
    // move when the pictures arrive late or never.
    void sizeAttributesMatchThePictures_data() { templates_data(); }

    void sizeAttributesMatchThePictures()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));
        QVERIFY(load(m_view, page));
        const QJsonObject found = inspect(m_view);
        const QJsonArray images = found.value(QLatin1String("images")).toArray();
        QVERIFY(!images.isEmpty());
        for (const QJsonValue& value : images) {
            const QJsonObject image = value.toObject();
            const double width = image.value(QLatin1String("width")).toDouble();
            const double height = image.value(QLatin1String("height")).toDouble();
            QVERIFY2(width > 0 && height > 0, qPrintable(describe(image) + " has no size"));
            // The pictures are drawn at twice their size.
            const double natural = image.value(QLatin1String("naturalHeight")).toDouble() * width /
                                   image.value(QLatin1String("naturalWidth")).toDouble();
            QVERIFY2(qAbs(natural - height) <= 1.0,
                     qPrintable(QStringLiteral("%1: drawn %2 px high at this width")
                                    .arg(describe(image))
                                    .arg(natural)));
        }
        const QJsonArray cells = found.value(QLatin1String("cells")).toArray();
        QVERIFY2(cells.isEmpty(),
                 qPrintable(QStringLiteral("a background without bgcolor: %1")
                                .arg(cells.isEmpty() ? QString() : cells.first().toString())));
    }

    // With images blocked the boxes keep their size and the alt texts are
    // readable on what is behind them, in the template's type.
    void imagesOff_data() { templates_data(); }

    void imagesOff()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));
        int removed = 0;
        QDirIterator pictures(QFileInfo(page).absolutePath(), {QStringLiteral("*.png")},
                              QDir::Files, QDirIterator::Subdirectories);
        while (pictures.hasNext())
            removed += QFile::remove(pictures.next()) ? 1 : 0;
        QVERIFY(removed > 0);
        QVERIFY(load(m_view, page));
        for (const QJsonValue& value : inspect(m_view).value(QLatin1String("images")).toArray()) {
            const QJsonObject image = value.toObject();
            QVERIFY2(image.value(QLatin1String("naturalWidth")).toInt() == 0,
                     qPrintable(describe(image) + " is still shown"));
            QVERIFY2(qAbs(image.value(QLatin1String("shownHeight")).toDouble() -
                          image.value(QLatin1String("height")).toDouble()) <= 1.0,
                     qPrintable(QStringLiteral("%1 is %2 px high without its picture")
                                    .arg(describe(image))
                                    .arg(image.value(QLatin1String("shownHeight")).toDouble())));
            if (image.value(QLatin1String("alt")).toString().isEmpty())
                continue;
            QVERIFY2(image.value(QLatin1String("altContrast")).toDouble() >= 4.5,
                     qPrintable(QStringLiteral("the alt text of %1 has contrast %2:1")
                                    .arg(describe(image))
                                    .arg(image.value(QLatin1String("altContrast")).toDouble())));
            QVERIFY2(
                !image.value(QLatin1String("altFont")).toString().contains(QLatin1String("Times")),
                qPrintable(describe(image) + " has its alt text in the default serif"));
        }
    }

    // Outlook.com darkens a message itself; every dark colour the template
    // gives the engines that ask must also reach it.
    void darkModeReachesOutlookCom_data() { templates_data(); }

    void darkModeReachesOutlookCom()
    {
        QFETCH(QString, path);
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));
        QVERIFY(load(m_view, page));
        const QJsonObject found = inspect(m_view);
        QCOMPARE(found.value(QLatin1String("colorScheme")).toString(),
                 QStringLiteral("light dark"));
        QCOMPARE(found.value(QLatin1String("supportedColorSchemes")).toString(),
                 QStringLiteral("light dark"));
        QVERIFY(found.value(QLatin1String("noReformatting")).toBool());
        QVERIFY(found.value(QLatin1String("darkRules")).toInt() > 5);
        const QJsonArray unmirrored = found.value(QLatin1String("unmirrored")).toArray();
        QVERIFY2(
            unmirrored.isEmpty(),
            qPrintable(QStringLiteral("not for Outlook.com: %1")
                           .arg(unmirrored.isEmpty() ? QString() : unmirrored.first().toString())));
    }

private:
    QWebEngineView m_view;
};

QTEST_MAIN(TestTemplateMailClients)
#include "tst_templatemailclients.moc"
