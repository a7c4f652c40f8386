// The exports against the cheapest way to get the same bytes to disk: the
// message file against the in-place copy-and-decode the exports replace, and
// the page with its images against the component writing straight into the
// target folder. The difference is the price of never leaving a torn file.
#include "benchsetup.h"
#include "core/export/serviceexport.h"
#include "core/export/templateexport.h"
#include "core/gallery/library/templatedecoding.h"
#include "core/mime/mimecomponent.h"
#include "core/platform/fileio.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

constexpr int ImageCount = 30;
constexpr int ImageBytes = 118 * 1024;

// A 5 MB newsletter: an HTML part and 30 images by Content-ID.
QByteArray makeMessage()
{
    QRandomGenerator random(7);
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>";
    QByteArray parts;
    for (int i = 0; i < ImageCount; ++i) {
        QByteArray image(ImageBytes, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(image.data()), ImageBytes / 4);
        const QByteArray id = "img" + QByteArray::number(i) + "@example.com";
        html += "<p><img src=\"cid:" + id + "\" width=\"600\"></p>";
        parts += "--b1\r\nContent-Type: image/jpeg\r\nContent-Transfer-Encoding: base64\r\n"
                 "Content-ID: <" +
                 id + ">\r\n\r\n";
        const QByteArray encoded = image.toBase64();
        for (qsizetype at = 0; at < encoded.size(); at += 76)
            parts += encoded.mid(at, 76) + "\r\n";
    }
    html += "</body></html>";
    return "MIME-Version: 1.0\r\nSubject: Offer\r\n"
           "Content-Type: multipart/related; boundary=\"b1\"\r\n\r\n"
           "--b1\r\nContent-Type: text/html; charset=utf-8\r\n\r\n" +
           html + "\r\n" + parts + "--b1--\r\n";
}

struct Library
{
    QTemporaryDir root;
    QString app;
    QString templateFile;
    QString out;

    Library()
    {
        app = root.filePath("app");
        out = root.filePath("out");
        QDir().mkpath(app + "/templates");
        QDir().mkpath(out);
        templateFile = app + "/templates/Offer.dat";
        mustHold(FileIo::writeAtomically(templateFile, *Module1::packTemplate(makeMessage())));
    }
};

Library& library()
{
    static Library built;
    return built;
}

void exportEml(benchmark::State& state)
{
    const QString target = library().out + "/Offer.eml";
    for (auto _ : state) {
        const Status status = TemplateExport::exportEmlTo(library().app, "Offer", target);
        if (!status)
            state.SkipWithError(qPrintable(status.message()));
    }
}
BENCHMARK(exportEml)->Unit(benchmark::kMillisecond);

// The copy decoded in place, as the file passes do it; not atomic.
void emlInPlaceFloor(benchmark::State& state)
{
    const QString target = library().out + "/InPlace.eml";
    for (auto _ : state) {
        QFile::remove(target);
        QFile::copy(library().templateFile, target);
        if (const Status status = Module1::DecryptFile(target, QByteArray(Module1::TemplateKey));
            !status)
            state.SkipWithError(qPrintable(status.message()));
        if (const Status status = Module1::UnencryptFile(target); !status)
            state.SkipWithError(qPrintable(status.message()));
    }
}
BENCHMARK(emlInPlaceFloor)->Unit(benchmark::kMillisecond);

void exportHtml(benchmark::State& state)
{
    const QString target = library().out + "/Offer.htm";
    for (auto _ : state) {
        // Each round replaces the previous page and its folder, as a user re-exporting does.
        const Status status = TemplateExport::exportHtmlTo(library().app, "Offer", target);
        if (!status)
            state.SkipWithError(qPrintable(status.message()));
    }
}
BENCHMARK(exportHtml)->Unit(benchmark::kMillisecond);

void exportHtmlNewPage(benchmark::State& state)
{
    const QString target = library().out + "/New.htm";
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        QDir(library().out + "/New_files").removeRecursively();
        state.ResumeTiming();
        const Status status = TemplateExport::exportHtmlTo(library().app, "Offer", target);
        if (!status)
            state.SkipWithError(qPrintable(status.message()));
    }
}
BENCHMARK(exportHtmlNewPage)->Unit(benchmark::kMillisecond);

// The component writing the images straight into the target folder, then the page.
void htmlDirectFloor(benchmark::State& state)
{
    const QString target = library().out + "/Direct.htm";
    for (auto _ : state) {
        // The component never overwrites a file, so each round starts from an empty folder.
        state.PauseTiming();
        QDir(library().out + "/Direct_files").removeRecursively();
        state.ResumeTiming();
        QByteArray message;
        if (const Status status = TemplateExport::decodeTemplate(library().app, "Offer", &message);
            !status)
            state.SkipWithError(qPrintable(status.message()));
        MimeComponent mime;
        mime.LoadEmlData(message);
        QFile page(target);
        page.open(QIODevice::WriteOnly | QIODevice::Truncate);
        page.write(mime.saveHtmlAndImagesUtf8(library().out, "Direct_files"));
    }
}
BENCHMARK(htmlDirectFloor)->Unit(benchmark::kMillisecond);

// The zip for a mailing service: the page staged as for "> html", the merge
// fields rewritten, the archive built in memory and written atomically.
void exportForService(benchmark::State& state)
{
    const QString target = library().out + "/Offer.zip";
    ServiceExport::Options options;
    options.service = MergeFields::Service::Mailchimp;
    for (auto _ : state) {
        ServiceExport::Report report;
        const Status status =
            ServiceExport::exportTemplateTo(library().app, "Offer", target, options, &report);
        if (!status)
            state.SkipWithError(qPrintable(status.message()));
    }
}
BENCHMARK(exportForService)->Unit(benchmark::kMillisecond);

// A hostile page of a million '[' before one field: the rewrite stays linear.
void mergeFieldsOfBrackets(benchmark::State& state)
{
    const QByteArray page = "<p>" + QByteArray(1000 * 1000, '[') + "first_name]</p>";
    for (auto _ : state)
        benchmark::DoNotOptimize(
            MergeFields::toService(page, MergeFields::Service::Mailchimp).text.size());
}
BENCHMARK(mergeFieldsOfBrackets)->Unit(benchmark::kMillisecond);

// The same for the largest template of a built library, named by
// QUILLERY_BENCH_LIBRARY (a folder holding templates/), such as build/bin.
void exportForServiceLargestShipped(benchmark::State& state)
{
    const QString folder = qEnvironmentVariable("QUILLERY_BENCH_LIBRARY");
    const QFileInfoList files =
        QDir(folder + "/templates").entryInfoList({"*.dat"}, QDir::Files, QDir::Size);
    if (folder.isEmpty() || files.isEmpty()) {
        state.SkipWithError("QUILLERY_BENCH_LIBRARY names no built library");
        return;
    }
    const QString name = files.first().completeBaseName();
    state.SetLabel(qPrintable(name));
    const QString target = library().out + "/Shipped.zip";
    ServiceExport::Options options;
    options.service = MergeFields::Service::Mailchimp;
    for (auto _ : state) {
        ServiceExport::Report report;
        const Status status =
            ServiceExport::exportTemplateTo(folder, name, target, options, &report);
        if (!status)
            state.SkipWithError(qPrintable(status.message()));
    }
}
BENCHMARK(exportForServiceLargestShipped)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
