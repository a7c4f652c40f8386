// The brand toggle in the running gallery: switching the user's brand on for
// the previewed template, to the branded page shown, against the bare engine
// loading the same finished page.

#include "gallerytools.h"
#include "timings.h"

#include "browserpane.h"
#include "core/brand/brandapply.h"
#include "core/brand/brandstore.h"
#include "core/gallery/library/templatestaging.h"
#include "finishedpage.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

PairedTimings switches;
Form1* gallery = nullptr;
QWebEngineView* bare = nullptr;
QString brandedPage;

BrowserPane* preview()
{
    return gallery->findChild<BrowserPane*>(QStringLiteral("WebBrowser2"));
}

// Milliseconds from the toggle to the pane's report of its document, or -1;
// the working files go after, outside the span.
double timedToggle()
{
    QElapsedTimer timer;
    timer.start();
    gallery->findChild<QAction*>(QStringLiteral("viewBrandAction"))->trigger();
    if (!waitFor(preview(), &BrowserPane::DocumentComplete))
        return -1;
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    return waitFor(gallery, &Form1::previewShown) ? elapsed : -1;
}

void BM_BrandOnToBrandShown(benchmark::State& state)
{
    for (auto _ : state) {
        bare->resize(preview()->size());
        QElapsedTimer timer;
        timer.start();
        bare->load(QUrl::fromLocalFile(brandedPage));
        if (!waitFor(bare, &QWebEngineView::loadFinished)) {
            state.SkipWithError("the bare engine did not load");
            return;
        }
        const double plain = double(timer.nsecsElapsed()) / 1e6;
        const double on = timedToggle();
        // Back to the template as shipped, untimed, for the next round.
        if (on < 0 || timedToggle() < 0) {
            state.SkipWithError("the toggle did not show its page");
            return;
        }
        switches.plain.push_back(plain);
        switches.gallery.push_back(on);
        state.SetIterationTime(on / 1000);
    }
}
BENCHMARK(BM_BrandOnToBrandShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// A brand as a user makes one: a logo, every colour, links and a social profile.
BrandKit sampleBrand(const QString& folder)
{
    BrandKit brand;
    brand.name = QStringLiteral("Acme Rooftops");
    brand.tagline = QStringLiteral("Tiles and gutters since 1990");
    brand.main = QColor(0x7A, 0x1F, 0x5C);
    brand.accent = QColor(0xC0, 0x50, 0x00);
    brand.text = QColor(0x22, 0x22, 0x22);
    brand.background = Qt::white;
    brand.headingFonts = BrandFonts::stacks().first();
    brand.bodyFonts = BrandFonts::stacks().first();
    brand.address = QStringLiteral("7 Slate Row\nHillford");
    brand.website = QStringLiteral("https://acme.example");
    brand.viewInBrowser = QStringLiteral("https://acme.example/web");
    brand.unsubscribe = QStringLiteral("https://acme.example/unsubscribe");
    brand.social.insert(QStringLiteral("instagram"),
                        QStringLiteral("https://instagram.example/acme"));
    QImage logo(320, 120, QImage::Format_RGB32);
    logo.fill(QColor(0x10, 0xA0, 0x30));
    logo.save(folder + QStringLiteral("/logo.png"));
    return brand;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    useBenchEnvironment(folder);
    qputenv("XDG_DATA_HOME", folder.path().toLocal8Bit());
    QApplication app(argc, argv);

    const QString appFolder = QStringLiteral(QUILLERY_BIN_DIR);
    const QStringList names = firstTemplates(appFolder);
    if (names.isEmpty()) {
        std::fprintf(stderr, "No template library in %s: build the project first.\n",
                     QUILLERY_BIN_DIR);
        return 1;
    }
    BrandKit brand = sampleBrand(folder.path());
    if (const Status saved = BrandStore().save(brand, folder.path() + QStringLiteral("/logo.png"));
        !saved) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.message()));
        return 1;
    }
    // The bare engine's page: the same template in the same brand, staged once.
    const auto decoded = TemplateStaging::decodeTemplate(appFolder, names[0]);
    if (!decoded)
        return 1;
    const auto branded = BrandApply::applyToMessage(decoded->message, brand);
    if (!branded || branded->message == decoded->message) {
        std::fprintf(stderr, "%s has no brand slots: build the library first.\n",
                     qPrintable(names[0]));
        return 1;
    }
    const auto staged = TemplateStaging::stageMessage(
        branded->message, folder.path() + QStringLiteral("/branded"), QStringLiteral("msg.html"));
    if (!staged)
        return 1;
    brandedPage = staged->page;

    Form1 form(appFolder);
    gallery = &form;
    QWebEngineView plainView;
    bare = &plainView;
    plainView.show();
    form.show();
    if (!waitFor(&form, &Form1::previewShown) || form.currentTemplate() != names[0])
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    switches.print("brand switched on to the branded page shown");
    return 0;
}
