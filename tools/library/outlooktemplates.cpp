#include "mailprograms.h"
#include "processwave.h"

#include "core/gallery/library/templatestaging.h"
#include "core/platform/parallel.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <memory>
#include <vector>

namespace MailPrograms {

namespace {

using LibraryCheck::Problems;

// The renderer starts its web engine once per run and then lays each page out
// twice, a few dozen milliseconds a template; the bound leaves a slow machine
// and a heavy page ample room before a run is taken for hung.
constexpr qsizetype MostTemplatesPerRun = 50;
constexpr int StartSeconds = 60;
constexpr int SecondsPerTemplate = 4;
// Each run is a web engine of its own: a few at once, not one per core.
constexpr int MostRunsAtOnce = 4;

const QString Verdict = QStringLiteral("the templates were not checked in the Outlook model");

// The templates the library check does not already report as undecodable.
QStringList decodable(const QStringList& templatePaths)
{
    std::vector<char> decodes(templatePaths.size());
    Parallel::forEachOnAllCores(int(templatePaths.size()), [&](int i) {
        decodes[i] = bool(TemplateStaging::decodeTemplateFile(templatePaths[i]));
    });
    QStringList paths;
    for (qsizetype i = 0; i < templatePaths.size(); ++i)
        if (decodes[i])
            paths << templatePaths[i];
    return paths;
}

// The line of the renderer's error stream that says why it stopped: its own
// and the web engine's chatter come before it.
QString whySaid(const QString& said)
{
    static const QRegularExpression failure(
        QStringLiteral("error|could not|cannot|failed|not supported"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression engineTag(QStringLiteral("^\\[[^\\]]*\\] *"));
    QStringList lines = said.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const auto why = std::find_if(lines.crbegin(), lines.crend(), [](const QString& line) {
        return failure.match(line).hasMatch();
    });
    const QString line = why != lines.crend() ? *why : lines.value(lines.size() - 1);
    return QString(line).remove(engineTag).trimmed();
}

// The renderer over a share of the templates, and what it said of them.
class Run
{
public:
    explicit Run(const QStringList& templatePaths) : m_templates(templatePaths) {}

    int seconds() const { return StartSeconds + SecondsPerTemplate * int(m_templates.size()); }
    QProcess& process() { return m_process; }

    void start(const QString& renderer, const QProcessEnvironment& environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.start(renderer, QStringList{QStringLiteral("outlook")} + m_templates);
    }

    // The faults it reported appended to `findings`; what went wrong with the
    // run itself, or nothing.
    QString collect(Problems* findings)
    {
        if (m_process.error() == QProcess::FailedToStart)
            return QStringLiteral("it could not start: %1").arg(m_process.errorString());
        const bool hung = m_process.state() != QProcess::NotRunning;
        if (hung) {
            m_process.kill();
            m_process.waitForFinished();
        }
        // What it found before it failed is found all the same.
        QString unusable;
        const qsizetype answered = read(findings, &unusable);
        if (hung)
            return QStringLiteral("it was stopped after %1 s on %2").arg(seconds()).arg(which());
        if (!unusable.isEmpty())
            return QStringLiteral("it said \u201c%1\u201d, which names no template it was given, "
                                  "on %2")
                .arg(unusable.left(200), which());
        const bool crashed = m_process.exitStatus() != QProcess::NormalExit;
        const int status = m_process.exitCode();
        if (!crashed && (status == 0 || status == 1) && answered == m_templates.size())
            return {};
        // A name may hold "%1": it goes in with the status at once.
        QString what = crashed ? QStringLiteral("it crashed on ") + which()
                               : QStringLiteral("it ended with exit status %1 on %2")
                                     .arg(QString::number(status), which());
        if (answered < m_templates.size())
            what += QStringLiteral(", having answered for %1 of them").arg(answered);
        const QString said = whySaid(QString::fromUtf8(m_process.readAllStandardError()));
        return said.isEmpty() ? what : what + QStringLiteral(": ") + said;
    }

private:
    // Every template answers in the order given, with a line per fault or one
    // that it holds; a fault line is the template's path, ": " and the fault.
    // Returns how many templates answered; `unusable` is set to a line that
    // belongs to none of them.
    qsizetype read(Problems* findings, QString* unusable)
    {
        static const QString holds = QStringLiteral("holds in the Outlook model");
        const QStringList lines = QString::fromUtf8(m_process.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        qsizetype current = -1;
        for (const QString& line : lines) {
            if (current + 1 < m_templates.size() &&
                line.startsWith(m_templates[current + 1] + QLatin1String(": ")))
                ++current;
            else if (current < 0 || !line.startsWith(m_templates[current] + QLatin1String(": "))) {
                *unusable = line;
                return current + 1;
            }
            const QString fault = line.mid(m_templates[current].size() + 2);
            if (fault != holds)
                findings->append({m_templates[current],
                                  QStringLiteral("in Outlook for Windows (model): ") + fault});
        }
        return current + 1;
    }

    QString which() const
    {
        const QString first = QFileInfo(m_templates.first()).fileName();
        const QString last = QFileInfo(m_templates.last()).fileName();
        return first == last ? first
                             : QStringLiteral("the templates from %1 to %2").arg(first, last);
    }

    QStringList m_templates;
    QProcess m_process;
};

// The renderer draws nothing on screen, so it needs no display unless the
// caller chose a platform for it.
QProcessEnvironment rendererEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// Runs the renderer on a wave of shares at once, each bounded in time, and
// returns the first failure of a run, or nothing.
QString runWave(const QString& renderer, const QStringList& shares, qsizetype perRun,
                Problems* findings)
{
    std::vector<std::unique_ptr<Run>> runs;
    for (qsizetype first = 0; first < shares.size(); first += perRun)
        runs.push_back(std::make_unique<Run>(shares.mid(first, perRun)));
    int seconds = 0;
    QList<QProcess*> processes;
    for (const std::unique_ptr<Run>& run : runs) {
        seconds = std::max(seconds, run->seconds());
        processes << &run->process();
    }
    const QProcessEnvironment environment = rendererEnvironment();
    RunWave(
        processes, [&](qsizetype i) { runs[i]->start(renderer, environment); }, seconds);
    QString failure;
    for (const std::unique_ptr<Run>& run : runs)
        if (const QString failed = run->collect(findings); failure.isEmpty())
            failure = failed;
    return failure;
}

} // namespace

Report OutlookTemplates(const QStringList& templatePaths, const QString& renderer)
{
    Report report;
    const QStringList paths = decodable(templatePaths);
    if (paths.isEmpty())
        return report;
    const QString shown = QDir::toNativeSeparators(renderer);
    if (!QFileInfo(renderer).isExecutable()) {
        report.notChecked.append({QStringLiteral("the templates cannot be checked in the Outlook "
                                                 "model: the renderer %1 is missing; it is "
                                                 "built and installed with the gallery")
                                      .arg(shown),
                                  Verdict});
        return report;
    }
    const int atOnce = std::clamp(QThread::idealThreadCount() / 2, 1, MostRunsAtOnce);
    const qsizetype perRun =
        std::clamp<qsizetype>((paths.size() + atOnce - 1) / atOnce, 1, MostTemplatesPerRun);
    for (qsizetype wave = 0; wave < paths.size(); wave += perRun * atOnce) {
        const QString failure =
            runWave(renderer, paths.mid(wave, perRun * atOnce), perRun, &report.findings);
        // A renderer that failed once fails the rest alike, or hangs on them.
        if (!failure.isEmpty()) {
            report.notChecked.append(
                {QStringLiteral("the templates cannot be checked in the Outlook model: %1: %2")
                     .arg(shown, failure),
                 Verdict});
            break;
        }
    }
    return report;
}

} // namespace MailPrograms
