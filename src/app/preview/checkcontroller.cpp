#include "checkcontroller.h"

#include "browserpane.h"
#include "checkpanel.h"
#include "core/export/templateexport.h"
#include "core/gallery/check/linkprobe.h"
#include "gallerywindow.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QWebEnginePage>
#include <QWebEngineScript>

using SendCheck::Finding;
using SendCheck::Locator;
using SendCheck::Section;

namespace {

// At most this many findings of one engine check each: a template of
// thousands of faint lines needs the first few shown, not all.
constexpr int MostEngineFindings = 50;
// The quick sections of a hostile template still end; past this they are
// given up and the report says so.
constexpr int QuickSeconds = 30;

// Reads, in the program's own world so that it works with the page's scripts
// off, the colours and sizes the engine gave each piece of text. Each element
// is named as the report names elements: its tag and its place among the
// elements of that tag. Bounded in elements and in time; `cut` says so.
const char* const EngineScan = R"JS(
(function () {
  var started = Date.now(), most = 20000, out = [], counts = {}, cut = false;
  function rgba(text) {
    var m = /rgba?\(([^)]*)\)/.exec(text || '');
    if (!m) return null;
    var p = m[1].split(/[ ,\/]+/).filter(function (s) { return s.length; }).map(parseFloat);
    return [p[0], p[1], p[2], p.length > 3 ? p[3] : 1];
  }
  function background(el) {
    for (var e = el; e && e.nodeType === 1; e = e.parentElement) {
      var s = getComputedStyle(e);
      var c = rgba(s.backgroundColor);
      if (c && c[3] >= 0.5) return c;
      if (s.backgroundImage && s.backgroundImage !== 'none') return null;
    }
    return [255, 255, 255, 1];
  }
  var all = document.getElementsByTagName('*');
  for (var i = 0; i < all.length; ++i) {
    var el = all[i], tag = el.localName;
    var index = counts[tag] || 0;
    counts[tag] = index + 1;
    if (i >= most || Date.now() - started > 2000) { cut = true; break; }
    var text = false;
    for (var n = el.firstChild; n; n = n.nextSibling) {
      if (n.nodeType === 3 && /\S/.test(n.nodeValue)) { text = true; break; }
    }
    if (!text || el.closest('head,script,style,title')) continue;
    var s = getComputedStyle(el);
    if (s.visibility === 'hidden' || el.getClientRects().length === 0) continue;
    var colour = rgba(s.color);
    if (!colour) continue;
    var weight = parseInt(s.fontWeight, 10) || 400;
    out.push([tag, index, colour, background(el), parseFloat(s.fontSize) || 0, weight >= 700]);
  }
  return JSON.stringify({items: out, cut: cut});
})()
)JS";

// Scrolls to the element and outlines it, the last one chosen only.
const char* const Outline = R"JS(
(function (tag, index) {
  var old = document.querySelectorAll('[data-quillery-outline]');
  for (var i = 0; i < old.length; ++i) {
    old[i].style.outline = old[i].getAttribute('data-quillery-outline');
    old[i].style.outlineOffset = '';
    old[i].removeAttribute('data-quillery-outline');
  }
  var el = document.getElementsByTagName(tag)[index];
  if (!el) return false;
  el.setAttribute('data-quillery-outline', el.style.outline || '');
  el.style.outline = '3px solid #FF8000';
  el.style.outlineOffset = '2px';
  el.scrollIntoView({block: 'center', inline: 'nearest'});
  return true;
})
)JS";

QColor colourOf(const QJsonValue& value)
{
    const QJsonArray parts = value.toArray();
    if (parts.size() < 3)
        return {};
    return QColor::fromRgbF(float(parts[0].toDouble() / 255), float(parts[1].toDouble() / 255),
                            float(parts[2].toDouble() / 255),
                            float(parts.size() > 3 ? parts[3].toDouble(1) : 1));
}

// Text drawn half see-through shows the background through it.
QColor over(const QColor& text, const QColor& background)
{
    const float a = text.alphaF();
    return QColor::fromRgbF(text.redF() * a + background.redF() * (1 - a),
                            text.greenF() * a + background.greenF() * (1 - a),
                            text.blueF() * a + background.blueF() * (1 - a));
}

} // namespace

CheckController::CheckController(GalleryWindow& window, BrowserPane* preview, QWidget* panelParent,
                                 QObject* parent)
    : QObject(parent), m_window(window), m_preview(preview), m_panel(new CheckPanel(panelParent))
{
    m_panel->hide();
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &CheckController::timedOut);
    m_engineWatchdog.setSingleShot(true);
    connect(&m_engineWatchdog, &QTimer::timeout, this, [this] {
        if (!m_enginePending)
            return;
        m_enginePending = false;
        m_engineFindings.clear();
        m_engineGaps = {
            {Section::Accessibility, tr("Contrast and text size were not read: the preview did not "
                                        "answer within %n seconds.",
                                        nullptr, m_engineSeconds)}};
        compose();
    });
    connect(m_panel, &CheckPanel::findingChosen, this, &CheckController::locate);
    connect(m_panel, &CheckPanel::linkCheckAsked, this, &CheckController::checkLinks);
}

