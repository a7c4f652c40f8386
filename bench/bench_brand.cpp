// Putting a brand on a template, against the parse every preview of it does
// anyway: the brand should cost no more than reading the message once more,
// and grow with the page in a straight line.
#include "core/brand/brandapply.h"
#include "core/gallery/library/templatemessage.h"
#include "core/mime/mimecomponent.h"

#include "benchsetup.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

namespace {

// A footer row as the shipped templates write it, marks and all.
const char Row[] =
    "<tr><td class=\"q-panel\" bgcolor=\"#ffffff\" style=\"padding:28px 32px;background-color:"
    "#ffffff;font-family:Arial,sans-serif;color:#2b2d42;\" data-brand-colours=\"panel panel "
    "text\"><h2 style=\"margin:0;font-family:Arial,sans-serif;color:#17403a;\" "
    "data-brand-colours=\"heading\">Caf&eacute; Lumi&egrave;re</h2><p style=\"color:#5c5f73;\" "
    "data-brand-colours=\"muted\"><span data-brand=\"name\">Harbour</span> &middot; <span "
    "data-brand=\"address\">[Street address]</span></p></td></tr>\n";

QByteArray markedHtml(qsizetype bytes)
{
    QByteArray html = "<!DOCTYPE html><html><head><title>t</title></head><body><table>"
                      "<tr><td><img data-brand=\"logo\" src=\"images/logo.png\" width=\"44\" "
                      "height=\"44\" alt=\"logo\" style=\"width:44px;height:44px;\"></td></tr>";
    while (html.size() < bytes)
        html += Row;
    return html + "<p data-brand=\"social\" style=\"margin:0;\"></p></table></body></html>";
}

QByteArray png(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray messageOf(qsizetype htmlBytes)
{
    TemplateMessage::Source source;
    source.from = QStringLiteral("Harbour <news@harbour.example>");
    source.subject = QStringLiteral("Spring");
    source.date = QStringLiteral("Mon, 02 Mar 2026 09:00:00 +0000");
    source.html = QString::fromUtf8(markedHtml(htmlBytes));
    source.text = QStringLiteral("Spring\n");
    source.images = {{QStringLiteral("logo.png"), "image/png", png(88, 88)}};
    const Result<QByteArray> message = TemplateMessage::compose(source);
    mustHold(message.status());
    return *message;
}

struct Fixture
{
    QTemporaryDir dir;
    BrandKit brand;
    Fixture()
    {
        brand.name = QStringLiteral("Quince");
        brand.main = QColor("#1565ff");
        brand.accent = QColor("#b8321a");
        brand.text = QColor("#222222");
        brand.background = QColor("#ffffff");
        brand.headingFonts = BrandFonts::stacks().at(6);
        brand.bodyFonts = BrandFonts::stacks().at(0);
        brand.address = QStringLiteral("1 Lane, Town");
        brand.social.insert(QStringLiteral("x"), QStringLiteral("https://x.test/q"));
        brand.logoFile = dir.filePath(QStringLiteral("logo.png"));
        QFile file(brand.logoFile);
        mustHold(file.open(QIODevice::WriteOnly) ? Status::success()
                                                 : Status::failure(file.errorString()));
        file.write(png(600, 200));
    }
};

void BM_ApplyBrand(benchmark::State& state)
{
    const Fixture fixture;
    const QByteArray message = messageOf(state.range(0) * 1024);
    for (auto _ : state) {
        const Result<BrandApply::Branded> branded =
            BrandApply::applyToMessage(message, fixture.brand);
        benchmark::DoNotOptimize(branded);
    }
    state.SetBytesProcessed(state.iterations() * message.size());
}
BENCHMARK(BM_ApplyBrand)->Arg(20)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The floor: reading the message's parts once, as a preview does.
void BM_ReadMessageFloor(benchmark::State& state)
{
    const QByteArray message = messageOf(state.range(0) * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(MimeComponent::readTextParts(message));
    state.SetBytesProcessed(state.iterations() * message.size());
}
BENCHMARK(BM_ReadMessageFloor)->Arg(20)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
