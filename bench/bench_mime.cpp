// A 5 MB newsletter with 30 images converted in process, against the floor of
// copying the same bytes and writing the same files. Also leaves the message
// at $TMPDIR/quillery_bench_mime.eml for bench/mime_python.py.
#include "core/mime/mimecomponent.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

namespace {

constexpr int imageCount = 30;
constexpr int imageBytes = 118 * 1024;

struct Sample
{
    QByteArray message;
    std::vector<QByteArray> images;
    QByteArray html;
};

const Sample& sample()
{
    static const Sample built = [] {
        Sample s;
        QRandomGenerator random(42);
        s.html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Offer</title></head>"
                 "<body><table role=\"presentation\" width=\"600\">";
        for (int i = 0; i < imageCount; ++i) {
            QByteArray image(imageBytes, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32*>(image.data()), imageBytes / 4);
            s.images.push_back(image);
            s.html += "<tr><td style=\"padding:8px\"><img src=\"cid:img" + QByteArray::number(i) +
                      "@example.com\" width=\"600\" alt=\"Picture " + QByteArray::number(i) +
                      "\"><p>Caf\xC3\xA9 text for item " + QByteArray::number(i) +
                      " with a few words of copy.</p></td></tr>\n";
        }
        s.html += "</table></body></html>\n";
        s.message = "From: news@example.com\r\nSubject: Bench\r\nMIME-Version: 1.0\r\n"
                    "Content-Type: multipart/related; boundary=\"rel\"\r\n\r\n--rel\r\n"
                    "Content-Type: text/html; charset=utf-8\r\n"
                    "Content-Transfer-Encoding: 8bit\r\n\r\n" +
                    s.html;
        for (int i = 0; i < imageCount; ++i) {
            s.message += "\r\n--rel\r\nContent-Type: image/png; name=\"picture" +
                         QByteArray::number(i) + ".png\"\r\nContent-ID: <img" +
                         QByteArray::number(i) +
                         "@example.com>\r\nContent-Transfer-Encoding: base64\r\n\r\n";
            const QByteArray encoded = s.images[size_t(i)].toBase64();
            for (qsizetype at = 0; at < encoded.size(); at += 76)
                s.message += encoded.mid(at, 76) + "\r\n";
        }
        s.message += "--rel--\r\n";
        QFile out(QDir::temp().filePath("quillery_bench_mime.eml"));
        if (out.open(QIODevice::WriteOnly))
            out.write(s.message);
        return s;
    }();
    return built;
}

void BM_MimeComponent(benchmark::State& state)
{
    const Sample& s = sample();
    QTemporaryDir dir;
    int round = 0;
    for (auto _ : state) {
        const QString folder = QStringLiteral("p%1_files").arg(round++);
        MimeComponent mime;
        mime.LoadEmlData(s.message);
        const QByteArray page = mime.saveHtmlAndImagesUtf8(dir.path(), folder);
        benchmark::DoNotOptimize(page.data());
        if (!mime.lastError().isEmpty())
            state.SkipWithError(qPrintable(mime.lastError()));
        state.PauseTiming();
        QDir(dir.filePath(folder)).removeRecursively();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * s.message.size());
}

// The floor: the message copied once, then the same files written.
void BM_MemcpyAndFileWrites(benchmark::State& state)
{
    const Sample& s = sample();
    QTemporaryDir dir;
    QByteArray copy(s.message.size(), Qt::Uninitialized);
    int round = 0;
    for (auto _ : state) {
        std::memcpy(copy.data(), s.message.constData(), size_t(s.message.size()));
        benchmark::DoNotOptimize(copy.data());
        const QString folder = dir.filePath(QStringLiteral("p%1_files").arg(round++));
        QDir().mkdir(folder);
        for (int i = 0; i < imageCount; ++i) {
            QFile file(folder + QStringLiteral("/picture%1.png").arg(i));
            file.open(QIODevice::WriteOnly);
            file.write(s.images[size_t(i)]);
        }
        benchmark::DoNotOptimize(QByteArray(s.html).data());
        state.PauseTiming();
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * s.message.size());
}

} // namespace

BENCHMARK(BM_MimeComponent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MemcpyAndFileWrites)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
