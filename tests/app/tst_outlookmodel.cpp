// Renders every template as Outlook for Windows reads it, through the model in
// library/lint/outlook_model.py, and checks what that engine is known to break:
// columns that stack because it knows no inline-block, buttons that lose their
// padding, a tagline that runs into the brand name. A model, not Outlook.

#include "templaterender.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace TemplateRender;

namespace {

// Per row of columns: how many columns and how many sit beside the first;
// per button: the space between its cell and its label; per header: whether
// the tagline starts below the brand name.
const char* const OutlookLayout = R"js(
(() => {
  const box = e => e.getBoundingClientRect();
  const rows = new Map();
  for (const col of document.querySelectorAll('.q-col')) {
    const row = col.parentElement.closest('td.q-panel');
    if (!rows.has(row)) rows.set(row, []);
    rows.get(row).push(box(col));
  }
  const right = document.documentElement.scrollWidth;
  return JSON.stringify({
    rows: [...rows.values()].map(cols => ({
      columns: cols.length,
      // Beside: no horizontal overlap but a vertical one (a column may be
      // centred on a taller one).
      besideFirst: cols.filter(c => c === cols[0] ||
                                    ((c.left >= cols[0].right - 2 || c.right <= cols[0].left + 2) &&
                                     c.top < cols[0].bottom && c.bottom > cols[0].top)).length,
      overflow: cols.some(c => c.right > right + 1)
    })),
    buttons: [...document.querySelectorAll('td.q-button')].map(td => {
      const cell = box(td), label = box(td.querySelector('a'));
      return {label: td.textContent.trim(), x: Math.round(cell.width - label.width),
              y: Math.round(cell.height - label.height)};
    }),
    taglines: [...document.querySelectorAll('.q-brand')].map(brand => {
      const cell = brand.parentElement.closest('td.q-band, td.q-panel');
      const walker = document.createTreeWalker(cell, NodeFilter.SHOW_TEXT);
      let brandBottom = null;
      while (walker.nextNode()) {
        const node = walker.currentNode;
        if (!node.textContent.trim()) continue;
        const range = document.createRange();
        range.selectNodeContents(node);
        const r = range.getBoundingClientRect();
        if (brand.contains(node)) brandBottom = Math.max(brandBottom ?? 0, r.bottom);
        else if (brandBottom !== null) return r.top >= brandBottom - 1;
      }
      return true;
    })
  });
})()
)js";

QJsonObject outlookLayout(QWebEngineView& view)
{
    QJsonObject result;
    QEventLoop loop;
    view.page()->runJavaScript(QString::fromLatin1(OutlookLayout), [&](const QVariant& value) {
        result = QJsonDocument::fromJson(value.toString().toUtf8()).object();
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

// Writes the model of `page` beside it (so its images resolve); returns its
// path, or an empty string with the reason in `error`.
QString outlookPage(const QString& page, QString* error)
{
    const QString out = QFileInfo(page).absolutePath() + QLatin1String("/outlook.html");
    QProcess model;
    model.start(QStringLiteral(QUILLERY_PYTHON),
                {QStringLiteral(QUILLERY_OUTLOOK_MODEL), page, out});
    if (!model.waitForFinished(30000) || model.exitStatus() != QProcess::NormalExit ||
        model.exitCode() != 0) {
        *error = QString::fromUtf8(model.readAllStandardError()) + model.errorString();
        return {};
    }
    return out;
}

// What the model shows wrong, one line per fault; empty when all is well.
QStringList faults(const QJsonObject& layout)
{
    QStringList found;
    int index = 0;
    for (const QJsonValue& value : layout.value(QLatin1String("rows")).toArray()) {
        const QJsonObject row = value.toObject();
        const int columns = row.value(QLatin1String("columns")).toInt();
        if (columns > 1 && row.value(QLatin1String("besideFirst")).toInt() < 2)
            found << QStringLiteral("row %1: its %2 columns stack").arg(index).arg(columns);
        if (row.value(QLatin1String("overflow")).toBool())
            found << QStringLiteral("row %1: a column sticks out of the page").arg(index);
        ++index;
    }
    for (const QJsonValue& value : layout.value(QLatin1String("buttons")).toArray()) {
        const QJsonObject button = value.toObject();
        // 14 px above and below the label, 28 px beside it, less rounding.
        if (button.value(QLatin1String("x")).toInt() < 50 ||
            button.value(QLatin1String("y")).toInt() < 24)
            found << QStringLiteral("button \"%1\" lost its padding (%2 x %3 px)")
                         .arg(button.value(QLatin1String("label")).toString())
                         .arg(button.value(QLatin1String("x")).toInt())
                         .arg(button.value(QLatin1String("y")).toInt());
    }
    for (const QJsonValue& value : layout.value(QLatin1String("taglines")).toArray()) {
        if (!value.toBool())
            found << QStringLiteral("the tagline runs into the brand name");
    }
    return found;
}

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

const QString Button =
    QStringLiteral("<table><tr><td class=\"q-button\" style=\"background-color:#c00;%1\">"
                   "<a href=\"#\" style=\"display:inline-block;padding:14px 28px;font-size:16px;"
                   "line-height:20px;\">Buy</a></td></tr></table>");

} // namespace

class TestOutlookModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_view.setAttribute(Qt::WA_DontShowOnScreen);
        m_view.resize(600, 900);
        m_view.show();
    }

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
        QString error;
        const QString outlook = outlookPage(file.fileName(), &error);
        QVERIFY2(!outlook.isEmpty(), qPrintable(error));
        QVERIFY(load(m_view, outlook));
        const QString found = faults(outlookLayout(m_view)).join(QLatin1String("; "));
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
        QTemporaryDir work;
        QString error;
        const QString page = decodeToPage(path, work.path(), &error);
        QVERIFY2(!page.isEmpty(), qPrintable(error));
        const QString outlook = outlookPage(page, &error);
        QVERIFY2(!outlook.isEmpty(), qPrintable(error));
        QVERIFY(load(m_view, outlook));
        const QJsonObject layout = outlookLayout(m_view);
        QVERIFY2(!layout.isEmpty(), "the layout script ran");
        QVERIFY2(!layout.value(QLatin1String("buttons")).toArray().isEmpty() ||
                     !layout.value(QLatin1String("rows")).toArray().isEmpty(),
                 "a template has buttons or columns to check");
        const QStringList found = faults(layout);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String("; "))));
    }

private:
    QWebEngineView m_view;
};

QTEST_MAIN(TestOutlookModel)
#include "tst_outlookmodel.moc"