CheckController::~CheckController()
{
    ++m_generation;
    if (m_probe)
        m_probe->cancel();
    // Closing waits a moment for a check to end; one that hangs is left to
    // end on its own, and its report goes nowhere.
    QDeadlineTimer deadline(5000);
    for (QThread* worker : std::as_const(m_workers)) {
        if (worker->wait(deadline))
            delete worker;
    }
}

Result<QByteArray> CheckController::messageToSend(const GalleryWindow& window)
{
    QByteArray message;
    const Status status = TemplateExport::decodeTemplate(window.templateLibrary(),
                                                         window.currentTemplate(), &message);
    if (!status)
        return status;
    return message;
}

void CheckController::setShown(bool shown)
{
    m_shown = shown;
    m_panel->setVisible(shown);
    if (!shown)
        return;
    m_panel->raise();
    // Hidden, the view kept no report up to date: a new template starts one.
    if (m_generation == 0 || m_name != m_window.currentTemplate())
        start();
    else
        compose();
}

void CheckController::setView(const PreviewViews::View& view)
{
    m_view = view;
}

void CheckController::previewShown(const QString& name)
{
    m_pageShown = name;
    if (!m_shown)
        return;
    if (name != m_name)
        start();
    else
        readEngine();
}

void CheckController::start()
{
    ++m_generation;
    m_name = m_window.currentTemplate();
    m_base = {};
    m_engineFindings.clear();
    m_engineGaps.clear();
    m_linkFindings.clear();
    m_linkGaps.clear();
    if (m_probe)
        m_probe->cancel();
    m_probe = nullptr;
    m_panel->setLinkCheckRunning(false);
    m_panel->setStatus({});
    const Result<QByteArray> message = m_source ? m_source() : messageToSend(m_window);
    if (!message) {
        m_stage = Stage::Done;
        m_panel->showMessage(
            tr("%1 cannot be checked: %2").arg(m_name, message.status().message()));
        emit reportChanged(true);
        return;
    }
    m_panel->showMessage(tr("Checking %1\u2026").arg(m_name));
    // The quick sections first, so that they show while SpamAssassin runs.
    SendCheck::Options quick = m_options;
    quick.spam = false;
    m_stage = Stage::Quick;
    m_watchdog.start(QuickSeconds * 1000);
    runWorker(*message, quick, Stage::Quick);
    if (m_options.spam)
        runWorker(*message, m_options, Stage::Spam);
    if (m_pageShown == m_name)
        readEngine();
}

void CheckController::runWorker(const QByteArray& message, const SendCheck::Options& options,
                                Stage stage)
{
    const quint64 generation = m_generation;
    const QPointer<CheckController> self(this);
    QThread* worker = QThread::create([self, message, options, stage, generation] {
        const SendCheck::Report report = SendCheck::check(message, options);
        // Handed over on the window's thread, where `self` is safe to read.
        QMetaObject::invokeMethod(
            qApp,
            [self, generation, stage, report] {
                if (self)
                    self->workerDone(generation, stage, report);
            },
            Qt::QueuedConnection);
    });
    m_workers.append(worker);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, worker] { m_workers.removeOne(worker); });
    worker->start(QThread::LowPriority);
}

void CheckController::workerDone(quint64 generation, Stage stage, const SendCheck::Report& report)
{
    if (generation != m_generation || m_stage == Stage::Done)
        return;
    if (stage == Stage::Quick && m_stage == Stage::Quick) {
        m_base = report;
        if (m_options.spam) {
            m_stage = Stage::Spam;
            // SpamAssassin has its own limit; this one is for a checker that ignores it.
            m_watchdog.start((m_options.spamSeconds + QuickSeconds) * 1000);
        } else {
            m_stage = Stage::Done;
            m_watchdog.stop();
        }
    } else if (stage == Stage::Spam) {
        // The full report came first only when the quick one is stuck; keep it all.
        m_base = report;
        m_stage = Stage::Done;
        m_watchdog.stop();
    }
    compose();
}

void CheckController::timedOut()
{
    if (m_stage == Stage::Quick) {
        m_base = {};
        for (const Section section : SendCheck::AllSections)
            m_base.notChecked.append({section, tr("The checks did not finish within %n seconds.",
                                                  nullptr, QuickSeconds)});
    } else if (m_stage == Stage::Spam) {
        m_base.notChecked.append(
            {Section::Spam, tr("The spam check did not finish in time and was given up.")});
    }
    m_stage = Stage::Done;
    compose();
}

void CheckController::readEngine()
{
    m_engineFindings.clear();
    m_engineGaps.clear();
    if (!m_view.showsPage()) {
        m_engineGaps.append({Section::Accessibility,
                             tr("Contrast and text size are read from the page: choose a view "
                                "that shows the page.")});
        compose();
        return;
    }
    m_enginePending = true;
    m_engineWatchdog.start(m_engineSeconds * 1000);
    const quint64 generation = m_generation;
    const QPointer<CheckController> self(this);
    m_preview->page()->runJavaScript(QString::fromLatin1(EngineScan),
                                     QWebEngineScript::ApplicationWorld,
                                     [self, generation](const QVariant& result) {
                                         if (self)
                                             self->engineDone(generation, result.toString());
                                     });
}

