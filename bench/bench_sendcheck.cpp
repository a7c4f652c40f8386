// The pre-send report of the largest shipped template: the checks the window
// runs each time a template is checked, without the spam filter, which runs
// as a program of its own and is timed apart.
#include "benchsetup.h"

#include "core/gallery/check/mailprogramlint.h"
#include "core/gallery/check/sendcheck.h"
#include "core/gallery/library/templatestaging.h"
#include "core/mime/mimecomponent.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace {

// The built library beside the programs (build/bin), or QUILLERY_LIBRARY.
QString libraryFolder()
{
    if (const char* folder = std::getenv("QUILLERY_LIBRARY"))
        return QString::fromLocal8Bit(folder);
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section('/', 0, -3) +
           QStringLiteral("/bin");
}

struct Largest
{
    QByteArray message;
    QByteArray html;
};

const Largest& largest()
{
    static const Largest found = [] {
        Largest best;
        const QDir templates(libraryFolder() + QStringLiteral("/templates"));
        for (const QString& name : templates.entryList({QStringLiteral("*.dat")}, QDir::Files)) {
            const Result<TemplateStaging::DecodedTemplate> decoded =
                TemplateStaging::decodeTemplateFile(templates.filePath(name));
            mustHold(decoded ? Status::success() : decoded.status());
            for (const MimeComponent::TextPart& part :
                 MimeComponent::readTextParts(decoded->message).parts) {
                if (part.type == "text/html" && part.content.size() > best.html.size())
                    best = {decoded->message, part.content};
            }
        }
        mustHold(best.html.isEmpty()
                     ? Status::failure(QStringLiteral("%1: no templates; build the library first")
                                           .arg(templates.path()))
                     : Status::success());
        return best;
    }();
    return found;
}

void BM_ReportWithoutSpam(benchmark::State& state)
{
    SendCheck::Options options;
    options.spam = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(SendCheck::check(largest().message, options));
}
BENCHMARK(BM_ReportWithoutSpam)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_MailProgramsOnly(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(MailProgramLint::lint(largest().html));
    state.SetBytesProcessed(state.iterations() * largest().html.size());
}
BENCHMARK(BM_MailProgramsOnly)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ReportWithSpam(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(SendCheck::check(largest().message));
}
BENCHMARK(BM_ReportWithSpam)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
