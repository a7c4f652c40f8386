// The recipients' views in the running gallery: a switch of view to the view
// shown, against the bare engine loading the same finished page; and a
// thumbnail click in the Phone view against one in the Desktop view.

#include "gallerytools.h"
#include "timings.h"

#include "browserpane.h"
#include "core/gallery/library/templatestaging.h"
#include "core/platform/fileio.h"
#include "finishedpage.h"
#include "form1.h"
#include "previewviews.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

using PreviewViews::Content;
using PreviewViews::View;
using PreviewViews::Width;
using RecipientView::Colours;

PairedTimings switches;
PairedTimings clicks; // gallery: Phone view, plain: Desktop view
Form1* gallery = nullptr;
QWebEngineView* bare = nullptr;
QStringList names;
QList<QPoint> thumbnails;

// One toggle of the view bar and the view it leads to from the one before.
struct Step
{
    const char* action;
    std::function<void(View&)> change;
    View view;
    QString page; // the finished page of that view, for the bare engine
    PairedTimings timings;
};
QList<Step> steps;

// A round through every kind of switch that ends where it began.
QList<Step> roundOfSteps()
{
    return {
        {"viewPhoneAction", [](View& v) { v.width = Width::Phone; }, {}, {}},
        {"viewDarkAction", [](View& v) { v.colours = Colours::Dark; }, {}, {}},
        {"viewImagesBlockedAction", [](View& v) { v.imagesBlocked = true; }, {}, {}},
        {"viewDesktopAction", [](View& v) { v.width = Width::Desktop; }, {}, {}},
        {"viewInvertedAction", [](View& v) { v.colours = Colours::Inverted; }, {}, {}},
        {"viewPlainTextAction", [](View& v) { v.content = Content::PlainText; }, {}, {}},
        {"viewInboxLineAction", [](View& v) { v.content = Content::InboxLine; }, {}, {}},
        {"viewInboxLineAction", [](View& v) { v.content = Content::Page; }, {}, {}},
        {"viewLightAction", [](View& v) { v.colours = Colours::Light; }, {}, {}},
        {"viewImagesBlockedAction", [](View& v) { v.imagesBlocked = false; }, {}, {}},
    };
}

QString describe(const View& view)
{
    QStringList parts{view.width == Width::Phone ? "Phone" : "Desktop"};
    parts << (view.colours == Colours::Light  ? "Light"
              : view.colours == Colours::Dark ? "Dark"
                                              : "Inverted");
    if (view.imagesBlocked)
        parts << "images blocked";
    if (view.content != Content::Page)
        parts << (view.content == Content::PlainText ? "plain text" : "inbox line");
    return parts.join(", ");
}

// The page the gallery shows for `name` in `view`, written once into `folder`.
QString writeViewPage(const QString& appFolder, const QString& name, const View& view,
                      const QString& folder)
{
    const auto decoded = TemplateStaging::decodeTemplate(appFolder, name);
    if (!decoded)
        return {};
    const auto staged =
        TemplateStaging::stageDecoded(*decoded, folder + "/msg", QStringLiteral("msg.html"));
    if (!staged ||
        !FileIo::writeAtomically(staged->page,
                                 PreviewViews::pageFor(view, name, decoded->message, staged->html)))
        return {};
    return staged->page;
}

BrowserPane* preview()
{
    return gallery->findChild<BrowserPane*>(QStringLiteral("WebBrowser2"));
}

// Triggers the toggle and returns the milliseconds to the pane's report of
// its document, or -1; the working files go after, outside the span.
double timedSwitch(const char* action)
{
    QElapsedTimer timer;
    timer.start();
    gallery->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    if (!waitFor(preview(), &BrowserPane::DocumentComplete))
        return -1;
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    return waitFor(gallery, &Form1::previewShown) ? elapsed : -1;
}