void CheckController::engineDone(quint64 generation, const QString& json)
{
    if (generation != m_generation || !m_enginePending)
        return;
    m_enginePending = false;
    m_engineWatchdog.stop();
    m_engineFindings.clear();
    m_engineGaps.clear();
    const QJsonObject scan = QJsonDocument::fromJson(json.toUtf8()).object();
    if (scan.isEmpty()) {
        m_engineGaps.append({Section::Accessibility,
                             tr("Contrast and text size could not be read from the page.")});
        compose();
        return;
    }
    const bool phone = m_view.isPhoneWide();
    int faint = 0;
    int small = 0;
    for (const QJsonValue& value : scan.value(QStringLiteral("items")).toArray()) {
        const QJsonArray item = value.toArray();
        if (item.size() < 6)
            continue;
        const Locator where{item[0].toString(), item[1].toInt(), 0};
        const double px = item[4].toDouble();
        const QColor background = colourOf(item[3]);
        if (background.isValid()) {
            if (const auto finding = SendCheck::contrastFinding(
                    over(colourOf(item[2]), background), background, px, item[5].toBool(), where)) {
                if (++faint <= MostEngineFindings)
                    m_engineFindings.append(*finding);
            }
        }
        if (phone) {
            if (const auto finding = SendCheck::smallTextFinding(px, where)) {
                if (++small <= MostEngineFindings)
                    m_engineFindings.append(*finding);
            }
        }
    }
    if (faint > MostEngineFindings)
        m_engineGaps.append({Section::Accessibility,
                             tr("%n more pieces of text are too faint; the first %1 are shown.",
                                nullptr, faint - MostEngineFindings)
                                 .arg(MostEngineFindings)});
    if (small > MostEngineFindings)
        m_engineGaps.append({Section::Accessibility,
                             tr("%n more pieces of text are too small; the first %1 are shown.",
                                nullptr, small - MostEngineFindings)
                                 .arg(MostEngineFindings)});
    if (!phone)
        m_engineGaps.append({Section::Accessibility,
                             tr("Text size on a phone is read in the Phone view: choose Phone "
                                "to check it.")});
    if (scan.value(QStringLiteral("cut")).toBool())
        m_engineGaps.append({Section::Accessibility,
                             tr("The page is too large to read whole: contrast and text size "
                                "were checked for its first part only.")});
    compose();
}

void CheckController::compose()
{
    if (m_stage == Stage::Quick)
        return; // still only the "Checking" line
    SendCheck::Report report = m_base;
    SendCheck::addFindings(report, m_engineFindings);
    SendCheck::addFindings(report, m_linkFindings);
    report.notChecked += m_engineGaps;
    report.notChecked += m_linkGaps;
    m_shownReport = report;
    m_panel->showReport(m_name, report, m_stage == Stage::Spam);
    emit reportChanged(m_stage == Stage::Done && !m_enginePending && !m_probe);
}

void CheckController::locate(const Locator& where)
{
    if (!where.isValid())
        return;
    if (!m_view.showsPage() || m_pageShown != m_name) {
        m_panel->setStatus(tr("The preview does not show this template's page: choose a view "
                              "that shows the page."));
        emit located(false);
        return;
    }
    // The tag comes from the template: it goes into the script as a JSON
    // string, never as script text.
    const QString arguments = QString::fromUtf8(
        QJsonDocument(QJsonArray{where.tag, where.index}).toJson(QJsonDocument::Compact));
    const QString script = QString::fromLatin1(Outline).trimmed() + QLatin1Char('(') +
                           arguments.mid(1, arguments.size() - 2) + QLatin1Char(')');
    const QPointer<CheckController> self(this);
    m_preview->page()->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [self, where](const QVariant& found) {
            if (!self)
                return;
            self->m_panel->setStatus(found.toBool()
                                         ? tr("Outlined in the preview: <%1> number %2.")
                                               .arg(where.tag)
                                               .arg(where.index + 1)
                                         : tr("The element is not in the page the preview shows."));
            emit self->located(found.toBool());
        });
}

void CheckController::checkLinks()
{
    if (m_probe || m_shownReport.links.isEmpty())
        return;
    auto* probe = new LinkProbe(this);
    m_probe = probe;
    m_panel->setLinkCheckRunning(true);
    m_panel->setStatus(tr("Asking each address for its answer\u2026"));
    const quint64 generation = m_generation;
    connect(probe, &LinkProbe::finished, this,
            [this, probe, generation](const QList<LinkProbe::Answer>& answers,
                                      const QList<SendCheck::Gap>& notChecked) {
                probe->deleteLater();
                m_probe = nullptr;
                m_panel->setLinkCheckRunning(false);
                if (generation != m_generation)
                    return;
                m_linkFindings = LinkProbe::findings(answers);
                m_linkGaps = notChecked;
                m_panel->setStatus(tr("%n addresses answered.", nullptr, int(answers.size())));
                compose();
                emit linksChecked();
            });
    probe->start(m_shownReport.links);
}
