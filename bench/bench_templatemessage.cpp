// Composing a template's message at the library's limits (100 KB of HTML,
// 1 MB of images), against the floor of base64-encoding the same bytes: the
// quoted-printable pass should not dominate a library build.
#include "core/gallery/library/templatemessage.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

namespace {

QString makeHtml()
{
    QString html;
    while (html.size() < 100 * 1024)
        html +=
            QStringLiteral("<tr><td class=\"q-panel\" style=\"padding:28px 32px;color:#2b2d42;\">"
                           "<p style=\"margin:0 0 16px;\">Café Lumière – spring menu, €4.50</p>"
                           "<img src=\"images/hero.png\" alt=\"\"></td></tr>\n");
    return html;
}

TemplateMessage::Source makeSource()
{
    QRandomGenerator random(7);
    QByteArray image(1024 * 1024, Qt::Uninitialized);
    for (char& byte : image)
        byte = char(random.bounded(256));
    TemplateMessage::Source source;
    source.from = QStringLiteral("Café Lumière <bonjour@cafe.example>");
    source.subject = QStringLiteral("Our spring menu");
    source.date = QStringLiteral("Mon, 02 Mar 2026 09:00:00 +0000");
    source.html = makeHtml();
    source.text = QStringLiteral("Our spring menu\n");
    source.images = {{QStringLiteral("hero.png"), "image/png", image}};
    return source;
}

void BM_QuotedPrintable100KB(benchmark::State& state)
{
    const QByteArray html = makeHtml().toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(TemplateMessage::encodeQuotedPrintable(html));
    state.SetBytesProcessed(state.iterations() * html.size());
}
BENCHMARK(BM_QuotedPrintable100KB);

void BM_Base64Floor100KB(benchmark::State& state)
{
    const QByteArray html = makeHtml().toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(html.toBase64());
    state.SetBytesProcessed(state.iterations() * html.size());
}
BENCHMARK(BM_Base64Floor100KB);

void BM_ComposeAtLimits(benchmark::State& state)
{
    const TemplateMessage::Source source = makeSource();
    for (auto _ : state)
        benchmark::DoNotOptimize(TemplateMessage::compose(source));
    state.SetBytesProcessed(state.iterations() *
                            (source.html.size() + source.images[0].data.size()));
}
BENCHMARK(BM_ComposeAtLimits);

} // namespace

BENCHMARK_MAIN();
