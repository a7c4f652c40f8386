// Searching a large library: 200 categories of 50 templates each, made by the
// benchmark in a temporary folder. Reports a query's time (goal: results in
// well under 100 ms), and the reading of the index at a start, without and
// with its cache.
#include "benchsetup.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/gallery/search/templatesearch.h"
#include "core/platform/fileio.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

constexpr int Categories = 200;
constexpr int PerCategory = 50;

const char* const Words[] = {"linen",  "summer", "prosecco", "garden", "kitchen", "members",
                             "launch", "autumn", "webinar",  "school", "gala",    "harbour",
                             "recipe", "market", "retreat",  "points", "tickets", "coffee"};

QByteArray message(int n, QRandomGenerator& random)
{
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += QByteArray(Words[random.bounded(int(std::size(Words)))]) + ' ';
    text += "template" + QByteArray::number(n);
    return "MIME-Version: 1.0\r\nSubject: Newsletter " + QByteArray::number(n) + " " +
           Words[n % std::size(Words)] +
           "\r\nContent-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\n"
           "Content-Type: text/plain; charset=utf-8\r\n\r\n" +
           text + "\r\n--b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>" + text +
           "</p>\r\n--b--\r\n";
}

// The library, made once for all the benchmarks.
const QString& library()
{
    static QTemporaryDir folder;
    static const bool made = [] {
        QRandomGenerator random(14);
        const QString root = folder.path();
        QDir().mkpath(root + "/categories/thumbs");
        QDir().mkpath(root + "/templates");
        int n = 0;
        for (int c = 0; c < Categories; ++c) {
            QByteArray page = "<html><body>";
            for (int t = 0; t < PerCategory; ++t, ++n) {
                const QByteArray name = "Template " + QByteArray::number(n);
                mustHold(FileIo::writeAtomically(root + "/templates/" + name + ".dat",
                                                 *Module1::packTemplate(message(n, random))));
                page += "<a href=\"#" + name + "\">" + name + "</a>";
            }
            const QString category =
                QStringLiteral("Category %1%2").arg(QChar('A' + c / 26)).arg(QChar('A' + c % 26));
            mustHold(FileIo::writeAtomically(root + "/categories/" + category + ".html",
                                             page + "</body></html>"));
        }
        return true;
    }();
    Q_UNUSED(made);
    static const QString path = folder.path();
    return path;
}

void BM_ReadIndexWithoutCache(benchmark::State& state)
{
    for (auto _ : state) {
        const TemplateSearch::Index index = TemplateSearch::Index::build({library()});
        benchmark::DoNotOptimize(index.size());
    }
}

void BM_ReadIndexFromCache(benchmark::State& state)
{
    QTemporaryDir cache;
    const QString file = cache.filePath("index");
    TemplateSearch::Index::build({library()}, file);
    for (auto _ : state) {
        const TemplateSearch::Index index = TemplateSearch::Index::build({library()}, file);
        benchmark::DoNotOptimize(index.size());
    }
}

void BM_Query(benchmark::State& state, const char* query)
{
    const TemplateSearch::Index index = TemplateSearch::Index::build({library()});
    for (auto _ : state) {
        int total = 0;
        benchmark::DoNotOptimize(index.find(QString::fromUtf8(query), 48, &total).size());
    }
}

} // namespace

BENCHMARK(BM_ReadIndexWithoutCache)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadIndexFromCache)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Query, one_common_word, "prosecco")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, two_words, "garden kitchen")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, a_name, "template 9999")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, nothing_found, "zzzz")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
