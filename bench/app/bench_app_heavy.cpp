// Hostile pages built to cost the engine far more than their size: animated
// SVG filters over large areas and custom properties that expand a billion
// times. Each message is staged as the preview stages it and loaded into a
// preview pane; measured are the time until the pane shows its first frame
// and the peak memory of the engine's processes while the page keeps
// animating for a while.
//
// Every load runs in a child process of its own, so that each starts with a
// fresh engine and the peak memory is that load's alone. A load that passes
// the memory or time cap is stopped and reported as such, so that a page that
// is not bounded cannot take the machine down.
//
//   bench_app_heavy [runs]      (default 3 runs of every message)

#include "gallerytools.h"

#include "browserpane.h"
#include "previewpages.h"

#include "core/gallery/library/templatestaging.h"
#include "core/platform/fileio.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// Far beyond what a page may take, yet well below what would hurt the machine.
constexpr qint64 MemoryCapKiB = 3LL * 1024 * 1024;
constexpr qint64 TimeCapMs = 60000;
// How long the page keeps animating after its first frame.
constexpr int AnimatingMs = 2000;

QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> children;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks.filePath(task + QStringLiteral("/children")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& child : file.readAll().simplified().split(' ')) {
            if (!child.isEmpty())
                children.append(child.toLongLong());
        }
    }
    return children;
}

QList<qint64> descendantsOf(qint64 pid)
{
    QList<qint64> all = childrenOf(pid);
    for (qsizetype i = 0; i < all.size(); ++i)
        all.append(childrenOf(all[i]));
    return all;
}

// A field of /proc/<pid>/status in KiB, 0 when the process is gone.
qint64 statusKiB(qint64 pid, const QByteArray& field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).simplified().split(' ').value(0).toLongLong();
    }
    return 0;
}

struct Sample
{
    qint64 peakKiB = 0; // the largest peak of one engine process
    qint64 sumKiB = 0;  // the engine's processes together, now
};

Sample sample()
{
    Sample s;
    for (const qint64 pid : descendantsOf(QCoreApplication::applicationPid())) {
        s.peakKiB = std::max(s.peakKiB, statusKiB(pid, "VmHWM"));
        s.sumKiB += statusKiB(pid, "VmRSS");
    }
    return s;
}

void stopEngine()
{
    for (const qint64 pid : descendantsOf(QCoreApplication::applicationPid()))
        ::kill(pid_t(pid), SIGKILL);
}

// One load in this process; prints "<ms to first frame> <peak KiB> <status>".
int runOne(const QString& eml)
{
    QTemporaryDir folder;
    const auto message = FileIo::readAll(eml);
    if (!message)
        return 1;
    const QString staging = folder.filePath(QStringLiteral("preview"));
    QDir().mkpath(staging);
    const auto staged =
        TemplateStaging::stageMessage(*message, staging, QStringLiteral("msg.html"));
    if (!staged)
        return 1;
    if (!staged->problem.isEmpty()) {
        if (!FileIo::writeAtomically(
                staged->page, PreviewPages::withProblemNotice(staged->html, staged->problem)))
            return 1;
    }

    auto* profile = new QWebEngineProfile();
    auto pane = std::make_unique<BrowserPane>(profile, BrowserPane::Role::Preview);
    pane->resize(1000, 800);
    pane->show();
    pane->setLocalRoot(staging);

    QElapsedTimer timer;
    Sample worst;
    QByteArray status = "shown";
    qint64 shownMs = -1;
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        const Sample now = sample();
        worst.peakKiB = std::max(worst.peakKiB, now.peakKiB);
        worst.sumKiB = std::max(worst.sumKiB, now.sumKiB);
        if (now.sumKiB > MemoryCapKiB || timer.elapsed() > TimeCapMs) {
            status = now.sumKiB > MemoryCapKiB ? "stopped-at-memory-cap" : "stopped-at-time-cap";
            stopEngine();
            loop.quit();
        }
    });
    QObject::connect(pane.get(), &BrowserPane::DocumentComplete, &loop, [&] {
        // A frame drawn is what the user sees; grabbing waits for one.
        pane->grab();
        shownMs = timer.elapsed();
        QTimer::singleShot(AnimatingMs, &loop, [&] {
            pane->grab();
            loop.quit();
        });
    });
    watch.start(50);
    timer.start();
    pane->Navigate2(staged->page);
    loop.exec();
    watch.stop();
    const Sample last = sample();
    worst.peakKiB = std::max(worst.peakKiB, last.peakKiB);
    std::printf("%lld %lld %lld %s\n", shownMs < 0 ? timer.elapsed() : shownMs, worst.peakKiB,
                worst.sumKiB, status.constData());
    std::fflush(stdout);
    pane.reset();
    delete profile;
    return 0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--one") {
        QTemporaryDir folder;
        useBenchEnvironment(folder);
        QApplication app(argc, argv);
        return runOne(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    const QDir corpus(QStringLiteral(QUILLERY_SOURCE_DIR "/tests/data/mime"));
    const QStringList messages = corpus.entryList({QStringLiteral("heavy_*.eml")}, QDir::Files);
    if (messages.isEmpty()) {
        std::fprintf(stderr, "No heavy pages in %s\n", qPrintable(corpus.path()));
        return 1;
    }
    std::printf("%-28s %5s %12s %14s %14s  %s\n", "page", "runs", "shown ms", "peak MiB (one)",
                "peak MiB (all)", "outcome");
    for (const QString& message : messages) {
        QList<double> shown, peak, sum;
        QStringList outcomes;
        for (int run = 0; run < runs; ++run) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--one"), corpus.filePath(message)});
            if (!child.waitForFinished(int(TimeCapMs) + 30000)) {
                child.kill();
                child.waitForFinished();
                outcomes.append(QStringLiteral("hung"));
                continue;
            }
            const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
            if (fields.size() < 4) {
                outcomes.append(QStringLiteral("failed"));
                continue;
            }
            shown.append(fields[0].toDouble());
            peak.append(fields[1].toDouble() / 1024);
            sum.append(fields[2].toDouble() / 1024);
            if (!outcomes.contains(QString::fromUtf8(fields[3])))
                outcomes.append(QString::fromUtf8(fields[3]));
        }
        std::printf("%-28s %5lld %12.0f %14.0f %14.0f  %s\n", qPrintable(message), shown.size(),
                    median(shown), median(peak), median(sum), qPrintable(outcomes.join(',')));
        std::fflush(stdout);
    }
    return 0;
}
