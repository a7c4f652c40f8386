// Adding a template of the user's, at the shipped library's limits: a page of
// 100 KB of HTML with 1 MB of images beside it, checked, composed, packed and
// written with its category page. The goal is well within a second, so that
// a drop on the window feels immediate; the thumbnail is drawn after.
#include "benchsetup.h"
#include "core/gallery/library/libraryset.h"
#include "core/gallery/userlibrary/userlibrary.h"
#include "core/platform/fileio.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

QByteArray noisePng(int side)
{
    QRandomGenerator random(7);
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, random.generate());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// An exported page: news.htm and news_files/ with four images.
QString writePage(const QString& folder)
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Spring menu"
                      "</title></head><body><table>";
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("news_files/photo%1.png").arg(i);
        mustHold(FileIo::writeAtomically(folder + QLatin1Char('/') + name, noisePng(256)));
        html += "<tr><td><img src=\"" + name.toUtf8() + "\" alt=\"\"></td></tr>";
    }
    while (html.size() < 100 * 1024)
        html += "<tr><td style=\"padding:28px 32px;color:#2b2d42\"><p>Caf&eacute; Lumi&egrave;re "
                "&ndash; spring menu, <a href=\"https://cafe.example/menu\">see it all</a></p>"
                "</td></tr>\n";
    html += "</table></body></html>";
    const QString page = folder + QStringLiteral("/news.htm");
    mustHold(FileIo::writeAtomically(page, html));
    return page;
}

void BM_AddOwnTemplate(benchmark::State& state)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("in/news_files"));
    QDir(root.path()).mkpath(QStringLiteral("shipped/categories"));
    const QString page = writePage(root.filePath(QStringLiteral("in")));
    const LibrarySet libraries(root.filePath(QStringLiteral("shipped")),
                               root.filePath(QStringLiteral("library")));
    // Nine templates already in the category, as a user's library grows.
    for (int i = 0; i < 9; ++i)
        mustHold(UserLibrary::add(libraries, page, UserLibrary::DefaultCategory,
                                  QStringLiteral("Earlier %1").arg(i))
                     .status());
    for (auto _ : state) {
        const Result<UserLibrary::Added> added =
            UserLibrary::add(libraries, page, UserLibrary::DefaultCategory, QStringLiteral("News"));
        if (!added) {
            state.SkipWithError(qPrintable(added.status().message()));
            break;
        }
        state.PauseTiming();
        mustHold(UserLibrary::remove(libraries, QStringLiteral("News")));
        state.ResumeTiming();
    }
    state.SetLabel("goal: under 1 s");
}
BENCHMARK(BM_AddOwnTemplate)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
