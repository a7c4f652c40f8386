// A thumbnail click to its preview loaded, in the running gallery, against the
// same engine loading the same finished page in a bare view.

#include "finishedpage.h"
#include "gallerytools.h"
#include "timings.h"

#include "browserpane.h"
#include "form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

namespace {

PairedTimings timings;
Form1* gallery = nullptr;
QWebEngineView* bare = nullptr;
QStringList names;
QStringList pages;
QList<QPoint> thumbnails;

void BM_ThumbnailClickToPreview(benchmark::State& state)
{
    int turn = 0;
    for (auto _ : state) {
        const int i = turn++ % 2;
        QElapsedTimer timer;
        timer.start();
        bare->load(QUrl::fromLocalFile(pages[i]));
        if (!waitFor(bare, &QWebEngineView::loadFinished)) {
            state.SkipWithError("the bare engine did not load");
            return;
        }
        const double plain = double(timer.nsecsElapsed()) / 1e6;

        timer.restart();
        QTest::mouseClick(gallery->findChild<BrowserPane*>("WebBrowser1")->focusProxy(),
                          Qt::LeftButton, {}, thumbnails[i]);
        // Loaded is when the pane reports its document; the working files
        // are removed right after, outside the measured span.
        if (!waitFor(gallery->findChild<BrowserPane*>("WebBrowser2"),
                     &BrowserPane::DocumentComplete) ||
            gallery->currentTemplate() != names[i]) {
            state.SkipWithError("the click did not preview its template");
            return;
        }
        const double clicked = double(timer.nsecsElapsed()) / 1e6;
        if (!waitFor(gallery, &Form1::previewShown)) {
            state.SkipWithError("the preview's files were not removed");
            return;
        }
        timings.plain.push_back(plain);
        timings.gallery.push_back(clicked);
        state.SetIterationTime(clicked / 1000);
    }
}
BENCHMARK(BM_ThumbnailClickToPreview)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    useBenchEnvironment(folder);
    QApplication app(argc, argv);

    const QString appFolder = QStringLiteral(QUILLERY_BIN_DIR);
    names = firstTemplates(appFolder);
    for (int i = 0; i < names.size(); ++i)
        pages.append(
            writeFinishedPage(appFolder, names[i], folder.path() + QString("/page%1").arg(i)));
    if (names.size() < 2 || pages.contains(QString())) {
        std::fprintf(stderr, "No template library in %s: build the project first.\n",
                     QUILLERY_BIN_DIR);
        return 1;
    }

    Form1 form(appFolder);
    gallery = &form;
    QWebEngineView view;
    bare = &view;
    // The bare view gets the size of the preview pane.
    view.resize(form.findChild<BrowserPane*>("WebBrowser2")->size());
    view.show();
    form.show();
    if (!waitFor(form.findChild<BrowserPane*>("WebBrowser1"), &BrowserPane::DocumentComplete))
        return 1;
    for (const QString& name : names) {
        thumbnails.append(thumbnailOf(form, name));
        if (thumbnails.last().x() < 0)
            return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    timings.print("thumbnail click to preview");
    return 0;
}
