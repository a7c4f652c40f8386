// Costs of the platform services the window pays on the user-interface thread:
// reading and writing a setting, and removing the preview's folder. The hostile
// settings files show that the size cap keeps a bad file as cheap as a good one.
#include "core/platform/settingsstore.h"
#include "core/platform/workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir* configFolder()
{
    static QTemporaryDir folder;
    return &folder;
}

void writeSettingsFile(const QByteArray& content, qint64 sparseSize = 0)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder()->path()));
    QFile file(configFolder()->filePath("Quillbook1.ini"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
    if (sparseSize > 0)
        file.resize(sparseSize);
}

QByteArray manyValues(qint64 size)
{
    QByteArray content = "[Main]\nSplit=450\n[Other]\n";
    for (int i = 0; content.size() < size - 64; ++i)
        content += "Value" + QByteArray::number(i) + "=some text of moderate length\n";
    return content;
}

void readTypical(benchmark::State& state)
{
    writeSettingsFile("; Quillery settings\n\n[Main]\nSplit=450\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(modSettings::ReadSetting("Quillbook1", "Main", "Split"));
}
BENCHMARK(readTypical);

void readLargestAccepted(benchmark::State& state)
{
    writeSettingsFile(manyValues(1024 * 1024));
    for (auto _ : state)
        benchmark::DoNotOptimize(modSettings::ReadSetting("Quillbook1", "Main", "Split"));
}
BENCHMARK(readLargestAccepted)->Unit(benchmark::kMillisecond);

// The shapes that make the most lines and groups out of the largest file accepted.
void readLargestAcceptedManyGroups(benchmark::State& state)
{
    QByteArray content = "[Main]\nSplit=450\n";
    for (int i = 0; content.size() < 1024 * 1024 - 16; ++i)
        content += "[g" + QByteArray::number(i) + "]\n";
    writeSettingsFile(content);
    for (auto _ : state)
        benchmark::DoNotOptimize(modSettings::ReadSetting("Quillbook1", "Main", "Split"));
}
BENCHMARK(readLargestAcceptedManyGroups)->Unit(benchmark::kMillisecond);

void readLargestAcceptedBlankLines(benchmark::State& state)
{
    writeSettingsFile("[Main]\nSplit=450\n" + QByteArray(1024 * 1024 - 32, '\n'));
    for (auto _ : state)
        benchmark::DoNotOptimize(modSettings::ReadSetting("Quillbook1", "Main", "Split"));
}
BENCHMARK(readLargestAcceptedBlankLines)->Unit(benchmark::kMillisecond);

void readHostileHugeLine(benchmark::State& state)
{
    writeSettingsFile("[Main]\nSplit=" + QByteArray(64 * 1024 * 1024, 'x'));
    for (auto _ : state)
        benchmark::DoNotOptimize(modSettings::ReadSetting("Quillbook1", "Main", "Split"));
}
BENCHMARK(readHostileHugeLine)->Unit(benchmark::kMillisecond);

void readHostileSparse4GiB(benchmark::State& state)
{
    writeSettingsFile("[Main]\nSplit=450\n", qint64(4) << 30);
    for (auto _ : state)
        benchmark::DoNotOptimize(modSettings::ReadSetting("Quillbook1", "Main", "Split"));
}
BENCHMARK(readHostileSparse4GiB)->Unit(benchmark::kMillisecond);

void writeTypical(benchmark::State& state)
{
    writeSettingsFile("; Quillery settings\n\n[Main]\nSplit=450\n");
    int split = 251;
    for (auto _ : state)
        modSettings::WriteSetting("Quillbook1", "Main", "Split", QString::number(split++ % 900));
}
BENCHMARK(writeTypical)->Unit(benchmark::kMicrosecond);

void removePreviewFolder(benchmark::State& state)
{
    QTemporaryDir temp;
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = modGetDirs::ensureWorkspaceFolder("msg").valueOr(QString());
        for (int i = 0; i < 20; ++i) {
            QFile file(folder + QStringLiteral("/image%1.png").arg(i));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(4096, 'x'));
        }
        state.ResumeTiming();
        Module1::RemoveFolder(folder);
    }
}
BENCHMARK(removePreviewFolder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
