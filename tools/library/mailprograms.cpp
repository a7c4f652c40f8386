#include "mailprograms.h"
#include "processwave.h"

#include "core/gallery/library/templatelibrary.h"
#include "core/gallery/library/templatestaging.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"
#include "core/platform/parallel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <memory>
#include <vector>

namespace MailPrograms {

namespace {

using LibraryCheck::Problem;
using LibraryCheck::Problems;

// Node and the linter's data load once per run; the pages' paths in a run
// stay far below any limit on the length of a command line.
constexpr qsizetype MostPagesPerRun = 200;
// A run lints its pages within seconds; a page that holds Node this long is
// made to, and the author hears which templates were in that run.
constexpr int RunSeconds = 120;

// One HTML part of a template, as a file for the linter.
struct Page
{
    qsizetype templateIndex;
    QString file;
};

// The features a template uses that some programs lack, in the order found.
using Findings = QList<std::pair<QString, QStringList>>;

QString findNode()
{
    for (const QString& name : {QStringLiteral("node"), QStringLiteral("nodejs")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

// Why the linter cannot run, or nothing; `node` is set when it can.
QString missingTool(const QString& linterFolder, QString* node)
{
    const QString package =
        linterFolder + QLatin1String("/node_modules/@jsx-email/doiuse-email/package.json");
    if (!QFileInfo(linterFolder + QLatin1String("/lint.mjs")).isFile() ||
        !QFileInfo(package).isFile())
        return QStringLiteral("the template linter is missing (%1 with its npm packages); "
                              "scripts/install-deps installs it")
            .arg(QDir::toNativeSeparators(linterFolder));
    *node = findNode();
    if (node->isEmpty())
        return QStringLiteral("Node.js is missing (neither node nor nodejs is on PATH); "
                              "scripts/install-deps installs it");
    return {};
}

// The HTML parts of every template that decodes, written into `folder` under
// names of their own: a template's HTML reaches Node as a file, never on its
// command line.
QList<Page> writePages(const QStringList& templatePaths, const QString& folder, Problems* failures)
{
    std::vector<QList<Page>> pages(templatePaths.size());
    std::vector<QString> errors(templatePaths.size());
    Parallel::forEachOnAllCores(int(templatePaths.size()), [&](int i) {
        const Result<TemplateStaging::DecodedTemplate> decoded =
            TemplateStaging::decodeTemplateFile(templatePaths[i]);
        if (!decoded)
            return;
        int part = 0;
        for (const MimeComponent::TextPart& text :
             MimeComponent::readTextParts(decoded->message).parts) {
            if (text.type != "text/html")
                continue;
            const QString file = QStringLiteral("%1/%2-%3.html").arg(folder).arg(i).arg(part++);
            if (const Status written = FileIo::writeAtomically(file, text.content); !written) {
                errors[i] = written.message();
                return;
            }
            pages[i].append({i, file});
        }
    });
    QList<Page> all;
    for (qsizetype i = 0; i < templatePaths.size(); ++i) {
        if (!errors[i].isEmpty())
            failures->append({templatePaths[i], QStringLiteral("in mail programs: not checked, "
                                                               "its HTML could not be written: ") +
                                                    errors[i]});
        else
            all += pages[i];
    }
    return all;
}

void addFinding(Findings* findings, const QString& feature, const QJsonArray& clients)
{
    auto entry = std::find_if(findings->begin(), findings->end(),
                              [&](const auto& found) { return found.first == feature; });
    if (entry == findings->end())
        entry = findings->insert(findings->end(), {feature, {}});
    for (const QJsonValue& client : clients)
        if (!entry->second.contains(client.toString()))
            entry->second.append(client.toString());
}

// Node over a share of the pages, and what it said of them.
class Run
{
public:
    Run(const QList<Page>& pages, qsizetype first, qsizetype count)
        : m_pages(pages.mid(first, count))
    {
    }

    void start(const QString& node, const QString& script)
    {
        QStringList arguments{script, QStringLiteral("--pages")};
        for (const Page& page : m_pages)
            arguments << page.file;
        m_process.start(node, arguments);
    }

    QProcess& process() { return m_process; }

    // The run's findings added to `findings`; a failure of the run itself
    // appended to `failures`, naming `script` and the run's templates.
    void collect(const QString& script, const QStringList& templatePaths,
                 std::vector<Findings>* findings, Problems* failures)
    {
        const QString which = templatesOf(templatePaths);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
            failures->append(
                {script,
                 QStringLiteral("stopped after %1 s linting %2").arg(RunSeconds).arg(which)});
            return;
        }
        qsizetype answered = 0;
        for (const QByteArray& line : m_process.readAllStandardOutput().split('\n')) {
            const QJsonObject report = QJsonDocument::fromJson(line).object();
            const auto page =
                std::find_if(m_pages.cbegin(), m_pages.cend(), [&](const Page& candidate) {
                    return candidate.file == report.value(QLatin1String("page")).toString();
                });
            if (page == m_pages.cend())
                continue;
            ++answered;
            const QString& templatePath = templatePaths[page->templateIndex];
            if (report.contains(QLatin1String("error")))
                failures->append({templatePath, QStringLiteral("in mail programs: the linter "
                                                               "could not read its HTML: %1")
                                                    .arg(report.value("error").toString())});
            for (const QJsonValue& found : report.value(QLatin1String("unsupported")).toArray())
                addFinding(&(*findings)[page->templateIndex],
                           found[QLatin1String("feature")].toString(),
                           found[QLatin1String("clients")].toArray());
        }
        const bool normalExit = m_process.exitStatus() == QProcess::NormalExit &&
                                (m_process.exitCode() == 0 || m_process.exitCode() == 1);
        if (!normalExit || answered != m_pages.size()) {
            const QString said = QString::fromUtf8(m_process.readAllStandardError()).trimmed();
            failures->append({script, QStringLiteral("failed linting %1: %2")
                                          .arg(which, said.isEmpty() ? m_process.errorString()
                                                                     : said.section('\n', 0, 0))});
        }
    }

private:
    QString templatesOf(const QStringList& templatePaths) const
    {
        const QString first = QFileInfo(templatePaths[m_pages.first().templateIndex]).fileName();
        const QString last = QFileInfo(templatePaths[m_pages.last().templateIndex]).fileName();
        return first == last ? first
                             : QStringLiteral("the templates from %1 to %2").arg(first, last);
    }

    QList<Page> m_pages;
    QProcess m_process;
};

// Runs Node on every page, as many at once as there are cores, each run
// bounded in time.
void lintPages(const QString& node, const QString& script, const QList<Page>& pages,
               const QStringList& templatePaths, std::vector<Findings>* findings,
               Problems* failures)
{
    const int cores = std::max(1, QThread::idealThreadCount());
    const qsizetype perRun =
        std::clamp<qsizetype>((pages.size() + cores - 1) / cores, 1, MostPagesPerRun);
    for (qsizetype wave = 0; wave < pages.size(); wave += perRun * cores) {
        std::vector<std::unique_ptr<Run>> runs;
        for (qsizetype first = wave; first < std::min(pages.size(), wave + perRun * cores);
             first += perRun)
            runs.push_back(std::make_unique<Run>(pages, first, perRun));
        QList<QProcess*> processes;
        for (const std::unique_ptr<Run>& run : runs)
            processes << &run->process();
        RunWave(
            processes, [&](qsizetype i) { runs[i]->start(node, script); }, RunSeconds);
        for (const std::unique_ptr<Run>& run : runs)
            run->collect(script, templatePaths, findings, failures);
    }
}

} // namespace

QStringList TemplatePaths(const QString& libraryFolder)
{
    QStringList paths;
    const QStringList files = QDir(libraryFolder + QLatin1String("/templates"))
                                  .entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const Result<QString> path =
            TemplateLibrary::findTemplateFile(libraryFolder, file.chopped(4));
        if (path)
            paths.append(*path);
    }
    return paths;
}

Report LintTemplates(const QStringList& templatePaths, const QString& linterFolder)
{
    Report report;
    if (templatePaths.isEmpty())
        return report;
    QString node;
    if (const QString missing = missingTool(linterFolder, &node); !missing.isEmpty()) {
        report.notChecked.append({QStringLiteral("the mail programs cannot be checked: ") + missing,
                                  QStringLiteral("the mail programs were not checked")});
        return report;
    }
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        report.findings.append({QDir::tempPath(), QStringLiteral("in mail programs: not checked, "
                                                                 "no folder for the templates' "
                                                                 "HTML: %1")
                                                      .arg(folder.errorString())});
        return report;
    }
    Problems failures;
    const QList<Page> pages = writePages(templatePaths, folder.path(), &failures);
    std::vector<Findings> findings(templatePaths.size());
    lintPages(node, linterFolder + QLatin1String("/lint.mjs"), pages, templatePaths, &findings,
              &failures);
    for (qsizetype i = 0; i < templatePaths.size(); ++i)
        for (const auto& [feature, clients] : findings[i])
            report.findings.append(
                {templatePaths[i], QStringLiteral("in mail programs: %1 is not supported by %2")
                                       .arg(feature, clients.join(QLatin1String(", ")))});
    report.findings += failures;
    return report;
}

Report Check(const QStringList& templatePaths)
{
    const QString here = QCoreApplication::applicationDirPath();
    Report report = LintTemplates(templatePaths, here + QLatin1String("/lint"));
    const Report outlook =
        OutlookTemplates(templatePaths, here + QLatin1String("/quillery-thumbnails"));
    report.findings += outlook.findings;
    report.notChecked += outlook.notChecked;
    // Each template's findings together, the linter's first.
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const Problem& a, const Problem& b) { return a.path < b.path; });
    return report;
}

} // namespace MailPrograms
