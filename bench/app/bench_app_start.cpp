// Process start to the first preview loaded: the gallery on the library
// beside it, against a bare engine process showing the same finished page.

#include "finishedpage.h"
#include "timings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

PairedTimings timings;
PairedTimings scale; // the gallery on a large library against it on the shipped one
QString plainPage;
QString largeLibrary;

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

void BM_StartOnALargeLibrary(benchmark::State& state)
{
    if (largeLibrary.isEmpty()) {
        state.SkipWithError("set QUILLERY_BENCH_TEMPLATES to the number of templates");
        return;
    }
    for (auto _ : state) {
        const double shipped = run(QStringLiteral(QUILLERY_BIN_DIR "/quillery"), {});
        const double large = run(QStringLiteral(QUILLERY_BIN_DIR "/quillery"),
                                 {QStringLiteral("--library"), largeLibrary});
        if (shipped < 0 || large < 0) {
            state.SkipWithError("a process failed");
            return;
        }
        scale.plain.push_back(shipped);
        scale.gallery.push_back(large);
        state.SetIterationTime(large / 1000);
    }
}
BENCHMARK(BM_StartOnALargeLibrary)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// A library of `count` templates in categories of 50, made of hard links to
// the shipped templates and thumbnails under new names: large, yet no bigger
// on disk.
QString makeLargeLibrary(const QString& shipped, int count, const QString& folder)
{
    const QStringList templates =
        QDir(shipped + "/templates").entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    const QStringList thumbs = QDir(shipped + "/categories/thumbs")
                                   .entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    if (templates.isEmpty() || thumbs.isEmpty() || !QDir().mkpath(folder + "/templates") ||
        !QDir().mkpath(folder + "/categories/thumbs"))
        return QString();
    QByteArray page;
    for (int n = 0; n < count; ++n) {
        const QString name = QStringLiteral("Template %1").arg(n, 5, 10, QLatin1Char('0'));
        const QString thumb = QStringLiteral("t%1.png").arg(n);
        if (::link(QFile::encodeName(shipped + "/templates/" + templates[n % templates.size()]),
                   QFile::encodeName(folder + "/templates/" + name + ".dat")) != 0 ||
            ::link(QFile::encodeName(shipped + "/categories/thumbs/" + thumbs[n % thumbs.size()]),
                   QFile::encodeName(folder + "/categories/thumbs/" + thumb)) != 0)
            return QString();
        page += "<a href=\"#" + name.toUtf8() + "\"><img src=\"thumbs/" + thumb.toUtf8() +
                "\" width=\"300\" height=\"375\" alt=\"\">" + name.toUtf8() + "</a>\n";
        if ((n + 1) % 50 == 0 || n + 1 == count) {
            // "0" and "1" in a category's file name mean something to the gallery.
            const int c = n / 50;
            QFile file(folder + QStringLiteral("/categories/Category %1%2.html")
                                    .arg(QChar('A' + c / 26))
                                    .arg(QChar('A' + c % 26)));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write("<html><body>\n" + page + "</body></html>\n") < 0)
                return QString();
            page.clear();
        }
    }
    return folder;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir pageFolder;
    const QString appFolder = QStringLiteral(QUILLERY_BIN_DIR);
    const QString first = TemplateLibrary::GetFirstLink(TemplateLibrary::categoryPagePath(
        appFolder, TemplateLibrary::categoryNames(appFolder).value(0)));
    plainPage = writeFinishedPage(appFolder, first, pageFolder.path());
    if (plainPage.isEmpty()) {
        std::fprintf(stderr, "No template library in %s: build the project first.\n",
                     QUILLERY_BIN_DIR);
        return 1;
    }
    QTemporaryDir largeFolder;
    if (const int count = qEnvironmentVariableIntValue("QUILLERY_BENCH_TEMPLATES"); count > 0) {
        largeLibrary = makeLargeLibrary(appFolder, count, largeFolder.path());
        if (largeLibrary.isEmpty()) {
            std::fprintf(stderr, "Cannot make a library of %d templates in %s.\n", count,
                         qPrintable(largeFolder.path()));
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    timings.print("start to first preview");
    if (!scale.gallery.empty())
        scale.print("start to first preview", "large library", "shipped library");
    return 0;
}