double timedClick(int index)
{
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(gallery->findChild<BrowserPane*>("WebBrowser1")->focusProxy(), Qt::LeftButton,
                      {}, thumbnails[index]);
    if (!waitFor(preview(), &BrowserPane::DocumentComplete) ||
        gallery->currentTemplate() != names[index])
        return -1;
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    return waitFor(gallery, &Form1::previewShown) ? elapsed : -1;
}

void BM_SwitchViewToViewShown(benchmark::State& state)
{
    int turn = 0;
    for (auto _ : state) {
        const Step& step = steps[turn++ % steps.size()];
        bare->resize(step.view.isPhoneWide() ? PreviewViews::PhoneWidth : preview()->width(),
                     preview()->height());
        QElapsedTimer timer;
        timer.start();
        bare->load(QUrl::fromLocalFile(step.page));
        if (!waitFor(bare, &QWebEngineView::loadFinished)) {
            state.SkipWithError("the bare engine did not load");
            return;
        }
        const double plain = double(timer.nsecsElapsed()) / 1e6;
        const double switched = timedSwitch(step.action);
        if (switched < 0) {
            state.SkipWithError("the switch did not show its view");
            return;
        }
        for (PairedTimings* pairs : {&switches, &steps[(turn - 1) % steps.size()].timings}) {
            pairs->plain.push_back(plain);
            pairs->gallery.push_back(switched);
        }
        state.SetIterationTime(switched / 1000);
    }
}
BENCHMARK(BM_SwitchViewToViewShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_ThumbnailClickPhoneAgainstDesktop(benchmark::State& state)
{
    int turn = 0;
    for (auto _ : state) {
        // The arms take turns at going first, so each clicks both templates.
        const bool phoneFirst = turn++ % 2;
        for (const bool phone : {phoneFirst, !phoneFirst}) {
            const char* width = phone ? "viewPhoneAction" : "viewDesktopAction";
            if (!gallery->findChild<QAction*>(QString::fromLatin1(width))->isChecked() &&
                timedSwitch(width) < 0) {
                state.SkipWithError("the switch did not show its view");
                return;
            }
            const int next = gallery->currentTemplate() == names[0] ? 1 : 0;
            const double clicked = timedClick(next);
            if (clicked < 0) {
                state.SkipWithError("the click did not preview its template");
                return;
            }
            (phone ? clicks.gallery : clicks.plain).push_back(clicked);
            if (phone)
                state.SetIterationTime(clicked / 1000);
        }
    }
}
BENCHMARK(BM_ThumbnailClickPhoneAgainstDesktop)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    useBenchEnvironment(folder);
    QApplication app(argc, argv);

    const QString appFolder = QStringLiteral(QUILLERY_BIN_DIR);
    names = firstTemplates(appFolder);
    if (names.size() < 2) {
        std::fprintf(stderr, "No template library in %s: build the project first.\n",
                     QUILLERY_BIN_DIR);
        return 1;
    }
    // The switches run on the template the gallery opens with.
    steps = roundOfSteps();
    View view;
    for (int i = 0; i < steps.size(); ++i) {
        steps[i].change(view);
        steps[i].view = view;
        steps[i].page = writeViewPage(appFolder, names[0], view,
                                      folder.path() + QStringLiteral("/view%1").arg(i));
        if (steps[i].page.isEmpty())
            return 1;
    }

    Form1 form(appFolder);
    gallery = &form;
    QWebEngineView plainView;
    bare = &plainView;
    plainView.show();
    form.show();
    if (!waitFor(&form, &Form1::previewShown) || form.currentTemplate() != names[0])
        return 1;
    for (const QString& name : names) {
        thumbnails.append(thumbnailOf(form, name));
        if (thumbnails.last().x() < 0)
            return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    switches.print("view switch to the view shown");
    for (const Step& step : std::as_const(steps))
        step.timings.print(qPrintable(QStringLiteral("  to ") + describe(step.view)));
    clicks.print("thumbnail click to preview", "Phone view", "Desktop view");
    return 0;
}
