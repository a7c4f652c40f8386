// Process start to the first preview loaded: the gallery on the library
// beside it, against a bare engine process showing the same finished page.

#include "finishedpage.h"
#include "timings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

PairedTimings timings;
QString plainPage;

QProcessEnvironment environment(const QTemporaryDir& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The gallery fits itself to the screen: on the platform's 800x600 one it
    // would open smaller than the plain page.
    QFile screens(folder.filePath("screens.json"));
    if (screens.open(QIODevice::WriteOnly))
        screens.write(R"({"screens": [{"name": "desktop", "width": 1400, "height": 900}]})");
    env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName());
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-logging");
    env.insert("QT_LOGGING_RULES", "qt.webenginecontext.debug=false");
    env.insert("XDG_CONFIG_HOME", folder.path());
    env.insert("TMPDIR", folder.path());
    env.insert("QUILLERY_QUIT_AFTER_PREVIEW", "1");
    return env;
}

// Milliseconds from the start of the process to the line on its standard
// output that says the page has loaded, or -1 on failure. The process's
// shutdown is not part of it.
double run(const QString& program, const QStringList& arguments)
{
    QTemporaryDir folder;
    QProcess process;
    process.setProcessEnvironment(environment(folder));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    double loaded = -1;
    while (loaded < 0 && process.waitForReadyRead(60000)) {
        if (process.readAll().contains("loaded\n"))
            loaded = double(timer.nsecsElapsed()) / 1e6;
    }
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    return loaded;
}

void BM_StartToFirstPreview(benchmark::State& state)
{
    for (auto _ : state) {
        const double plain =
            run(QStringLiteral(QUILLERY_BENCH_DIR "/bench_app_plainpage"), {plainPage});
        const double gallery = run(QStringLiteral(QUILLERY_BIN_DIR "/quillery"), {});
        if (plain < 0 || gallery < 0) {
            state.SkipWithError("a process failed");
            return;
        }
        timings.plain.push_back(plain);
        timings.gallery.push_back(gallery);
        state.SetIterationTime(gallery / 1000);
    }
}
BENCHMARK(BM_StartToFirstPreview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir pageFolder;
    const QString appFolder = QStringLiteral(QUILLERY_BIN_DIR);
    const QString first = TemplateLibrary::GetFirstLink(TemplateLibrary::CategoryPagePath(
        appFolder, TemplateLibrary::CategoryNames(appFolder).value(0)));
    plainPage = writeFinishedPage(appFolder, first, pageFolder.path());
    if (plainPage.isEmpty()) {
        std::fprintf(stderr, "No template library in %s: build the project first.\n",
                     QUILLERY_BIN_DIR);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    timings.print("start to first preview");
    return 0;
}
