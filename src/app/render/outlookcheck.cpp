#include "outlookcheck.h"

#include "core/html/htmlscan.h"
#include "core/html/outlookmodel.h"
#include "core/platform/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

// The measuring script lives in this static library; its users need not know.
static void initRenderResources()
{
    Q_INIT_RESOURCE(render);
}

namespace {

// Every element outside svg and math gets a number, so that the page a
// browser shows and its Outlook model can be compared element by element.
QByteArray numbered(const QByteArray& html)
{
    QByteArray out;
    out.reserve(html.size() + html.size() / 4);
    qsizetype copied = 0;
    int number = 0;
    Html::scanHtml(html, [&](const Html::HtmlTag& tag) {
        if (tag.foreign || tag.name.startsWith('!'))
            return;
        const qsizetype at = tag.begin + 1 + tag.name.size();
        out.append(QByteArrayView(html).sliced(copied, at - copied));
        out.append(" data-quillery-box=\"" + QByteArray::number(++number) + '"');
        copied = at;
    });
    out.append(QByteArrayView(html).sliced(copied));
    return out;
}

const QString& measureScript()
{
    static const QString script = [] {
        initRenderResources();
        QFile file(QStringLiteral(":/quillery/outlookcheck.js"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return script;
}

// The padding a button's label keeps on the shipped templates' buttons: 14 px
// above and below, 28 px beside it, less rounding.
constexpr int ShippedButtonAcross = 50;
constexpr int ShippedButtonDown = 24;

// An author's button has lost its padding when the model keeps less than half
// of what a browser shows around its label.
bool lostPadding(int browser, int outlook, int least)
{
    return browser >= least && outlook * 2 < browser;
}

// The label is the template's text: it goes in with the numbers at once, so a
// "%2" in it stays text.
QString buttonFault(const QString& label, int across, int down)
{
    return QCoreApplication::translate("OutlookCheck",
                                       "button \"%1\" lost its padding (%2 x %3 px)")
        .arg(label, QString::number(across), QString::number(down));
}

OutlookCheck::Findings findingsOf(const QJsonObject& browser, const QJsonObject& outlook)
{
    OutlookCheck::Findings findings;
    int index = 0;
    for (const QJsonValue& value : outlook.value(QLatin1String("rows")).toArray()) {
        const QJsonObject row = value.toObject();
        const int columns = row.value(QLatin1String("columns")).toInt();
        if (columns > 1 && row.value(QLatin1String("besideFirst")).toInt() < 2)
            findings.faults << QCoreApplication::translate("OutlookCheck",
                                                           "row %1: its %2 columns stack")
                                   .arg(index)
                                   .arg(columns);
        if (row.value(QLatin1String("overflow")).toBool())
            findings.faults << QCoreApplication::translate(
                                   "OutlookCheck", "row %1: a column sticks out of the page")
                                   .arg(index);
        ++index;
        ++findings.checked;
    }
    for (const QJsonValue& value : outlook.value(QLatin1String("buttons")).toArray()) {
        const QJsonObject button = value.toObject();
        const int across = button.value(QLatin1String("x")).toInt();
        const int down = button.value(QLatin1String("y")).toInt();
        if (across < ShippedButtonAcross || down < ShippedButtonDown)
            findings.faults << buttonFault(button.value(QLatin1String("label")).toString(), across,
                                           down);
        ++findings.checked;
    }
    for (const QJsonValue& value : outlook.value(QLatin1String("taglines")).toArray()) {
        if (!value.toBool())
            findings.faults << QCoreApplication::translate("OutlookCheck",
                                                           "the tagline runs into the brand name");
        ++findings.checked;
    }
    const QJsonArray groups = browser.value(QLatin1String("groups")).toArray();
    const QJsonArray modelGroups = outlook.value(QLatin1String("groups")).toArray();
    for (qsizetype i = 0; i < groups.size() && i < modelGroups.size(); ++i) {
        const QJsonObject group = modelGroups[i].toObject();
        const int shown = group.value(QLatin1String("shown")).toInt();
        // Boxes the model takes out have an Outlook version of their own.
        if (shown >= 2 && group.value(QLatin1String("besideFirst")).toInt() < 2)
            findings.faults
                << QCoreApplication::translate("OutlookCheck",
                                               "the %1 boxes side by side from \"%2\" stack")
                       .arg(QString::number(shown),
                            groups[i].toObject().value(QLatin1String("label")).toString());
        ++findings.checked;
    }
    const QJsonArray buttons = browser.value(QLatin1String("buttons")).toArray();
    const QJsonArray links = outlook.value(QLatin1String("links")).toArray();
    for (qsizetype i = 0; i < buttons.size() && i < links.size(); ++i) {
        if (!links[i].isObject())
            continue;
        const QJsonObject button = buttons[i].toObject();
        const int across = links[i].toObject().value(QLatin1String("x")).toInt();
        const int down = links[i].toObject().value(QLatin1String("y")).toInt();
        if (lostPadding(button.value(QLatin1String("x")).toInt(), across, 8) ||
            lostPadding(button.value(QLatin1String("y")).toInt(), down, 6))
            findings.faults << buttonFault(button.value(QLatin1String("label")).toString(), across,
                                           down);
        ++findings.checked;
    }
    return findings;
}

// The page a model view is written to, beside the page it shows.
QString besidePage(const QString& page, const char* name)
{
    return QFileInfo(page).absolutePath() + QLatin1Char('/') + QLatin1String(name);
}

// The page written for the check as Outlook reads it; `shownPath` is the file
// the author knows, named in every message.
Result<QString> writeModel(const QByteArray& html, const QString& page, const QString& shownPath)
{
    const Result<QString> view = OutlookModel::outlookView(QString::fromUtf8(html));
    if (!view)
        return Status::failure(QDir::toNativeSeparators(shownPath) + QLatin1String(": ") +
                               view.status().message());
    const QString target = besidePage(page, "quillery-outlook.html");
    if (Status written = FileIo::writeAtomically(target, view->toUtf8()); !written)
        return written;
    return target;
}

// The library file staged as the preview stages it, in `work`, which the
// caller keeps for as long as it reads the page.
Result<QString> staged(const QString& templatePath, const QTemporaryDir& work)
{
    if (!work.isValid())
        return Status::failure(
            QDir::toNativeSeparators(templatePath) +
            QCoreApplication::translate("OutlookCheck", ": no working folder for the check"));
    return ThumbnailRenderer::stageTemplate(templatePath, work.path());
}

} // namespace

Result<OutlookCheck::Findings> OutlookCheck::checkTemplate(const QString& templatePath)
{
    QTemporaryDir work;
    const Result<QString> page = staged(templatePath, work);
    if (!page)
        return page.status();
    return check(*page, templatePath);
}

Result<QStringList> OutlookCheck::faults(const QString& templatePath)
{
    const Result<Findings> findings = checkTemplate(templatePath);
    if (!findings)
        return findings.status();
    return findings->faults;
}

Result<OutlookCheck::Findings> OutlookCheck::checkPage(const QString& pagePath)
{
    return check(pagePath, pagePath);
}

Result<OutlookCheck::Findings> OutlookCheck::check(const QString& page, const QString& shownPath)
{
    const Result<QByteArray> html = FileIo::readAll(page);
    if (!html)
        return html.status();
    const QByteArray marked = numbered(*html);
    const QString browserPage = besidePage(page, "quillery-browser.html");
    if (Status written = FileIo::writeAtomically(browserPage, marked); !written)
        return written;
    const Result<QString> outlookPage = writeModel(marked, page, shownPath);
    if (!outlookPage)
        return outlookPage.status();
    const Result<QJsonObject> browser =
        measure(browserPage, QJsonArray{QStringLiteral("browser"), QJsonObject()}, shownPath);
    if (!browser)
        return browser.status();
    const Result<QJsonObject> outlook =
        measure(*outlookPage, QJsonArray{QStringLiteral("outlook"), *browser}, shownPath);
    if (!outlook)
        return outlook.status();
    return findingsOf(*browser, *outlook);
}

Result<QJsonObject> OutlookCheck::measure(const QString& page, const QJsonArray& arguments,
                                          const QString& shownPath)
{
    const QString where = QDir::toNativeSeparators(shownPath);
    if (!m_renderer.load(page, Width, Height))
        return Status::failure(
            where + QCoreApplication::translate("OutlookCheck", ": the page did not load"));
    const QVariant value = m_renderer.evaluate(
        measureScript() + QStringLiteral(".apply(null, ") +
        QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact)) +
        QLatin1Char(')'));
    const QJsonObject measured = QJsonDocument::fromJson(value.toString().toUtf8()).object();
    if (measured.isEmpty())
        return Status::failure(where + QCoreApplication::translate(
                                           "OutlookCheck", ": its layout could not be measured"));
    return measured;
}

Result<QImage> OutlookCheck::render(const QString& templatePath, int width)
{
    QTemporaryDir work;
    const Result<QString> page = staged(templatePath, work);
    if (!page)
        return page.status();
    const Result<QByteArray> html = FileIo::readAll(*page);
    if (!html)
        return html.status();
    const Result<QString> outlookPage = writeModel(*html, *page, templatePath);
    if (!outlookPage)
        return outlookPage.status();
    const QImage shot = m_renderer.render(*outlookPage, width, 0);
    if (shot.isNull())
        return Status::failure(
            QDir::toNativeSeparators(templatePath) +
            QCoreApplication::translate("OutlookCheck", ": the page could not be drawn"));
    return shot;
}
